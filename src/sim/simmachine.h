// A hierarchy of diagrams made ready to simulate: what one call of the
// generated FSM function does in every state of every diagram, taken from the
// analyses the generators use, so that the simulator runs exactly the code
// they write. Loading never changes a diagram, and the machine keeps its own
// copy of every text: the diagrams may change or close afterwards.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "codegen/generationcontext.h"
#include "sim/actiontext.h"

namespace tarvel {

class Document;

// Condition ids of transitions whose condition is not one of the texts.
inline constexpr int CONDITION_ALWAYS = -1;  // blank: the transition is always taken
inline constexpr int CONDITION_NEVER = -2;   // only tabs or line breaks: no text can name it

struct SimTransition {
    int priority = 0;
    int condition = CONDITION_ALWAYS;  // index into SimMachine::conditions(), or the above
    int target = 0;                    // state index; 0 when the transition leads nowhere
    // A self transition with entry and exit switched off: no exit actions, no
    // restart of the children, the entry flag stays set.
    bool keepsEntry = false;
    bool runsExit = false;  // the state's exit actions run
    bool chain = false;     // the dispatcher analyses again in the same call
    ActionText mealy;
};

struct SimState {
    std::string name;
    ActionText entry;
    ActionText moore;
    ActionText elseActions;
    ActionText exit;
    bool hasEntry = false;
    // In the order they are tried.
    std::vector<SimTransition> transitions;
    // The diagrams its transitions restart (the non-history children it
    // names and, through them, theirs).
    std::vector<int> restarts;
};

struct SimDiagram {
    std::string name;    // the FSM name, which is also its function's name
    std::string path;    // FSM names from the root joined by "/"
    std::string prefix;  // the name prefix of its generated identifiers
    std::string file;    // the diagram's file
    int parent = -1;     // position of the parent in SimMachine::diagrams()
    int depth = 0;
    // The document it was loaded from, to find the diagram's window; never
    // used by the simulation itself.
    const Document* document = nullptr;
    std::vector<SimState> states;  // position k - 1 holds the state of index k
    int initial = 1;
    bool hasEntry = false;
    bool history = true;
    bool chainPresent = false;
    int maxLoops = 0;   // 0: the chain loop has no limit
    ActionText before;  // user actions before and after the state analysis
    ActionText after;

    const SimState& state(int index) const { return states[static_cast<std::size_t>(index - 1)]; }
};

class SimMachine {
public:
    // Loads the hierarchy of `root`, opening its children through the
    // context, with the checks of a generation; every problem goes to the
    // context's `report`. False when the machine cannot be simulated.
    bool load(Document& root, GenerationContext& context);

    // In walk order: the root first, children depth first.
    const std::vector<SimDiagram>& diagrams() const { return m_diagrams; }

    // The distinct condition texts of the hierarchy, trimmed.
    const std::vector<std::string>& conditions() const { return m_conditions; }
    // The id of a condition text (trimmed before it is compared); -1 when no
    // transition has it.
    int conditionId(std::string_view text) const;

private:
    int addCondition(std::string_view text);

    std::vector<SimDiagram> m_diagrams;
    std::vector<std::string> m_conditions;
    std::unordered_map<std::string, int> m_conditionIds;
};

// Condition texts are compared without the blanks, tabs and line breaks
// around them, which C ignores too.
std::string_view trimCondition(std::string_view text);

}  // namespace tarvel
