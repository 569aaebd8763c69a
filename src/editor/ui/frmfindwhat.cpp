#include "editor/ui/frmfindwhat.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editor/ui/codeeditor.h"

namespace tarvel {

frmFindWhat::frmFindWhat(const std::string& proposed, const std::string& replace,
                         bool caseSensitive, bool readOnly, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("String to search"));
    m_txtToFind = new QLineEdit(QString::fromStdString(proposed), this);
    m_txtToReplace = new QLineEdit(readOnly ? QString() : QString::fromStdString(replace), this);
    m_chkEnableReplace = new QCheckBox(tr("Enable Replace"), this);
    m_chkCaseSensitive = new QCheckBox(tr("Case Sensitive"), this);
    m_txtToFind->setObjectName(QStringLiteral("txtToFind"));
    m_txtToReplace->setObjectName(QStringLiteral("txtToReplace"));
    m_chkEnableReplace->setObjectName(QStringLiteral("chkEnableReplace"));
    m_chkCaseSensitive->setObjectName(QStringLiteral("chkCaseSensitive"));
    m_txtToFind->setMinimumWidth(320);

    // A remembered replacement is offered ready for use.
    m_chkEnableReplace->setChecked(!readOnly && !replace.empty());
    m_chkEnableReplace->setEnabled(!readOnly);
    m_chkCaseSensitive->setChecked(caseSensitive);
    refreshReplaceBox();
    connect(m_chkEnableReplace, &QCheckBox::toggled, this, &frmFindWhat::refreshReplaceBox);

    auto* form = new QFormLayout;
    form->addRow(tr("Search:"), m_txtToFind);
    form->addRow(tr("Replace:"), m_txtToReplace);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_chkEnableReplace);
    checks->addWidget(m_chkCaseSensitive);
    checks->addStretch();
    form->addRow(QString(), checks);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_txtToFind->selectAll();
    m_txtToFind->setFocus();
}

void frmFindWhat::refreshReplaceBox() {
    setLockedLook(m_txtToReplace, !m_chkEnableReplace->isChecked());
}

std::string frmFindWhat::search() const {
    return result() == QDialog::Accepted ? m_txtToFind->text().toStdString() : std::string();
}

std::string frmFindWhat::replacement() const {
    return m_chkEnableReplace->isChecked() ? m_txtToReplace->text().toStdString() : std::string();
}

bool frmFindWhat::caseSensitive() const {
    return m_chkCaseSensitive->isChecked();
}

std::string frmFindWhat::Ask(QWidget* parent, std::string& sProposed, std::string& sReplace,
                             bool& bCaseSensitive, bool readOnly) {
    if (readOnly) {
        sReplace.clear();
    }
    frmFindWhat window(sProposed, sReplace, bCaseSensitive, readOnly, parent);
    window.exec();
    sReplace = window.replacement();
    bCaseSensitive = window.caseSensitive();
    return window.search();
}

}  // namespace tarvel
