// Pictures and printing in the editor: the page texts, a printout on paper
// (a PDF), the print preview beside the document windows, the picture on the
// clipboard and the picture and page commands of the File menu.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "editor/ui/dialoghooks.h"
#include "editor/ui/frmdoc.h"
#include "editor/undoredo.h"
#include "export/picture.h"
#include "export/ui/diagramprint.h"
#include "export/ui/picturehooks.h"
#include "export/ui/printcontrol.h"
#include "model/document.h"
#include "shell/ui/frmmain.h"
#include "shell/workspace.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

namespace {

const std::string EXAMPLE = TARVEL_SOURCE_DIR "/examples/TrafficLight.fsm";

bool toolMissing(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// The share of non-white pixels in a part of an image.
double ink(const QImage& image, const QRect& part) {
    int dark = 0;
    const QRect r = part.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
        }
    }
    return r.isEmpty() ? 0 : double(dark) / (r.width() * r.height());
}

}  // namespace

class ExportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<Editor> editor;

    frmDoc* open(const std::string& path) {
        editor->workspace().FileOpen(path);
        settle();
        return editor->active();
    }
    QWidget* picPrint() { return editor->main().picPrint(); }

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        editor = std::make_unique<Editor>();
    }
    void cleanup() {
        editor.reset();
        sandbox.reset();
    }

    void pageTexts() {
        // Month names stay English whatever the user's language.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(printDate(QDate(2026, 12, 10)), QStringLiteral("10-Dec-2026"));
        QCOMPARE(printDate(QDate(2027, 3, 5)), QStringLiteral("05-Mar-2027"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(pageHeader(QStringLiteral("m.fsm"), QDate(2026, 5, 1)),
                 QStringLiteral("m.fsm||01-May-2026"));

        const struct {
            const char* text;
            int page;
            QStringList parts;
        } cases[] = {
            {PREVIEW_FOOTER, 3, {"", "- Page 3 -", ""}},
            {"cap||01-May-2026", 1, {"cap", "", "01-May-2026"}},
            {"", 1, {"", "", ""}},
            {"left only", 1, {"left only", "", ""}},
            {"a|b|c|d", 1, {"a", "b", "c|d"}},
        };
        for (const auto& c : cases) {
            QCOMPARE(pageTextParts(QString::fromLatin1(c.text), c.page), c.parts);
        }
    }

    // The example printed to a PDF: header, footer and the diagram between
    // them, whole on one page.
    void printsHeaderFooterAndTheDiagram() {
        frmDoc* w = open(EXAMPLE);
        QVERIFY(w != nullptr);
        const Document& doc = *w->document();
        const QString pdf = sandbox->path() + "/print.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const PageTexts texts{QStringLiteral("TrafficLight"),
                              pageHeader(QStringLiteral("Crossing"), QDate(2026, 12, 10)),
                              QString::fromLatin1(PREVIEW_FOOTER)};
        QVERIFY(printDiagram(printer, doc.diagram(), doc.measurer(), texts));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        file.close();

        if (toolMissing("pdftotext") || toolMissing("pdftoppm")) {
            QSKIP("pdftotext or pdftoppm is not on the PATH");
        }
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected : {"Crossing", "10-Dec-2026", "- Page 1 -", "CARS_YELLOW",
                                     "PedestrianSignal_IsIn_DONT_WALK()"}) {
            QVERIFY2(printed.contains(QString::fromLatin1(expected)), expected);
        }
        QVERIFY(printed.indexOf(QStringLiteral("10-Dec-2026")) < printed.indexOf("CARS_YELLOW"));
        QVERIFY(printed.indexOf(QStringLiteral("CARS_YELLOW")) < printed.indexOf("- Page 1 -"));
        QCOMPARE(printed.count(QChar('\f')), 1);  // one page

        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"), pdf,
                      sandbox->path() + "/page"});
        QVERIFY(render.waitForFinished());
        const QImage page(sandbox->path() + "/page-1.png");
        QVERIFY(!page.isNull());
        // The diagram lies in the upper left part; the lower right stays blank.
        QVERIFY(ink(page, QRect(0, page.height() / 10, page.width() / 2, page.height() / 4)) >
                0.01);
        QVERIFY(ink(page, QRect(page.width() * 2 / 3, page.height() / 2, page.width() / 4,
                                page.height() / 3)) < 0.001);
    }

    // A diagram too large for the paper is scaled down to fit it whole: a
    // black box in its far corner lands in the page's lower right corner.
    void aLargeDiagramFitsThePage() {
        frmDoc* w = open(EXAMPLE);
        Diagram& d = w->document()->diagram();
        d.AddNode(60000, 80000, 3000, 3000)->setNodeFillColor(0);
        QImage page(850, 1100, QImage::Format_ARGB32);  // a letter page at 100 dpi
        page.fill(Qt::white);
        QPainter painter(&page);
        paintDiagramPage(painter, QRectF(0, 0, 850, 1100), 100, d, w->document()->measurer(), {},
                         1);
        painter.end();
        QVERIFY(ink(page, QRect(680, 850, 170, 220)) > 0.001);
    }

    void previewOpensBesideTheDocumentsAndClosesWithIt() {
        frmDoc* first = open(sandbox->writeDiagram("First.fsm"));
        frmDoc* second = open(sandbox->writeDiagram("Second.fsm"));
        QAction* button = editor->main().button("Preview");
        QVERIFY(button->isEnabled());
        QVERIFY(picPrint()->isHidden());

        // The button toggles the preview of the active window.
        button->trigger();
        settle();
        QVERIFY(picPrint()->isVisible());
        QVERIFY(button->isChecked());
        QVERIFY(second->action("mnuPrintPreview")->isChecked());
        auto* preview = picPrint()->findChild<QPrintPreviewWidget*>();
        QVERIFY(preview != nullptr);
        QCOMPARE(preview->pageCount(), 1);
        const PrintControl& control = PrintControl::of(&editor->main());
        QCOMPARE(control.texts().footer, QString::fromLatin1(PREVIEW_FOOTER));
        QCOMPARE(control.texts().header, pageHeader("Second", QDate::currentDate()));
        button->trigger();
        settle();
        QVERIFY(picPrint()->isHidden());
        QVERIFY(!button->isChecked());
        QVERIFY(!second->action("mnuPrintPreview")->isChecked());
        QVERIFY(picPrint()->findChild<QPrintPreviewWidget*>() == nullptr);

        // Another window becoming active closes it.
        second->action("mnuPrintPreview")->trigger();
        settle();
        QVERIFY(picPrint()->isVisible());
        editor->main().activateDocWindow(*first->document());
        settle();
        QVERIFY(picPrint()->isHidden());
        QVERIFY(!second->action("mnuPrintPreview")->isChecked());
        QVERIFY(!button->isChecked());

        // Closing the window closes it.
        first->action("mnuPrintPreview")->trigger();
        settle();
        QVERIFY(picPrint()->isVisible());
        qobject_cast<QMdiSubWindow*>(first->parentWidget())->close();
        settle();
        QVERIFY(picPrint()->isHidden());
    }

    void copyPutsThePictureOnTheClipboard() {
        frmDoc* w = open(sandbox->writeDiagram("Pic.fsm"));
        w->action("mnuLocked")->trigger();  // opened diagrams start locked
        w->mnuEditCopy();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr);
        QVERIFY(data->data("image/svg+xml").startsWith("<?xml"));
        QVERIFY(data->data("image/svg+xml")
                    .contains(">\xC2\xB7"
                              "A\xC2\xB7<"));
        QVERIFY(data->data("image/x-wmf").startsWith("\xD7\xCD\xC6\x9A"));
        const QImage image = qvariant_cast<QImage>(data->imageData());
        const RectF area = pictureArea(w->document()->diagram());
        QCOMPARE(image.width(), qCeil(area.width / 15));
        QCOMPARE(image.height(), qCeil(area.height / 15));

        QGuiApplication::clipboard()->clear();
        w->action("mnuExportEMF")->trigger();
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("image/svg+xml"));
    }

    void fileMenuSavesThePictureAndThePage() {
        frmDoc* w = open(sandbox->writeDiagram("Doc.fsm"));
        for (const char* item : {"mnuSaveAsEMF", "mnuSaveAsHTML", "mnuPrint", "mnuPrinterSetup",
                                 "mnuPrintPreview", "mnuExportEMF"}) {
            QVERIFY2(editor->session->hooks().saveAsPicture && w->action(item) != nullptr, item);
        }
        QVERIFY(w->action("mnuSaveAsEMF")->isEnabled());
        QVERIFY(w->action("mnuSaveAsHTML")->isEnabled());
        editor->ui->files = {FileDialogResult{sandbox->file("Shot.wmf")},
                             FileDialogResult{sandbox->file("Page.htm")}};
        w->action("mnuSaveAsEMF")->trigger();
        w->action("mnuSaveAsHTML")->trigger();
        QCOMPARE(editor->ui->fileRequests.size(), std::size_t(2));
        QCOMPARE(editor->ui->fileRequests[0].proposedName, sandbox->file("Doc.wmf"));
        QCOMPARE(editor->ui->fileRequests[1].proposedName, sandbox->file("Doc.htm"));
        QVERIFY(QFile::exists(QString::fromStdString(sandbox->file("Shot.wmf"))));
        for (const char* name : {"Page.htm", "Page.svg", "Page.wmf"}) {
            QVERIFY2(QFile::exists(QString::fromStdString(sandbox->file(name))), name);
        }
        QVERIFY(editor->ui->messages.empty());
        QVERIFY(!w->document()->GraphHasChanged());
    }
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
