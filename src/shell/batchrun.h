// What the program does with its command line before any window exists: the
// help, the version, and the whole batch run (generation switches), which
// never needs a display.
#pragma once

#include <string>
#include <vector>

#include "shell/commandline.h"

namespace tarvel {

class Document;
class Workspace;

enum class StartupAction { Exit, StartEditor };

struct StartupResult {
    StartupAction action = StartupAction::Exit;
    int exitStatus = 0;
};

// Parses the arguments into startup(); prints the help or the version, or runs
// a batch, and says whether the editor must start. `programName` is the name
// the help shows.
StartupResult handleCommandLine(const std::vector<std::string>& args,
                                const std::string& programName);

// Runs the batch the parsed state describes: open the diagram, generate the
// C files, the page or picture, and the list file. Returns the exit status:
// 0 when nothing was written to the error log, 1 otherwise.
int runBatch(const StartupState& state);

// Opens a child diagram of a hierarchy walk as a document of the run; null
// when it cannot be loaded.
Document* openChildDocument(Workspace& ws, const std::string& path);

}  // namespace tarvel
