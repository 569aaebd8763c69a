#include "shell/outputcommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "base/atomicfile.h"
#include "base/paths.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

std::string folderOf(const std::string& path) {
    const std::string folder = GetDirectory(path);
    return folder.empty() ? "." : folder;
}

// The problems a user can fix are told apart before anything is written.
std::optional<OutputFailure> checkOutputFile(const OutputFile& file) {
    auto failure = [&file](OutputProblem problem, std::string reason) {
        return OutputFailure{problem, file.path, std::move(reason)};
    };
    struct stat st {};
    const std::string folder = folderOf(file.path);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return failure(OutputProblem::FolderMissing, "the folder " + folder + " does not exist");
    }
    std::string target;
    const std::string refusal = linkRefusal(file.path, target);
    if (!refusal.empty()) {
        return failure(OutputProblem::AccessDenied, refusal);
    }
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return failure(OutputProblem::AccessDenied, file.path + " is a folder");
        }
        // A read-only file is refused rather than replaced, also for a user who
        // could replace it because the folder is theirs.
        if (file.readOnlyStops &&
            ((st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)) {
            return failure(OutputProblem::ReadOnly, file.path + " is read-only");
        }
    }
    if (::access(folderOf(target).c_str(), W_OK | X_OK) != 0) {
        return failure(OutputProblem::AccessDenied,
                       "the folder of " + file.path + " may not be written");
    }
    return std::nullopt;
}

std::optional<OutputFailure> writeOutputSet(const OutputSet& set) {
    for (const OutputFile& file : set) {
        if (auto failure = checkOutputFile(file)) {
            return failure;
        }
    }
    std::vector<FileContent> contents;
    for (const OutputFile& file : set) {
        contents.push_back({file.path, file.bytes, std::nullopt});
    }
    const WriteResult result = WriteFilesAtomically(contents);
    if (result.ok()) {
        return std::nullopt;
    }
    return OutputFailure{result.failure == WriteFailure::Refused ? OutputProblem::AccessDenied
                                                                 : OutputProblem::WriteFailed,
                         set[result.file].path, result.error};
}

// The proposed name, and in the editor the name the user chose; empty when
// there is none or the user cancelled.
std::string chooseName(Workspace& ws, const Document& doc, const OutputCommand& command) {
    std::string name = ws.OutputBaseName(doc);
    if (!name.empty()) {
        name += '.';
        name += command.extension;
    }
    if (!command.ask || ws.settings().modeCommand) {
        return name;
    }
    FileDialogRequest request = command.dialog;
    request.save = true;
    request.proposedName = name;
    const auto answer = ws.ui().askFile(request);
    return answer ? answer->path : std::string();
}

}  // namespace

OutputCommand outputCommand(std::string extension, std::string title, std::string filter,
                            std::string defaultExtension) {
    OutputCommand command;
    command.extension = std::move(extension);
    command.dialog.title = std::move(title);
    command.dialog.filter = std::move(filter);
    command.dialog.defaultExtension = std::move(defaultExtension);
    return command;
}

bool runOutputCommand(Workspace& ws, const Document& doc, const OutputCommand& command) {
    const std::string name = chooseName(ws, doc, command);
    if (name.empty()) {
        return false;
    }
    BusyPointer busy(ws.ui());
    // The chosen name first, then the other files in the order written.
    std::vector<std::string> written{name};
    for (const OutputSet& set : command.files(name)) {
        if (set.empty()) {
            continue;
        }
        if (const auto failure = writeOutputSet(set)) {
            command.report(*failure);
            return false;
        }
        for (const OutputFile& file : set) {
            if (file.path != name) {
                written.push_back(file.path);
            }
        }
    }
    ws.ui().filesWritten(written);
    return true;
}

std::string replaceExtension(const std::string& path, std::string_view extension) {
    const std::string file = GetFileName(path);
    std::string out = path.substr(0, path.size() - file.size()) + GetBaseName(file);
    out += '.';
    out += extension;
    return out;
}

}  // namespace tarvel
