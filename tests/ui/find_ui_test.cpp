// The find windows: the question before the walk, and the window that shows
// one text with its occurrence selected.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs_uitest.h"
#include "editor/ui/frmfind.h"
#include "editor/ui/frmfindwhat.h"

namespace tarvel {

class FindTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useScratchSettings(m_settings); }

    void askOffersReplacementOnlyWhenWritable() {
        {
            frmFindWhat window("motor", "pump", true, false);
            QVERIFY(window.chkEnableReplace()->isEnabled());
            QVERIFY(window.chkEnableReplace()->isChecked());
            QVERIFY(!window.txtToReplace()->isReadOnly());
            QCOMPARE(window.txtToFind()->selectedText(), QStringLiteral("motor"));
            window.chkEnableReplace()->setChecked(false);
            QVERIFY(window.txtToReplace()->isReadOnly());
            QCOMPARE(window.txtToReplace()->palette().color(QPalette::Base), QColor(255, 255, 196));
            QCOMPARE(window.replacement(), std::string());
        }
        std::string proposed = "motor";
        std::string replace = "pump";
        bool caseSensitive = false;
        test::whenModal<frmFindWhat>([](frmFindWhat* w) {
            QVERIFY(!w->chkEnableReplace()->isEnabled());
            QCOMPARE(w->txtToReplace()->text(), QString());
            w->chkCaseSensitive()->setChecked(true);
            w->reject();
        });
        // Cancel gives no search string, but the case flag is taken over.
        QCOMPARE(frmFindWhat::Ask(nullptr, proposed, replace, caseSensitive, true), std::string());
        QVERIFY(caseSensitive);
        QCOMPARE(replace, std::string());
    }

    void textWithoutTheSearchStringIsNeverShown() {
        std::string text = "nothing here";
        QVERIFY(frmFind::busqueda(nullptr, "State: Name", text, "motor", "", false, false));
        QCOMPARE(text, std::string("nothing here"));
    }

    void changeReplacesOccurrenceByOccurrence() {
        std::string text = "Motor_on();\r\nmotor_off();\r\nx();";
        test::whenModal<frmFind>([](frmFind* w) {
            QCOMPARE(w->lblInfo()->text(), QStringLiteral("State[Run]: Moore actions "));
            QCOMPARE(w->txtFind()->textCursor().selectedText(), QStringLiteral("Motor"));
            w->cmdSustituir_Click();
            QCOMPARE(w->txtFind()->textCursor().selectedText(), QStringLiteral("motor"));
            w->cmdContinuar_Click();  // no third occurrence: the window closes
        });
        QVERIFY(frmFind::busqueda(nullptr, "State[Run]: Moore actions ", text, "motor", "pump",
                                  false, false));
        QCOMPARE(text, std::string("pump_on();\r\nmotor_off();\r\nx();"));
    }

    void cancelStopsAndKeepsTheText() {
        std::string text = "motor motor";
        test::whenModal<frmFind>([](frmFind* w) {
            w->cmdSustituir_Click();
            w->cmdCancelar_Click();
        });
        QVERIFY(!frmFind::busqueda(nullptr, "Label", text, "motor", "pump", false, false));
        QCOMPARE(text, std::string("motor motor"));
    }

    void nextKeepsUntouchedBytes() {
        std::string text = "a motor\nb";  // a lone line feed, as a file may hold it
        test::whenModal<frmFind>([](frmFind* w) { QTest::keyClick(w, Qt::Key_F3); });
        QVERIFY(frmFind::busqueda(nullptr, "Label", text, "MOTOR", "", false, false));
        QCOMPARE(text, std::string("a motor\nb"));
    }

    void caseSensitiveSearchSkipsOtherCase() {
        frmFind window("t", "Motor motor", "motor", "", true, false, nullptr);
        QVERIFY(window.searchFrom(0));
        QCOMPARE(window.txtFind()->textCursor().selectionStart(), 6);
    }

    void readOnlyTextCannotBeChanged() {
        frmFind window("t", "motor", "motor", "pump", false, true, nullptr);
        QVERIFY(!window.cmdSustituir()->isEnabled());
        QVERIFY(window.txtFind()->isReadOnly());
    }

    void ctrlTabFillsToTheNextMultipleOfFour() {
        const struct {
            const char* before;
            int spaces;
        } cases[] = {{"", 4}, {"ab", 2}, {"abc", 1}, {"x\nabcd", 4}};
        for (const auto& c : cases) {
            frmFind window("t", c.before, "x", "", false, false, nullptr);
            window.txtFind()->moveCursor(QTextCursor::End);
            QTest::keyClick(window.txtFind(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(window.txtFind()->toPlainText(),
                     QString::fromLatin1(c.before) + QString(c.spaces, QLatin1Char(' ')));
        }
    }

private:
    QTemporaryDir m_settings;
};

}  // namespace tarvel

QTEST_MAIN(tarvel::FindTest)
#include "find_ui_test.moc"
