// What the program does with its command line before any window exists: the
// help, the version, and the whole batch run (generation switches), which
// never needs a display.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/commandline.h"

namespace tarvel {

class Document;
class Workspace;

enum class StartupAction { Exit, StartEditor };

// Whether a batch run is the whole life of its process (the command-line
// program) or one task of a longer one (the editor, the tests). A run that
// owns its process prepares the heap for the size of its diagram and leaves
// its documents to the end of the process: taking a large hierarchy apart
// node by node costs more than a small run itself.
enum class BatchProcess { Shared, Own };

struct StartupResult {
    StartupAction action = StartupAction::Exit;
    int exitStatus = 0;
};

// Parses the arguments into startup(); prints the help or the version, runs
// the check, a simulation or a batch, and says whether the editor must start.
// `showHelp`, when given, shows the help instead of standard output and gives
// the exit status.
// An argument that starts with "--" and is no option of the program is told
// on standard error and ends the run with status 1. `programName` is the name
// the help shows.
StartupResult handleCommandLine(const std::vector<std::string>& args,
                                const std::string& programName,
                                const std::function<int()>& showHelp = nullptr,
                                BatchProcess process = BatchProcess::Shared);

// True when the environment names a display for the editor (or a Qt platform
// that needs none).
bool DisplayAvailable();
// What the editor says on standard error when it cannot reach a display:
// why, and the command lines that run without one.
std::string NoDisplayText(std::string_view programName, std::string_view why);

// Runs the batch the parsed state describes: open the diagram, generate the
// C files, the page or picture, and the list file. Returns the exit status:
// 0 when nothing was written to the error log, 1 otherwise.
int runBatch(const StartupState& state, BatchProcess process = BatchProcess::Shared);

}  // namespace tarvel
