// The recent-file list: newest first, six at most, no duplicates, missing
// files dropped, a listed file keeps its place; and the menus that show it.
#include <QFile>
#include <QSettings>
#include <QTest>
#include <set>

#include "editor/ui/frmdoc.h"
#include "shell/ui/frmmain.h"
#include "shell/ui/recentfiles.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

class RecentFilesTest : public QObject {
    Q_OBJECT

private slots:
    void listAfterSave_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("expected");
        const QStringList six = {"/a", "/b", "/c", "/d", "/e", "/f"};
        QTest::newRow("first save") << QStringList{} << QStringList{} << "/a" << QStringList{"/a"};
        QTest::newRow("new file goes on top, the oldest drops out")
            << six << six << "/g" << QStringList{"/g", "/a", "/b", "/c", "/d", "/e"};
        QTest::newRow("a listed file keeps its place") << six << six << "/c" << six;
        QTest::newRow("a file the menu does not show yet moves to the top")
            << QStringList{"/a", "/c"} << QStringList{"/a"} << "/c" << QStringList{"/c", "/a"};
        QTest::newRow("missing files drop out")
            << QStringList{"/a", "/gone", "/b"} << QStringList{"/a", "/gone", "/b"} << "/x"
            << QStringList{"/x", "/a", "/b"};
        QTest::newRow("paths compare exactly")
            << QStringList{"/a"} << QStringList{"/a"} << "/A" << QStringList{"/A", "/a"};
    }
    void listAfterSave() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shown);
        QFETCH(QString, saved);
        QFETCH(QStringList, expected);
        auto toStd = [](const QStringList& l) {
            std::vector<std::string> v;
            for (const QString& s : l) {
                v.push_back(s.toStdString());
            }
            return v;
        };
        const auto exists = [](const std::string& p) { return p != "/gone"; };
        QCOMPARE(recentFilesAfterSave(saved.toStdString(), toStd(shown), toStd(stored), exists),
                 toStd(expected));
    }

    void itemsFollowTheStoredList() {
        const auto exists = [](const std::string& p) { return p != "/gone"; };
        auto items = recentFileItems({"/a", "/gone", "", "", "", ""}, exists);
        QCOMPARE(items[0].value(), std::string("/a"));
        QVERIFY(!items[1].has_value());             // a missing file leaves its item as it was
        QCOMPARE(items[2].value(), std::string());  // an unused key hides its item
        items = recentFileItems({"", "", "", "", "", ""}, exists);
        for (const auto& i : items) {
            QVERIFY(!i.has_value());  // nothing at all while the first key is empty
        }
    }

    // Saving seven files one after another keeps the last six, newest first,
    // in the settings and in the menus of the frame and of every window.
    void savingSevenFiles() {
        Sandbox sandbox;
        Editor editor;
        QVERIFY(!editor.main().recentItemVisible(0));  // first start: no items
        for (int i = 1; i <= 7; ++i) {
            const std::string path = sandbox.file("f" + std::to_string(i) + ".fsm");
            editor.ui->files = {FileDialogResult{path, false}};
            editor.active()->mnuFileSaveAs();
        }
        QSettings settings;
        settings.beginGroup(QStringLiteral("Recent Files"));
        QCOMPARE(settings.value("RecentFile1").toString(),
                 QString::fromStdString(sandbox.file("f7.fsm")));
        QCOMPARE(settings.value("RecentFile6").toString(),
                 QString::fromStdString(sandbox.file("f2.fsm")));
        QCOMPARE(editor.main().recentItemCaption(0),
                 QString::fromStdString(sandbox.file("f7.fsm")));
        QVERIFY(editor.main().recentItemVisible(5));
        QCOMPARE(editor.active()->recentItemCaption(5),
                 QString::fromStdString(sandbox.file("f2.fsm")));

        // Opening from the list does not change it.
        editor.main().OpenRecent(3);
        QCOMPARE(QString::fromStdString(editor.workspace().active()->sFullDocname),
                 QString::fromStdString(sandbox.file("f4.fsm")));
        QCOMPARE(editor.main().recentItemCaption(0),
                 QString::fromStdString(sandbox.file("f7.fsm")));
    }

    // The frame's placement is kept in twips; a new store gives 1000, 1000,
    // 6500 x 6500.
    void placementInTwips() {
        Sandbox sandbox;
        {
            Editor editor;
            StartupState s;
            editor.main().load(s);
            const qreal tpp = 1440.0 / editor.main().logicalDpiX();
            QCOMPARE(editor.main().width(), qRound(6500 / tpp));
            editor.main().resize(qRound(9000 / tpp), qRound(4500 / tpp));
            // Find and replace switched to case-sensitive meanwhile.
            QSettings().setValue("Settings/FindCaseSens", "True");
        }
        QSettings settings;
        settings.beginGroup(QStringLiteral("Settings"));
        QCOMPARE(qRound(settings.value("MainWidth").toString().toDouble()), 9000);
        QCOMPARE(qRound(settings.value("MainHeight").toString().toDouble()), 4500);
        QCOMPARE(settings.value("FindCaseSens").toString(), QStringLiteral("True"));
    }
};

QTEST_MAIN(RecentFilesTest)
#include "tst_recentfiles.moc"
