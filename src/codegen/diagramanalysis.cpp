#include "codegen/diagramanalysis.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"
#include "model/diagram.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

// Adds to `found` the entries of `known` that a word of the text names, by the
// rule the hierarchy uses: a word names "word.fsm" beside the diagram and
// "\\word.fsm" in its sub-folder. Matching against the diagram's child list
// (already found on the file system) gives each state its children without
// touching the disk.
void addNamedChildren(std::string_view text, const std::unordered_set<std::string>& known,
                      std::vector<std::string>& found) {
    std::string entry;
    forEachChildWord(text, [&](std::string_view word) {
        entry.assign(word).append(".fsm");
        if (known.contains(entry)) {
            found.push_back(entry);
        }
        entry.insert(0, 1, '\\');
        if (known.contains(entry)) {
            found.push_back(entry);
        }
    });
}

void report(const DiagramAnalysis::Reporter& reporter, const std::string& message) {
    if (reporter) {
        reporter(message);
    }
}

}  // namespace

DiagramAnalysis::DiagramAnalysis(const Diagram& diagram,
                                 const std::vector<std::string>& diagramChildren,
                                 ExitFunctionStyle exitStyle)
    : m_diagram(diagram), m_diagramChildren(diagramChildren), m_exitStyle(std::move(exitStyle)) {}

std::string_view DiagramAnalysis::fsmField(int field) const {
    return GetGraphField(field, m_diagram);
}

bool DiagramAnalysis::analyse(const Reporter& reporter) {
    if (fsmField(FF_NAME).empty()) {
        report(reporter, "Attention, before generate C-code you must name the FSM");
        return false;
    }
    if (!collectStates(reporter)) {
        return false;
    }
    m_entryExit = clsEntryExit(reporter, m_exitStyle);
    bool hasExit = false;
    if (m_entryExit.ProcesarEntryExit(m_diagram, m_hasEntry, hasExit) != 0) {
        report(reporter, "Attention, the Entry/exit has error(s)");
        return false;
    }
    m_chains.Captura(m_diagram, m_chainPresent, m_maxLoops);
    collectChildren();
    findIllegalStateTest();
    return true;
}

bool DiagramAnalysis::collectStates(const Reporter& reporter) {
    std::vector<StateInfo> found;
    const Node* initial = nullptr;
    for (const auto& node : m_diagram.NodeList()) {
        if (node->hasKind(NK_COMMENT)) {
            m_comments.push_back(node.get());
        }
        if (!isState(*node)) {
            continue;
        }
        StateInfo s;
        s.node = node.get();
        const auto fields = readFields<STATE_FIELD_COUNT>(node->NodeData());
        s.index = lenientInt(fields[SF_INDEX]);
        s.name = fields[SF_NAME];
        s.moore = fields[SF_MOORE];
        s.entry = fields[SF_ENTRY];
        s.elseActions = fields[SF_ELSE];
        s.isIn = fields[SF_ISIN] == "Y";
        s.goTo = fields[SF_GOTO] == "Y";
        m_longestName = std::max(m_longestName, charCount(s.name));
        if (initial == nullptr && isInitial(*node)) {
            initial = node.get();
        }
        found.push_back(std::move(s));
    }
    if (initial == nullptr) {
        report(reporter, "Attention, to generate C-code a start node must be defined");
        return false;
    }

    // Constants, cases and tables are laid out by index, so every index must
    // name exactly one state; a repeated or stray index would silently drop a
    // state (or its exit actions) from the code.
    const int n = static_cast<int>(found.size());
    m_states.assign(found.size(), StateInfo{});
    bool indicesOk = true;
    for (StateInfo& s : found) {
        const bool inRange = s.index >= 1 && s.index <= n;
        if (!inRange || m_states[static_cast<std::size_t>(s.index - 1)].node != nullptr) {
            report(reporter, "Attention, the index of the node: " + std::string(s.name) +
                                 " is repeated or outside 1.." + std::to_string(n));
            indicesOk = false;
            continue;
        }
        m_nodeOrder.push_back(s.index);
        if (isFinal(*s.node)) {
            m_finals.push_back(s.index);
        }
        if (s.node == initial) {
            m_initial = s.index;
        }
        m_states[static_cast<std::size_t>(s.index - 1)] = std::move(s);
    }
    if (!indicesOk) {
        return false;
    }

    std::unordered_map<const Node*, int> indexOfNode;
    indexOfNode.reserve(m_states.size());
    for (const StateInfo& s : m_states) {
        indexOfNode.emplace(s.node, s.index);
    }
    for (StateInfo& s : m_states) {
        s.outLinks = static_cast<int>(s.node->NodeOutLinks().size());
        s.byPriority = transitionsByPriority(*s.node);
        s.targetOf.assign(s.byPriority.size(), 0);
        s.transitionFields.resize(s.byPriority.size());
        for (std::size_t p = 0; p < s.byPriority.size(); ++p) {
            if (s.byPriority[p] == nullptr) {
                continue;
            }
            const Node& t = *s.byPriority[p];
            s.transitionFields[p] = readFields<TRANSITION_FIELD_COUNT>(t.NodeData());
            const Node* target = targetState(t);
            const auto it = target ? indexOfNode.find(target) : indexOfNode.end();
            s.targetOf[p] = it == indexOfNode.end() ? 0 : it->second;
        }
    }
    return true;
}

void DiagramAnalysis::collectChildren() {
    if (m_diagramChildren.empty()) {
        return;
    }
    const std::unordered_set<std::string> known(m_diagramChildren.begin(), m_diagramChildren.end());
    for (StateInfo& s : m_states) {
        addNamedChildren(s.moore, known, s.children);
        addNamedChildren(s.elseActions, known, s.children);
        std::sort(s.children.begin(), s.children.end());
        s.children.erase(std::unique(s.children.begin(), s.children.end()), s.children.end());
    }
    std::unordered_set<std::string> listed;
    for (int index : m_nodeOrder) {
        for (const std::string& entry : state(index).children) {
            std::string machine = baseName(entry);
            if (listed.insert(machine).second) {
                m_childMachines.push_back(std::move(machine));
            }
        }
    }
}

void DiagramAnalysis::findIllegalStateTest() {
    // The texts are searched as one, in the order the module holds them.
    std::string userCode;
    for (int field : {FF_INITIALISATION, FF_BEFORE, FF_AFTER, FF_FINAL_CODE}) {
        userCode += fsmField(field);
    }
    m_usesIllegalStateTest = userCode.find("Is_Next_State_Illegal()") != std::string::npos;
}

bool DiagramAnalysis::entryExitDisabled(const StateInfo& s, int priority) const {
    std::string_view text;
    bool disabled = false;
    m_entryExit.ExistExitInThisTrans(s.index, priority, text, disabled);
    return disabled;
}

}  // namespace tarvel
