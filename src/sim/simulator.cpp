#include "sim/simulator.h"

namespace tarvel {

Simulator::Simulator(const SimMachine& machine) : m_machine(machine) {
    reset();
}

void Simulator::reset() {
    const auto& diagrams = m_machine.diagrams();
    m_index.assign(diagrams.size(), 0);
    m_entryFlag.assign(diagrams.size(), 0);
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        m_index[i] = diagrams[i].initial;
    }
    m_events.clear();
    m_stopReason.clear();
    m_calls = 0;
}

bool Simulator::step(const std::vector<bool>& holds) {
    m_events.clear();
    if (stopped() || m_machine.diagrams().empty()) {
        return false;
    }
    ++m_calls;
    m_holds = &holds;
    m_unboundedPasses = 0;
    m_depth = 0;
    runFunction(0);
    m_holds = nullptr;
    return !stopped();
}

bool Simulator::holds(int condition) const {
    if (condition == CONDITION_ALWAYS) {
        return true;
    }
    return condition >= 0 && static_cast<std::size_t>(condition) < m_holds->size() &&
           (*m_holds)[static_cast<std::size_t>(condition)];
}

void Simulator::stop(std::string reason) {
    if (m_stopReason.empty()) {
        m_stopReason = std::move(reason);
    }
}

void Simulator::runText(int diagram, const ActionText& text) {
    for (const ActionPiece& piece : text) {
        if (stopped()) {
            return;
        }
        if (piece.call < 0) {
            m_events.push_back({SimEvent::Kind::Action, diagram, &piece.text});
        } else {
            runFunction(piece.call);
        }
    }
}

// The FSM function: the user's actions before the analysis, the switch (in a
// loop when the diagram has chain transitions), the user's actions after it.
void Simulator::runFunction(int diagram) {
    const SimDiagram& d = m_machine.diagrams()[static_cast<std::size_t>(diagram)];
    if (m_depth >= MAX_CALL_DEPTH) {
        stop("the FSM functions call each other more than " + std::to_string(MAX_CALL_DEPTH) +
             " deep (" + d.path + "); the generated code would exhaust its stack");
        return;
    }
    ++m_depth;
    runText(diagram, d.before);
    // The loop counter is a local variable of the function: every call
    // starts again at the limit.
    int counter = d.maxLoops;
    while (!stopped()) {
        const bool chained = runCase(diagram);
        if (!d.chainPresent || stopped()) {
            break;
        }
        if (d.maxLoops > 0) {
            --counter;
            if (!chained || counter <= 0) {
                break;
            }
            continue;
        }
        if (!chained) {
            break;
        }
        if (++m_unboundedPasses >= MAX_CHAIN_STEPS) {
            stop("the chain transitions of " + d.path + " did not end after " +
                 std::to_string(MAX_CHAIN_STEPS) +
                 " steps; the generated code would loop for ever");
        }
    }
    runText(diagram, d.after);
    --m_depth;
}

bool Simulator::runCase(int diagram) {
    const SimDiagram& d = m_machine.diagrams()[static_cast<std::size_t>(diagram)];
    const int index = m_index[static_cast<std::size_t>(diagram)];
    const SimState& s = d.state(index);
    char& entryFlag = m_entryFlag[static_cast<std::size_t>(diagram)];
    // The entry actions run on the first pass through the state after it
    // was entered: the flag is cleared by the transitions that leave it.
    if (s.hasEntry && !entryFlag) {
        entryFlag = 1;
        runText(diagram, s.entry);
    }
    runText(diagram, s.moore);
    bool chain = false;
    for (const SimTransition& t : s.transitions) {
        if (stopped()) {
            return false;
        }
        if (holds(t.condition)) {
            fire(diagram, index, t, chain);
            return chain;
        }
    }
    runText(diagram, s.elseActions);
    return false;
}

void Simulator::fire(int diagram, int from, const SimTransition& t, bool& chain) {
    const auto& diagrams = m_machine.diagrams();
    const SimState& s = diagrams[static_cast<std::size_t>(diagram)].state(from);
    // A self transition, or one that leads nowhere, leaves the index alone.
    const bool moves = t.target != 0 && t.target != from;
    m_events.push_back(
        {SimEvent::Kind::Fired, diagram, nullptr, from, moves ? t.target : from, t.priority});
    if (!t.keepsEntry) {
        for (int child : s.restarts) {
            m_index[static_cast<std::size_t>(child)] =
                diagrams[static_cast<std::size_t>(child)].initial;
            m_entryFlag[static_cast<std::size_t>(child)] = 0;
        }
    }
    if (t.runsExit) {
        runText(diagram, s.exit);
    }
    runText(diagram, t.mealy);
    if (moves) {
        m_index[static_cast<std::size_t>(diagram)] = t.target;
    }
    if (s.hasEntry && !t.keepsEntry) {
        m_entryFlag[static_cast<std::size_t>(diagram)] = 0;
    }
    chain = t.chain;
}

}  // namespace tarvel
