#include "shell/batchrun.h"

#include <cstdio>
#include <iostream>

#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "codegen/generator.h"
#include "model/document.h"
#include "shell/documentexport.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

// Opens a child diagram of the generation walk as a document of the run.
Document* openChild(Workspace& ws, const std::string& path) {
    if (!ws.FileOpen(path)) {
        return nullptr;
    }
    return ws.findOpen(MakeFullPath(path));
}

std::string generateFor(Workspace& ws, Document& root, const StartupState& state, bool& ran) {
    GenerationContext ctx;
    ctx.openChild = [&ws](const std::string& path) { return openChild(ws, path); };
    ctx.report = [](const std::string& text) { LogError(text); };
    ran = true;
    if (state.CH) {
        return generateHierarchicalSwitchCase(root, ctx);
    }
    if (state.CHR) {
        return generateHierarchicalSwitchCaseReentrant(root, ctx);
    }
    // The default command runs the generator the diagram names; the other
    // styles generate nothing.
    if (root.generatorCaption() == GEN_HIERARCHICAL) {
        return generateHierarchicalSwitchCase(root, ctx);
    }
    if (root.generatorCaption() == GEN_HIERARCHICAL_REENTRANT) {
        return generateHierarchicalSwitchCaseReentrant(root, ctx);
    }
    ran = false;
    return {};
}

}  // namespace

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
    if (!ws.FileOpen(path)) {
        LogError("Fsm error loading:[" + path + "]");
        return 1;
    }
    Document& root = *ws.findOpen(MakeFullPath(path));

    if (!(state.CS || state.CP || state.CA) && (state.C || state.CH || state.CHR)) {
        bool ran = false;
        const std::string code = generateFor(ws, root, state, ran);
        if (ran) {
            ws.SaveCFiles(root, code);
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
        FileSaveAsList(ws, root);
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
