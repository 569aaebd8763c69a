// The property dialogs' wiring: controls loaded from the records, edits
// going through the rules, a locked diagram left untouched, sizes kept.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>

#include "dialogs/ui/dialogentrypoints.h"
#include "dialogs/ui/fontcolourdialog.h"
#include "dialogs/ui/frmpropfsm.h"
#include "dialogs/ui/frmpropnodo.h"
#include "dialogs/ui/frmproptransicion.h"
#include "dialogs_uitest.h"
#include "editor/ui/codeeditor.h"
#include "editor/ui/frmfind.h"
#include "editor/ui/frmfindwhat.h"
#include "editor/undoredo.h"
#include "model/fsmrecord.h"
#include "model/text.h"
#include "support/builders.h"
#include "support/fakeprompter.h"
#include "support/tempdir.h"

namespace tarvel {

namespace {

std::string field(const Node* n, int f) {
    return std::string(readField(n->NodeData(), f));
}

// Two states joined by one transition, a self transition, and an FSM record.
struct Machine {
    Document doc;
    test::FakePrompter prompter;
    Node* idle = test::addState(doc, "Idle", NK_INITIAL);
    Node* run = test::addState(doc, "Run", NK_STATE, 4000, 1000);
    Node* go = test::addTransition(doc, idle, run);
    Node* loop = test::addTransition(doc, run, run);
    Machine() {
        SetGraphInfo("Motor", "void", "int", "init();", "", "", "", "", "FSM_V000.005", "", "mod",
                     "fun", "5", doc.diagram());
        test::setState(doc, run, [](StateRecord& r) { r.moore = "spin();\r\n"; });
        doc.diagram().SetDiagramChanged(false);
    }
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useScratchSettings(m_settings); }

    void stateDialogLoadsTheState() {
        Machine m;
        frmPropNodo dialog(m.doc, *m.run, m.prompter);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Node properties"));
        QCOMPARE(dialog.txtIndice()->text(), QStringLiteral("2"));
        QCOMPARE(dialog.txtNombre()->text(), QStringLiteral("Run"));
        QCOMPARE(dialog.txtAccionMoore()->recordText(), std::string("spin();\r\n"));
        QVERIFY(dialog.optNodoNormal()->isChecked());
        QCOMPARE(dialog.SSTab1()->tabText(dialog.SSTab1()->currentIndex()),
                 QStringLiteral("During"));
        QCOMPARE(dialog.chkGenFunctionIsIn()->text(),
                 QStringLiteral("Generate the state confirmation: Motor_IsIn_Run()"));
        QVERIFY(dialog.cmdValidar()->isEnabled());
        QVERIFY(!dialog.txtAccionMoore()->isReadOnly());
    }

    void stateDialogWritesItsEdits() {
        Machine m;
        frmPropNodo dialog(m.doc, *m.run, m.prompter);
        dialog.txtNombre()->setText(QStringLiteral("Run fast"));
        dialog.txtAccionOutput()->setText(QStringLiteral("\tstop();\nlog();  "));
        dialog.editor_LostFocus(dialog.txtAccionOutput());
        QCOMPARE(dialog.txtAccionOutput()->recordText(), std::string("    stop();\r\nlog();"));
        dialog.txtNombre_LostFocus();
        dialog.optNodoFinal()->setChecked(true);
        dialog.chkGenFunctionGoto()->setChecked(true);
        dialog.cmdValidar_Click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(field(m.run, SF_NAME), std::string("Run_fast"));
        QCOMPARE(field(m.run, SF_EXIT), std::string("    stop();\r\nlog();"));
        QCOMPARE(field(m.run, SF_GOTO), std::string("Y"));
        QCOMPARE(field(m.run, SF_MOORE), std::string("spin();\r\n"));
        QCOMPARE(m.run->NodeKind(), NK_FINAL);
    }

