// Not a test: drives the editor like a user and saves screenshots of each
// step, to look at the drawing. Usage: tarvel_ui_tour OUTPUT_FOLDER [DIAGRAM.fsm]
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTest>

#include "base/text.h"
#include "editor/ui/commenteditor.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/frmdoc.h"
#include "editor/undoredo.h"
#include "export/diagrampainter.h"
#include "support/builders.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    const std::string diagram =
        argc >= 3 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath().toStdString()
                  : std::string();
    Sandbox sandbox;
    Editor editor;
    editor.main().resize(1280, 860);
    settle();
    int shot = 0;
    auto snap = [&](const char* what) {
        settle();
        QTest::qWait(50);
        const QString name =
            QStringLiteral("%1/%2-%3.png").arg(out).arg(++shot, 2, 10, QChar('0')).arg(what);
        editor.main().grab().save(name);
    };
    if (argc >= 3) {
        editor.workspace().FileOpen(diagram);
        editor.main().mdiArea()->activeSubWindow()->showMaximized();
        snap("opened");
        return 0;
    }
    editor.main().mdiArea()->activeSubWindow()->showMaximized();
    frmDoc* doc = editor.active();
    DiagramView* view = doc->AddFlow1();
    snap("empty");

    // Three states drawn with the mouse.
    drag(view, {80, 80}, {200, 160});
    drag(view, {420, 80}, {540, 160});
    drag(view, {420, 330}, {540, 410});
    Diagram& d = doc->document()->diagram();
    Node* s1 = d.NodeList()[0].get();
    Node* s2 = d.NodeList()[1].get();
    Node* s3 = d.NodeList()[2].get();
    setState(*doc->document(), s1, [](StateRecord& r) {
        r.name = "IDLE";
        r.entry = "led_off();";
        r.moore = "poll_buttons();\r\n// wait for a key";
    });
    s1->setNodeKind(NK_INITIAL);
    setState(*doc->document(), s1, [](StateRecord&) {});
    setState(*doc->document(), s2, [](StateRecord& r) {
        r.name = "RUNNING";
        r.moore = "motor_step();";
        r.exit = "motor_stop();";
    });
    setState(*doc->document(), s3, [](StateRecord& r) { r.name = "DONE"; });
    StateRecord finalRecord = StateRecord::read(*s3);
    writeState(*doc->document(), finalRecord, NK_FINAL, *s3);
    doc->rules().storeChanges();
    snap("states");

    // Transitions drawn between them, and one back to RUNNING itself.
    drag(view, view->toView(s1->centre()), view->toView(s2->centre()));
    drag(view, view->toView(s2->centre()), view->toView(s3->centre()));
    drag(view, view->toView(s3->centre()), view->toView(s1->centre()));
    const QPointF c = view->toView(s2->centre());
    press(view, c);
    moveTo(view, c + QPointF(130, -10), true);
    moveTo(view, c + QPointF(140, 0), true);
    moveTo(view, c, true);
    release(view, c);
    settle();
    // Give the first transition a condition and an action.
    Node* t = s1->NodeOutLinks()[0]->LinkTarget();
    TransitionRecord r = TransitionRecord::read(*t);
    r.condition = "start_pressed()";
    r.actions = "count = 0;";
    writeTransition(*doc->document(), r, *t);
    Node* back = s3->NodeOutLinks()[0]->LinkTarget();
    TransitionRecord rb = TransitionRecord::read(*back);
    rb.condition = "";
    rb.continueImmediately = "Y";
    rb.entryExit = "N";
    writeTransition(*doc->document(), rb, *back);
    doc->rules().storeChanges();
    snap("transitions");

    // A comment typed in place.
    doc->mnuInsertaComentario();
    Node* comment = d.NodeList().back().get();
    comment->setRect({8000, 500, 2600, 900});
    doubleClick(view, view->toView(comment->centre()));
    QTest::keyClicks(doc->Text1(), "Motor controller");
    QTest::keyClick(doc->Text1(), Qt::Key_Return);
    QTest::keyClicks(doc->Text1(), "two speeds, one sensor");
    snap("comment-editing");
    view->FocusDiagram();
    snap("comment-done");

    // Selection marks, a bend, the grid.
    click(view, view->toView(PointF{s2->NodeLeft() + 10, s2->centre().y}));
    Link* l = s2->NodeOutLinks()[0];
    const auto pts = visibleLinkPoints(*l);
    drag(view,
         view->toView(
             PointF{(pts.front().x + pts.back().x) / 2, (pts.front().y + pts.back().y) / 2}),
         view->toView(PointF{(pts.front().x + pts.back().x) / 2,
                             (pts.front().y + pts.back().y) / 2 + 1500}));
    s2->setNodeSelected(true);
    l->setLinkSelected(true);
    doc->rules().toggleGridVisible();
    snap("selection-grid");
    doc->rules().toggleGridVisible();

    // Hover over an empty transition: it grows.
    Node* empty = back;
    moveTo(view, view->toView(empty->centre()), false);
    snap("hover");

    for (int item : {0, 3, 5}) {
        doc->mnuZoom(item);
        snap(item == 0 ? "zoom150" : item == 3 ? "zoom50" : "fit");
    }
    doc->mnuZoom(1);
    doc->mnuLocked();
    snap("locked");
    doc->mnuLocked();
    doc->mnuEditSelectMode();
    snap("select-mode");

    // A big diagram at 50%.
    Document& big = *editor.workspace().FileNew(true);
    for (int row = 0; row < 40; ++row) {
        for (int col = 0; col < 50; ++col) {
            addState(big, "S" + std::to_string(row * 50 + col), NK_STATE, 300.0f + col * 1500.0f,
                     300.0f + row * 1200.0f);
        }
    }
    editor.main().mdiArea()->activeSubWindow()->showMaximized();
    editor.active()->mnuZoom(3);
    snap("big50");
    editor.active()->mnuZoom(4);
    snap("big25");
    return 0;
}
