// The Check command and the Problems panel as the user meets them: F7 lists
// the findings of the whole hierarchy, a double-click opens the element's
// property dialog at the line of the field, and a generation tells in the
// status bar what the check found without showing the panel.
#include <Qsci/qsciscintilla.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "editor/ui/fieldfocus.h"
#include "editor/ui/frmdoc.h"
#include "editor/ui/optcmax.h"
#include "editor/ui/problemspanel.h"
#include "model/document.h"
#include "shell/ui/frmmain.h"
#include "shell/workspace.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

namespace {

const std::string FIXTURES = std::string(TARVEL_SOURCE_DIR) + "/tests/fixtures/check";

// What a property dialog showed when it opened.
struct OpenedDialog {
    QString focus;  // object name of the focused field
    QString tab;    // the current tab's title
    int line = -1;  // the cursor's line in a code editor, from 0
};

// Closes the next modal dialog once it has settled, noting what it showed.
void inspectNextDialog(OpenedDialog& seen, int tries = 100) {
    QTimer::singleShot(100, [&seen, tries] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            if (tries > 0) {
                inspectNextDialog(seen, tries - 1);
            }
            return;
        }
        QWidget* focus = dialog->focusWidget();
        seen.focus = focus ? focus->objectName() : QString();
        if (auto* tabs = dialog->findChild<QTabWidget*>(QStringLiteral("SSTab1"))) {
            seen.tab = tabs->tabText(tabs->currentIndex());
        }
        if (auto* editor = qobject_cast<QsciScintilla*>(focus)) {
            int index = 0;
            editor->getCursorPosition(&seen.line, &index);
        }
        dialog->reject();
    });
}

}  // namespace

class ProblemsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<Editor> editor;

    ProblemsPanel* panel() { return ProblemsPanel::of(&editor->main()); }

    // A copy of a fixture folder in the sandbox, opened in the editor.
    frmDoc* open(const std::string& fixture) {
        const std::string dir = sandbox->file(fixture);
        std::filesystem::copy(FIXTURES + "/" + fixture, dir,
                              std::filesystem::copy_options::recursive);
        editor->workspace().FileOpen(dir + "/Root.fsm");
        settle();
        return editor->active();
    }

    void waitForCheck() {
        QSignalSpy done(panel(), &ProblemsPanel::checked);
        QVERIFY(done.wait(30000));
        settle();
    }

    QStringList row(int i) {
        QTreeWidgetItem* item = panel()->list()->topLevelItem(i);
        return {item->text(0), item->text(1), item->text(2), item->text(3)};
    }

private slots:
    void initTestCase() {
        // No "Coder.ini" beside the test: the editors' defaults, quietly.
        clsLib_OptCMax::setMessageHandler([](const QString&) {});
    }
    void init() {
        sandbox = std::make_unique<Sandbox>();
        editor = std::make_unique<Editor>();
        settle();
    }
    void cleanup() {
        editor.reset();
        sandbox.reset();
    }

    void checkListsTheFindingsOfTheHierarchy() {
        frmDoc* w = open("duplicate-fsm-name");
        QVERIFY(panel() != nullptr);
        QVERIFY(!panel()->isVisible());
        w->action("mnuCheck")->trigger();
        waitForCheck();
        QVERIFY(panel()->isVisible());
        // The model finding of the child that is left out, then the compiler's.
        QCOMPARE(panel()->list()->topLevelItemCount(),
                 static_cast<int>(panel()->report().findings.size()));
        QCOMPARE(row(0), (QStringList{"error", "Sub2.fsm: FSM properties, name",
                                      "the FSM name \"Sub1\" is also the name of Sub1.fsm, so the "
                                      "generator skips this diagram and its function is missing "
                                      "from the module",
                                      "duplicate-fsm-name"}));
        QVERIFY(!panel()->list()->topLevelItem(0)->icon(0).isNull());
        const QString status = editor->main().statusText();
        QVERIFY2(status.startsWith("Check of Root.fsm: ") && status.contains("error(s)"),
                 qPrintable(status));
        // Opening a child's finding opens the child's window, at its FSM properties.
        OpenedDialog seen;
        inspectNextDialog(seen);
        panel()->openFinding(0);
        settle();
        QCOMPARE(QString::fromStdString(editor->active()->document()->caption),
                 QStringLiteral("Sub2"));
        QCOMPARE(seen.focus, QStringLiteral("txtNombreFSM"));
    }

    void doubleClickOpensTheFieldAtItsLine() {
        frmDoc* w = open("c-error");
        editor->main().button("Check")->trigger();
        waitForCheck();
        QCOMPARE(row(1)[1], QStringLiteral("state \"A\", exit action, line 2"));
        OpenedDialog seen;
        inspectNextDialog(seen);
        QTreeWidgetItem* item = panel()->list()->topLevelItem(1);
        panel()->list()->setCurrentItem(item);
        emit panel()->list()->itemActivated(item, 1);
        settle();
        QCOMPARE(seen.focus, QStringLiteral("txtAccionOutput"));
        QCOMPARE(seen.tab, QStringLiteral("Exit"));
        QCOMPARE(seen.line, 1);
        // The state is the selected node.
        const Node* selected = nullptr;
        for (const auto& n : w->document()->diagram().NodeList()) {
            selected = n->NodeSelected() ? n.get() : selected;
        }
        QVERIFY(selected != nullptr);
        QCOMPARE(selected->NodeData().substr(0, 1), std::string("A"));

        // A condition's finding opens the transition at its second line.
        OpenedDialog condition;
        inspectNextDialog(condition);
        panel()->openFinding(0);
        settle();
        QCOMPARE(condition.focus, QStringLiteral("txtCondicion"));
        QCOMPARE(condition.line, 1);
    }

    // The focus waits for the dialog that has the field: a message shown on
    // the way is passed over.
    void fieldFocusFindsItsDialogTabAndLine() {
        FieldFocus focus(QStringLiteral("txtCode"), 3);
        QMessageBox message(QMessageBox::Information, QStringLiteral("Note"),
                            QStringLiteral("first"));
        message.show();
        settle();
        QDialog dialog;
        auto* tabs = new QTabWidget(&dialog);
        tabs->addTab(new QWidget, QStringLiteral("One"));
        auto* code = new QsciScintilla;
        code->setObjectName(QStringLiteral("txtCode"));
        code->setText(QStringLiteral("a\nb\nc\nd"));
        tabs->addTab(code, QStringLiteral("Two"));
        dialog.show();
        settle();
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(dialog.focusWidget(), code);
        int line = 0;
        int index = 0;
        code->getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
    }

    void generationTellsTheCheckInTheStatusBar() {
        frmDoc* w = open("c-warning");
        editor->ui->files.push_back(FileDialogResult{sandbox->file("Root.c"), false});
        w->mnuGenerate_C_code_Default();
        waitForCheck();
        QVERIFY(QFile::exists(QString::fromStdString(sandbox->file("Root.c"))));
        QVERIFY(!panel()->isVisible());
        QCOMPARE(editor->main().statusText(),
                 QStringLiteral("Check of Root.fsm: 0 error(s), 2 warning(s) (F7 lists them)"));
    }
};

QTEST_MAIN(ProblemsTest)
#include "tst_problems.moc"
