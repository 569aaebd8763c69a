// The repository window: the words of the diagram on F2, inserted at the
// caret or copied, widened to every open diagram.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/ui/dialogentrypoints.h"
#include "dialogs_uitest.h"
#include "editor/ui/codeeditor.h"
#include "editor/ui/frmrepositorio.h"
#include "model/fsmrecord.h"

namespace tarvel {

namespace {

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) {
        out << box->itemText(i);
    }
    return out;
}

void setName(Document& doc, const char* name, const char* parameters = "") {
    SetGraphInfo(name, parameters, "", "", "", "", "", "", "", "", "", "", "", doc.diagram());
}

}  // namespace

class RepositoryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useScratchSettings(m_settings); }

    void insertPutsTheWordAtTheCaretAndOnTheClipboard() {
        Document doc;
        setName(doc, "motor_on", "speed_t s");
        CodeEditor editor;
        editor.setText(QStringLiteral("x = ;"));
        editor.setCursorPosition(0, 4);
        test::whenModal<frmRepositorio>([](frmRepositorio* w) {
            QCOMPARE(items(w->cmbReposi()), (QStringList{"motor_on", "speed_t"}));
            w->cmbReposi()->setCurrentIndex(1);
            w->findChild<QPushButton*>(QStringLiteral("cmdInsert"))->click();
        });
        frmRepositorio::Edita(&editor, nullptr, 2, doc);
        QCOMPARE(editor.text(), QStringLiteral("x = speed_t;"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("speed_t"));
    }

    void copyOnlyFillsTheClipboard() {
        Document doc;
        setName(doc, "motor_on");
        QPlainTextEdit box;
        test::whenModal<frmRepositorio>([](frmRepositorio* w) {
            w->findChild<QPushButton*>(QStringLiteral("cmdCopy"))->click();
        });
        frmRepositorio::Edita(nullptr, &box, 1, doc);
        QCOMPARE(box.toPlainText(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("motor_on"));
    }

    void seekInAllFsmAddsTheOtherDiagramsOnce() {
        Document a;
        Document b;
        setName(a, "alpha");
        setName(b, "beta");
        setOpenDocumentsProvider([&a, &b] { return std::vector<Document*>{&a, &b}; });
        frmRepositorio window(Repository{}, a);
        window.seekAllFsm();
        window.seekAllFsm();
        QCOMPARE(items(window.cmbReposi()), (QStringList{"alpha", "beta"}));
        setOpenDocumentsProvider({});
    }

    void nothingOpensForAReadOnlyEditorOrADiagramWithoutWords() {
        Document doc;
        CodeEditor editor;
        bool opened = false;
        auto watch = [&opened] {
            test::whenModal<frmRepositorio>(
                [&opened](frmRepositorio* w) {
                    opened = true;
                    w->reject();
                },
                5);
        };
        watch();
        frmRepositorio::Edita(&editor, nullptr, 2, doc);  // no words
        setName(doc, "motor_on");
        editor.setLocked(true);
        watch();
        QTest::keyClick(&editor, Qt::Key_F2);  // read-only
        QTest::qWait(100);
        QVERIFY(!opened);
    }

private:
    QTemporaryDir m_settings;
};

}  // namespace tarvel

QTEST_MAIN(tarvel::RepositoryTest)
#include "repository_ui_test.moc"
