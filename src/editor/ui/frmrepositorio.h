// The repository window: a pick list of the identifiers used in the
// diagram's code texts. The chosen word is inserted at the caret of the
// editor that asked (and put on the clipboard), or only copied; "Seek in all
// FSM" widens the list to every open diagram.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "editor/repository.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace tarvel {

class CodeEditor;
class Document;

class frmRepositorio : public QDialog {
    Q_OBJECT
public:
    enum Result { Nothing = 0, Insert = 1, Copy = 2 };

    // Opens the window for a code editor (cMax) or a plain text box (txt) and
    // does what the user chose. frmDeep places the window at the top left of
    // the control (0), of its container (1) or of the container's container
    // (2). Nothing opens for a read-only control or when the diagram's texts
    // hold no word.
    static void Edita(CodeEditor* cMax, QPlainTextEdit* txt, int frmDeep, Document& doc);

    // The open diagrams, for "Seek in all FSM".
    using DocumentsProvider = std::function<std::vector<Document*>()>;
    static void setOpenDocumentsProvider(DocumentsProvider provider);

    frmRepositorio(Repository words, Document& doc, QWidget* parent = nullptr);

    QString chosenWord() const;
    Result result() const { return m_result; }
    QComboBox* cmbReposi() const { return m_cmbReposi; }
    // "Seek in all FSM".
    void seekAllFsm();

private:
    void fill();
    void finish(Result r);

    Repository m_words;
    Document& m_doc;
    QComboBox* m_cmbReposi;
    QPushButton* m_cmdInsert;
    QPushButton* m_cmdCopy;
    QPushButton* m_cmdSeekAllFsm;
    QPushButton* m_cmdCancel;
    Result m_result = Nothing;
};

}  // namespace tarvel
