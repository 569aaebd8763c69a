#include "shell/batchrun.h"

#include <cstdio>
#include <iostream>

#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "export/listfile.h"
#include "model/document.h"
#include "shell/documentexport.h"
#include "shell/generation.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

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

}  // namespace

bool writeListFile(const std::string& path, const Document& doc) {
    std::string text = listFileText(doc);
    text += CRLF;
    std::string error;
    if (WriteFileAtomically(path, text, error)) {
        return true;
    }
    LogError("Fsm can't save list file:[" + path + "] " + error);
    return false;
}

int runBatch(const StartupState& state) {
    if (state.sCommandLine.empty()) {
        return 1;  // a batch switch without a diagram: the reason is in the error log
    }
    // The status speaks of this run only: lines of earlier runs in the same
    // process (the tests run many) do not count.
    const int errorsBefore = ErrorLogCount();
    BatchUserInterface ui;
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
    Workspace ws(ui, settings);

    const std::string& path = state.sCommandLine;
    Document* opened = ws.FileOpen(path);
    if (opened == nullptr) {
        LogError("Fsm error loading:[" + path + "]");
        return 1;
    }
    Document& root = *opened;

    if (!(state.CS || state.CP || state.CA) && (state.C || state.CH || state.CHR)) {
        const GeneratorKind kind = requestedGenerator(state, root);
        if (kind != GeneratorKind::None) {
            ws.SaveCFiles(root, generateCode(ws, root, kind,
                                             [](const std::string& text) { LogError(text); }));
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
        writeListFile(ws.OutputBaseName(root) + ".lst", root);
    }
    return ErrorLogCount() > errorsBefore ? 1 : 0;
}

StartupResult handleCommandLine(const std::vector<std::string>& args,
                                const std::string& programName) {
    startup() = ParseCommandLine(args);
    const StartupState& state = startup();
    if (state.showHelp) {
        std::cout << HelpText(programName);
        std::cout.flush();
        return {StartupAction::Exit, 0};
    }
    if (state.showVersion) {
        std::cout << state.sVersion << "\n";
        return {StartupAction::Exit, 0};
    }
    if (!state.bModeCommand) {
        return {StartupAction::StartEditor, 0};
    }
    return {StartupAction::Exit, runBatch(state)};
}

}  // namespace tarvel
