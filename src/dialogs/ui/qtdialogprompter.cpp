#include "dialogs/ui/qtdialogprompter.h"

#include <QApplication>
#include <QMessageBox>

namespace tarvel {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void QtDialogPrompter::message(std::string_view text) {
    QMessageBox::information(m_parent, QGuiApplication::applicationDisplayName(), q(text));
}

bool QtDialogPrompter::confirm(std::string_view title, std::string_view text) {
    return QMessageBox::question(m_parent, q(title), q(text), QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

void QtDialogPrompter::beep() {
    QApplication::beep();
}

}  // namespace tarvel
