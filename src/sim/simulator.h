// Runs a loaded machine one call of its FSM function at a time, as the
// generated module runs it: the user says which conditions hold during the
// call, the simulator does everything else (entry flags, Moore, transition
// and else actions, exit actions, chains and their loop limit, child machines
// called from their superstates' texts and restarted by their transitions).
// One simulator is one instance of the machine; the reentrant code runs
// several independent instances exactly like several simulators.
#pragma once

#include <string>
#include <vector>

#include "sim/simmachine.h"

namespace tarvel {

// A chain loop without a limit runs until a pass takes no chain transition;
// one that never ends would hang the generated code. The simulator stops a
// call after this many repeated passes of such loops.
inline constexpr int MAX_CHAIN_STEPS = 100000;
// Machines that call each other back are stopped at this depth of calls.
inline constexpr int MAX_CALL_DEPTH = 1000;

// Something that happened during a call, in order.
struct SimEvent {
    enum class Kind { Action, Fired };
    Kind kind = Kind::Action;
    int diagram = 0;
    const std::string* text = nullptr;  // Action: the user text that ran
    int from = 0;                       // Fired: state indices and the priority
    int to = 0;
    int priority = 0;
};

class Simulator {
public:
    explicit Simulator(const SimMachine& machine);

    const SimMachine& machine() const { return m_machine; }

    // Every diagram back in its initial state with its entry flag clear, as
    // the module starts (or the reentrant reset function leaves an instance).
    void reset();

    // Runs one call of the root's FSM function; `holds` tells by condition id
    // which conditions are true (missing ids are false). False when the call
    // was stopped (see stopReason()); the instance is then left as it was at
    // that moment and further steps are refused until reset().
    bool step(const std::vector<bool>& holds);

    // What the last call did.
    const std::vector<SimEvent>& events() const { return m_events; }
    const std::string& stopReason() const { return m_stopReason; }
    bool stopped() const { return !m_stopReason.empty(); }

    // The state index (1..n) each diagram is in, and its entry flag.
    int activeState(int diagram) const { return m_index[static_cast<std::size_t>(diagram)]; }
    bool entryFlag(int diagram) const { return m_entryFlag[static_cast<std::size_t>(diagram)]; }
    // The number of calls since the last reset.
    long long calls() const { return m_calls; }

private:
    void runFunction(int diagram);
    // One pass of the dispatcher's switch; true when a chain transition fired.
    bool runCase(int diagram);
    void fire(int diagram, int from, const SimTransition& t, bool& chain);
    void runText(int diagram, const ActionText& text);
    bool holds(int condition) const;
    void stop(std::string reason);

    const SimMachine& m_machine;
    std::vector<int> m_index;
    std::vector<char> m_entryFlag;
    std::vector<SimEvent> m_events;
    const std::vector<bool>* m_holds = nullptr;
    std::string m_stopReason;
    int m_unboundedPasses = 0;
    int m_depth = 0;
    long long m_calls = 0;
};

}  // namespace tarvel
