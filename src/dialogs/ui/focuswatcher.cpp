#include "dialogs/ui/focuswatcher.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

namespace tarvel {

void FocusWatcher::watch(QWidget* box) {
    box->installEventFilter(this);
}

bool FocusWatcher::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QWidget*>(watched);
    if (box == nullptr) {
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            emit lostFocus(box);
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit enterPressed(box);
            return true;  // not the dialog's default button
        }
    }
    return false;
}

}  // namespace tarvel
