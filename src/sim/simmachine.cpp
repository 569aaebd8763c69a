#include "sim/simmachine.h"

#include <deque>
#include <memory>
#include <set>

#include "codegen/diagramanalysis.h"
#include "codegen/hierarchywalk.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

// A diagram reached by the walk, with its analysis.
struct Walked {
    Document* document = nullptr;
    std::vector<std::string> children;
    std::string prefix;
    int depth = 0;
    int parent = -1;
    std::unique_ptr<DiagramAnalysis> analysis;
};

void report(const GenerationContext& context, const std::string& message) {
    if (context.report) {
        context.report(message);
    }
}

}  // namespace

std::string_view trimCondition(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int SimMachine::conditionId(std::string_view text) const {
    const auto it = m_conditionIds.find(std::string(trimCondition(text)));
    return it == m_conditionIds.end() ? -1 : it->second;
}

int SimMachine::addCondition(std::string_view text) {
    // A blank condition is generated as an unconditional branch.
    if (isBlank(text)) {
        return CONDITION_ALWAYS;
    }
    const std::string trimmed(trimCondition(text));
    if (trimmed.empty()) {
        return CONDITION_NEVER;
    }
    const auto [it, added] = m_conditionIds.emplace(trimmed, static_cast<int>(m_conditions.size()));
    if (added) {
        m_conditions.push_back(trimmed);
    }
    return it->second;
}

bool SimMachine::load(Document& root, GenerationContext& context) {
    m_diagrams.clear();
    m_conditions.clear();
    m_conditionIds.clear();

    // The same walk and the same analysis as a generation: what cannot be
    // generated cannot be simulated either, for the same reasons.
    // A deque keeps each analysis's children where the analysis saw them.
    std::deque<Walked> walked;
    const bool walkedAll = walkHierarchy(root, context, [&](const WalkVisit& v) {
        Walked& w = walked.emplace_back();
        w.document = &v.document;
        w.children = v.children;
        w.prefix = v.prefix;
        w.depth = v.depth;
        w.parent = v.parent;
        w.analysis = std::make_unique<DiagramAnalysis>(v.document.diagram(), w.children,
                                                       ExitFunctionStyle{});
        return w.analysis->analyse(context.report);
    });
    if (!walkedAll) {
        m_diagrams.clear();
        return false;
    }

    // A text calls a machine by its function's name, and a transition
    // restarts a child through the macro named after the child's file: both
    // are found by FSM name, as the compiler finds them.
    FunctionNames functions;
    m_diagrams.resize(walked.size());
    for (std::size_t i = 0; i < walked.size(); ++i) {
        SimDiagram& d = m_diagrams[i];
        const Walked& w = walked[i];
        d.name = std::string(w.analysis->fsmField(FF_NAME));
        d.path = w.parent < 0 ? d.name
                              : m_diagrams[static_cast<std::size_t>(w.parent)].path + "/" + d.name;
        d.prefix = w.prefix;
        d.file = w.document->sFullDocname;
        d.parent = w.parent;
        d.depth = w.depth;
        d.document = w.document;
        functions.emplace(d.name, static_cast<int>(i));
    }

    bool namesMatch = true;
    std::set<std::string> misnamed;
    const auto childOf = [&](const Walked& w, const std::string& entry) {
        const std::string base = baseName(entry);
        const auto it = functions.find(base);
        if (it != functions.end()) {
            return it->second;
        }
        namesMatch = false;
        const std::string path = clsParientes(w.document->sFullDocname).RutaCompleta(entry);
        if (misnamed.insert(path).second) {
            report(context, "Fsm simulation: the FSM of [" + path + "] must be named " + base +
                                ": the generated code calls and restarts it by that name");
        }
        return -1;
    };

    // Which diagrams a state's restart reaches: each non-history child it
    // names is put back to its initial state, and so on down through the
    // children such a child names. A history child keeps its state and that
    // of everything below it.
    std::vector<std::vector<int>> namedChildren(walked.size());
    for (std::size_t i = 0; i < walked.size(); ++i) {
        const DiagramAnalysis& a = *walked[i].analysis;
        std::set<int> seen;
        for (int index : a.nodeOrder()) {
            for (const std::string& entry : a.state(index).children) {
                const int child = childOf(walked[i], entry);
                if (child >= 0 && seen.insert(child).second) {
                    namedChildren[i].push_back(child);
                }
            }
        }
    }
    if (!namesMatch) {
        m_diagrams.clear();
        return false;
    }
    const auto restartsOf = [&](const std::vector<std::string>& entries) {
        std::vector<int> result;
        std::vector<bool> reached(walked.size(), false);
        std::vector<int> pending;
        for (const std::string& entry : entries) {
            pending.push_back(functions.at(baseName(entry)));
        }
        while (!pending.empty()) {
            const int d = pending.back();
            pending.pop_back();
            if (reached[static_cast<std::size_t>(d)] ||
                walked[static_cast<std::size_t>(d)].document->options.HistoryFsm) {
                continue;
            }
            reached[static_cast<std::size_t>(d)] = true;
            result.push_back(d);
            for (int child : namedChildren[static_cast<std::size_t>(d)]) {
                pending.push_back(child);
            }
        }
        return result;
    };

    for (std::size_t i = 0; i < walked.size(); ++i) {
        SimDiagram& d = m_diagrams[i];
        const DiagramAnalysis& a = *walked[i].analysis;
        d.initial = a.initialIndex();
        d.hasEntry = a.hasEntry();
        d.history = walked[i].document->options.HistoryFsm;
        d.chainPresent = a.chainPresent();
        d.maxLoops = a.maxLoops();
        d.before = splitAtCalls(a.fsmField(FF_BEFORE), functions);
        d.after = splitAtCalls(a.fsmField(FF_AFTER), functions);
        d.states.resize(static_cast<std::size_t>(a.stateCount()));
        for (const StateInfo& s : a.states()) {
            SimState& state = d.states[static_cast<std::size_t>(s.index - 1)];
            state.name = std::string(s.name);
            std::string_view entry;
            state.hasEntry = a.entryExit().ExisteEntryAccion(s.index, entry);
            state.entry = splitAtCalls(entry, functions);
            state.moore = splitAtCalls(s.moore, functions);
            state.elseActions = splitAtCalls(s.elseActions, functions);
            state.exit = splitAtCalls(a.entryExit().ExitAction(s.index), functions);
            state.restarts = restartsOf(s.children);
            for (int p = 1; p <= s.outLinks; ++p) {
                const Node* t = s.byPriority[static_cast<std::size_t>(p - 1)];
                if (t == nullptr) {
                    continue;
                }
                SimTransition& tr = state.transitions.emplace_back();
                tr.priority = p;
                tr.condition = addCondition(readTransitionField(TF_CONDITION, *t));
                tr.target = s.targetOf[static_cast<std::size_t>(p - 1)];
                tr.keepsEntry = a.entryExitDisabled(s, p);
                std::string_view exitText;
                bool disabled = false;
                tr.runsExit = a.entryExit().ExistExitInThisTrans(s.index, p, exitText, disabled);
                tr.chain = a.chainPresent() && a.chains().ExistInThisTrans(s.index, p);
                tr.mealy = splitAtCalls(readTransitionField(TF_ACTIONS, *t), functions);
            }
            // A transition that is never tried still has its condition: a
            // scenario may name it.
            for (const Node* t : transitionsOf(*s.node)) {
                addCondition(readTransitionField(TF_CONDITION, *t));
            }
        }
    }
    return true;
}

}  // namespace tarvel
