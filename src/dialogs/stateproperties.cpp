#include "dialogs/stateproperties.h"

#include "base/paths.h"
#include "base/text.h"
#include "editor/dialogprompter.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"

namespace tarvel {

namespace {

constexpr int TAB_WIDTH = 4;
constexpr int MAX_INDEX = 9999;

const char* flag(bool on) {
    return on ? "Y" : "N";
}

}  // namespace

StateProperties::StateProperties(Document& doc, Node& state, DialogPrompter& prompter)
    : m_doc(doc), m_node(state), m_prompter(prompter), m_locked(doc.diagram().DiagramLocked()) {
    load();
}

void StateProperties::load() {
    if (readStateField(SF_INDEX, m_node).empty() && !m_locked) {
        renumberStates(m_doc, &m_node);
    }
    const StateRecord r = StateRecord::read(m_node);
    m_values.index = r.index;
    m_values.name = r.name;
    m_values.moore = r.moore;
    m_values.entry = r.entry;
    m_values.exit = r.exit;
    m_values.elseActions = r.elseActions;
    if (isInitial(m_node)) {
        m_values.mode = StateMode::Initial;
    } else if (isFinal(m_node)) {
        m_values.mode = StateMode::Final;
    } else {
        m_values.mode = StateMode::Standard;
    }
    const std::string fsmName(GetGraphField(FF_NAME, m_doc.diagram()));
    m_isInCaption = "Generate the state confirmation: " + fsmName + "_IsIn_" + r.name + "()";
    m_gotoCaption = "Generate the state jump: " + fsmName + "_Goto_" + r.name + "()";
    m_values.isIn = r.isIn == "Y";
    m_values.goTo = r.goTo == "Y";
    refreshChildren();
    m_snapshot = m_values;
    m_snapshotKind = kindFromControls();
    m_lastIndex = m_values.index;
}

void StateProperties::refreshChildren() {
    m_children = stateChildren(m_doc, m_values.moore, m_values.elseActions);
}

std::uint32_t StateProperties::kindFromControls() const {
    switch (m_values.mode) {
        case StateMode::Initial:
            return NK_INITIAL;
        case StateMode::Final:
            return NK_FINAL;
        case StateMode::Standard:
            return hasChildren() ? NK_SUPERSTATE : NK_STATE;
    }
    return NK_STATE;
}

void StateProperties::write() {
    StateRecord r;
    // An index change writes at once; a name the user typed that another
    // state already has is not written then, since "Ok" would refuse it.
    r.name = stateNameFreeFor(m_doc.diagram(), m_values.name, m_node)
                 ? m_values.name
                 : std::string(readStateField(SF_NAME, m_node));
    const bool keptOwnName = r.name == m_values.name;
    r.moore = m_values.moore;
    r.index = m_values.index;
    r.entry = m_values.entry;
    r.exit = m_values.exit;
    r.isIn = flag(m_values.isIn);
    r.goTo = flag(m_values.goTo);
    r.elseActions = m_values.elseActions;
    writeState(m_doc, r, kindFromControls(), m_node);
    if (keptOwnName) {
        m_values.name = r.name;  // a generated name when it was empty
    }
}

StateProperties::IndexResult StateProperties::indexEdited() {
    if (m_locked) {
        return IndexResult::Unchanged;
    }
    const int index = lenientInt(m_values.index);
    if (index < 1 || index > MAX_INDEX) {
        m_values.index.clear();
        m_prompter.message("Illegal index, try other different");
        return IndexResult::Illegal;
    }
    m_values.index = std::to_string(index);
    if (m_values.index == m_lastIndex) {
        return IndexResult::Unchanged;
    }
    if (!m_prompter.confirm("The index has changed",
                            "This can reorganize all index of this diagram")) {
        m_values.index = m_lastIndex;
        return IndexResult::Kept;
    }
    write();
    renumberStates(m_doc, &m_node);
    m_values.index = readStateField(SF_INDEX, m_node);
    m_lastIndex = m_values.index;
    return IndexResult::Renumbered;
}

void StateProperties::nameEdited() {
    m_values.name = cleanStateName(m_values.name);
}

std::string StateProperties::cleanAction(std::string_view text) {
    return expandTabs(trimBlanks(text), TAB_WIDTH);
}

void StateProperties::actionEdited(std::string& text) {
    text = cleanAction(text);
    refreshChildren();
}

bool StateProperties::accept() {
    if (m_locked) {
        return true;
    }
    // An index typed but not yet confirmed is checked as if its box lost the focus.
    if (m_values.index != m_lastIndex && indexEdited() == IndexResult::Illegal) {
        return false;
    }
    if (!stateNameFreeFor(m_doc.diagram(), m_values.name, m_node)) {
        m_prompter.message("The name: " + m_values.name + " is already used");
        return false;
    }
    if (m_values != m_snapshot || kindFromControls() != m_snapshotKind) {
        write();
    }
    return true;
}

bool StateProperties::openChild(const std::string& entry, std::string& pendingPath) {
    const std::string path = clsParientes(m_doc.sFullDocname).RutaCompleta(entry);
    if (entry.empty() || !FileExists(path)) {
        pendingPath.clear();
        return false;
    }
    pendingPath = path;
    return accept();
}

}  // namespace tarvel
