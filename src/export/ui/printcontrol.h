// The printing of the document windows: one printer with its page settings
// and one set of page texts, kept by the main frame and shared by all its
// document windows, and the print preview shown in the frame's preview area
// (`picPrint`).
//
// The page texts stay as the last command set them: printing sets the title
// and the header, the preview also the footer, which then stays in force for
// later printouts.
#pragma once

#include <QObject>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <functional>

#include "export/ui/diagramprint.h"

class QWidget;

namespace tarvel {

class Document;

class PrintControl final : public QObject {
    Q_OBJECT
public:
    // Tells whether a document is still open; the preview draws nothing for
    // one that has gone.
    using DocumentCheck = std::function<bool(const Document*)>;

    // The control of the frame `widget` belongs to, made on first use.
    static PrintControl& of(QWidget* widget);

    explicit PrintControl(QWidget* frame);
    ~PrintControl() override;

    QPrinter& printer() { return m_printer; }
    const PageTexts& texts() const { return m_texts; }
    void setDocumentCheck(DocumentCheck check) { m_documentOpen = std::move(check); }

    // The page setup dialog; cancelling keeps the settings.
    void setup(QWidget* parent);
    // The print dialog, then the printout; cancelling prints nothing.
    void print(QWidget* parent, const Document& doc);
    // Shows the preview of `doc` in the frame's preview area, or hides it.
    // Returns whether a preview is shown afterwards.
    bool preview(const Document& doc, bool show);
    bool previewShown() const { return m_preview != nullptr; }
    QPrintPreviewWidget* previewWidget() const { return m_preview; }

private:
    void setTitleAndHeader(const Document& doc);
    void closePreview();
    void paintPreview(QPrinter* printer);

    QWidget* m_frame;
    QPrinter m_printer;
    PageTexts m_texts;
    QPointer<QWidget> m_previewArea;  // what the preview put into `picPrint`
    QPointer<QPrintPreviewWidget> m_preview;
    const Document* m_previewed = nullptr;
    DocumentCheck m_documentOpen;
};

}  // namespace tarvel
