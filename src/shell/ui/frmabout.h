// The About box: the program's version and credits, and a button that shows
// what the program runs on.
#pragma once

#include <QDialog>

namespace tarvel {

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // The text of the system information the button shows.
    static QString systemInformation();
};

}  // namespace tarvel
