// One user action as one undo step. A transaction opens before the action
// changes the diagram (through the diagram's own methods) and closes after
// it: when the action changed something, the document's undo history takes
// exactly one step; otherwise the diagram's changed flag is put back as it
// was when the transaction opened. The flag is watched from a clean start, so
// a change made before the action is not taken for one of its own.
//
// Transactions nest: an inner one reports its own changes and leaves the step
// to the outermost, so an action made of smaller ones is still one step.
#pragma once

namespace tarvel {

class Document;

class EditTransaction {
public:
    explicit EditTransaction(Document& doc);
    // Closes the transaction unless `commit` did.
    ~EditTransaction();
    EditTransaction(const EditTransaction&) = delete;
    EditTransaction& operator=(const EditTransaction&) = delete;

    // Closes the transaction now. True when the action changed the diagram.
    bool commit();

private:
    Document& m_doc;
    bool m_before;
    bool m_open = true;
    bool m_changed = false;
};

}  // namespace tarvel
