#include "dialogs/ui/fontcolourdialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvel {

FontColourDialog::FontColourDialog(const QFont& font, const QColor& colour, bool withColour,
                                   bool fixedPitchOnly, QWidget* parent)
    : QDialog(parent), m_colour(colour) {
    setWindowTitle(tr("Font"));
    // The font dialog lives inside this one, without buttons of its own.
    m_fonts = new QFontDialog(this);
    m_fonts->setWindowFlags(Qt::Widget);
    QFontDialog::FontDialogOptions options =
        QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog;
    if (fixedPitchOnly) {
        options |= QFontDialog::MonospacedFonts;
    }
    m_fonts->setOptions(options);
    // The family the font resolves to here, so that its own styles are offered.
    QFont shown(QFontInfo(font).family());
    shown.setPointSizeF(font.pointSizeF());
    shown.setBold(font.bold());
    shown.setItalic(font.italic());
    shown.setUnderline(font.underline());
    shown.setStrikeOut(font.strikeOut());
    m_fonts->setCurrentFont(shown);

    m_colourButton = new QPushButton(tr("&Color..."), this);
    m_colourButton->setVisible(withColour);
    connect(m_colourButton, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(m_colour, this, tr("Color"));
        if (c.isValid()) {
            m_colour = c;
            showColour();
        }
    });
    showColour();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(m_colourButton);
    row->addStretch();
    row->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts, 1);
    layout->addLayout(row);
}

QFont FontColourDialog::chosenFont() const {
    return m_fonts->currentFont();
}

void FontColourDialog::showColour() {
    QPixmap p(14, 14);
    p.fill(m_colour);
    m_colourButton->setIcon(QIcon(p));
}

}  // namespace tarvel
