// The open documents and the document-level file operations: new, open, save,
// save as, save all, the ".bak" copy, the signature check on opening, the
// write of generated C files and the rule that names output files.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/privatefolder.h"
#include "model/document.h"
#include "shell/userinterface.h"

namespace tarvel {

struct WorkspaceSettings {
    bool modeCommand = false;      // a batch run
    std::string outputPath;        // the /O folder, empty when not given
    bool skipCSaveDialog = false;  // a C generation switch was given
    OptionOverrides overrides;     // forced options of the command line
    // Where the windows' undo snapshots go; none, or a folder that is not
    // usable, means no undo.
    std::shared_ptr<const PrivateFolder> undoFolder;
    bool displayTexts = true;      // false: documents are never drawn (batch generation)
    const TextMeasurer* measurer = nullptr;
};

class Workspace {
public:
    Workspace(UserInterface& ui, WorkspaceSettings settings);
    ~Workspace();

    UserInterface& ui() { return m_ui; }
    const WorkspaceSettings& settings() const { return m_settings; }
    void setMeasurer(const TextMeasurer* m) { m_settings.measurer = m; }

    const std::vector<std::unique_ptr<Document>>& documents() const { return m_documents; }
    Document* active() const { return m_active; }
    void activate(Document* doc);
    Document* findOpen(const std::string& path) const;
    // Forgets a document: its window is closed (which deletes its snapshots).
    void close(Document* doc);

    // A new document window; `named` makes it an untitled "FSM_nnnn" document.
    Document* FileNew(bool named);
    // Opens a diagram, or activates it when it is open already, and returns
    // its document; an empty path asks the user. The path is made absolute
    // here, the one place a diagram path enters. A path opened from outside
    // the dialog opens locked. Null when nothing was loaded.
    Document* FileOpen(std::string path);
    // Saves when the document has unsaved changes (Save As for untitled ones).
    void FileSave(Document& doc);
    void FileSaveAs(Document& doc);
    void FileSaveAll();
    // Writes the document to its path, keeping the previous version as ".bak".
    // True when the file was written.
    bool SalvaDiagrama(Document& doc);

    // Writes generated code (module FIELD_SEP header FIELD_SEP) as ".c" and ".h".
    // True when both files were written. The module is written from `code`
    // itself, without a copy.
    bool SaveCFiles(Document& doc, std::string code);
    // The path every export of the document is named after (without extension).
    std::string OutputBaseName(const Document& doc) const;

    int newDocumentCounter() const { return m_newCounter; }

private:
    Document* createDocument();
    bool loadWithRetries(Document& doc, const std::string& path);

    UserInterface& m_ui;
    WorkspaceSettings m_settings;
    std::vector<std::unique_ptr<Document>> m_documents;
    Document* m_active = nullptr;
    int m_newCounter = 0;
};

}  // namespace tarvel
