// The batch simulation: "DIAGRAM.fsm --simulate=SCENARIO.json" runs the
// scenario on the diagram's hierarchy and writes the trace, one JSON object
// per call, on standard output; "--instances=N" runs N independent instances
// (as the reentrant code runs them) from a scenario holding one array of
// calls per instance.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tarvel {

struct SimulationRequest {
    std::string scenario;
    int instances = 0;  // 0: one instance, scenario without instance arrays
    // What was wrong with the options; empty when they were fine.
    std::string error;
};

// Takes "--simulate=FILE" (or "--simulate FILE") and "--instances=N" out of
// the arguments before "--", before the switches are parsed. Empty when
// neither was given.
std::optional<SimulationRequest> TakeSimulationOptions(std::vector<std::string>& args);

// The lines of the options in the help.
std::string SimulationHelpText();

// Runs the request on the diagram at `diagramPath` and writes the trace to
// `out`. Problems go to the error log and to standard error. Returns the exit
// status: 0 when the whole scenario ran, 1 otherwise.
int runSimulation(const std::string& diagramPath, const SimulationRequest& request, std::FILE* out);

}  // namespace tarvel
