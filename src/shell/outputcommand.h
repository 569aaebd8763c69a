// The one file command behind every output of a document: the C module and
// header, the list file, the page and the pictures.
//
// It proposes a name (the document's output base name and the output's
// extension), asks the user in the editor (never in a batch run), shows the
// busy pointer, checks that each file may be written, writes the files with
// the atomic writer and gives the first failure to the caller's report, whose
// texts differ from output to output.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/userinterface.h"

namespace tarvel {

class Document;
class Workspace;

enum class OutputProblem {
    FolderMissing,  // the folder of the file does not exist
    ReadOnly,       // the file exists without write permission
    AccessDenied,   // a folder at the name, an unwritable folder, a refused link
    WriteFailed,    // the write itself failed (a full disk, for example)
};

struct OutputFailure {
    OutputProblem problem;
    std::string path;    // the file that failed
    std::string reason;  // what is wrong, in words
};

struct OutputFile {
    std::string path;
    std::string bytes;
    // An existing file without write permission stops the write; when false
    // such a file is replaced (the C header is, the C module is not).
    bool readOnlyStops = true;
};

// A set of files written all or nothing: every file is checked, then all are
// written beside their targets before the first is renamed into place, in the
// order given.
using OutputSet = std::vector<OutputFile>;

// A set of the given files, moved in: a braced list would copy every file's
// bytes, which for a generated module are megabytes.
template <typename... Files>
OutputSet outputSet(Files&&... files) {
    OutputSet set;
    set.reserve(sizeof...(Files));
    (set.push_back(std::forward<Files>(files)), ...);
    return set;
}

// The sets of one command, moved in likewise.
template <typename... Sets>
std::vector<OutputSet> outputSets(Sets&&... sets) {
    std::vector<OutputSet> all;
    all.reserve(sizeof...(Sets));
    (all.push_back(std::forward<Sets>(sets)), ...);
    return all;
}

struct OutputCommand {
    std::string extension;     // of the proposed name: "c", "lst", "wmf", "htm"
    FileDialogRequest dialog;  // the editor's save dialog (title, filter, extension)
    bool ask = true;           // false: the proposed name is used as it is
    // The files for the chosen name, built while the busy pointer shows. The
    // sets are written one after the other; a failing set stops the command.
    std::function<std::vector<OutputSet>(const std::string& name)> files;
    std::function<void(const OutputFailure&)> report;
};

// A command that proposes the document's output name with `extension` and,
// in the editor, offers it in a save dialog with this title and filter.
OutputCommand outputCommand(std::string extension, std::string title, std::string filter,
                            std::string defaultExtension);

// Runs the command for the document and tells the user interface what was
// written. False when no name was chosen (the user cancelled, or there is no
// name to propose) or a file was not written.
bool runOutputCommand(Workspace& ws, const Document& doc, const OutputCommand& command);

// The path with the extension of its file name replaced ("/a.b/m.c" and "h"
// give "/a.b/m.h"); the header of a C module is named this way.
std::string replaceExtension(const std::string& path, std::string_view extension);

}  // namespace tarvel
