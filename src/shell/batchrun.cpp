#include "shell/batchrun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <utility>

#include "base/batchheap.h"
#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "model/document.h"
#include "shell/batchcheck.h"
#include "shell/depfile.h"
#include "shell/documentexport.h"
#include "shell/generation.h"
#include "shell/simulationrun.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

// Adds `path` unless it is there already. The diagram's path was made
// absolute when it was opened, and its children are found beside it.
void addOnce(std::vector<std::string>& paths, const std::string& path) {
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
        paths.push_back(path);
    }
}

// The files the run was asked to write, in the order of the depfile's rule:
// the C module first, as build tools take the first target for the rule's own.
std::vector<std::string> runOutputs(const Workspace& ws, const Document& root,
                                    const StartupState& state, bool generated) {
    const std::string base = ws.OutputBaseName(root);
    std::vector<std::string> outputs;
    if (generated) {
        outputs.insert(outputs.end(), {base + ".c", base + ".h"});
    }
    if (state.H || state.HL) {
        outputs.push_back(base + ".htm");
    }
    if (state.H || state.HL || state.W) {
        outputs.insert(outputs.end(), {base + ".wmf", base + ".svg"});
    }
    if (state.LS) {
        outputs.push_back(base + ".lst");
    }
    return outputs;
}

// The generator the switches ask for: /CH and /CHR name theirs, /C runs the
// one the diagram names (the other styles generate nothing).
GeneratorKind requestedGenerator(const StartupState& state, const Document& root) {
    if (state.CH) {
        return GeneratorKind::Hierarchical;
    }
    if (state.CHR) {
        return GeneratorKind::HierarchicalReentrant;
    }
    return generatorOf(root.generatorCaption());
}

// About what a run needs in memory for each byte of its diagram file: the
// text, the parsed document, the diagram and the code built from it.
constexpr std::size_t MEMORY_PER_FILE_BYTE = 16;

// The documents of a batch run and the interface they report to.
struct BatchSession {
    explicit BatchSession(const WorkspaceSettings& settings) : workspace(ui, settings) {}
    BatchUserInterface ui;
    Workspace workspace;
};

// A finished run's session that the end of the process takes apart; kept
// here so that it stays reachable until then.
BatchSession* leftToProcessExit = nullptr;

// A run that cannot get memory, or meets any other exception, ends with a
// line in the error log and status 1, never with an abort and empty logs.
template <typename Run>
int guardedRun(const std::string& path, Run run) {
    try {
        return run();
    } catch (const std::bad_alloc&) {
        LogError("Fsm out of memory:[" + path + "]");
    } catch (const std::exception& e) {
        LogError("Fsm can't run [unexpected error]:[" + path + "] " + e.what());
    }
    return 1;
}

int runBatchSteps(const StartupState& state, BatchProcess process) {
    if (state.sCommandLine.empty()) {
        return 1;  // a batch switch without a diagram: the reason is in the error log
    }
    // The status speaks of this run only: lines of earlier runs in the same
    // process (the tests run many) do not count.
    const int errorsBefore = ErrorLogCount();
    WorkspaceSettings settings;
    settings.modeCommand = true;
    settings.outputPath = state.sOutputPath;
    settings.skipCSaveDialog = state.C || state.CH || state.CHR || state.CS || state.CP || state.CA;
    settings.overrides.debugInfo = state.debugInfoOverride();
    settings.overrides.ansiComment = state.ansiCommentOverride();
    settings.overrides.printTextBoxes = state.printTextBoxesOverride();
    settings.overrides.bitFields = state.bitFieldsOverride();
    // Display texts are built only when a picture or page is drawn.
    settings.displayTexts = state.H || state.HL || state.W;
    const std::string& path = state.sCommandLine;
    if (process == BatchProcess::Own) {
        prepareBatchHeap(FileSize(path) * MEMORY_PER_FILE_BYTE);
    }
    auto session = std::make_unique<BatchSession>(settings);
    Workspace& ws = session->workspace;

    Document* opened = ws.FileOpen(path);
    if (opened == nullptr) {
        LogError("Fsm error loading:[" + path + "]");
        return 1;
    }
    Document& root = *opened;
    std::vector<std::string> diagramsRead{root.sFullDocname};

    bool ran = false;
    if (!(state.CS || state.CP || state.CA) && (state.C || state.CH || state.CHR)) {
        const GeneratorKind kind = requestedGenerator(state, root);
        ran = kind != GeneratorKind::None;
        if (ran) {
            const auto report = [](const std::string& text) { LogError(text); };
            // A child that fails to load is a prerequisite too: mending it
            // must run the generation again.
            const auto childAsked = [&diagramsRead](const std::string& child) {
                if (FileExists(child)) {
                    addOnce(diagramsRead, child);
                }
            };
            ws.SaveCFiles(root, generateCode(ws, root, kind, report, childAsked));
        }
    }
    // The page wins over the picture; with both page switches the page gets
    // the links to pages in the same folder.
    if (state.H || state.HL) {
        FileSaveAsHTML(ws, root, state.HL);
    } else if (state.W) {
        FileSaveAsEMF(ws, root);
    }
    if (state.LS) {
        FileSaveAsList(ws, root);
    }
    std::string error;
    if (!state.depfilePath.empty() &&
        !WriteDepfile(state.depfilePath, runOutputs(ws, root, state, ran), diagramsRead, error)) {
        LogError("Fsm can't save depfile:[" + state.depfilePath + "] " + error);
    }
    if (process == BatchProcess::Own) {
        leftToProcessExit = session.release();
    }
    return ErrorLogCount() > errorsBefore ? 1 : 0;
}

}  // namespace

