// The canvas as a user meets it: what the pointer says before a drag, what a
// drag, a right-click, the wheel and the keys do, each change one undo step;
// the lock that explains itself; the commands Duplicate and Arrange
// Transition Labels; the title, status bar and window placement.
#include <QApplication>
#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <array>
#include <cmath>
#include <map>

#include "editor/transitionlayout.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/dialoghooks.h"
#include "editor/ui/frmdoc.h"
#include "editor/undoredo.h"
#include "export/diagrampainter.h"
#include "model/text.h"
#include "support/builders.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

namespace {

std::string nameOf(const Node* n) {
    return std::string(readField(n->NodeData(), SF_NAME));
}

// Opens the right-click menu at a viewport position, hands it to `inspect`
// while it is open, and closes it.
void rightClick(DiagramView* view, QPointF at, const std::function<void(QMenu&)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu != nullptr) {
            seen = true;
            inspect(*menu);
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at.toPoint(),
                            view->viewport()->mapToGlobal(at.toPoint()));
    QApplication::sendEvent(view->viewport(), &event);
    settle();
    QVERIFY2(seen, "no menu opened");
}

QStringList actionNames(const QMenu& menu) {
    QStringList names;
    for (QAction* a : menu.actions()) {
        if (!a->isSeparator()) {
            names << (a->menu() != nullptr ? a->menu()->objectName() : a->objectName());
        }
    }
    return names;
}

void wheel(DiagramView* view, QPointF at, int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &e);
    settle();
}

}  // namespace

class CanvasTest : public QObject, private EditorFixture {
    Q_OBJECT

