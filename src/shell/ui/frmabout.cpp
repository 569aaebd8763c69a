#include "shell/ui/frmabout.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "shell/commandline.h"
#include "shell/ui/icons.h"

namespace tarvel {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About ") + QCoreApplication::applicationName());
    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setTextFormat(Qt::RichText);
    text->setText(QStringLiteral("<h3>%1</h3>"
                                 "<p>An editor of hierarchical finite-state machines<br>"
                                 "and a generator of compact ANSI C for embedded targets.</p>"
                                 "<p>Built with Qt %2.</p>")
                      .arg(QString::fromStdString(VersionText()).toHtmlEscaped(),
                           QString::fromLatin1(qVersion())));
    text->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* info =
        buttons->addButton(QStringLiteral("&System Info..."), QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(info, &QPushButton::clicked, this, [this] {
        QMessageBox::information(this, QStringLiteral("System Information"), systemInformation());
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

QString frmAbout::systemInformation() {
    return QStringLiteral("System: %1\nKernel: %2 %3\nArchitecture: %4\nQt: %5")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture(), QString::fromLatin1(qVersion()));
}

}  // namespace tarvel