    void stateDialogOkWithoutChangesWritesNothing() {
        Machine m;
        frmPropNodo dialog(m.doc, *m.run, m.prompter);
        dialog.cmdValidar_Click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!m.doc.diagram().DiagramChanged());
    }

    void stateDialogRefusesAnIllegalIndexAndAUsedName() {
        Machine m;
        frmPropNodo dialog(m.doc, *m.run, m.prompter);
        dialog.txtIndice()->setText(QStringLiteral("0"));
        dialog.txtIndice_LostFocus();
        QCOMPARE(dialog.txtIndice()->text(), QString());
        QCOMPARE(m.prompter.messages.back(), std::string("Illegal index, try other different"));
        dialog.txtIndice()->setText(QStringLiteral("2"));
        dialog.txtNombre()->setText(QStringLiteral("IDLE"));
        dialog.cmdValidar_Click();
        QCOMPARE(m.prompter.messages.back(), std::string("The name: IDLE is already used"));
        QVERIFY(dialog.result() != QDialog::Accepted);
        QVERIFY(!m.doc.diagram().DiagramChanged());
    }

    void stateDialogOffersAndOpensChildDiagrams() {
        test::TempDir dir;
        dir.write("PUMP.fsm", "x");
        Machine m;
        m.doc.sFullDocname = dir / "Root.fsm";
        frmPropNodo dialog(m.doc, *m.run, m.prompter);
        QVERIFY(dialog.cmbEnlaces()->isHidden());
        dialog.txtAccionElse()->setText(QStringLiteral("PUMP();"));
        dialog.editor_LostFocus(dialog.txtAccionElse());
        QVERIFY(!dialog.cmbEnlaces()->isHidden());
        QCOMPARE(dialog.cmbEnlaces()->currentText(), QStringLiteral("PUMP.fsm"));
        dialog.cmdEnlace_Click();
        QCOMPARE(dialog.pendingChildPath(), dir / "PUMP.fsm");
        QCOMPARE(m.run->NodeKind(), NK_SUPERSTATE);
        QCOMPARE(field(m.run, SF_ELSE), std::string("PUMP();"));
    }

    void lockedDiagramIsShownButNeverChanged() {
        Machine m;
        m.doc.diagram().setDiagramLocked(true);
        const std::string before = m.run->NodeData();
        {
            frmPropNodo dialog(m.doc, *m.run, m.prompter);
            QVERIFY(!dialog.cmdValidar()->isEnabled());
            QVERIFY(dialog.txtIndice()->isReadOnly());
            QVERIFY(dialog.txtAccionMoore()->isReadOnly());
            QVERIFY(!dialog.optNodoFinal()->isEnabled());
            QCOMPARE(dialog.txtNombre()->palette().color(QPalette::Base), QColor(255, 255, 196));
            dialog.txtAccionMoore()->setText(QStringLiteral("changed();"));
            dialog.cmdValidar_Click();
        }
        {
            frmPropTransicion dialog(m.doc, *m.go, m.prompter);
            QVERIFY(!dialog.cmdValidar()->isEnabled());
            QVERIFY(!dialog.chkMustBeLast()->isEnabled());
            QVERIFY(dialog.txtCondicion()->isReadOnly());
            dialog.cmdValidar_Click();
        }
        {
            frmPropFSM dialog(m.doc, m.prompter);
            QVERIFY(!dialog.cmdValidar()->isEnabled());
            QVERIFY(!dialog.chkUseMacros()->isEnabled());
            QVERIFY(!dialog.cmdResetColor()->isEnabled());
            QVERIFY(dialog.txtMaxLoops()->isReadOnly());
            dialog.cmdValidar_Click();
        }
        QCOMPARE(m.run->NodeData(), before);
        QVERIFY(!m.doc.diagram().DiagramChanged());
    }

