// "String to search": asks for the search string, the replacement and the
// case flag before find and replace walks a diagram.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;

namespace tarvel {

class frmFindWhat : public QDialog {
    Q_OBJECT
public:
    // Returns the search string, empty when cancelled; the replacement and
    // the case flag take the window's values. A read-only diagram offers no
    // replacement.
    static std::string Ask(QWidget* parent, std::string& sProposed, std::string& sReplace,
                           bool& bCaseSensitive, bool readOnly);

    frmFindWhat(const std::string& proposed, const std::string& replace, bool caseSensitive,
                bool readOnly, QWidget* parent = nullptr);

    QLineEdit* txtToFind() const { return m_txtToFind; }
    QLineEdit* txtToReplace() const { return m_txtToReplace; }
    QCheckBox* chkEnableReplace() const { return m_chkEnableReplace; }
    QCheckBox* chkCaseSensitive() const { return m_chkCaseSensitive; }

    // What OK (or Cancel, which empties the search field first) gives back.
    std::string search() const;
    std::string replacement() const;
    bool caseSensitive() const;

private:
    void refreshReplaceBox();

    QLineEdit* m_txtToFind;
    QLineEdit* m_txtToReplace;
    QCheckBox* m_chkEnableReplace;
    QCheckBox* m_chkCaseSensitive;
};

}  // namespace tarvel
