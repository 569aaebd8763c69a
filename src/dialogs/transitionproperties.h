// The rules of the transition dialog, without any window: what the controls
// hold, the priority check and renumbering, the clean-up of the condition and
// what is written to the transition.
#pragma once

#include <string>

#include "model/document.h"

namespace tarvel {

class DialogPrompter;

// What the controls of the transition dialog hold.
struct TransitionValues {
    std::string priority;
    std::string condition;
    std::string actions;
    bool selfTransition = true;  // entry and exit actions on a self transition
    bool mustBeLast = false;
    bool continueImmediately = false;
    friend bool operator==(const TransitionValues&, const TransitionValues&) = default;
};

class TransitionProperties {
public:
    TransitionProperties(Document& doc, Node& transition, DialogPrompter& prompter);

    TransitionValues& values() { return m_values; }
    const TransitionValues& values() const { return m_values; }
    bool locked() const { return m_locked; }
    // The self-transition box is shown only when source and target are one state.
    bool selfTransitionVisible() const { return m_selfVisible; }
    // A state has at most one must-be-last transition.
    bool mustBeLastEnabled() const { return m_mustBeLastEnabled; }

    // The priority box lost the focus.
    enum class PriorityResult { Unchanged, Illegal, Kept, Renumbered };
    PriorityResult priorityEdited();
    // The must-be-last box changed: ticking it moves the transition last at once.
    void mustBeLastToggled(bool ticked);

    // Clean-up when an editor gives its text back: the condition's "//"
    // comments become block comments; both are trimmed and lose their tabs.
    static std::string cleanCondition(std::string_view text);
    static std::string cleanActions(std::string_view text);

    // "OK": false when the dialog must stay open (an illegal priority).
    // Writes only when a value differs from the loaded ones; no renumbering.
    bool accept();

private:
    void write();

    Document& m_doc;
    Node& m_node;
    DialogPrompter& m_prompter;
    bool m_locked;
    bool m_selfVisible = false;
    bool m_mustBeLastEnabled = false;
    bool m_changeConfirmed = false;
    TransitionValues m_values;
    TransitionValues m_snapshot;
    std::string m_lastPriority;
};

}  // namespace tarvel
