#include "editor/ui/fieldfocus.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>

namespace tarvel {

FieldFocus::FieldFocus(QString field, int line, QString pressFirst)
    : m_field(std::move(field)), m_line(line), m_pressFirst(std::move(pressFirst)) {
    qApp->installEventFilter(this);
}

FieldFocus::~FieldFocus() {
    qApp->removeEventFilter(this);
}

bool FieldFocus::eventFilter(QObject* watched, QEvent* event) {
    if (m_done || event->type() != QEvent::Show) {
        return false;
    }
    auto* dialog = qobject_cast<QDialog*>(watched);
    // A message shown on the way (while the dialog is being built) is not
    // the dialog of the field.
    if (dialog == nullptr ||
        (!m_field.isEmpty() && dialog->findChild<QWidget*>(m_field) == nullptr)) {
        return false;
    }
    m_done = true;
    // After the dialog has given the focus to its own first field.
    QTimer::singleShot(
        0, dialog,
        [d = QPointer<QDialog>(dialog), field = m_field, line = m_line, press = m_pressFirst] {
            if (d) {
                apply(*d, field, line, press);
            }
        });
    return false;
}

void FieldFocus::apply(QDialog& dialog, const QString& field, int line, const QString& pressFirst) {
    if (!pressFirst.isEmpty()) {
        if (auto* button = dialog.findChild<QAbstractButton*>(pressFirst)) {
            button->click();
        }
    }
    auto* widget = dialog.findChild<QWidget*>(field);
    if (widget == nullptr) {
        return;
    }
    for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(widget)) {
                tabs->setCurrentIndex(i);
            }
        }
    }
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* editor = qobject_cast<QsciScintilla*>(widget)) {
        const int target = std::clamp(line, 1, std::max(1, editor->lines())) - 1;
        editor->setCursorPosition(target, 0);
        editor->ensureLineVisible(target);
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        box->selectAll();
    }
}

}  // namespace tarvel
