#include "dialogs/ui/propertydialog.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "dialogs/ui/dialoggeometry.h"
#include "dialogs/ui/dialogparts.h"
#include "dialogs/ui/qtconvert.h"

namespace tarvel {

PropertyDialog::PropertyDialog(const QString& title, Geometry geometry, const QString& okCaption,
                               QWidget* parent)
    : QDialog(parent), m_geometry(std::move(geometry)) {
    setWindowTitle(title);
    setSizeGripEnabled(true);
    m_SSTab1 = new QTabWidget(this);
    m_SSTab1->setObjectName(QStringLiteral("SSTab1"));
    const DialogParts::OkCancel okCancel = DialogParts::okCancel(this, okCaption);
    m_cmdValidar = okCancel.ok;
    m_cmdCancelar = okCancel.cancel;
    m_okCancelColumn = okCancel.column;
    connect(m_cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void PropertyDialog::arrange(QLayout* top, QBoxLayout* bottom, int tab) {
    bottom->addLayout(m_okCancelColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_SSTab1, 1);
    layout->addLayout(bottom);
    DialogGeometry::restore(*this, m_geometry.section, m_geometry.defaultHeight,
                            m_geometry.defaultWidth);
    m_SSTab1->setCurrentIndex(tab);
}

void PropertyDialog::done(int r) {
    m_closing = true;
    DialogGeometry::store(*this, m_geometry.section);
    QDialog::done(r);
}

void PropertyDialog::setTextIfDifferent(QLineEdit* box, const std::string& text) {
    const QString q = toQString(text);
    if (box->text() != q) {
        box->setText(q);
    }
}

}  // namespace tarvel
