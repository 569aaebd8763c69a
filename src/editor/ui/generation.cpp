#include "editor/ui/generation.h"

#include "base/paths.h"
#include "codegen/generator.h"
#include "shell/workspace.h"

namespace tarvel {

std::string generateCode(Workspace& workspace, Document& root, bool reentrant,
                         const std::function<void(const std::string&)>& report) {
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
}

}  // namespace tarvel
