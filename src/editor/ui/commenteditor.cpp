#include "editor/ui/commenteditor.h"

#include <QKeyEvent>

namespace tarvel {

CommentEditor::CommentEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    hide();
}

void CommentEditor::start(const QString& text) {
    m_original = text;
    setPlainText(text);
    moveCursor(QTextCursor::End);
}

void CommentEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
        return;  // swallowed
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CommentEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A context menu of the box itself takes the focus for a moment only.
    if (event->reason() != Qt::PopupFocusReason && isVisible()) {
        emit focusLost();
    }
}

}  // namespace tarvel
