// The check from the command line:
//   tarvel DIAGRAM.fsm --check [--format=text|json|sarif] [--cc=COMMAND]
//   tarvel --check --list
// The findings go to standard output; the exit status is 1 when an error was
// found (or the run itself failed), 0 otherwise. Nothing is written to disk.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvel {

struct CheckRequest {
    enum class Format { Text, Json, Sarif };
    bool list = false;
    Format format = Format::Text;
    std::string compiler;  // the C check's command; "none" skips it
    std::string usageError;
};

// Takes the check's own arguments out of `args`, so that what is left is the
// diagram; nullopt (and `args` unchanged) when "--check" is not among them.
std::optional<CheckRequest> takeCheckArguments(std::vector<std::string>& args);

// The check's lines of the help.
std::string CheckHelpText();

// Runs the check of the diagram `rest` names. Returns the exit status.
int runCheckCommand(const CheckRequest& request, const std::vector<std::string>& rest,
                    std::ostream& out, std::ostream& err);

}  // namespace tarvel
