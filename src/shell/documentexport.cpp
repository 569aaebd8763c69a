#include "shell/documentexport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string_view>

#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "export/htmlpage.h"
#include "export/picture.h"
#include "model/document.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

constexpr std::string_view MESSAGE_TITLE = "Tarvel Editor";

// Error numbers of the export messages.
constexpr int ERROR_PERMISSION_DENIED = 70;
constexpr int ERROR_PATH_NOT_FOUND = 75;
constexpr int ERROR_OTHER = 0;

struct WriteFailure {
    int number;
    std::string description;
};

// Writes one export file. The two failures a user can fix (a file or folder
// that may not be written, a folder that does not exist) are told apart
// before anything is written; anything else the write itself reports.
std::optional<WriteFailure> writeExportFile(const std::string& path, std::string_view bytes) {
    const std::string folder = GetDirectory(path).empty() ? "." : GetDirectory(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return WriteFailure{ERROR_PATH_NOT_FOUND, "Path not found: " + path};
    }
    // A read-only file is refused rather than replaced, also for a user who
    // could replace it because the folder is theirs.
    if (::stat(path.c_str(), &st) == 0 &&
        (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0)) {
        return WriteFailure{ERROR_PERMISSION_DENIED, "Permission denied: " + path};
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return WriteFailure{ERROR_PERMISSION_DENIED, "Permission denied: " + path};
    }
    std::string error;
    if (!WriteFileAtomically(path, bytes, error)) {
        return WriteFailure{ERROR_OTHER, error};
    }
    return std::nullopt;
}

// Shows the failure and writes it to the run log. A batch run's user
// interface writes the message to the error log, which copies it to the run
// log already.
void report(UserInterface& ui, const std::string& text) {
    ui.showMessage(MESSAGE_TITLE, text, MessageIcon::None);
    if (!ui.isBatch()) {
        LogRun(text);
    }
}

// The HTML export writes its error number with a leading blank, the picture
// export without.
bool writeHtmlExportFile(UserInterface& ui, const std::string& path, std::string_view bytes) {
    const auto failure = writeExportFile(path, bytes);
    if (failure) {
        report(ui, " FileSaveAsHTML, Error # " + std::to_string(failure->number) + ": " +
                       failure->description);
    }
    return !failure;
}

bool writePictureExportFile(UserInterface& ui, const std::string& path, std::string_view bytes) {
    const auto failure = writeExportFile(path, bytes);
    if (failure) {
        report(ui, " FileSaveAsEMF, Error #" + std::to_string(failure->number) + ": " +
                       failure->description);
    }
    return !failure;
}

// The name of an export: proposed from the document's output base name and
// asked for in the editor; empty when the user cancelled or there is none.
std::string exportName(Workspace& ws, const Document& doc, std::string_view extension,
                       FileDialogRequest request) {
    std::string name = ws.OutputBaseName(doc);
    if (!name.empty()) {
        name += '.';
        name += extension;
    }
    if (ws.settings().modeCommand) {
        return name;
    }
    request.save = true;
    request.proposedName = name;
    const auto answer = ws.ui().askFile(request);
    return answer ? answer->path : std::string();
}

// The path with the extension of its file name taken off ("/a.b/m.htm" gives
// "/a.b/m").
std::string withoutExtension(const std::string& path) {
    const std::string file = GetFileName(path);
    return path.substr(0, path.size() - file.size()) + GetBaseName(file);
}

class BusyPointer {
public:
    explicit BusyPointer(UserInterface& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyPointer() { m_ui.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    UserInterface& m_ui;
};

}  // namespace

bool FileSaveAsEMF(Workspace& ws, Document& doc) {
    FileDialogRequest request;
    request.title = "Save As Enhanced Metafile...";
    request.filter = "Wmf Files(*.WMF)|*.wmf|All Files(*.*)|*.*|";
    request.defaultExtension = "WMF";
    const std::string name = exportName(ws, doc, "wmf", request);
    if (name.empty()) {
        return false;
    }
    UserInterface& ui = ws.ui();
    BusyPointer busy(ui);
    const DiagramPicture picture = ExportPicture(doc.diagram(), doc.measurer(), false);
    if (!writePictureExportFile(ui, name, picture.wmf)) {
        return false;
    }
    if (!ws.settings().modeCommand) {
        ui.filesWritten({name});
        return true;
    }
    return writePictureExportFile(ui, withoutExtension(name) + ".svg", picture.svg);
}

bool FileSaveAsHTML(Workspace& ws, Document& doc, bool sameDirectoryLinks) {
    FileDialogRequest request;
    request.title = "Save As HTML File...";
    request.filter = "HTML Files(*.HTM)|*.htm|All Files(*.*)|*.*|";
    request.defaultExtension = "HTM";
    const std::string page = exportName(ws, doc, "htm", request);
    if (page.empty()) {
        return false;
    }
    const std::string base = withoutExtension(page);
    const std::string wmfName = base + ".wmf";
    const std::string svgName = base + ".svg";

    UserInterface& ui = ws.ui();
    BusyPointer busy(ui);
    std::string text =
        htmlPageText(doc, GetBaseName(page), GetFileName(svgName), sameDirectoryLinks);
    text += CRLF;
    const DiagramPicture picture = ExportPicture(doc.diagram(), doc.measurer(), true);
    // The pictures go first: a page is never left referring to a picture
    // that was not written.
    const bool written = writeHtmlExportFile(ui, wmfName, picture.wmf) &&
                         writeHtmlExportFile(ui, svgName, picture.svg) &&
                         writeHtmlExportFile(ui, page, toWindows1252Html(text));
    if (written) {
        ui.filesWritten({page, wmfName, svgName});
    }
    return written;
}

}  // namespace tarvel
