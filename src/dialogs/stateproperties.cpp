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

}  // namespace

StateProperties::StateProperties(Document& doc, Node& state, DialogPrompter& prompter)
    : m_doc(doc), m_node(state), m_prompter(prompter), m_locked(doc.diagram().DiagramLocked()) {
    load();
}

void StateProperties::load() {
    static_cast<StateRecord&>(m_values) = loadStateForEdit(m_doc, m_node);
    if (isInitial(m_node)) {
        m_values.mode = StateMode::Initial;
    } else if (isFinal(m_node)) {
        m_values.mode = StateMode::Final;
    } else {
        m_values.mode = StateMode::Standard;
    }
    const std::string fsmName(GetGraphField(FF_NAME, m_doc.diagram()));
    m_isInCaption = "Generate the state confirmation: " + fsmName + "_IsIn_" + m_values.name + "()";
    m_gotoCaption = "Generate the state jump: " + fsmName + "_Goto_" + m_values.name + "()";
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
    // An index change writes at once; a name the user typed that another
    // state already has is not written then, since "Ok" would refuse it.
    if (!stateNameFreeFor(m_doc.diagram(), m_values.name, m_node)) {
        StateRecord r = m_values;
        r.name = readStateField(SF_NAME, m_node);
        writeState(m_doc, r, kindFromControls(), m_node);
        return;
    }
    writeState(m_doc, m_values, kindFromControls(), m_node);  // an empty name gets one
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
    if (finishStateEdit(m_doc, m_node, m_values, kindFromControls(), m_snapshot, m_snapshotKind) ==
        StateEditResult::NameUsed) {
        m_prompter.message(nameUsedMessage(m_values.name));
        return false;
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
