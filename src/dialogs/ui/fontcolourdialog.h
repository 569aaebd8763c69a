// The font dialog of the font command "Change": the platform's font choice
// with its effects, limited to fixed-pitch fonts when asked, and for a
// comment node a text colour as well.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace tarvel {

class FontColourDialog : public QDialog {
    Q_OBJECT
public:
    FontColourDialog(const QFont& font, const QColor& colour, bool withColour, bool fixedPitchOnly,
                     QWidget* parent = nullptr);

    QFont chosenFont() const;
    QColor chosenColour() const { return m_colour; }

private:
    void showColour();

    QFontDialog* m_fonts;
    QPushButton* m_colourButton;
    QColor m_colour;
};

}  // namespace tarvel
