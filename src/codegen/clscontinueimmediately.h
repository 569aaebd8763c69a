// Chain transitions of one diagram: a transition marked to continue
// immediately makes the dispatcher analyse the new state again in the same
// call. The analysis finds those transitions and the loop limit; the
// generator wraps its switch in a loop when there are any.
#pragma once

#include <vector>

namespace tarvel {

class Diagram;

class clsContinueImmediately {
public:
    // Analyses the diagram. chainPresent is false when no transition
    // continues immediately, or when the limit is exactly one pass (the
    // normal behaviour, so no loop is needed). maxLoops is the limit from the
    // FSM properties, kept within 0..255 (0: no limit), or 0 without chains.
    void Captura(const Diagram& diagram, bool& chainPresent, int& maxLoops);

    // Whether the transition of that priority continues immediately.
    bool ExistInThisTrans(int stateIndex, int priority) const;

private:
    // Fills the table from the states' transitions by priority.
    void recordChains(const Diagram& diagram);

    std::vector<std::vector<bool>> m_chains;  // [k - 1][p - 1]
};

}  // namespace tarvel
