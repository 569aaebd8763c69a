#include "shell/documentexport.h"

#include <functional>
#include <string_view>

#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "export/htmlpage.h"
#include "export/listfile.h"
#include "export/picture.h"
#include "model/document.h"
#include "shell/outputcommand.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

constexpr std::string_view MESSAGE_TITLE = "Tarvel Editor";

// Error numbers of the export messages.
constexpr int ERROR_PERMISSION_DENIED = 70;
constexpr int ERROR_PATH_NOT_FOUND = 75;
constexpr int ERROR_OTHER = 0;

// The export message of a failure: its error number and description.
std::string describe(const OutputFailure& failure) {
    switch (failure.problem) {
        case OutputProblem::FolderMissing:
            return std::to_string(ERROR_PATH_NOT_FOUND) + ": Path not found: " + failure.path;
        case OutputProblem::ReadOnly:
            return std::to_string(ERROR_PERMISSION_DENIED) + ": Permission denied: " + failure.path;
        case OutputProblem::AccessDenied:
            return std::to_string(ERROR_PERMISSION_DENIED) +
                   ": Permission denied: " + failure.path + " (" + failure.reason + ")";
        case OutputProblem::WriteFailed:
            return std::to_string(ERROR_OTHER) + ": " + failure.reason;
    }
    return {};
}

// Shows the failure and writes it to the run log. A batch run's user
// interface writes the message to the error log, which copies it to the run
// log already. The HTML export writes its error number with a leading blank,
// the picture export without.
std::function<void(const OutputFailure&)> reporter(UserInterface& ui, std::string prefix) {
    return [&ui, prefix = std::move(prefix)](const OutputFailure& failure) {
        const std::string text = prefix + describe(failure);
        ui.showMessage(MESSAGE_TITLE, text, MessageIcon::None);
        if (!ui.isBatch()) {
            LogRun(text);
        }
    };
}

}  // namespace

bool FileSaveAsEMF(Workspace& ws, Document& doc) {
    OutputCommand command = outputCommand("wmf", "Save As Enhanced Metafile...",
                                          "Wmf Files(*.WMF)|*.wmf|All Files(*.*)|*.*|", "WMF");
    const bool batch = ws.settings().modeCommand;
    command.files = [&doc, batch](const std::string& name) {
        DiagramPicture picture = ExportPicture(doc.diagram(), doc.measurer(), false);
        std::vector<OutputSet> sets =
            outputSets(outputSet(OutputFile{name, std::move(picture.wmf)}));
        if (batch) {
            sets.push_back(
                outputSet(OutputFile{replaceExtension(name, "svg"), std::move(picture.svg)}));
        }
        return sets;
    };
    command.report = reporter(ws.ui(), " FileSaveAsEMF, Error #");
    return runOutputCommand(ws, doc, command);
}

bool FileSaveAsHTML(Workspace& ws, Document& doc, bool sameDirectoryLinks) {
    OutputCommand command = outputCommand("htm", "Save As HTML File...",
                                          "HTML Files(*.HTM)|*.htm|All Files(*.*)|*.*|", "HTM");
    command.files = [&doc, sameDirectoryLinks](const std::string& page) {
        const std::string svgName = replaceExtension(page, "svg");
        std::string text =
            htmlPageText(doc, GetBaseName(page), GetFileName(svgName), sameDirectoryLinks);
        text += CRLF;
        DiagramPicture picture = ExportPicture(doc.diagram(), doc.measurer(), true);
        // The pictures go first: a page is never left referring to a picture
        // that was not written.
        return outputSets(
            outputSet(OutputFile{replaceExtension(page, "wmf"), std::move(picture.wmf)}),
            outputSet(OutputFile{svgName, std::move(picture.svg)}),
            outputSet(OutputFile{page, toWindows1252Html(text)}));
    };
    command.report = reporter(ws.ui(), " FileSaveAsHTML, Error # ");
    return runOutputCommand(ws, doc, command);
}

bool FileSaveAsList(Workspace& ws, Document& doc) {
    OutputCommand command = outputCommand("lst", "Save As List file...",
                                          "Lst Files(*.LST)|*.lst|All Files(*.*)|*.*|", "LST");
    command.files = [&doc](const std::string& name) {
        return outputSets(outputSet(OutputFile{name, listFileText(doc) + std::string(CRLF)}));
    };
    UserInterface& ui = ws.ui();
    command.report = [&ui](const OutputFailure& failure) {
        if (ui.isBatch()) {
            LogError("Fsm can't save list file:[" + failure.path + "] " + failure.reason);
            return;
        }
        LogRun(" mnuGenerateList, " + failure.path + ": " + failure.reason);
        std::string text = "I can't save the changes in:\r\n" + failure.path;
        if (failure.problem != OutputProblem::ReadOnly) {
            text += "\r\n" + failure.reason;
        }
        ui.showMessage("Attention!", text, MessageIcon::Exclamation);
    };
    return runOutputCommand(ws, doc, command);
}

}  // namespace tarvel
