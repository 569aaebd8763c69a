#include "shell/simulationrun.h"

#include <iostream>

#include "model/document.h"
#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"
#include "sim/scenarioreader.h"
#include "sim/simmachine.h"
#include "sim/simulator.h"
#include "sim/tracewriter.h"

namespace tarvel {

namespace {

constexpr std::string_view SIMULATE = "--simulate";
constexpr std::string_view INSTANCES = "--instances";

// The problems of a simulation go to the error log like those of every
// batch run, and to standard error, since standard output holds the trace.
void problem(const std::string& message) {
    LogError(message);
    std::cerr << "tarvel: " << message << '\n';
}

// "--name=value" or "--name value": true when `args[i]` is the option; its
// value (and the argument that held it) is taken out.
bool takeOption(std::vector<std::string>& args, std::size_t i, std::string_view name,
                std::optional<std::string>& value) {
    const std::string& arg = args[i];
    if (arg == name) {
        value = i + 1 < args.size() ? std::optional<std::string>(args[i + 1]) : std::nullopt;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, args.size())));
        return true;
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
    }
    return false;
}

// Checks every call of the scenario before anything runs, so that a damaged
// scenario or an unknown condition leaves no half-written trace.
bool checkScenario(const SimulationRequest& request, const SimMachine& machine) {
    ScenarioReader reader(request.scenario, request.instances);
    for (;;) {
        switch (reader.next()) {
            case ScenarioReader::Item::Call:
                for (std::string_view text : reader.conditions()) {
                    if (machine.conditionId(text) < 0) {
                        std::string where = "call " + std::to_string(reader.call());
                        if (request.instances > 0) {
                            where += " of instance " + std::to_string(reader.instance());
                        }
                        problem("Fsm simulation: no transition has the condition [" +
                                std::string(trimCondition(text)) + "] (" + where + " of [" +
                                request.scenario + "])");
                        return false;
                    }
                }
                break;
            case ScenarioReader::Item::InstanceEnd:
                break;
            case ScenarioReader::Item::End:
                return true;
            case ScenarioReader::Item::Error:
                problem("Fsm simulation: " + reader.error());
                return false;
        }
    }
}

// Runs the checked scenario, one trace line per call.
bool runScenario(const SimulationRequest& request, const SimMachine& machine, std::FILE* out) {
    ScenarioReader reader(request.scenario, request.instances);
    Simulator sim(machine);
    std::vector<bool> holds(machine.conditions().size(), false);
    std::string line;
    for (;;) {
        switch (reader.next()) {
            case ScenarioReader::Item::Call: {
                holds.assign(holds.size(), false);
                for (std::string_view text : reader.conditions()) {
                    holds[static_cast<std::size_t>(machine.conditionId(text))] = true;
                }
                const bool ran = sim.step(holds);
                line.clear();
                appendTraceLine(line, sim, request.instances > 0 ? reader.instance() : 0);
                line += '\n';
                std::fwrite(line.data(), 1, line.size(), out);
                if (!ran) {
                    std::fflush(out);
                    problem("Fsm simulation: call " + std::to_string(sim.calls()) + ": " +
                            sim.stopReason());
                    return false;
                }
                break;
            }
            case ScenarioReader::Item::InstanceEnd:
                sim.reset();
                break;
            case ScenarioReader::Item::End:
                return std::fflush(out) == 0;
            case ScenarioReader::Item::Error:
                // The file changed since it was checked.
                problem("Fsm simulation: " + reader.error());
                return false;
        }
    }
}

}  // namespace

std::optional<SimulationRequest> TakeSimulationOptions(std::vector<std::string>& args) {
    std::optional<std::string> scenario;
    std::optional<std::string> instances;
    bool simulate = false;
    bool counted = false;
    // "--" ends the options: what follows is the diagram path.
    for (std::size_t i = 0; i < args.size() && args[i] != "--";) {
        if (takeOption(args, i, SIMULATE, scenario)) {
            simulate = true;
        } else if (takeOption(args, i, INSTANCES, instances)) {
            counted = true;
        } else {
            ++i;
        }
    }
    if (!simulate && !counted) {
        return std::nullopt;
    }
    SimulationRequest request;
    if (!simulate) {
        request.error = "--instances needs --simulate=SCENARIO.json";
        return request;
    }
    if (!scenario || scenario->empty()) {
        request.error = "--simulate needs a scenario file: --simulate=SCENARIO.json";
        return request;
    }
    request.scenario = *scenario;
    if (counted) {
        const std::string text = instances.value_or("");
        const bool digits = !text.empty() && text.size() <= 6 &&
                            text.find_first_not_of("0123456789") == std::string::npos;
        request.instances = digits ? std::stoi(text) : 0;
        if (request.instances < 1) {
            request.error =
                "--instances needs a number of instances from 1 to 999999, not [" + text + "]";
        }
    }
    return request;
}

std::string SimulationHelpText() {
    std::string text = " Simulation, with the trace on standard output:";
    text += CRLF;
    text += " --simulate=SCENARIO.json  run the scenario's calls of the FSM function";
    text += CRLF;
    text += " --instances=N             as N independent instances of the reentrant code";
    text += CRLF;
    return text;
}

int runSimulation(const std::string& diagramPath, const SimulationRequest& request,
                  std::FILE* out) {
    if (!request.error.empty()) {
        problem("Fsm simulation: " + request.error);
        return 1;
    }
    if (diagramPath.empty()) {
        problem(
            "Fsm simulation: no diagram to simulate; name an existing DIAGRAM.fsm before "
            "--simulate=" +
            request.scenario);
        return 1;
    }
    BatchUserInterface ui;
    WorkspaceSettings settings;
    settings.modeCommand = true;
    settings.displayTexts = false;
    Workspace ws(ui, settings);
    Document* opened = ws.FileOpen(diagramPath);
    if (opened == nullptr) {
        problem("Fsm error loading:[" + diagramPath + "]");
        return 1;
    }
    Document& root = *opened;

    GenerationContext context;
    context.openChild = [&ws](const std::string& path) { return ws.FileOpen(path); };
    context.report = [](const std::string& text) { problem(text); };
    SimMachine machine;
    if (!machine.load(root, context)) {
        problem("Fsm simulation: [" + diagramPath + "] cannot be simulated");
        return 1;
    }
    if (!checkScenario(request, machine)) {
        return 1;
    }
    return runScenario(request, machine, out) ? 0 : 1;
}

}  // namespace tarvel
