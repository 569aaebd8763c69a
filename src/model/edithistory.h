// The undo history as the model sees it. The window that shows a document
// owns its history and registers it with the document; edits and the file
// commands reach it through this interface, so the model and the document
// services need not know how snapshots are kept. Without a registered history
// (a batch run, a test of the model alone) edits take no undo steps and the
// diagram's changed flag alone tells that the document has changes.
#pragma once

namespace tarvel {

class EditHistory {
public:
    virtual ~EditHistory() = default;
    // Starts a fresh history with the diagram as it is now as its first
    // snapshot (after opening or saving the document).
    virtual void Init() = 0;
    // Takes one undo step when the diagram reports a change.
    virtual void StoreGraphChanges() = 0;
};

}  // namespace tarvel
