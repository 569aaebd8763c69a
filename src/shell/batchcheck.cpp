#include "shell/batchcheck.h"

#include <algorithm>
#include <ostream>

#include "base/paths.h"
#include "base/text.h"
#include "check/checker.h"
#include "check/checkreport.h"
#include "shell/commandline.h"

namespace tarvel {

namespace {

constexpr std::string_view CHECK = "--check";
constexpr std::string_view LIST = "--list";
constexpr std::string_view FORMAT = "--format=";
constexpr std::string_view CC = "--cc=";

}  // namespace

std::string CheckHelpText() {
    static constexpr std::string_view LINES[] = {
        " Check, the findings on standard output (exit status 1 on an error):",
        " --check                   check the diagram and its children, and compile the C",
        " --format=text|json|sarif  the findings as lines, one JSON document or SARIF 2.1.0",
        " --cc=COMMAND              the compiler of the check (\"none\": no compile)",
        " --check --list            every check: its id, severity and help",
    };
    std::string text;
    for (const std::string_view line : LINES) {
        text += line;
        text += CRLF;
    }
    return text;
}

std::optional<CheckRequest> takeCheckArguments(std::vector<std::string>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    if (std::find(args.begin(), end, CHECK) == end) {
        return std::nullopt;
    }
    CheckRequest request;
    request.compiler = DEFAULT_COMPILER;
    std::vector<std::string> rest;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        // After "--" every argument is the diagram's path.
        if (optionsEnded) {
            rest.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == CHECK) {
            continue;
        }
        if (arg == LIST) {
            request.list = true;
        } else if (arg.starts_with(FORMAT)) {
            const std::string value = arg.substr(FORMAT.size());
            if (value == "text") {
                request.format = CheckRequest::Format::Text;
            } else if (value == "json") {
                request.format = CheckRequest::Format::Json;
            } else if (value == "sarif") {
                request.format = CheckRequest::Format::Sarif;
            } else {
                request.usageError = "unknown format \"" + value + "\" (text, json or sarif)";
            }
        } else if (arg.starts_with(CC)) {
            request.compiler = arg.substr(CC.size());
        } else if (arg.starts_with("--")) {
            request.usageError = "unknown option \"" + arg + "\" with --check";
        } else {
            rest.push_back(arg);
        }
    }
    args = std::move(rest);
    return request;
}

int runCheckCommand(const CheckRequest& request, const std::vector<std::string>& rest,
                    std::ostream& out, std::ostream& err) {
    if (!request.usageError.empty()) {
        err << request.usageError << "\n";
        return 1;
    }
    if (request.list) {
        out << checkListText();
        return 0;
    }
    // The diagram: what is left of the command line, as the switch parser
    // reads it.
    std::string line;
    for (const std::string& arg : rest) {
        if (!arg.empty()) {
            line += (line.empty() ? "" : " ") + arg;
        }
    }
    line = Unquote(line);
    if (line.empty()) {
        err << "--check needs a diagram: DIAGRAM.fsm --check [--format=text|json|sarif] "
               "[--cc=COMMAND]\n";
        return 1;
    }
    if (!IsFsmPath(line)) {
        err << "Fsm path error [" << line << "]\n";
        return 1;
    }
    const std::string path = MakeFullPath(line);
    CheckDocuments documents;
    Document* root = documents.open(path);
    if (root == nullptr) {
        err << "Fsm error loading:[" << path << "]\n";
        return 1;
    }
    GenerationContext context = documents.context();
    CheckOptions options;
    options.compiler = request.compiler;
    const CheckReport report = runCheck(*root, context, options);

    const std::string folder = CurrentDirectory();
    switch (request.format) {
        case CheckRequest::Format::Text:
            out << reportText(report, folder);
            break;
        case CheckRequest::Format::Json:
            out << reportJson(report, folder);
            break;
        case CheckRequest::Format::Sarif:
            out << reportSarif(report, folder);
            break;
    }
    out.flush();
    return report.errorCount() > 0 ? 1 : 0;
}

}  // namespace tarvel
