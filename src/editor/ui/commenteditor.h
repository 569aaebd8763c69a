// `Text1`: the flat text box placed over a comment node to edit its text in
// place. Escape gives the focus back to the canvas; losing the focus ends the
// editing (the window then writes the text back to the node).
#pragma once

#include <QPlainTextEdit>

namespace tarvel {

class CommentEditor final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CommentEditor(QWidget* parent = nullptr);

    // The text it was given, to tell whether the user changed it.
    void start(const QString& text);
    bool textChanged() const { return toPlainText() != m_original; }

signals:
    void escapePressed();
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_original;
};

}  // namespace tarvel
