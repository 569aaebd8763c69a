// A linear undo/redo history made of snapshot files: after every edit the
// whole diagram is written to a numbered file in the user's private temporary
// folder, and undo or redo reads an earlier or later one back.
//
// Snapshots of "/home/u/fsm/motor.fsm" live under the undo root as
// "home/u/fsm/motor.000003.UND", mirroring the document's folder tree, so two
// documents of the same name in different folders keep separate histories.
#pragma once

#include <functional>
#include <string>

#include "model/document.h"
#include "model/edithistory.h"

namespace tarvel {

struct WorkspaceSettings;

struct UndoEnvironment {
    bool modeCommand = false;  // a batch run takes no snapshots
    OptionOverrides overrides;
    std::string undoRoot;  // private folder; empty switches snapshots off
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

    // Called whenever undo or redo availability may have changed.
    std::function<void()> onRefreshButtons;

private:
    std::string base(const std::string& fileName) const;
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
