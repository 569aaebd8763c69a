#include "dialogs/transitionproperties.h"

#include "base/text.h"
#include "editor/dialogprompter.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

constexpr int TAB_WIDTH = 4;

}  // namespace

TransitionProperties::TransitionProperties(Document& doc, Node& transition,
                                           DialogPrompter& prompter)
    : m_doc(doc),
      m_node(transition),
      m_prompter(prompter),
      m_locked(doc.diagram().DiagramLocked()) {
    const TransitionRecord r = loadTransitionForEdit(m_node);
    m_values.priority = r.priority;
    m_values.condition = r.condition;
    m_values.actions = r.actions;
    Node* source = sourceState(m_node);
    m_selfVisible = source != nullptr && source == targetState(m_node);
    m_values.selfTransition = r.entryExit == "Y";
    bool otherIsLast = false;
    if (source != nullptr) {
        for (Node* t : transitionsOf(*source)) {
            if (t != &m_node && readTransitionField(TF_MUST_BE_LAST, *t) == "Y") {
                otherIsLast = true;
            }
        }
    }
    m_mustBeLastEnabled = !m_locked && !otherIsLast;
    m_values.mustBeLast = r.mustBeLast == "Y";
    m_values.continueImmediately = r.continueImmediately == "Y";
    m_snapshot = m_values;
    m_lastPriority = m_values.priority;
}

void TransitionProperties::write() {
    TransitionRecord r;
    r.priority = m_values.priority;
    r.condition = m_values.condition;
    r.actions = m_values.actions;
    r.entryExit = recordFlag(m_values.selfTransition);
    r.mustBeLast = recordFlag(m_values.mustBeLast);
    r.continueImmediately = recordFlag(m_values.continueImmediately);
    writeTransition(m_doc, r, m_node);
}

TransitionProperties::PriorityResult TransitionProperties::priorityEdited() {
    if (m_locked) {
        return PriorityResult::Unchanged;
    }
    const int priority = lenientInt(m_values.priority);
    m_values.priority = std::to_string(priority);
    if (priority < 1 || priority > MUST_BE_LAST_PRIORITY) {
        m_prompter.message("Illegal priority, try other different");
        return PriorityResult::Illegal;
    }
    if (m_values.priority == m_lastPriority) {
        m_changeConfirmed = false;
        return PriorityResult::Unchanged;
    }
    if (!m_changeConfirmed &&
        !m_prompter.confirm("The priority has changed",
                            "This can reorganize all priorities of this node")) {
        m_values.priority = m_lastPriority;
        return PriorityResult::Kept;
    }
    m_changeConfirmed = false;
    write();
    if (Node* source = sourceState(m_node)) {
        renumberPriorities(m_doc, *source, &m_node);
    }
    m_values.priority = readTransitionField(TF_PRIORITY, m_node);
    m_lastPriority = m_values.priority;
    return PriorityResult::Renumbered;
}

void TransitionProperties::mustBeLastToggled(bool ticked) {
    m_values.mustBeLast = ticked;
    if (!ticked || m_locked) {
        return;
    }
    m_values.priority = std::to_string(MUST_BE_LAST_PRIORITY);
    m_changeConfirmed = true;
    priorityEdited();
}

std::string TransitionProperties::cleanCondition(std::string_view text) {
    return expandTabs(lineCommentsToBlock(trimBlanks(text), 0, false), TAB_WIDTH);
}

std::string TransitionProperties::cleanActions(std::string_view text) {
    return expandTabs(trimBlanks(text), TAB_WIDTH);
}

bool TransitionProperties::accept() {
    if (m_locked) {
        return true;
    }
    // A priority typed but not yet confirmed is checked as if its box lost the focus.
    if (m_values.priority != m_lastPriority && priorityEdited() == PriorityResult::Illegal) {
        return false;
    }
    if (m_values != m_snapshot) {
        write();
    }
    return true;
}

}  // namespace tarvel
