// The transition record: six fields in `NodeData` of a transition node, which
// sits between one in-link from its source state and one out-link to its
// target state. Also the priority rules and the structural repairs that keep
// every transition node with exactly one way in and one way out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

namespace tarvel {

enum TransitionField {
    TF_PRIORITY = 0,
    TF_CONDITION = 1,
    TF_ACTIONS = 2,
    TF_ENTRY_EXIT = 3,  // entry and exit actions on a self transition
    TF_MUST_BE_LAST = 4,
    TF_CONTINUE = 5,  // continue immediately (chain transition)
    TRANSITION_FIELD_COUNT = 6
};

inline constexpr Color TRANSITION_FILL = 0xFFFFC0;  // red 192, green 255, blue 255
inline constexpr int MUST_BE_LAST_PRIORITY = 9999;

// The fields of a transition. `field(TF_...)` reaches a field by its number.
struct TransitionRecord {
    std::string priority;
    std::string condition;
    std::string actions;
    std::string entryExit = "Y";
    std::string mustBeLast = "N";
    std::string continueImmediately = "N";

    std::string& field(TransitionField f);
    const std::string& field(TransitionField f) const;
    static TransitionRecord read(const Node& node);
    // The record as `NodeData` holds it.
    std::string text() const;
    friend bool operator==(const TransitionRecord&, const TransitionRecord&) = default;
};

// The record an edit of a transition (its dialog, the find walk) starts from,
// with the yes/no fields as their check boxes show them: entry and exit on a
// self transition "Y" unless the field holds "N", the other two "Y" only when
// they hold "Y".
TransitionRecord loadTransitionForEdit(const Node& node);

std::string_view readTransitionField(int field, const Node& node);

// The source state (origin of the first in-link) and target state (target of
// the first out-link) of a transition node; null when the link is missing.
Node* sourceState(const Node& transition);
Node* targetState(const Node& transition);
// The transition nodes of a state, in the order of its out-links.
std::vector<Node*> transitionsOf(const Node& state);
// The transitions of a state by priority, the way they are generated and
// listed: position p - 1 holds the first transition (in out-link order) of
// priority p, or null when none has it. A state has as many positions as
// out-links; a transition whose priority lies outside them is left out.
std::vector<const Node*> transitionsByPriority(const Node& state);

std::string transitionDisplayText(const TransitionRecord& r, std::size_t sourceOutLinks,
                                  bool hideComments);

// Writes a complete transition into `node` with the looks of its two links,
// keeping its centre. It does not renumber.
void writeTransition(Document& doc, const TransitionRecord& record, Node& node);

// 1 + the largest priority among the other transitions of the source state.
std::string nextPriority(const Node& transition);
// Priorities 1..n without gaps; must-be-last transitions after all others; the
// edited transition before the others that had its number.
void renumberPriorities(Document& doc, Node& state, Node* edited);
// Replaces a link the user drew from one state to another by a new transition
// node between them, with the default record.
Node* insertTransitionForNewLink(Document& doc, Link& link);
// Removes the other out-links of the link's origin (a transition node), or the
// other in-links of its target, then renumbers everything.
void keepOnlyThisOutLink(Document& doc, Link& link);
void keepOnlyThisInLink(Document& doc, Link& link);
// Deletes the selection, then every transition node that lost a link, then
// renumbers everything.
void deleteSelectionAndRepair(Document& doc);
// State indices, then the priorities of every state's transitions.
void renumberEverything(Document& doc);

}  // namespace tarvel
