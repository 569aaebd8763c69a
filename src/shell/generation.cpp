#include "shell/generation.h"

#include "shell/workspace.h"

namespace tarvel {

std::string generateCode(Workspace& workspace, Document& root, GeneratorKind kind,
                         const std::function<void(const std::string&)>& report,
                         const std::function<void(const std::string&)>& childAsked) {
    GenerationContext ctx;
    ctx.openChild = [&workspace, &childAsked](const std::string& path) {
        if (childAsked) {
            childAsked(path);
        }
        return workspace.FileOpen(path);
    };
    ctx.report = report;
    std::string code = generate(root, kind, ctx);
    workspace.activate(&root);
    return code;
}

}  // namespace tarvel
