#include "export/ui/printcontrol.h"

#include <QLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "model/document.h"

namespace tarvel {

namespace {

// Share of the frame's width the preview area takes when it opens.
constexpr int PREVIEW_PERCENT = 45;

}  // namespace

PrintControl& PrintControl::of(QWidget* widget) {
    QWidget* frame = widget != nullptr ? widget->window() : nullptr;
    if (frame != nullptr) {
        if (auto* control =
                frame->findChild<PrintControl*>(QString(), Qt::FindDirectChildrenOnly)) {
            return *control;
        }
        return *new PrintControl(frame);
    }
    // Without a frame (never in the editor) one control serves every caller
    // for the rest of the program.
    static PrintControl* const frameless = new PrintControl(nullptr);
    return *frameless;
}

PrintControl::PrintControl(QWidget* frame)
    : QObject(frame), m_frame(frame), m_printer(QPrinter::HighResolution) {}

PrintControl::~PrintControl() {
    closePreview();
}

void PrintControl::setup(QWidget* parent) {
    QPageSetupDialog dialog(&m_printer, parent);
    dialog.exec();
}

void PrintControl::setTitleAndHeader(const Document& doc) {
    const QString caption = QString::fromStdString(doc.caption);
    m_texts.title = caption;
    m_texts.header = pageHeader(caption, QDate::currentDate());
}

void PrintControl::print(QWidget* parent, const Document& doc) {
    setTitleAndHeader(doc);
    QPrintDialog dialog(&m_printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // A printer that cannot start prints nothing; there is nothing the user
    // could do about it here.
    printDiagram(m_printer, doc.diagram(), doc.measurer(), m_texts);
}

bool PrintControl::preview(const Document& doc, bool show) {
    closePreview();
    QWidget* area =
        m_frame != nullptr ? m_frame->findChild<QWidget*>(QStringLiteral("picPrint")) : nullptr;
    if (!show || area == nullptr || area->layout() == nullptr) {
        if (area != nullptr) {
            area->hide();
        }
        return false;
    }
    setTitleAndHeader(doc);
    m_texts.footer = QString::fromLatin1(PREVIEW_FOOTER);
    m_previewed = &doc;

    auto* box = new QWidget(area);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* tools = new QToolBar(box);
    auto* preview = new QPrintPreviewWidget(&m_printer, box);
    preview->setObjectName(QStringLiteral("PrnFlow1"));
    tools->addAction(QStringLiteral("Whole Page"), preview, &QPrintPreviewWidget::fitInView);
    tools->addAction(QStringLiteral("Page Width"), preview, &QPrintPreviewWidget::fitToWidth);
    tools->addAction(QStringLiteral("Zoom In"), preview, [preview] { preview->zoomIn(); });
    tools->addAction(QStringLiteral("Zoom Out"), preview, [preview] { preview->zoomOut(); });
    layout->addWidget(tools);
    layout->addWidget(preview, 1);
    connect(preview, &QPrintPreviewWidget::paintRequested, this, &PrintControl::paintPreview);
    area->layout()->addWidget(box);
    m_previewArea = box;
    m_preview = preview;

    const bool wasHidden = area->isHidden();
    area->show();
    if (auto* split = qobject_cast<QSplitter*>(area->parentWidget()); split && wasHidden) {
        const int total = split->width();
        const int previewWidth = total * PREVIEW_PERCENT / 100;
        QList<int> sizes;
        for (int i = 0; i < split->count(); ++i) {
            sizes.append(split->widget(i) == area ? previewWidth : total - previewWidth);
        }
        split->setSizes(sizes);
    }
    preview->fitInView();
    preview->updatePreview();
    return true;
}

void PrintControl::closePreview() {
    m_previewed = nullptr;
    if (m_previewArea != nullptr) {
        QWidget* area = m_previewArea->parentWidget();
        delete m_previewArea;
        if (area != nullptr) {
            area->hide();
        }
    }
}

void PrintControl::paintPreview(QPrinter* printer) {
    if (m_previewed == nullptr || (m_documentOpen && !m_documentOpen(m_previewed))) {
        return;
    }
    printDiagram(*printer, m_previewed->diagram(), m_previewed->measurer(), m_texts);
}

}  // namespace tarvel
