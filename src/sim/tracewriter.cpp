#include "sim/tracewriter.h"

#include "base/json.h"
#include "sim/simulator.h"

namespace tarvel {

void appendTraceLine(std::string& out, const Simulator& sim, int instance) {
    const auto& diagrams = sim.machine().diagrams();
    const auto stateName = [&](int diagram, int index) -> const std::string& {
        return diagrams[static_cast<std::size_t>(diagram)].state(index).name;
    };
    out += '{';
    if (instance > 0) {
        out += "\"instance\":";
        out += std::to_string(instance);
        out += ',';
    }
    out += "\"call\":";
    out += std::to_string(sim.calls());
    // The events of one kind, as a comma-separated list.
    const auto list = [&](SimEvent::Kind kind, const auto& write) {
        bool first = true;
        for (const SimEvent& e : sim.events()) {
            if (e.kind != kind) {
                continue;
            }
            if (!first) {
                out += ',';
            }
            first = false;
            write(e);
        }
    };
    out += ",\"actions\":[";
    list(SimEvent::Kind::Action, [&](const SimEvent& e) { appendJsonString(out, *e.text); });
    out += "],\"fired\":[";
    list(SimEvent::Kind::Fired, [&](const SimEvent& e) {
        out += "{\"diagram\":";
        appendJsonString(out, diagrams[static_cast<std::size_t>(e.diagram)].path);
        out += ",\"from\":";
        appendJsonString(out, stateName(e.diagram, e.from));
        out += ",\"to\":";
        appendJsonString(out, stateName(e.diagram, e.to));
        out += ",\"priority\":";
        out += std::to_string(e.priority);
        out += '}';
    });
    out += "],\"active\":{";
    for (std::size_t d = 0; d < diagrams.size(); ++d) {
        if (d > 0) {
            out += ',';
        }
        appendJsonString(out, diagrams[d].path);
        out += ':';
        appendJsonString(out, stateName(static_cast<int>(d), sim.activeState(static_cast<int>(d))));
    }
    out += '}';
    if (sim.stopped()) {
        out += ",\"error\":";
        appendJsonString(out, sim.stopReason());
    }
    out += '}';
}

}  // namespace tarvel