    // States A (left) and B (right), and C below B, as an undo step.
    std::array<Node*, 3> threeStates() {
        Node* a = addState(document(), "A", NK_STATE, 600, 600);
        Node* b = addState(document(), "B", NK_STATE, 5400, 600);
        Node* c = addState(document(), "C", NK_STATE, 5400, 4200);
        doc()->rules().storeChanges();
        settle();
        return {a, b, c};
    }
    // A transition drawn from one state to another with the mouse.
    Node* drawTransition(Node* from, Node* to) {
        drag(view(), rimOf(from), at(to->centre()));
        return from->NodeOutLinks().back()->LinkTarget();
    }
    QString statusMessage() { return editor->main().statusMessage(); }

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        editor = std::make_unique<Editor>();
        // The property dialogs are someone else's test; here they close at once.
        editor->session->hooks().editFsm = [](QWidget*, Document&, std::string&) { return false; };
        editor->session->hooks().editState = [](QWidget*, Document&, Node&, std::string&) {
            return false;
        };
        editor->session->hooks().editTransition = [](QWidget*, Document&, Node&) { return false; };
        editor->main().mdiArea()->activeSubWindow()->showMaximized();
        settle();
    }
    void cleanup() {
        editor.reset();
        sandbox.reset();
    }

    void thePointerSaysWhatADragWillDo() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(c);
        Node* t = drawTransition(a, b);
        const struct {
            const char* where;
            QPointF pos;
            Qt::CursorShape cursor;
            const char* hint;
            Node* handle;
        } cases[] = {
            {"body of a state", at(a->centre()), Qt::SizeAllCursor, "Drag: move", nullptr},
            {"rim of a state", rimOf(a), Qt::CrossCursor, "draw a transition", a},
            {"transition node", at(t->centre()), Qt::SizeAllCursor, "its new target", nullptr},
            {"empty canvas", at({3000, 6000}), Qt::ArrowCursor, "Drag: draw a state", nullptr},
        };
        for (const auto& k : cases) {
            moveTo(view(), k.pos, false);
            settle();
            QVERIFY2(view()->viewport()->cursor().shape() == k.cursor, k.where);
            QVERIFY2(editor->main().hintText().contains(QLatin1String(k.hint)), k.where);
            QVERIFY2(view()->connectHandleNode() == k.handle, k.where);
        }
        // The first panel still names the state under the pointer.
        moveTo(view(), at(a->centre()), false);
        QCOMPARE(editor->main().statusText(), QStringLiteral("State: A  (1)"));
    }

    void aPlainDragMovesTheSelectionWithItsTransitions() {
        auto [a, b, c] = threeStates();
        Node* ab = drawTransition(a, b);
        Node* bc = drawTransition(b, c);
        // A self loop on A, drawn out below and back.
        const QPointF below = at({a->centre().x, a->NodeTop() + a->NodeHeight()});
        press(view(), rimOf(a));
        moveTo(view(), below + QPointF(0, 40), true);
        moveTo(view(), below + QPointF(0, 70), true);
        moveTo(view(), at(a->centre()), true);
        release(view(), at(a->centre()));
        settle();
        Node* loop = a->NodeOutLinks().back()->LinkTarget();
        QCOMPARE(targetState(*loop), a);
        const std::vector<PointF> loopBend = loop->NodeOutLinks().front()->LinkPoints();

        click(view(), at(a->centre()));
        click(view(), at(b->centre()), Qt::ControlModifier);
        QVERIFY(a->NodeSelected() && b->NodeSelected());
        std::map<Node*, RectF> before;
        for (Node* n : {a, b, c, ab, bc, loop}) {
            before[n] = n->rect();
        }
        drag(view(), at(a->centre()), at(a->centre()) + QPointF(0, 40));  // 600 twips down
        for (Node* n : {a, b, ab, loop}) {
            QCOMPARE(n->NodeTop(), before[n].top + 600);
            QCOMPARE(n->NodeLeft(), before[n].left);
        }
        QCOMPARE(c->rect(), before[c]);
        QCOMPARE(bc->rect(), before[bc]);
        // The loop keeps its shape.
        QCOMPARE(loop->NodeOutLinks().front()->LinkPoints()[1].y, loopBend[1].y + 600);

        // One undo step puts everything back.
        doc()->mnuEditUndo();
        Node* a2 = diagram().NodeList()[0].get();
        QCOMPARE(a2->rect(), before[a]);
    }

    void escapeCancelsDrawingATransition() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(c);
        press(view(), rimOf(a));
        moveTo(view(), at(b->centre()) - QPointF(20, 0), true);
        moveTo(view(), at(b->centre()), true);
        QTest::keyClick(view(), Qt::Key_Escape);
        release(view(), at(b->centre()));
        settle();
        QCOMPARE(count(diagram(), NK_TRANSITION), 0);
        QVERIFY(!doc()->rules().undRed().CanUndo() || !diagram().DiagramChanged());
    }

    void theLockExplainsWhatItRefuses() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(b);
        Q_UNUSED(c);
        const auto lock = editor->main().findChild<QToolButton*>(QStringLiteral("sbLock"));
        QVERIFY(lock != nullptr && lock->isVisible());
        QCOMPARE(lock->text(), QStringLiteral("Editable"));
        QTest::keyClick(view(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(diagram().DiagramLocked());
        QCOMPARE(lock->text(), QStringLiteral("Locked"));
        const QString message = QString::fromUtf8(LOCKED_MESSAGE.data(), LOCKED_MESSAGE.size());
        QCOMPARE(message,
                 QStringLiteral("The diagram is locked: click the padlock (Ctrl+L) to edit it"));

        const RectF before = a->rect();
        for (QPointF from : {at(a->centre()), at({3000, 6000})}) {
            editor->main().showStatusMessage({});
            drag(view(), from, from + QPointF(60, 60));
            QCOMPARE(statusMessage(), message);
        }
        QCOMPARE(a->rect(), before);
        QCOMPARE(diagram().nodeCount(), std::size_t(3));
        editor->main().showStatusMessage({});
        doubleClick(view(), at({3000, 6000}));
        QCOMPARE(statusMessage(), message);
        // The padlock unlocks.
        lock->click();
        QVERIFY(!diagram().DiagramLocked());
    }

    void rightClickMenusOfferWhatAppliesThere_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("state") << "state" << QStringList{"ctxProperties",   "ctxOpenChild",
                                                         "mnuFileNewChild", "mnuEditDuplicate",
                                                         "mnuEditDelete",   "mnuEditSelectAll",
                                                         "mnuArrangeLabels"};
        QTest::newRow("transition")
            << "transition"
            << QStringList{"ctxProperties", "ctxStraighten", "mnuEditDelete", "mnuEditSelectAll",
                           "mnuArrangeLabels"};
        QTest::newRow("link") << "link"
                              << QStringList{"ctxProperties", "ctxStraighten", "mnuEditDelete",
                                             "mnuEditSelectAll", "mnuArrangeLabels"};
        QTest::newRow("comment") << "comment" << QStringList{"ctxEditText",   "mnuEditCut",
                                                             "mnuEditCopy",   "mnuEditDuplicate",
                                                             "mnuEditDelete", "mnuEditSelectAll"};
        QTest::newRow("canvas") << "canvas" << QStringList{"ctxNewState",      "ctxInsertRemark",
                                                           "mnuEditPaste",     "mnuEditSelectAll",
                                                           "mnuArrangeLabels", "mnuZoomIn",
                                                           "mnuZoomOut",       "mnuZoom1",
                                                           "mnuZoom5",         "mnuFSMProperties"};
    }
    void rightClickMenusOfferWhatAppliesThere() {
        QFETCH(QString, where);
        QFETCH(QStringList, expected);
        auto [a, b, c] = threeStates();
        Q_UNUSED(c);
        Node* t = drawTransition(a, b);
        doc()->mnuInsertaComentario();
        Node* comment = diagram().NodeList().back().get();
        comment->setRect({600, 6000, 900, 600});
        settle();
        const std::vector<PointF> way = visibleLinkPoints(*a->NodeOutLinks().front());
        const PointF onLink{(way.front().x + way.back().x) / 2, (way.front().y + way.back().y) / 2};
        const QPointF pos = where == "state"        ? at(a->centre())
                            : where == "transition" ? at(t->centre())
                            : where == "link"       ? at(onLink)
                            : where == "comment"    ? at(comment->centre())
                                                    : at({3000, 9000});
        QStringList shown;
        rightClick(view(), pos, [&](QMenu& menu) { shown = actionNames(menu); });
        QCOMPARE(shown, expected);
    }

    void theMenusKeepTheirOrder() {
        // The new commands sit among the old ones, sub-menus where they were.
        auto names = [&](const char* menu) {
            for (QMenu* m : doc()->menus()) {
                if (m->objectName() == QLatin1String(menu)) {
                    return actionNames(*m);
                }
            }
            return QStringList();
        };
        QCOMPARE(names("mnuEdit").mid(0, 7),
                 (QStringList{"mnuFSMProperties", "mnuInsertaComentario", "mnuFont", "mnuEditFind",
                              "mnuEditUndo", "mnuEditRedo", "mnuEditCut"}));
        QCOMPARE(names("mnuView"), (QStringList{"mnuViewToolbar", "mnuViewStatusBar", "mnuViewTabs",
                                                "mnuHideComments", "mnuGrid", "mnuGridSize",
                                                "mnuZoom", "mnuViewZoomRectangleIsotropic"}));
        const QStringList file = names("mnuFile");
        QCOMPARE(file.indexOf("mnuGenerate_C_code"), file.indexOf("mnuFileNewChild") + 1);
        QCOMPARE(file.last(), QStringLiteral("mnuFileExit"));
        QCOMPARE(doc()->action("mnuFileExit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    }

    void rightClickCommandsActWhereTheyWereAsked() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(b);
        Q_UNUSED(c);
        // A new state where the canvas was clicked.
        const PointF spot{3000, 6000};
        rightClick(view(), at(spot), [](QMenu& menu) {
            for (QAction* act : menu.actions()) {
                if (act->objectName() == QLatin1String("ctxNewState")) {
                    act->trigger();
                }
            }
        });
        QCOMPARE(count(diagram(), NK_STATE), 4);
        Node* fresh = diagram().NodeList().back().get();
        QVERIFY(std::fabs(fresh->centre().x - spot.x) < 400);
        QVERIFY(std::fabs(fresh->centre().y - spot.y) < 400);
        QVERIFY(fresh->NodeSelected());
        // Delete from the state's menu: one undo step brings it back.
        rightClick(view(), at(a->centre()), [](QMenu& menu) {
            for (QAction* act : menu.actions()) {
                if (act->objectName() == QLatin1String("mnuEditDelete")) {
                    act->trigger();
                }
            }
        });
        QCOMPARE(count(diagram(), NK_STATE), 3);
        doc()->mnuEditUndo();
        QCOMPARE(count(diagram(), NK_STATE), 4);
    }

    void ctrlWheelZoomsAboutThePointer() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(a);
        Q_UNUSED(c);
        const QPointF pointer = at(b->centre());
        wheel(view(), pointer, 120, Qt::ControlModifier);
        QCOMPARE(diagram().ZoomX(), 125);
        QVERIFY(QLineF(at(b->centre()), pointer).length() < 2);
        wheel(view(), pointer, 240, Qt::ControlModifier);
        QCOMPARE(diagram().ZoomX(), 200);
        wheel(view(), pointer, -120, Qt::ControlModifier);
        QCOMPARE(diagram().ZoomX(), 150);
        QVERIFY(QLineF(at(b->centre()), pointer).length() < 2);
        doc()->mnuZoom(1);
        // Without Ctrl the wheel scrolls.
        view()->verticalScrollBar()->setMaximum(1000);
        wheel(view(), pointer, -120, Qt::NoModifier);
        QCOMPARE(diagram().ZoomX(), 100);
        QVERIFY(view()->verticalScrollBar()->value() > 0);
    }

    void zoomKeysStepAndReset() {
        const struct {
            int key;
            int zoom;
        } steps[] = {{Qt::Key_Plus, 125}, {Qt::Key_Plus, 150}, {Qt::Key_Minus, 125},
                     {Qt::Key_0, 100},    {Qt::Key_Minus, 75}, {Qt::Key_Equal, 100}};
        for (const auto& s : steps) {
            QTest::keyClick(view(), static_cast<Qt::Key>(s.key), Qt::ControlModifier);
            settle();
            QCOMPARE(diagram().ZoomX(), s.zoom);
        }
        QVERIFY(doc()->action("mnuZoom1")->isChecked());  // 100% (Normal)
    }

    void arrowKeysNudgeOneUndoStepPerPress() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(b);
        Q_UNUSED(c);
        document().autosizeNodes = false;
        click(view(), at(a->centre()));
        const RectF start = a->rect();
        QTest::keyClick(view(), Qt::Key_Right);
        QCOMPARE(a->NodeLeft(), start.left + 120);  // a grid step
        QTest::keyClick(view(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(a->NodeTop(), start.top + 15);  // a pixel at 100%
        QTest::keyClick(view(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(a->NodeLeft(), start.left + 105);
        doc()->mnuEditUndo();
        Node* again = diagram().NodeList()[0].get();
        QCOMPARE(again->NodeLeft(), start.left + 120);
        QCOMPARE(again->NodeTop(), start.top + 15);
        // Nothing left of the origin.
        click(view(), at(again->centre()));
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(view(), Qt::Key_Left);
        }
        QCOMPARE(again->NodeLeft(), 0.0f);
    }

    void duplicateCopiesStatesWithTheTransitionsAmongThem() {
        auto [a, b, c] = threeStates();
        test::setState(document(), a, [](StateRecord& r) { r.entry = "start();"; });
        StateRecord initial = StateRecord::read(*a);
        writeState(document(), initial, NK_INITIAL, *a);
        drawTransition(a, b);
        drawTransition(b, c);
        drawTransition(a, b);
        click(view(), at(a->centre()));
        click(view(), at(b->centre()), Qt::ControlModifier);
        const std::size_t nodes = diagram().nodeCount();

        QTest::keyClick(view(), Qt::Key_D, Qt::ControlModifier);
        settle();
        QCOMPARE(diagram().nodeCount(), nodes + 4);  // two states, their two transitions
        std::vector<Node*> copies;
        for (const auto& n : diagram().NodeList()) {
            if (n->NodeSelected() && isState(*n)) {
                copies.push_back(n.get());
            }
        }
        QCOMPARE(copies.size(), std::size_t(2));
        QCOMPARE(nameOf(copies[0]), std::string("A_2"));
        QCOMPARE(nameOf(copies[1]), std::string("B_2"));
        QCOMPARE(readField(copies[0]->NodeData(), SF_INDEX), std::string_view("4"));
        QCOMPARE(readField(copies[1]->NodeData(), SF_INDEX), std::string_view("5"));
        QCOMPARE(readField(copies[0]->NodeData(), SF_ENTRY), std::string_view("start();"));
        QVERIFY(!isInitial(*copies[0]));  // one initial state per diagram
        QVERIFY(isInitial(*a));
        QCOMPARE(transitionsOf(*copies[0]).size(), std::size_t(2));
        QCOMPARE(targetState(*transitionsOf(*copies[0])[0]), copies[1]);
        QVERIFY(transitionsOf(*copies[1]).empty());  // B -> C stays with the originals
        QVERIFY(overlappingNodes(diagram()).empty());

        doc()->mnuEditUndo();
        QCOMPARE(diagram().nodeCount(), nodes);
        // Nothing selected to copy: nothing happens, the status bar says why.
        diagram().clearSelection();
        doc()->mnuEditDuplicate();
        QCOMPARE(diagram().nodeCount(), nodes);
        QVERIFY(statusMessage().contains(QLatin1String("Select")));
    }

    void arrangeTransitionLabelsMovesWhatCoversSomething() {
        auto [a, b, c] = threeStates();
        Node* t = drawTransition(a, b);
        drawTransition(b, c);
        // The label dragged onto C.
        drag(view(), at(t->centre()), at(c->centre()));
        QVERIFY(coversSomething(diagram(), *t));
        const RectF aBefore = a->rect();
        doc()->action("mnuArrangeLabels")->trigger();
        settle();
        QVERIFY(!coversSomething(diagram(), *t));
        QCOMPARE(a->rect(), aBefore);
        QVERIFY(statusMessage().contains(QLatin1String("1 transition label")));
        doc()->mnuEditUndo();
        QVERIFY(coversSomething(diagram(), *diagram().NodeList()[3]));
    }

    void aLabelThatGrowsInItsDialogMovesClear() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(c);
        // Close together: a long condition makes the label run over B.
        drag(view(), at(b->centre()), at(b->centre()) - QPointF(240, 0));
        Node* t = drawTransition(a, b);
        editor->session->hooks().editTransition = [this](QWidget*, Document& d, Node& node) {
            TransitionRecord r = TransitionRecord::read(node);
            r.condition = "sensorA_reading > LIMIT_HIGH && sensorB_reading < LIMIT_LOW";
            writeTransition(d, r, node);
            return true;
        };
        doubleClick(view(), at(t->centre()));
        QVERIFY(!coversSomething(diagram(), *t));
        QVERIFY(linksOnOneLine(diagram()).empty());
    }

    void titleMarksUnsavedChanges() {
        QVERIFY(!doc()->isWindowModified());
        drag(view(), {100, 100}, {160, 150});
        QVERIFY(doc()->isWindowModified());
        editor->ui->files = {FileDialogResult{sandbox->file("saved.fsm"), false}};
        doc()->mnuFileSave();
        QVERIFY(!doc()->isWindowModified());
        QCOMPARE(doc()->windowTitle(), QStringLiteral("saved[*]"));
    }

    void theStatusBarForgetsWhatIsGone() {
        auto [a, b, c] = threeStates();
        Q_UNUSED(b);
        Q_UNUSED(c);
        moveTo(view(), at(a->centre()), false);
        QCOMPARE(editor->main().statusText(), QStringLiteral("State: A  (1)"));
        click(view(), at(a->centre()));
        QTest::keyClick(view(), Qt::Key_Delete);
        settle();
        QVERIFY(editor->main().statusText().isEmpty());

        moveTo(view(), at(diagram().NodeList()[0]->centre()), false);
        QVERIFY(!editor->main().statusText().isEmpty());
        QVERIFY(!editor->main().hintText().isEmpty());
        diagram().SetDiagramChanged(false);
        document().ClearGraphChanges();
        editor->main().mdiArea()->activeSubWindow()->close();
        settle();
        QVERIFY(editor->main().statusText().isEmpty());
        QVERIFY(editor->main().hintText().isEmpty());
    }

    void generationNamesTheFilesItWrote() {
        const std::string path = sandbox->writeDiagram("Gen.fsm");
        QVERIFY(editor->workspace().FileOpen(path));
        editor->ui->files = {FileDialogResult{sandbox->file("gen.c"), false}};
        doc()->action("mnuGenerate_C_code_Hierarchical")->trigger();
        settle();
        QCOMPARE(statusMessage(), QString::fromStdString("Written: " + sandbox->file("gen.c") +
                                                         ", " + sandbox->file("gen.h")));
        editor->ui->files = {FileDialogResult{sandbox->file("gen.lst"), false}};
        doc()->mnuGenerateList();
        QCOMPARE(statusMessage(), QString::fromStdString("Written: " + sandbox->file("gen.lst")));
    }

    void openedDocumentsFillTheWorkAreaAndTabsAreAChoice() {
        // The untitled window of a plain start is a normal window.
        editor.reset();
        editor = std::make_unique<Editor>();
        QVERIFY(!editor->main().mdiArea()->activeSubWindow()->isMaximized());
        const std::string path = sandbox->writeDiagram("Opened.fsm");
        QVERIFY(editor->workspace().FileOpen(path));
        settle();
        QVERIFY(editor->main().mdiArea()->activeSubWindow()->isMaximized());

        QVERIFY(!editor->main().tabsShown());
        doc()->action("mnuViewTabs")->trigger();
        QCOMPARE(editor->main().mdiArea()->viewMode(), QMdiArea::TabbedView);
        QVERIFY(doc()->action("mnuViewTabs")->isChecked());
        // The choice and a maximised frame are kept for the next start.
        editor->main().showMaximized();
        settle();
        QVERIFY(editor->main().isMaximized());
        editor.reset();
        QCOMPARE(QSettings().value(QStringLiteral("Settings/MainMaximized")).toString(),
                 QStringLiteral("True"));
        editor = std::make_unique<Editor>();
        QVERIFY(editor->main().isMaximized());
        QVERIFY(editor->main().tabsShown());
    }
};

QTEST_MAIN(CanvasTest)
#include "tst_canvas.moc"
