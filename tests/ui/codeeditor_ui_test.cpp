// The code editor and the options every editor shares: texts in and out
// with CR LF, options carried from one editor to the next, the colour table
// of "Coder.ini" with its fallback, and the settings it is stored under.
#include <Qsci/qscilexer.h>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QSettings>
#include <QtTest>

#include "dialogs/inifile.h"
#include "dialogs_uitest.h"
#include "editor/ui/codeeditor.h"
#include "editor/ui/optcmax.h"

namespace tarvel {

namespace {

void writeText(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

std::string readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

void focus(QWidget& w, QEvent::Type type) {
    QFocusEvent e(type, Qt::TabFocusReason);
    QApplication::sendEvent(&w, &e);
}

}  // namespace

class CodeEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useScratchSettings(m_settings, &m_messages); }

    void textsKeepTheirBytesUnlessEdited() {
        CodeEditor e;
        e.setRecordText("a\nb\r\n");  // as a file may hold it
        QCOMPARE(e.recordText(), std::string("a\nb\r\n"));
        e.setText(QStringLiteral("x\ny"));
        QCOMPARE(e.recordText(), std::string("x\r\ny"));
        e.setText(QStringLiteral("é\r"));
        QCOMPARE(e.recordText(), std::string("\xC3\xA9\r\n"));
    }

    void lockedEditorIsReadOnlyOnTheLockedPaper() {
        CodeEditor e;
        e.setLocked(true);
        QVERIFY(e.isReadOnly());
        QCOMPARE(e.lexer()->paper(0), QColor(255, 255, 196));
        e.setLocked(false);
        QVERIFY(!e.isReadOnly());
        QCOMPARE(e.lexer()->paper(0), QColor(Qt::white));
    }

    void optionsChangedInOneEditorReachTheNext() {
        CodeEditor first;
        CodeEditor second;
        focus(first, QEvent::FocusIn);
        EditorOptions o = first.options();
        QVERIFY(o.lineNumbering);
        o.lineNumbering = false;
        o.tabSize = 8;
        first.setOptions(o);
        focus(first, QEvent::FocusOut);
        QVERIFY(second.options().lineNumbering);
        focus(second, QEvent::FocusIn);
        QVERIFY(!second.options().lineNumbering);
        QCOMPARE(second.tabWidth(), 8);
        QCOMPARE(second.marginWidth(0), 0);
        // Back to the defaults for the other tests.
        second.setOptions(EditorOptions{});
        focus(second, QEvent::FocusOut);
    }

