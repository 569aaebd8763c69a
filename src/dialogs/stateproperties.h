// The rules of the state dialog, without any window: what the controls hold,
// how each edit is checked and cleaned, and what is written to the state.
// The dialog window copies its controls into `values()` before calling a rule
// and shows them again afterwards; the find walk drives it without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/staterecord.h"

namespace tarvel {

class DialogPrompter;

enum class StateMode { Standard, Initial, Final };

// What the controls of the state dialog hold: the record they edit, with the
// check boxes as "Y" or "N", and the mode the option buttons choose.
struct StateValues : StateRecord {
    StateMode mode = StateMode::Standard;
    friend bool operator==(const StateValues&, const StateValues&) = default;
};

class StateProperties {
public:
    // Loads the state. A state without an index first gets one by renumbering
    // the diagram (not in a locked diagram, which is never changed).
    StateProperties(Document& doc, Node& state, DialogPrompter& prompter);

    StateValues& values() { return m_values; }
    const StateValues& values() const { return m_values; }
    bool locked() const { return m_locked; }
    const std::string& isInCaption() const { return m_isInCaption; }
    const std::string& gotoCaption() const { return m_gotoCaption; }

    // Child diagrams named in the Moore and else actions.
    const std::vector<std::string>& children() const { return m_children; }
    bool hasChildren() const { return !m_children.empty(); }
    void refreshChildren();

    // The kind the controls stand for: "Standard" is a superstate when a child
    // diagram is named.
    std::uint32_t kindFromControls() const;

    // The index box lost the focus.
    enum class IndexResult { Unchanged, Illegal, Kept, Renumbered };
    IndexResult indexEdited();
    // The name box lost the focus: trimmed, spaces become "_".
    void nameEdited();
    // An action editor gave its text back: trimmed, tabs expanded, children
    // looked up again.
    static std::string cleanAction(std::string_view text);
    void actionEdited(std::string& text);

    // "Ok": false when the dialog must stay open (a used name, an illegal
    // index). Writes only when a value differs from the loaded ones.
    bool accept();
    // "Open Child_FSM" with the child entry shown: when the child file exists
    // `pendingPath` takes its path and "Ok" follows (the return value is that
    // of "Ok"); otherwise `pendingPath` is cleared and the dialog stays open.
    bool openChild(const std::string& entry, std::string& pendingPath);

private:
    void load();
    void write();

    Document& m_doc;
    Node& m_node;
    DialogPrompter& m_prompter;
    bool m_locked;
    StateValues m_values;
    StateValues m_snapshot;
    std::uint32_t m_snapshotKind = 0;
    std::string m_lastIndex;
    std::string m_isInCaption;
    std::string m_gotoCaption;
    std::vector<std::string> m_children;
};

}  // namespace tarvel
