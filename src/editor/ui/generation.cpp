#include "editor/ui/generation.h"

#include "shell/paths.h"
#include "shell/workspace.h"

// The generators and the list file are built by their own parts of the
// program; a build that lacks them still runs the editor.
#if __has_include("codegen/generator.h")
#include "codegen/generator.h"
#define TARVEL_HAS_GENERATORS 1
#else
#define TARVEL_HAS_GENERATORS 0
#endif
#if __has_include("export/listfile.h")
#include "export/listfile.h"
#define TARVEL_HAS_LISTFILE 1
#else
#define TARVEL_HAS_LISTFILE 0
#endif

namespace tarvel {

bool codeGeneratorsAvailable() { return TARVEL_HAS_GENERATORS != 0; }

std::string generateCode(Workspace& workspace, Document& root, bool reentrant,
                         const std::function<void(const std::string&)>& report) {
#if TARVEL_HAS_GENERATORS
    GenerationContext ctx;
    ctx.openChild = [&workspace](const std::string& path) -> Document* {
        const std::string full = MakeFullPath(path);
        if (!workspace.FileOpen(full)) {
            return nullptr;
        }
        return workspace.findOpen(full);
    };
    ctx.report = report;
    std::string code = reentrant ? generateHierarchicalSwitchCaseReentrant(root, ctx)
                                 : generateHierarchicalSwitchCase(root, ctx);
    workspace.activate(&root);
    return code;
#else
    (void)workspace;
    (void)root;
    (void)reentrant;
    report("The C generators are not part of this build.");
    return {};
#endif
}

bool listFileAvailable() { return TARVEL_HAS_LISTFILE != 0; }

std::string listFileFor(const Document& doc) {
#if TARVEL_HAS_LISTFILE
    return listFileText(doc);
#else
    (void)doc;
    return {};
#endif
}

}  // namespace tarvel
