// "Find string": shows one text of the find walk with the occurrence
// selected; the user goes to the next occurrence (F3), changes it, or cancels
// the whole walk. A text without the search string is never shown.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tarvel {

class Document;

class frmFind : public QDialog {
    Q_OBJECT
public:
    // One step of the walk. Returns false when the user cancelled; texto
    // comes back with the replacements made. repositoryDoc is the diagram
    // whose words F2 offers in the text box.
    static bool busqueda(QWidget* parent, const std::string& titulo, std::string& texto,
                         const std::string& sBusc, const std::string& sAReemplazar,
                         bool caseSensitive, bool readOnly, Document* repositoryDoc = nullptr);

    frmFind(const std::string& titulo, const std::string& texto, const std::string& sBusc,
            const std::string& sAReemplazar, bool caseSensitive, bool readOnly,
            Document* repositoryDoc, QWidget* parent = nullptr);

    // Searches from a position of the box's text and selects the hit.
    bool searchFrom(int position);
    // "Next (F3)", "Change", "Cancel".
    void cmdContinuar_Click();
    void cmdSustituir_Click();
    void cmdCancelar_Click();

    bool goOn() const { return m_continue; }
    // The text as last kept: the original until "Next" ran past the last hit.
    std::string keptText() const;

    QLabel* lblInfo() const { return m_lblInfo; }
    QPlainTextEdit* txtFind() const { return m_txtFind; }
    QPushButton* cmdSustituir() const { return m_cmdSustituir; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int r) override;

private:
    void insertTabSpaces();

    std::string m_original;
    QString m_shown;
    std::optional<QString> m_kept;
    std::string m_search;
    std::string m_replace;
    bool m_caseSensitive;
    bool m_continue = true;
    Document* m_repositoryDoc;
    QLabel* m_lblInfo;
    QPlainTextEdit* m_txtFind;
    QPushButton* m_cmdContinuar;
    QPushButton* m_cmdSustituir;
    QPushButton* m_cmdCancelar;
    QTimer* m_tmrReinicia;
};

}  // namespace tarvel