    void leavingAnEditorHandsItsTextBack() {
        CodeEditor e;
        QSignalSpy spy(&e, &CodeEditor::textTakenBack);
        QFocusEvent toMenu(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(&e, &toMenu);
        QCOMPARE(spy.count(), 0);
        focus(e, QEvent::FocusOut);
        QCOMPARE(spy.count(), 1);
    }

    void slotsComeBackUnchanged() {
        const QString dir = m_settings.filePath(QStringLiteral("slots"));
        clsLib_OptCMax shared(QStringList{dir + "/none.ini"}, dir + "/Coder.ini", nullptr);
        CodeEditor e;
        shared.GetConfig(e);
        QCOMPARE(e.colourSlot(CS_KEYWORD), 0xFF0000);
        QCOMPARE(e.colourSlot(CS_LINE_NUMBER_BK), 0xA0A0A0);
        QCOMPARE(e.styleSlot(SS_COMMENT), 2);
        const ColourTable before = shared.colours();
        shared.SetConfig(e);
        QCOMPARE(shared.colours(), before);
        // Entries 12 and 13 share one style slot: both read back its value.
        e.setStyleSlot(SS_TAG_NAME, 4);
        shared.SetConfig(e);
        QCOMPARE(shared.colours()[12].fnt, 4);
        QCOMPARE(shared.colours()[13].fnt, 4);
    }

    void missingOrDamagedColourTableFallsBackAndIsRewritten() {
        const QString dir = m_settings.filePath(QStringLiteral("ini"));
        const QString program = dir + "/program/Coder.ini";
        const QString user = dir + "/user/Coder.ini";
        QStringList messages;
        auto record = [&messages](const QString& m) { messages << m; };
        {
            clsLib_OptCMax shared(QStringList{program}, user, record);
            QCOMPARE(messages,
                     QStringList{"Application INI File was damaged. Working default values."});
            QCOMPARE(shared.colours(), CoderIni::defaultColours());
            QVERIFY(shared.language()[LL_KEYWORDS].find("while") != std::string::npos);
        }
        const IniFile written = IniFile::parse(readText(user));
        QCOMPARE(CoderIni::readColours(written), std::optional(CoderIni::defaultColours()));
        QVERIFY(written.value("keywords", "k1").has_value());

        // The program's folder wins; a damaged table there is replaced in the user's file.
        IniFile damaged = written;
        damaged.setValue("Colors", "clr3fr", "white");
        damaged.setValue("keywords", "k1", "motor");
        writeText(program, damaged.text());
        messages.clear();
        clsLib_OptCMax shared(QStringList{program}, user, record);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(shared.language()[LL_KEYWORDS].substr(0, 5), std::string("motor"));
        QCOMPARE(IniFile::parse(readText(user)).value("keywords", "k1"),
                 std::optional<std::string>("motor"));

        // A sound file is read without a word.
        messages.clear();
        clsLib_OptCMax again(QStringList{dir + "/missing.ini"}, user, record);
        QVERIFY(messages.isEmpty());
    }

    void theShippedFileIsFoundBesideTheProgramAndWhenInstalled() {
        // The built editor finds the file the build puts beside it: a new
        // user sees no message.
        const QString build = QStringLiteral(TARVEL_BINARY_DIR);
        const QString dir = m_settings.filePath(QStringLiteral("shipped"));
        QStringList messages;
        auto record = [&messages](const QString& m) { messages << m; };
        {
            clsLib_OptCMax shared({build + "/Coder.ini", build + "/../share/tarvel/Coder.ini"},
                                  dir + "/user.ini", record);
            QVERIFY(messages.isEmpty());
            shared.save();  // nothing changed: the user's folder stays empty
        }
        QVERIFY(!QFile::exists(dir + "/user.ini"));

        // Installed: nothing beside the program, the data folder has it.
        const QString installed = dir + "/prefix/share/tarvel/Coder.ini";
        QVERIFY(QDir().mkpath(dir + "/prefix/share/tarvel"));
        QVERIFY(QFile::copy(build + "/Coder.ini", installed));
        const QString bin = dir + "/prefix/bin";
        QVERIFY(QDir().mkpath(bin));
        clsLib_OptCMax installedRun({bin + "/Coder.ini", bin + "/../share/tarvel/Coder.ini"},
                                    dir + "/user.ini", record);
        QVERIFY(messages.isEmpty());
        QCOMPARE(installedRun.colours(), CoderIni::defaultColours());

        // Colours the user changed are kept in the user's file and win over
        // the program's at the next start.
        CodeEditor e;
        installedRun.GetConfig(e);
        e.setColourSlot(CS_KEYWORD, 0x00AA00);
        installedRun.SetConfig(e);
        installedRun.save();
        clsLib_OptCMax nextStart({bin + "/Coder.ini", installed}, dir + "/user.ini", record);
        QCOMPARE(nextStart.colours()[5].fr, 0x00AA00);
        QVERIFY(messages.isEmpty());
    }

    void optionsAreStoredUnderTheirKeys() {
        const QString dir = m_settings.filePath(QStringLiteral("keys"));
        clsLib_OptCMax shared(QStringList{dir + "/none.ini"}, dir + "/Coder.ini", nullptr);
        CodeEditor e;
        EditorOptions o;
        o.fontSize = 12;
        o.displayWhiteSpace = true;
        e.setOptions(o);
        shared.SetConfig(e);
        shared.save();
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("cMax/fontSize")).toString(), QStringLiteral("12"));
        QCOMPARE(settings.value(QStringLiteral("cMax/displayWhiteSpace")).toString(),
                 QStringLiteral("True"));
        QCOMPARE(settings.value(QStringLiteral("cMax/normalizeCase")).toString(),
                 QStringLiteral("False"));
        clsLib_OptCMax reread(QStringList{dir + "/none.ini"}, dir + "/Coder.ini", nullptr);
        QCOMPARE(reread.options(), o);
        settings.remove(QStringLiteral("cMax"));
    }

private:
    QTemporaryDir m_settings;
    QStringList m_messages;
};

}  // namespace tarvel

QTEST_MAIN(tarvel::CodeEditorTest)
#include "codeeditor_ui_test.moc"
