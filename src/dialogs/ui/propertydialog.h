// The frame the three property dialogs share around their own controls: the
// title, the size kept under the dialog's settings section, three rows (the
// boxes at the top, the tabs taking all the extra room, a bottom row that
// ends in the Ok and Cancel column) and the close that stores the size.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QBoxLayout;
class QLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tarvel {

class PropertyDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* cmdValidar() const { return m_cmdValidar; }
    QPushButton* cmdCancelar() const { return m_cmdCancelar; }
    QTabWidget* SSTab1() const { return m_SSTab1; }

protected:
    // Where the dialog's size is kept, and its smallest (and first) size, in
    // twips.
    struct Geometry {
        QString section;
        int defaultHeight;
        int defaultWidth;
    };
    PropertyDialog(const QString& title, Geometry geometry, const QString& okCaption,
                   QWidget* parent);

    // Puts the rows in place, then gives the dialog its kept size and shows
    // the tab `tab`.
    void arrange(QLayout* top, QBoxLayout* bottom, int tab);
    // Set once the dialog closes: a box losing the focus then is not an edit.
    bool closing() const { return m_closing; }
    void done(int r) override;

    static void setTextIfDifferent(QLineEdit* box, const std::string& text);

    QTabWidget* m_SSTab1 = nullptr;
    QPushButton* m_cmdValidar = nullptr;
    QPushButton* m_cmdCancelar = nullptr;

private:
    Geometry m_geometry;
    QLayout* m_okCancelColumn = nullptr;
    bool m_closing = false;
};

}  // namespace tarvel
