// A linear undo/redo history made of snapshot files: after every edit the
// whole diagram is written to a numbered file in the user's private temporary
// folder, and undo or redo reads an earlier or later one back.
//
// The snapshots of a document are named after its canonical path: a hash of
// that path, then the file name, "3f09c1d2a4b5e6f7-motor.000003.UND", so two
// documents of the same name in different folders keep separate histories,
// a path with ".." or links gives the same name as the direct one, and the
// folder stays readable. All of them lie in the undo folder inside the
// user's private folder and are reached only through its opened handle.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/privatefolder.h"

#include "model/document.h"
#include "model/edithistory.h"

namespace tarvel {

struct WorkspaceSettings;

struct UndoEnvironment {
    bool modeCommand = false;  // a batch run takes no snapshots
    OptionOverrides overrides;
    // The private folder of the snapshots; none, or one that is not usable,
    // switches snapshots off.
    std::shared_ptr<const PrivateFolder> undoFolder;
};

// The environment of the document windows of a workspace.
UndoEnvironment undoEnvironmentOf(const WorkspaceSettings& settings);

// Owned by the document window, which registers it with its document.
class clsLib_UndoRedo final : public EditHistory {
public:
    clsLib_UndoRedo(Document& doc, UndoEnvironment env);

    // Starts a fresh history with the diagram as it is now as snapshot 0.
    void Init() override;
    bool GraphHasChanged() const { return m_doc.GraphHasChanged(); }
    // Takes a snapshot when the diagram reports a change. Links are
    // deselected first: taking a snapshot takes out the information node by
    // removing what is selected, and a selected link would go with it.
    void StoreGraphChanges() override;
    // Forgets all changes (after a file save or load).
    void ClearGraphChanges() { m_doc.ClearGraphChanges(); }
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    void Save(bool forceSave = false);
    // Deletes every snapshot of the document's current file name.
    void CleanUndoFiles();

    bool enabled() const { return m_enabled; }
    // The snapshot file of number n; empty when the file name gives no base.
    std::string snapshotPath(int n) const;
    // Its name inside the undo folder.
    std::string snapshotName(int n) const;

    // Called whenever undo or redo availability may have changed.
    std::function<void()> onRefreshButtons;

private:
    std::string base(const std::string& fileName) const;
    int folder() const;
    void cleanFiles(const std::string& fileName);
    void load(int n);
    void refresh();

    Document& m_doc;
    UndoEnvironment m_env;
    int m_count = 0;
    int m_redo = 0;
    bool m_enabled = false;
};

}  // namespace tarvel
