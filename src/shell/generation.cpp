#include "shell/generation.h"

#include "shell/workspace.h"

namespace tarvel {

std::string generateCode(Workspace& workspace, Document& root, GeneratorKind kind,
                         const std::function<void(const std::string&)>& report) {
    GenerationContext ctx;
    ctx.openChild = [&workspace](const std::string& path) { return workspace.FileOpen(path); };
    ctx.report = report;
    std::string code = generate(root, kind, ctx);
    workspace.activate(&root);
    return code;
}

}  // namespace tarvel
