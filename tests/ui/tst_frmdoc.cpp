// The document window as the user meets it: gestures on the canvas become
// states, transitions, moves and bends; undo and redo walk the history; the
// toolbar follows the diagram; closing asks before changes are lost.
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "base/paths.h"
#include "base/privatefolder.h"
#include "editor/commentclipboard.h"
#include "editor/transitionlayout.h"
#include "editor/ui/commenteditor.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/dialoghooks.h"
#include "editor/ui/frmdoc.h"
#include "editor/undoredo.h"
#include "export/diagrampainter.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "model/text.h"
#include "shell/ui/frmlib_linkinstance.h"
#include "support/builders.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

// Takes the URLs the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class FrmDocTest : public QObject, private EditorFixture {
    Q_OBJECT

    // Two states, A left and B right, as an undo step of their own.
    std::pair<Node*, Node*> twoStates() {
        Node* a = test::addState(document(), "A", NK_STATE, 600, 600);
        Node* b = test::addState(document(), "B", NK_STATE, 4500, 600);
        doc()->rules().storeChanges();
        settle();
        return {a, b};
    }

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        editor = std::make_unique<Editor>();
        editor->main().mdiArea()->activeSubWindow()->showMaximized();
        settle();
    }
    void cleanup() {
        editor.reset();
        sandbox.reset();
    }

    void newWindowIsUntitledAndUnchanged() {
        QCOMPARE(QString::fromStdString(document().caption), QStringLiteral("FSM_0001"));
        QCOMPARE(doc()->windowTitle(), QStringLiteral("FSM_0001[*]"));
        QVERIFY(!doc()->isWindowModified());
        QVERIFY(!document().GraphHasChanged());
        QVERIFY(!editor->main().button("Undo")->isEnabled());
        QVERIFY(editor->main().button("Save")->isEnabled());
        QCOMPARE(editor->main().menuBar()->actions().size(), 6);  // the document's menus
    }

    void shortcutsReachOnlyTheActiveWindow() {
        QTest::keyClick(view(), Qt::Key_N, Qt::ControlModifier);
        settle();
        QCOMPARE(editor->main().docWindows().size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(document().caption), QStringLiteral("FSM_0002"));
        QVERIFY(!document().GraphHasChanged());
        QTest::keyClick(view(), Qt::Key_N, Qt::ControlModifier);
        settle();
        QCOMPARE(editor->main().docWindows().size(), std::size_t(3));
    }

    void dragOnTheCanvasDrawsAState() {
        drag(view(), {100, 100}, {160, 150});  // 900 x 750 twips
        QCOMPARE(count(diagram(), NK_STATE), 1);
        QCOMPARE(readField(diagram().NodeList()[0]->NodeData(), SF_NAME),
                 std::string_view("STATE_1"));
        QVERIFY(document().GraphHasChanged());
        QVERIFY(editor->main().button("Undo")->isEnabled());

        drag(view(), {300, 300}, {320, 320});  // 300 x 300 twips: too small
        QCOMPARE(diagram().nodeCount(), std::size_t(1));
        click(view(), {500, 500});  // a click draws nothing
        QCOMPARE(diagram().nodeCount(), std::size_t(1));
    }

    void dragFromStateToStateDrawsATransition_data() {
        QTest::addColumn<bool>("fromRim");
        QTest::newRow("from the connection handle on the rim") << true;
        QTest::newRow("with Shift from the body") << false;
    }
    void dragFromStateToStateDrawsATransition() {
        QFETCH(bool, fromRim);
        auto [a, b] = twoStates();
        const QPointF start = fromRim ? rimOf(a) : at(a->centre());
        drag(view(), start, at(b->centre()), fromRim ? Qt::NoModifier : Qt::ShiftModifier);
        QCOMPARE(count(diagram(), NK_TRANSITION), 1);
        QCOMPARE(a->NodeOutLinks().size(), std::size_t(1));
        Node* t = a->NodeOutLinks()[0]->LinkTarget();
        QCOMPARE(targetState(*t), b);

        // Undo takes the transition back, redo brings it again.
        doc()->mnuEditUndo();
        QCOMPARE(count(diagram(), NK_TRANSITION), 0);
        QVERIFY(editor->main().button("Redo")->isEnabled());
        doc()->mnuEditRedo();
        QCOMPARE(count(diagram(), NK_TRANSITION), 1);
        QVERIFY(!editor->main().button("Redo")->isEnabled());
    }

    void aLinkBackToItsStateMakesASelfTransitionBeside() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        const QPointF rim = rimOf(a);
        const QPointF bottom = at({a->centre().x, a->NodeTop() + a->NodeHeight()});
        press(view(), rim);
        moveTo(view(), bottom + QPointF(0, 40), true);  // out of the state
        moveTo(view(), bottom + QPointF(0, 60), true);
        moveTo(view(), at(a->centre()), true);  // and back
        release(view(), at(a->centre()));
        settle();
        QCOMPARE(count(diagram(), NK_TRANSITION), 1);
        Node* t = a->NodeOutLinks()[0]->LinkTarget();
        QCOMPARE(targetState(*t), a);
        QVERIFY(t->NodeTop() >= a->NodeTop() + a->NodeHeight());  // below, where the pointer went
        QVERIFY(!coversSomething(diagram(), *t));
    }

    void aPlainDragMovesAndHandlesResize() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        document().autosizeNodes = false;
        const RectF before = a->rect();
        const QPointF body = at(a->centre());
        drag(view(), body, body + QPointF(0, 60));
        QCOMPARE(a->NodeTop(), before.top + 900);
        QCOMPARE(a->NodeLeft(), before.left);
        QCOMPARE(count(diagram(), NK_TRANSITION), 0);
        QVERIFY(doc()->rules().undRed().CanUndo());
        QVERIFY(a->NodeSelected());  // the moved state stays selected

        const QPointF corner = at({a->NodeLeft() + a->NodeWidth(), a->NodeTop() + a->NodeHeight()});
        const float width = a->NodeWidth();
        drag(view(), corner, corner + QPointF(40, 30));
        QCOMPARE(a->NodeWidth(), width + 600);
    }

    void draggingALinkAddsABend() {
        auto [a, b] = twoStates();
        test::addTransition(document(), a, b);
        doc()->rules().storeChanges();
        settle();
        Link* in = a->NodeOutLinks()[0];
        const auto pts = visibleLinkPoints(*in);
        const PointF mid{(pts.front().x + pts.back().x) / 2, pts.front().y};
        drag(view(), at(mid), at(mid) + QPointF(0, 60));
        QCOMPARE(in->LinkPoints().size(), std::size_t(3));
        QVERIFY(doc()->rules().undRed().CanUndo());
    }

    void zoomWindowZoomsIntoTheRectangle() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        doc()->mnuViewZoomRectangleIsotropic();
        QVERIFY(doc()->action("mnuViewZoomRectangleIsotropic")->isChecked());
        const QRectF r = view()->toView(a->rect());
        drag(view(), r.topLeft(), r.bottomRight());
        QVERIFY(diagram().ZoomX() > 300);
        QCOMPARE(doc()->rules().PointerMode(), POINTER_DRAW);
        QVERIFY(!doc()->action("mnuViewZoomRectangleIsotropic")->isChecked());
        QVERIFY(view()->toView(a->rect()).width() > r.width() * 3);
        QCOMPARE(diagram().nodeCount(), std::size_t(2));  // nothing drawn
    }

    void aTransitionsWayOutMovesToAnotherState() {
        auto [a, b] = twoStates();
        Node* c = test::addState(document(), "C", NK_STATE, 4500, 3600);
        Node* t = test::addTransition(document(), a, b);
        doc()->rules().storeChanges();
        settle();
        Link* out = t->NodeOutLinks()[0];
        click(view(), at(visibleLinkPoints(*out)[1]) + QPointF(-20, 0));
        QVERIFY(out->LinkSelected());
        const QPointF end = at(visibleLinkPoints(*out).back());
        drag(view(), end, at(c->centre()));
        QCOMPARE(targetState(*t), c);
        QCOMPARE(t->NodeOutLinks().size(), std::size_t(1));
        QCOMPARE(t->NodeOutLinks()[0]->LinkArrowStyle(), 3);
        QVERIFY(b->NodeInLinks().empty());
        // Onto a comment the end does not go.
        Link* now = t->NodeOutLinks()[0];
        now->setLinkSelected(true);
        doc()->mnuInsertaComentario();
        Node* comment = diagram().NodeList().back().get();
        settle();
        drag(view(), at(visibleLinkPoints(*now).back()), at(comment->centre()));
        QCOMPARE(targetState(*t), c);
    }

    void draggingBeyondTheWindowScrollsIt() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        const QPointF body = at(a->centre());
        const QPointF outside(view()->viewport()->width() + 25, body.y());
        press(view(), body);
        for (int i = 0; i < 5; ++i) {
            moveTo(view(), outside, true);
        }
        release(view(), outside);
        settle();
        QVERIFY(view()->horizontalScrollBar()->value() > 0);
        QVERIFY(at(a->centre()).x() > view()->viewport()->width() - 30);
    }

    void escapeCancelsAMove() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        const RectF before = a->rect();
        const QPointF body = at(a->centre());
        press(view(), body);
        moveTo(view(), body + QPointF(80, 80), true);
        QVERIFY(!(a->rect() == before));
        QTest::keyClick(view(), Qt::Key_Escape);
        release(view(), body + QPointF(80, 80));
        settle();
        QCOMPARE(a->rect(), before);
        QVERIFY(!diagram().DiagramChanged());
    }

    void selectModeSelectsWithARubberBand() {
        auto [a, b] = twoStates();
        doc()->mnuEditSelectMode();
        QCOMPARE(editor->main().button("InsertMode")->data().toString(),
                 QStringLiteral("SelectMode"));
        drag(view(), at({100, 100}), at({a->NodeLeft() + a->NodeWidth() + 100, 3000}));
        QVERIFY(a->NodeSelected());
        QVERIFY(!b->NodeSelected());
        QCOMPARE(diagram().nodeCount(), std::size_t(2));  // no node drawn in select mode
    }

    void deleteKeyRemovesTheSelectionAndItsTransitions() {
        auto [a, b] = twoStates();
        test::addTransition(document(), a, b);
        doc()->rules().storeChanges();
        click(view(), at(b->centre()));
        QVERIFY(b->NodeSelected());
        QTest::keyClick(view(), Qt::Key_Delete);
        settle();
        QCOMPARE(diagram().nodeCount(), std::size_t(1));
        QCOMPARE(readField(diagram().NodeList()[0]->NodeData(), SF_NAME), std::string_view("A"));
    }

    void doubleClickOpensTheDialogsWithTheQueueSuspended() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        std::vector<std::string> opened;
        int suspended = -1;
        const std::string child = sandbox->writeDiagram("CHILD.fsm");
        editor->session->hooks().editFsm = [&](QWidget*, Document&, std::string& pending) {
            opened.push_back("fsm");
            suspended = editor->session->handoff().suspension();
            pending = child;
            return true;
        };
        editor->session->hooks().editState = [&](QWidget*, Document&, Node& n, std::string&) {
            opened.push_back(std::string(readField(n.NodeData(), SF_NAME)));
            return true;
        };
        doubleClick(view(), at(a->centre()));
        QCOMPARE(opened, std::vector<std::string>{"A"});
        doubleClick(view(), {700, 500});
        QCOMPARE(opened.size(), std::size_t(2));
        QCOMPARE(suspended, 1);
        QCOMPARE(editor->session->handoff().suspension(), 0);
        // The child the dialog asked for is open now, locked.
        QCOMPARE(QString::fromStdString(document().sFullDocname), QString::fromStdString(child));
        QVERIFY(diagram().DiagramLocked());
    }

    void commentsAreEditedInPlace() {
        doc()->mnuInsertaComentario();
        Node* c = diagram().NodeList().back().get();
        doubleClick(view(), at(c->centre()));
        CommentEditor* text1 = doc()->Text1();
        QVERIFY(text1->isVisible());
        QTest::keyClicks(text1, "remember me");
        view()->FocusDiagram();
        settle();
        QVERIFY(!text1->isVisible());
        QCOMPARE(QString::fromStdString(c->NodeText()), QStringLiteral("remember me"));
        QCOMPARE(c->NodeDrawStyle(), 5);
        QVERIFY(doc()->rules().undRed().CanUndo());
    }

    void onlyCommentsTravelThroughTheClipboard() {
        auto [a, b] = twoStates();
        Q_UNUSED(b);
        doc()->mnuInsertaComentario();
        Node* c = diagram().NodeList().back().get();
        c->setNodeText("note");
        diagram().clearSelection();
        c->setNodeSelected(true);
        doc()->mnuEditCopy();
        doc()->mnuEditPaste();
        QCOMPARE(count(diagram(), NK_COMMENT), 2);

        // A selection holding a state is neither cut nor pasted.
        diagram().clearSelection();
        a->setNodeSelected(true);
        doc()->mnuEditCut();
        QCOMPARE(count(diagram(), NK_STATE), 2);
        doc()->mnuEditPaste();
        QCOMPARE(count(diagram(), NK_COMMENT), 2);
        QCOMPARE(count(diagram(), NK_STATE), 2);
    }

    void lockingFollowsTheToolbar() {
        doc()->mnuLocked();
        QCOMPARE(editor->main().button("Lock_Unlock")->data().toString(), QStringLiteral("Lock"));
        QVERIFY(!editor->main().button("Cut")->isEnabled());
        QVERIFY(!doc()->action("mnuEditDelete")->isEnabled());
        QVERIFY(doc()->action("mnuLocked")->isChecked());
        drag(view(), {100, 100}, {200, 200});
        QCOMPARE(diagram().nodeCount(), std::size_t(0));  // nothing is drawn
        doc()->mnuLocked();
        QVERIFY(editor->main().button("Cut")->isEnabled());
        QCOMPARE(editor->main().button("Lock_Unlock")->data().toString(), QStringLiteral("Unlock"));
    }

    // Each toolbar button runs its own command on the active window.
    void toolbarButtonsRunTheirCommands() {
        auto press = [this](const char* key) {
            editor->main().button(key)->trigger();
            settle();
        };
        press("Remark");
        QCOMPARE(count(diagram(), NK_COMMENT), 1);
        press("Undo");
        QCOMPARE(count(diagram(), NK_COMMENT), 0);
        press("Redo");
        QCOMPARE(count(diagram(), NK_COMMENT), 1);
        press("InsertMode");
        QVERIFY(doc()->rules().selectModeChecked());
        press("AutoSize");
        QVERIFY(!document().autosizeNodes);
        press("Lock_Unlock");
        QVERIFY(diagram().DiagramLocked());
        press("Lock_Unlock");
        press("GoDown1Level");  // only its drop-down opens something
        press("New");
        QCOMPARE(editor->main().docWindows().size(), std::size_t(2));
        QVERIFY(document().autosizeNodes);  // the new window shows a document of its own
    }

    void generatorChoiceShowsInTheToolTip() {
        QCOMPARE(editor->main().button("GeneraCode")->toolTip(),
                 QStringLiteral("Generate C-Code: &Hierarchical Switch Case..."));
        QVERIFY(doc()->action("mnuGenerate_C_code_Hierarchical")->isChecked());
        doc()->selectGenerator(std::string(GEN_HIERARCHICAL_REENTRANT));
        QVERIFY(doc()->action("mnuGenerate_C_code_HierarchicalReentrant")->isChecked());
        QVERIFY(!doc()->action("mnuGenerate_C_code_Hierarchical")->isChecked());
        QVERIFY(diagram().DiagramChanged());
        // The three styles without a generator are never chosen by their items.
        doc()->action("mnuGenerate_C_code_TablaPoint")->trigger();
        QVERIFY(!doc()->action("mnuGenerate_C_code_TablaPoint")->isChecked());
    }

    void generatesCodeAndTheListFromTheMenus() {
        for (const char* name : {"TrafficLight.fsm", "PedestrianSignal.fsm"}) {
            QVERIFY(QFile::copy(QStringLiteral(TARVEL_SOURCE_DIR "/examples/") + name,
                                sandbox->path() + "/" + name));
        }
        const std::string root = sandbox->file("TrafficLight.fsm");
        QVERIFY(editor->workspace().FileOpen(root));
        ScriptedUi& ui = *editor->ui;
        ui.files = {FileDialogResult{sandbox->file("out.c"), false}};
        doc()->action("mnuGenerate_C_code_Hierarchical")->trigger();
        settle();
        QCOMPARE(ui.fileRequests.back().title,
                 std::string("Save Finite_State file as Ansi-C File..."));
        QCOMPARE(ui.fileRequests.back().proposedName, sandbox->file("TrafficLight.c"));
        QVERIFY(QFileInfo(QString::fromStdString(sandbox->file("out.c"))).size() > 0);
        QVERIFY(QFileInfo(QString::fromStdString(sandbox->file("out.h"))).size() > 0);
        QCOMPARE(document().sFullDocname, root);  // the root is active again
        QVERIFY(ui.messages.empty());

        ui.files = {FileDialogResult{sandbox->file("list.lst"), false}};
        doc()->mnuGenerateList();
        QCOMPARE(ui.fileRequests.back().title, std::string("Save As List file..."));
        QCOMPARE(ui.fileRequests.back().filter,
                 std::string("Lst Files(*.LST)|*.lst|All Files(*.*)|*.*|"));
        QFile list(QString::fromStdString(sandbox->file("list.lst")));
        QVERIFY(list.open(QIODevice::ReadOnly));
        QVERIFY(list.readAll().endsWith("[FSM LIST FILE END]\r\n"));
    }

    void closingAsksBeforeChangesAreLost() {
        ScriptedUi& ui = *editor->ui;
        auto* sub = editor->main().mdiArea()->activeSubWindow();
        test::addState(document(), "S");
        doc()->rules().storeChanges();

        ui.answers = {Answer::Cancel};
        QVERIFY(!sub->close());
        QCOMPARE(ui.questions.back(),
                 std::string("Tarvel Editor|The diagram in [FSM_0001] has changed.\r\n"
                             "Do you want to save the changes?"));

        // Yes, then the save dialog is cancelled: the window stays.
        ui.answers = {Answer::Yes};
        QVERIFY(!sub->close());
        QCOMPARE(editor->main().docWindows().size(), std::size_t(1));

        // Yes and a file: saved, then closed.
        const std::string path = sandbox->file("kept.fsm");
        ui.answers = {Answer::Yes};
        ui.files = {FileDialogResult{path, false}};
        QVERIFY(sub->close());
        settle();
        QVERIFY(QFile::exists(QString::fromStdString(path)));
        QVERIFY(editor->main().docWindows().empty());
        QVERIFY(!editor->main().button("Save")->isEnabled());
        QVERIFY(editor->main().button("New")->isEnabled());
        QCOMPARE(editor->main().menuBar()->actions().size(), 3);  // the frame's own menus
    }

    void unchangedWindowsCloseWithoutAQuestion() {
        drag(view(), {100, 100}, {160, 150});
        doc()->mnuEditUndo();  // back at the diagram as created
        QVERIFY(!document().GraphHasChanged());
        QVERIFY(editor->main().mdiArea()->activeSubWindow()->close());
        QVERIFY(editor->ui->questions.empty());
    }

    void aWindowWithoutCaptionAsksOnlyToSave() {
        // A damaged file leaves an empty window without a name.
        const std::string bad = sandbox->file("bad.fsm");
        QFile f(QString::fromStdString(bad));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a diagram");
        f.close();
        QVERIFY(!editor->workspace().FileOpen(bad));
        QCOMPARE(editor->ui->messages.size(), std::size_t(1));
        QVERIFY(document().caption.empty());
        document().diagram().SetDiagramChanged(true);
        editor->ui->answers = {Answer::No};
        QVERIFY(editor->main().mdiArea()->activeSubWindow()->close());
        QCOMPARE(editor->ui->questions.back(),
                 std::string("Tarvel Editor|Do you want to save the changes?"));
    }

    void aNewerFileRefusedClosesItsWindow() {
        Document newer;
        newer.sFullDocname = sandbox->file("newer.fsm");
        test::addState(newer, "A");
        SetGraphInfo("", "", "", "", "", "", "", "", "FSM_V000.007", "", "", "", "",
                     newer.diagram());
        SaveGraphInfo(newer, true);
        std::string error;
        QVERIFY(SaveToFile(newer.diagram(), newer.sFullDocname, error));
        editor->ui->answers = {Answer::No};
        QVERIFY(!editor->workspace().FileOpen(newer.sFullDocname));
        settle();
        QCOMPARE(editor->ui->questions.back(),
                 std::string("The file signature don't match: [FSM_V000.007]|"
                             "Atention this FSM has newer signature.\r\n Ignore and continue?"));
        QCOMPARE(editor->main().docWindows().size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(document().caption), QStringLiteral("FSM_0001"));
    }

    void savingOntoAReadOnlyFileLosesNothing() {
        const std::string path = sandbox->writeDiagram("ro.fsm");
        QVERIFY(editor->workspace().FileOpen(path));
        doc()->mnuLocked();  // opened locked
        Link* link = diagram().Links().front().get();
        link->setLinkSelected(true);
        test::addState(document(), "C", NK_STATE, 600, 3000);
        ::chmod(path.c_str(), 0444);
        doc()->mnuFileSave();
        ::chmod(path.c_str(), 0644);
        QCOMPARE(editor->ui->messages.back(), "Attention!|I can't save the changes in:\r\n" + path);
        QCOMPARE(diagram().Links().size(), std::size_t(2));  // the selected link stays
        QCOMPARE(count(diagram(), NK_ANY_STATE), 3);
        QVERIFY(document().GraphHasChanged());
    }

    void editingGoesOnWhenUndoCannotWrite() {
        // The undo folder cannot be made: a file stands in its place.
        editor.reset();
        const std::string privateFolder = PrivateFolder::userFolderPath();
        QDir(QString::fromStdString(privateFolder + "/undo")).removeRecursively();
        QFile blocker(QString::fromStdString(privateFolder + "/undo"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        editor = std::make_unique<Editor>();
        editor->main().mdiArea()->activeSubWindow()->showMaximized();
        settle();
        drag(view(), {100, 100}, {160, 150});
        QCOMPARE(count(diagram(), NK_STATE), 1);
        QVERIFY(!doc()->rules().undRed().CanUndo());
        QVERIFY(document().GraphHasChanged());
        QVERIFY(!editor->main().button("Undo")->isEnabled());

        // The user is told once, in a message box and the status bar, what is
        // off and why.
        const std::string told = editor->session->tellWhatIsOff(false);
        QVERIFY(told.find("Undo is off, and a second start opens a second editor") !=
                std::string::npos);
        QVERIFY(told.find(privateFolder + "/undo is not a directory") != std::string::npos);
        QCOMPARE(editor->ui->messages.back(), "Attention!|" + told);
        const auto* status = editor->main().findChild<QLabel*>("privateFolderStatus");
        QVERIFY(status != nullptr);
        QCOMPARE(status->text(), QStringLiteral("Undo and the hand-off are off"));
        QVERIFY(status->toolTip().endsWith("/undo is not a directory"));
        QFile::remove(QString::fromStdString(privateFolder + "/undo"));
    }

    void parentAndChildrenButtons() {
        const std::string parent = sandbox->writeDiagram("top.fsm");
        const std::string child = sandbox->writeDiagram("top/SUB.fsm");
        QVERIFY(editor->workspace().FileOpen(child));
        QVERIFY(editor->main().button("GoUp1Level")->isEnabled());
        QVERIFY(!editor->main().button("GoDown1Level")->isEnabled());
        doc()->openParent();
        QCOMPARE(document().sFullDocname, parent);
        QVERIFY(!editor->main().button("GoUp1Level")->isEnabled());

        // A state that calls SUB() makes it a child of top.
        diagram().setDiagramLocked(false);
        Node* a = diagram().NodeList()[0].get();
        test::setState(document(), a, [](StateRecord& r) { r.moore = "SUB();"; });
        doc()->RefreshButtons();
        QVERIFY(editor->main().button("GoDown1Level")->isEnabled());
    }

    // F1 opens the manual beside the program (in a build tree) in the
    // desktop's browser.
    void f1OpensTheManual() {
        const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/doc"));
        const QString manual = folder.filePath(QStringLiteral("index.html"));
        const bool made = !folder.exists();
        const bool existed = QFile::exists(manual);
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        QFile file(manual);
        QVERIFY(file.open(QIODevice::Append));
        file.close();
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QTest::keyClick(view(), Qt::Key_F1);
        settle();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        if (made) {
            QDir(folder).removeRecursively();
        } else if (!existed) {
            QFile::remove(manual);
        }
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(manual)});
    }
};

QTEST_MAIN(FrmDocTest)
#include "tst_frmdoc.moc"