int runBatch(const StartupState& state, BatchProcess process) {
    return guardedRun(state.sCommandLine,
                      [&state, process] { return runBatchSteps(state, process); });
}

StartupResult handleCommandLine(const std::vector<std::string>& args,
                                const std::string& programName,
                                const std::function<int()>& showHelp, BatchProcess process) {
    std::vector<std::string> switches = args;
    if (const auto check = takeCheckArguments(switches)) {
        return {StartupAction::Exit, runCheckCommand(*check, switches, std::cout, std::cerr)};
    }
    const std::optional<SimulationRequest> simulation = TakeSimulationOptions(switches);
    startup() = ParseCommandLine(switches);
    const StartupState& state = startup();
    if (state.showHelp) {
        if (showHelp) {
            return {StartupAction::Exit, showHelp()};
        }
        std::cout << FullHelpText(programName);
        std::cout.flush();
        return {StartupAction::Exit, 0};
    }
    if (state.showVersion) {
        std::cout << state.sVersion << "\n";
        return {StartupAction::Exit, 0};
    }
    if (!state.unknownOptions.empty()) {
        // Never a reason to start the editor: the line was meant for a batch.
        for (const std::string& option : state.unknownOptions) {
            std::cerr << programName << ": unknown option " << escapeControlCharacters(option)
                      << " (" << programName << " --help lists the options)\n";
        }
        return {StartupAction::Exit, 1};
    }
    if (simulation) {
        // Generation switches given beside the simulation run first.
        const int generated = state.bModeCommand ? runBatch(state) : 0;
        const int simulated = guardedRun(state.sCommandLine, [&] {
            return runSimulation(state.sCommandLine, *simulation, stdout);
        });
        return {StartupAction::Exit, std::max(generated, simulated)};
    }
    if (!state.bModeCommand) {
        return {StartupAction::StartEditor, 0};
    }
    return {StartupAction::Exit, runBatch(state, process)};
}

bool DisplayAvailable() {
    // A platform named for Qt (offscreen, vnc, ...) needs no display server.
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

std::string NoDisplayText(std::string_view programName, std::string_view why) {
    static constexpr std::pair<std::string_view, std::string_view> runs[] = {
        {"/C|/CH|/CHR", "C module and header"},         {"/LS", "list file"},
        {"/H|/HL|/W", "HTML page or picture"},          {"--check", "check the diagram"},
        {"--simulate=SCENARIO.json", "run a scenario"},
    };
    const std::string program(programName);
    std::string text = program + ": the editor needs a display (" + std::string(why) +
                       "). Without one, run a batch:\n";
    for (const auto& [switches, what] : runs) {
        text += "  " + program + " DIAGRAM.fsm " + padRight(switches, 25) + " " +
                std::string(what) + "\n";
    }
    return text + "or see " + program + " --help.\n";
}

}  // namespace tarvel
