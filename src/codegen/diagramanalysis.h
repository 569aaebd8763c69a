// Everything the generators need to know about one diagram, found in one
// pass before anything is written: the checks that stop a generation, the
// states by index with their transitions by priority, the entry/exit and
// chain analyses, and the child diagrams each state names.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "codegen/clscontinueimmediately.h"
#include "codegen/clsentryexit.h"
#include "model/transitionrecord.h"

namespace tarvel {

class Diagram;
class Node;

struct StateInfo {
    const Node* node = nullptr;
    int index = 0;  // 1..n
    std::string_view name;
    std::string_view moore;
    std::string_view entry;
    std::string_view elseActions;
    bool isIn = false;
    bool goTo = false;
    // Number of out-links, which bounds the priorities that are generated.
    int outLinks = 0;
    // Position p - 1: the first transition of priority p, or null.
    std::vector<const Node*> byPriority;
    // Position p - 1: the index of that transition's target state (0: none).
    std::vector<int> targetOf;
    // Position p - 1: that transition's record, read once (empty: none).
    std::vector<std::array<std::string_view, TRANSITION_FIELD_COUNT>> transitionFields;
    // Child entries named by the Moore and else actions, sorted, each once.
    std::vector<std::string> children;

    // Some transition of the state is generated.
    bool hasTransitions() const {
        return std::any_of(byPriority.begin(), byPriority.end(),
                           [](const Node* t) { return t != nullptr; });
    }
};

class DiagramAnalysis {
public:
    using Reporter = std::function<void(const std::string&)>;

    // `diagramChildren` is the diagram's whole child list (every entry any
    // state names); `exitStyle` shapes its exit functions.
    DiagramAnalysis(const Diagram& diagram, const std::vector<std::string>& diagramChildren,
                    ExitFunctionStyle exitStyle);

    // Runs the checks in order, reporting each failure; false when the
    // diagram cannot be generated. Nothing else may be asked after a failure.
    bool analyse(const Reporter& report);

    const Diagram& diagram() const { return m_diagram; }
    std::string_view fsmField(int field) const;

    // States by index: position k - 1 holds the state of index k.
    const std::vector<StateInfo>& states() const { return m_states; }
    const StateInfo& state(int index) const {
        return m_states[static_cast<std::size_t>(index - 1)];
    }
    // State indices in `NodeList` order.
    const std::vector<int>& nodeOrder() const { return m_nodeOrder; }
    int stateCount() const { return static_cast<int>(m_states.size()); }
    int initialIndex() const { return m_initial; }
    // Characters of the longest state name.
    std::size_t longestName() const { return m_longestName; }
    // State indices of the final states in `NodeList` order.
    const std::vector<int>& finalStates() const { return m_finals; }
    // The comment boxes in `NodeList` order.
    const std::vector<const Node*>& comments() const { return m_comments; }
    // The child machines the states name, each once, in `NodeList` order of
    // the states: leaving a machine that keeps no history restarts them.
    const std::vector<std::string>& childMachines() const { return m_childMachines; }
    // The user's code calls Is_Next_State_Illegal(), which the module then
    // defines for this machine.
    bool usesIllegalStateTest() const { return m_usesIllegalStateTest; }

    bool hasEntry() const { return m_hasEntry; }
    bool chainPresent() const { return m_chainPresent; }
    int maxLoops() const { return m_maxLoops; }
    const clsEntryExit& entryExit() const { return m_entryExit; }
    const clsContinueImmediately& chains() const { return m_chains; }

    // Whether a transition is a self transition whose entry and exit actions
    // are switched off (it runs neither, and leaves the children alone).
    bool entryExitDisabled(const StateInfo& s, int priority) const;

private:
    bool collectStates(const Reporter& report);
    void collectChildren();
    void findIllegalStateTest();

    const Diagram& m_diagram;
    const std::vector<std::string>& m_diagramChildren;
    ExitFunctionStyle m_exitStyle;
    std::vector<StateInfo> m_states;
    std::vector<int> m_nodeOrder;
    std::vector<int> m_finals;
    std::vector<const Node*> m_comments;
    std::vector<std::string> m_childMachines;
    bool m_usesIllegalStateTest = false;
    int m_initial = 0;
    std::size_t m_longestName = 0;
    bool m_hasEntry = false;
    bool m_chainPresent = false;
    int m_maxLoops = 0;
    clsEntryExit m_entryExit;
    clsContinueImmediately m_chains;
};

}  // namespace tarvel
