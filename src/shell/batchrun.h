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

// Parses the arguments into startup(); prints the help or the version, or runs
// a batch, and says whether the editor must start. `programName` is the name
// the help shows.
StartupResult handleCommandLine(const std::vector<std::string>& args,
                                const std::string& programName,
                                BatchProcess process = BatchProcess::Shared);

// Runs the batch the parsed state describes: open the diagram, generate the
// C files, the page or picture, and the list file. Returns the exit status:
// 0 when nothing was written to the error log, 1 otherwise.
int runBatch(const StartupState& state, BatchProcess process = BatchProcess::Shared);

// The exports of one document, shared by the batch run and the editor.
// The list file of the document; true when it was written.
bool writeListFile(const std::string& path, const class Document& doc);

}  // namespace tarvel
