// The canvas with many states: a repaint draws only what is visible, a moved
// node repaints only around itself, and painting 2,000 states stays quick.
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "editor/docwindow.h"
#include "editor/ui/diagramview.h"
#include "export/diagrampainter.h"
#include "export/ui/fontmetricsmeasurer.h"
#include "support/builders.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

namespace {

struct NoEvents : DiagramViewEvents, DocWindowHost {
    void viewMouseDown() override {}
    void viewMouseMove(bool, Node*, Link*, int) override {}
    void viewMouseUp(const GestureEnd&) override {}
    void viewDoubleClick(Node*, Link*) override {}
    void viewKeyDown(int) override {}
};

// A grid of states, each joined to its right neighbour.
void fill(Document& doc, int columns, int rows) {
    std::vector<Node*> states;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            states.push_back(test::addState(doc, "S" + std::to_string(r * columns + c), NK_STATE,
                                            300.0f + c * 1500.0f, 300.0f + r * 1200.0f));
            if (c > 0) {
                test::addTransition(doc, states[states.size() - 2], states.back());
            }
        }
    }
}

// The same picture, up to the rounding of antialiased edges where the kept
// drawing was drawn in separate pieces.
bool sameDrawing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8 ||
                std::abs(qBlue(p) - qBlue(q)) > 8) {
                return false;
            }
        }
    }
    return true;
}

// A canvas on its own, shown, over a grid of states.
struct ShownCanvas {
    Document doc{&screenMeasurer()};
    NoEvents events;
    DocWindow rules{doc, events};
    DiagramView view{doc.diagram(), rules, screenMeasurer(), events};

    ShownCanvas(int columns, int rows, QSize size) {
        fill(doc, columns, rows);
        view.resize(size);
        view.show();
    }
    bool exposed() {
        const bool ok = QTest::qWaitForWindowExposed(&view);
        settle();
        return ok;
    }
};

}  // namespace

class DiagramViewTest : public QObject {
    Q_OBJECT

private slots:
    void twoThousandStates() {
        ShownCanvas canvas(50, 40, {1600, 1000});
        QVERIFY(canvas.exposed());
        Document& doc = canvas.doc;
        DiagramView& view = canvas.view;

        // All 2,000 states on screen at 25%; at 50% a quarter of them, with
        // their texts drawn.
        QElapsedTimer timer;
        for (int zoom : {25, 50}) {
            doc.diagram().setZoom(zoom, zoom);
            settle();
            timer.start();
            const int runs = 5;
            for (int i = 0; i < runs; ++i) {
                view.viewport()->repaint();
            }
            const qint64 perPaint = timer.elapsed() / runs;
            qInfo("full repaint at %d%%: %lld ms", zoom, perPaint);
            QVERIFY2(perPaint < 400, "a full repaint is too slow");
        }

        // Moving one state repaints only around it and its links.
        Node* n = doc.diagram().NodeList()[0].get();
        view.scrollToModel({0, 0});
        settle();
        const int before = view.paintCount();
        n->setNodeLeft(n->NodeLeft() + 150);
        settle();
        QTRY_VERIFY(view.paintCount() > before);
        const QRect painted = view.lastPaintedRect();
        QVERIFY2(painted.width() * painted.height() <
                     view.viewport()->width() * view.viewport()->height() / 20,
                 "a moved node repainted far more than itself");

        // At 100% only what is in view is drawn, and quickly.
        doc.diagram().setZoom(100, 100);
        settle();
        timer.restart();
        view.viewport()->repaint();
        qInfo("repaint at 100%%: %lld ms", timer.elapsed());
        QVERIFY(timer.elapsed() < 400);
    }

    void theKeptDrawingFollowsEveryChange() {
        // After each change the window shows exactly what drawing everything
        // anew shows: no part of the drawing kept from before is stale.
        ShownCanvas canvas(6, 4, {900, 600});
        QVERIFY(canvas.exposed());
        Document& doc = canvas.doc;
        DiagramView& view = canvas.view;
        Diagram& d = doc.diagram();
        Node* a = d.NodeList()[0].get();
        Node* t = a->NodeOutLinks()[0]->LinkTarget();
        const std::pair<const char*, std::function<void()>> changes[] = {
            {"move", [&] { a->setNodeLeft(a->NodeLeft() + 700); }},
            {"text", [&] { t->setNodeText("changed\r\ntext"); }},
            {"select", [&] { a->setNodeSelected(true); }},
            {"bend",
             [&] {
                 Link* l = a->NodeOutLinks()[0];
                 l->setLinkPoints({l->LinkPoints().front(), {2500, 2500}, l->LinkPoints().back()});
             }},
            {"remove", [&] { d.removeNode(d.NodeList()[3].get()); }},
            {"grid", [&] { d.setGridVisible(true); }},
            {"zoom", [&] { d.setZoom(75, 75); }},
            {"scroll", [&] { view.verticalScrollBar()->setValue(40); }},
        };
        for (const auto& [what, change] : changes) {
            change();
            settle();
            const QImage kept = view.viewport()->grab().toImage();
            view.invalidate();
            settle();
            const QImage anew = view.viewport()->grab().toImage();
            QVERIFY2(sameDrawing(kept, anew), what);
        }
    }

    void textShowsAtEveryZoom() {
        // A state with text and the same state without it look different at
        // every zoom: small text is drawn simplified, never left out.
        ShownCanvas canvas(1, 1, {800, 600});
        QVERIFY(canvas.exposed());
        Node* state = canvas.doc.diagram().NodeList()[0].get();
        state->setRect({300, 300, 9000, 3000});
        const std::string text = state->NodeText();
        for (int zoom : {100, 50, 25, 10}) {
            canvas.doc.diagram().setZoom(zoom, zoom);
            canvas.view.scrollToModel({0, 0});
            state->setNodeText(text);
            settle();
            const QImage with = canvas.view.viewport()->grab().toImage();
            state->setNodeText("");
            settle();
            const QImage without = canvas.view.viewport()->grab().toImage();
            QVERIFY2(with != without, qPrintable(QStringLiteral("no text at %1%").arg(zoom)));
        }
    }

    void fitInWindowShowsTheWholeDiagram() {
        ShownCanvas canvas(10, 10, {800, 600});
        QVERIFY(canvas.exposed());
        Document& doc = canvas.doc;
        DiagramView& view = canvas.view;
        doc.diagram().setZoom(0, 0);
        settle();
        const RectF all = diagramBounds(doc.diagram());
        const QRectF shown = view.toView(all);
        QVERIFY(shown.right() <= view.viewport()->width());
        QVERIFY(shown.bottom() <= view.viewport()->height());
        QVERIFY(shown.width() > view.viewport()->width() * 0.8 ||
                shown.height() > view.viewport()->height() * 0.8);
    }
};

QTEST_MAIN(DiagramViewTest)
#include "tst_diagramview.moc"
