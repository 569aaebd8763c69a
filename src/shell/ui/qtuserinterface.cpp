#include "shell/ui/qtuserinterface.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

#include "editor/ui/frmdoc.h"
#include "shell/ui/frmmain.h"

namespace tarvel {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Texts use CR LF; a message box wants plain line feeds.
QString messageText(std::string_view text) {
    QString t = qs(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

}  // namespace

QStringList toQtFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString label = parts[i].trimmed();
        if (label.isEmpty()) {
            continue;
        }
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << p;
            if (p.toLower() != p.toUpper() && !patterns.contains(p.toUpper())) {
                patterns << p.toUpper();
            }
        }
        out << label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

QWidget* QtUserInterface::dialogParent() const {
    if (QWidget* w = QApplication::activeModalWidget()) {
        return w;
    }
    return m_main;
}

void QtUserInterface::suspend(bool suspended) const {
    if (m_main != nullptr) {
        m_main->suspendHandoff(suspended);
    }
}

void QtUserInterface::showMessage(std::string_view title, std::string_view text, MessageIcon icon) {
    suspend(true);
    QMessageBox box(toQtIcon(icon), qs(title), messageText(text), QMessageBox::Ok, dialogParent());
    box.exec();
    suspend(false);
}

Answer QtUserInterface::ask(std::string_view title, std::string_view text, MessageIcon icon,
                            bool withCancel, Answer defaultAnswer) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) {
        buttons |= QMessageBox::Cancel;
    }
    QMessageBox box(toQtIcon(icon), qs(title), messageText(text), buttons, dialogParent());
    box.setDefaultButton(defaultAnswer == Answer::Yes  ? QMessageBox::Yes
                         : defaultAnswer == Answer::No ? QMessageBox::No
                                                       : QMessageBox::Cancel);
    suspend(true);
    const int result = box.exec();
    suspend(false);
    if (result == QMessageBox::Yes) {
        return Answer::Yes;
    }
    if (result == QMessageBox::No) {
        return Answer::No;
    }
    return withCancel ? Answer::Cancel : Answer::No;
}

std::optional<FileDialogResult> QtUserInterface::askFile(const FileDialogRequest& request) {
    QFileDialog dialog(dialogParent(), qs(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(toQtFilters(request.filter));
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(qs(request.defaultExtension).toLower());
    }
    if (!request.proposedName.empty()) {
        const QFileInfo proposed(qs(request.proposedName));
        dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    QCheckBox* readOnly = nullptr;
    if (request.showReadOnly) {
        readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dialog);
        readOnly->setChecked(request.readOnlyChecked);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
        }
    }
    suspend(true);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    suspend(false);
    if (!accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    FileDialogResult result;
    result.path = dialog.selectedFiles().front().toStdString();
    result.readOnly = readOnly != nullptr && readOnly->isChecked();
    return result;
}

void QtUserInterface::processEvents() {
    QCoreApplication::processEvents();
}

void QtUserInterface::setBusy(bool busy) {
    if (busy) {
        ++m_busy;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0) {
        --m_busy;
        QApplication::restoreOverrideCursor();
    }
}

void QtUserInterface::documentCreated(Document& doc) {
    if (m_main != nullptr) {
        m_main->createDocWindow(doc);
    }
}

void QtUserInterface::documentActivated(Document& doc) {
    if (m_main != nullptr) {
        m_main->activateDocWindow(doc);
    }
}

void QtUserInterface::documentClosed(Document& doc) {
    if (m_main != nullptr) {
        m_main->closeDocWindow(doc);
    }
}

void QtUserInterface::filesWritten(const std::vector<std::string>& paths) {
    if (m_main == nullptr || paths.empty()) {
        return;
    }
    QStringList names;
    for (const std::string& p : paths) {
        names << QString::fromStdString(p);
    }
    m_main->showStatusMessage(QStringLiteral("Written: ") + names.join(QStringLiteral(", ")), 15000);
}

void QtUserInterface::addRecentFile(const std::string& path) {
    if (m_main != nullptr) {
        m_main->AddRecentFile(path);
    }
}

}  // namespace tarvel
