#include "codegen/clsentryexit.h"

#include <algorithm>

#include "base/codeprinter.h"
#include "base/text.h"
#include "model/diagram.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

clsEntryExit::clsEntryExit(Reporter report, ExitFunctionStyle style)
    : m_report(std::move(report)), m_style(std::move(style)) {}

int clsEntryExit::ProcesarEntryExit(const Diagram& diagram, bool& hasEntry, bool& hasExit) {
    // The table keeps one entry per state, by index; an index beyond the
    // number of states has no entry (the generator refuses such diagrams).
    const auto stateCount =
        static_cast<std::size_t>(std::count_if(diagram.NodeList().begin(), diagram.NodeList().end(),
                                               [](const auto& node) { return isState(*node); }));
    m_states.clear();
    m_states.resize(stateCount);
    m_errors = 0;
    hasEntry = false;
    hasExit = false;
    for (const auto& node : diagram.NodeList()) {
        if (!isState(*node)) {
            continue;
        }
        const auto fields = readFields<STATE_FIELD_COUNT>(node->NodeData());
        const std::string_view name = fields[SF_NAME];
        const std::string_view exit = fields[SF_EXIT];
        const int outLinks = static_cast<int>(node->NodeOutLinks().size());
        hasEntry = hasEntry || !fields[SF_ENTRY].empty();
        hasExit = hasExit || !exit.empty();
        if (!exit.empty() && outLinks == 0) {
            ++m_errors;
            if (m_report) {
                m_report("The \"Exit action\" of the node: " + std::string(name) + "\r\n" +
                         "node hasn 't Exit transitions were transfer it.");
            }
        }
        const int k = lenientInt(fields[SF_INDEX]);
        if (k < 1 || static_cast<std::size_t>(k) > m_states.size()) {
            continue;
        }
        StateEntry& s = m_states[static_cast<std::size_t>(k - 1)];
        s = StateEntry{};
        s.name = name;
        s.entry = fields[SF_ENTRY];
        s.exit = exit;
        s.exitCount = exit.empty() ? 0 : outLinks;
        // Only the transitions that are generated count.
        const std::vector<const Node*> byPriority = transitionsByPriority(*node);
        s.transitions.resize(byPriority.size());
        for (std::size_t p = 0; p < byPriority.size(); ++p) {
            const Node* t = byPriority[p];
            if (t == nullptr) {
                continue;
            }
            TransitionEntry& e = s.transitions[p];
            const Node* target = targetState(*t);
            e.present = true;
            e.target = target ? readStateField(SF_NAME, *target) : std::string_view{};
            e.entryExitDisabled =
                target == node.get() && readTransitionField(TF_ENTRY_EXIT, *t) == "N";
        }
    }
    for (StateEntry& s : m_states) {
        if (s.exitCount > 0) {
            makeExitFunction(s);
        }
    }
    return m_errors;
}

void clsEntryExit::makeExitFunction(StateEntry& s) const {
    // Copying a long text into many transitions costs code size; a function
    // pays off from two transitions and three statements on.
    const auto statements = std::count(s.exit.begin(), s.exit.end(), ';');
    s.exitAsFunction = s.exitCount >= 2 && statements >= 3;
    if (!s.exitAsFunction) {
        s.callText = s.exit;
        return;
    }
    std::string function = s.name + "_OnExit";
    if (m_style.usedNames != nullptr && !m_style.usedNames->insert(function).second) {
        function += m_style.suffix;
        m_style.usedNames->insert(function);
    }
    const std::string head = "static void " + function + "(" + m_style.parameters + ")";
    s.prototype = head + ";";
    CodePrinter body(head.size() + s.exit.size() + 32);
    body.line(head).line("{");
    {
        IndentScope statements(body);
        body.indented(s.exit).nl();
    }
    body.text("}");
    s.body = body.take();
    s.callText = function + "(" + m_style.arguments + ");";
}

std::string clsEntryExit::DimeDefinicionExitFunc() const {
    CodePrinter out;
    for (const StateEntry& s : m_states) {
        if (s.exitCount >= 1 && s.exitAsFunction) {
            out.line(s.prototype);
        }
    }
    return out.take();
}

std::string clsEntryExit::DimeImplementacionExitFunc() const {
    CodePrinter out;
    for (const StateEntry& s : m_states) {
        if (s.exitCount >= 1 && s.exitAsFunction) {
            out.line(s.body);
        }
    }
    return out.take();
}

const clsEntryExit::StateEntry* clsEntryExit::entryAt(int stateIndex) const {
    if (stateIndex < 1 || stateIndex > NumNodos()) {
        return nullptr;
    }
    return &m_states[static_cast<std::size_t>(stateIndex - 1)];
}

bool clsEntryExit::ExisteEntryAccion(int stateIndex, std::string_view& text) const {
    const StateEntry* s = entryAt(stateIndex);
    text = s ? std::string_view(s->entry) : std::string_view{};
    return !text.empty();
}

std::string_view clsEntryExit::ExitAction(int stateIndex) const {
    const StateEntry* s = entryAt(stateIndex);
    return s ? std::string_view(s->exit) : std::string_view{};
}

bool clsEntryExit::ExistExitInThisTrans(int stateIndex, int priority, std::string_view& text,
                                        bool& disabled) const {
    text = {};
    disabled = false;
    const StateEntry* s = entryAt(stateIndex);
    if (s == nullptr || priority < 1 ||
        static_cast<std::size_t>(priority) > s->transitions.size()) {
        return false;
    }
    text = s->callText;
    disabled = s->transitions[static_cast<std::size_t>(priority - 1)].entryExitDisabled;
    return !text.empty() && !disabled;
}

std::string_view clsEntryExit::StateName(int stateIndex) const {
    const StateEntry* s = entryAt(stateIndex);
    return s ? std::string_view(s->name) : std::string_view{};
}

}  // namespace tarvel