    void transitionDialogLoadsAndWrites() {
        Machine m;
        {
            frmPropTransicion dialog(m.doc, *m.go, m.prompter);
            QCOMPARE(dialog.SSTab1()->tabText(dialog.SSTab1()->currentIndex()),
                     QStringLiteral("Condition"));
            QVERIFY(dialog.chkSelfTransition()->isHidden());
            dialog.txtCondicion()->setText(QStringLiteral("ready() // wait"));
            dialog.editor_LostFocus(dialog.txtCondicion());
            QCOMPARE(dialog.txtCondicion()->text(), QStringLiteral("ready() /* wait */"));
            dialog.chkContinueImmediately()->setChecked(true);
            dialog.cmdValidar_Click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(m.go->NodeData(), joinFields({"1", "ready() /* wait */", "", "Y", "N", "Y"}));
        frmPropTransicion self(m.doc, *m.loop, m.prompter);
        QVERIFY(!self.chkSelfTransition()->isHidden());
        QVERIFY(self.chkSelfTransition()->isChecked());
    }

    void transitionDialogMustBeLastSetsThePriorityAtOnce() {
        Machine m;
        Node* second = test::addTransition(m.doc, m.idle, m.run);
        frmPropTransicion dialog(m.doc, *m.go, m.prompter);
        dialog.chkMustBeLast()->click();
        QCOMPARE(dialog.txtPrioridad()->text(), QStringLiteral("2"));
        QCOMPARE(field(m.go, TF_MUST_BE_LAST), std::string("Y"));
        QCOMPARE(field(second, TF_PRIORITY), std::string("1"));
        QVERIFY(m.prompter.questions.empty());
    }

    void fsmDialogLoadsAndWrites() {
        Machine m;
        frmPropFSM dialog(m.doc, m.prompter);
        QCOMPARE(dialog.SSTab1()->tabText(dialog.SSTab1()->currentIndex()),
                 QStringLiteral("Initialization"));
        QCOMPARE(dialog.lblVersion()->text(), QStringLiteral("FSM Signature: FSM_V000.005"));
        QCOMPARE(dialog.chkGenFuncInit()->text(),
                 QStringLiteral("Generate a restart function: Motor_Init()"));
        QVERIFY(dialog.txtNombreFSM()->isReadOnly());
        QCOMPARE(dialog.txtHeader()->recordText(), std::string("mod"));
        QCOMPARE(dialog.cmdSelectComments()->text(), QStringLiteral("This is the module header"));
        dialog.cmdSelectComments_Click();
        QCOMPARE(dialog.txtHeader()->recordText(), std::string("fun"));
        dialog.txtHeader()->setText(QStringLiteral("new\tfun"));
        dialog.editor_LostFocus(dialog.txtHeader());

        dialog.txtMaxLoops()->clear();
        QTest::keyClicks(dialog.txtMaxLoops(), QStringLiteral("300"));
        QCOMPARE(dialog.txtMaxLoops()->text(), QStringLiteral("255"));
        QCOMPARE(m.prompter.beeps, 1);

        dialog.chkUseBitFields()->setChecked(true);
        dialog.cmdValidar_Click();
        QCOMPARE(std::string(GetGraphField(FF_SIGNATURE, m.doc.diagram())),
                 std::string("FSM_V000.006a"));
        QCOMPARE(std::string(GetGraphField(FF_FUNCTION_HEADER, m.doc.diagram())),
                 std::string("new fun"));
        QCOMPARE(std::string(GetGraphField(FF_MAX_LOOPS, m.doc.diagram())), std::string("255"));
        QVERIFY(m.doc.options.UseBitFields);
    }

    // Each option box shows its own option and OK writes exactly that one.
    void fsmDialogEachOptionBoxSetsItsOwnOption() {
        const struct {
            QCheckBox* (frmPropFSM::*box)() const;
            bool GenerationOptions::*option;
        } boxes[] = {
            {&frmPropFSM::chkGenFuncInit, &GenerationOptions::FunctionInit},
            {&frmPropFSM::chkGenFuncEnd, &GenerationOptions::FunctionEnd},
            {&frmPropFSM::chkGenDebugInfo, &GenerationOptions::DebugInfo},
            {&frmPropFSM::chkAnsiComment, &GenerationOptions::AnsiComment},
            {&frmPropFSM::chkTextBoxesInCode, &GenerationOptions::PrintTextBoxes},
            {&frmPropFSM::chkHistoryFsm, &GenerationOptions::HistoryFsm},
            {&frmPropFSM::chkUseBitFields, &GenerationOptions::UseBitFields},
            {&frmPropFSM::chkUseMacros, &GenerationOptions::UseMacros},
        };
        for (const auto& b : boxes) {
            Machine m;
            GenerationOptions expected = m.doc.options;
            frmPropFSM dialog(m.doc, m.prompter);
            QCheckBox* box = (dialog.*b.box)();
            QCOMPARE(box->isChecked(), expected.*b.option);
            box->setChecked(!box->isChecked());
            dialog.cmdValidar_Click();
            expected.*b.option = !(expected.*b.option);
            QVERIFY2(m.doc.options == expected, qPrintable(box->objectName()));
        }
    }

    // The generated code needs the target's types; the dialog offers their
    // definitions while the initialisation lacks them, and only those it lacks.
    void fsmDialogInsertsTheStandardTypesItLacks() {
        Machine m;
        frmPropFSM dialog(m.doc, m.prompter);
        dialog.show();
        QVERIFY(dialog.cmdStandardTypes()->isVisible());
        dialog.txtInicializacion()->setRecordText(
            "typedef int T_u16;\r\n#define TRUE 1\r\ninit();");
        QVERIFY(dialog.cmdStandardTypes()->isVisible());
        dialog.cmdStandardTypes()->click();
        QCOMPARE(
            dialog.txtInicializacion()->recordText(),
            std::string("// Types of the target, used by the generated code: adapt them to the\r\n"
                        "// compiler and the word sizes of your target.\r\n"
                        "typedef unsigned char  T_u8;\r\n"
                        "typedef unsigned char  T_bit;\r\n"
                        "typedef char           T_char;\r\n"
                        "#define FALSE 0\r\n"
                        "\r\n"
                        "typedef int T_u16;\r\n#define TRUE 1\r\ninit();"));
        QVERIFY(!dialog.cmdStandardTypes()->isVisible());
        dialog.cmdValidar_Click();
        QVERIFY(std::string(GetGraphField(FF_INITIALISATION, m.doc.diagram()))
                    .starts_with("// Types of the target"));
    }

    void fsmDialogColoursTakeEffectAtOnce() {
        Machine m;
        frmPropFSM::setColourChooser([](QWidget*, const QColor& preset) {
            return preset == QColor(0, 255, 0) ? QColor() : QColor(0, 255, 0);
        });
        frmPropFSM dialog(m.doc, m.prompter);
        dialog.cmdFillColor_Click();
        QCOMPARE(m.doc.diagram().FillColor(), rgb(0, 255, 0));
        QCOMPARE(m.idle->NodeFillColor(), rgb(0, 255, 0));
        dialog.cmdForeColor_Click();  // preset with the colour shown last, then cancelled
        QCOMPARE(m.doc.diagram().ForeColor(), 0u);
        dialog.reject();
        QCOMPARE(m.run->NodeFillColor(), rgb(0, 255, 0));
    }

    void dialogsKeepTheirSize() {
        Machine m;
        QSettings settings;
        settings.remove(QStringLiteral("PropTrans"));
        {
            frmPropTransicion dialog(m.doc, *m.go, m.prompter);
            dialog.resize(dialog.minimumSize() + QSize(100, 50));
            dialog.reject();
        }
        const double height = settings.value(QStringLiteral("PropTrans/WndHeight")).toDouble();
        const double width = settings.value(QStringLiteral("PropTrans/WndWidth")).toDouble();
        QVERIFY(height >= 6735 && width >= 8505);
        {
            frmPropTransicion dialog(m.doc, *m.go, m.prompter);
            dialog.setWindowState(Qt::WindowMaximized);
            dialog.reject();
        }
        QCOMPARE(settings.value(QStringLiteral("PropTrans/WndHeight")).toString(),
                 QStringLiteral("0"));
        frmPropTransicion dialog(m.doc, *m.go, m.prompter);
        QVERIFY(dialog.windowState() & Qt::WindowMaximized);
    }

    void entryPointMakesOneUndoStep() {
        Machine m;
        std::string pending = "stale";
        test::whenModal<frmPropNodo>([](frmPropNodo* d) {
            d->chkGenFunctionIsIn()->setChecked(true);
            d->cmdValidar_Click();
        });
        QVERIFY(editStateDialog(nullptr, m.doc, *m.run, pending));
        QCOMPARE(field(m.run, SF_ISIN), std::string("Y"));
        QCOMPARE(pending, std::string());
        QVERIFY(!m.doc.diagram().DiagramChanged());  // taken by the undo step

        test::whenModal<frmPropTransicion>([](frmPropTransicion* d) { d->cmdValidar_Click(); });
        QVERIFY(!editTransitionDialog(nullptr, m.doc, *m.go));
    }

    void findCommandWalksAndMakesOneUndoStep() {
        Machine m;
        test::whenModal<frmFindWhat>([](frmFindWhat* w) {
            w->txtToFind()->setText(QStringLiteral("spin"));
            w->chkEnableReplace()->setChecked(true);
            w->txtToReplace()->setText(QStringLiteral("turn"));
            w->chkCaseSensitive()->setChecked(true);
            test::whenModal<frmFind>([](frmFind* f) {
                QCOMPARE(f->lblInfo()->text(), QStringLiteral("State[Run]: Moore actions "));
                f->cmdSustituir_Click();
            });
            w->accept();
        });
        findInDocument(nullptr, m.doc);
        QCOMPARE(field(m.run, SF_MOORE), std::string("turn();\r\n"));
        QVERIFY(!m.doc.diagram().DiagramChanged());  // taken by the undo step
        QCOMPARE(QSettings().value(QStringLiteral("Settings/FindCaseSens")).toString(),
                 QStringLiteral("True"));

        // The next Find proposes the last search string of this document.
        test::whenModal<frmFindWhat>([](frmFindWhat* w) {
            QCOMPARE(w->txtToFind()->text(), QStringLiteral("spin"));
            QCOMPARE(w->txtToReplace()->text(), QStringLiteral("turn"));
            w->reject();
        });
        findInDocument(nullptr, m.doc);

        // Once the document is closed its strings are gone: a document that
        // comes later (even at the same address) starts from the clipboard.
        forgetFindStrings(m.doc);
        QGuiApplication::clipboard()->setText(QStringLiteral("from the clipboard"));
        test::whenModal<frmFindWhat>([](frmFindWhat* w) {
            QCOMPARE(w->txtToFind()->text(), QStringLiteral("from the clipboard"));
            QCOMPARE(w->txtToReplace()->text(), QString());
            w->reject();
        });
        findInDocument(nullptr, m.doc);
    }

    void fontChangeGoesToEveryNode() {
        Machine m;
        test::whenModal<FontColourDialog>([](FontColourDialog* d) { d->accept(); });
        runFontCommand(nullptr, m.doc, FontCommand::Change);
        QCOMPARE(m.idle->NodeFont(), m.doc.diagram().DiagramFont());
        QVERIFY(m.doc.GraphHasChanged());  // one undo step took the change
        runFontCommand(nullptr, m.doc, FontCommand::Enlarge);
        QCOMPARE(m.go->NodeFont().size, m.doc.diagram().DiagramFont().size);
    }

private:
    QTemporaryDir m_settings;
};

}  // namespace tarvel

QTEST_MAIN(tarvel::DialogsTest)
#include "dialogs_ui_test.moc"
