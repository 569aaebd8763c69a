// The one way a document's C code is generated, from the editor's commands and
// from a batch run alike: the chosen generator walks the diagram's hierarchy,
// opening each child diagram as a document of the workspace.
#pragma once

#include <functional>
#include <string>

#include "codegen/generator.h"

namespace tarvel {

class Document;
class Workspace;

// Runs the generator of `kind` over `root` and its child diagrams, which are
// opened as documents of the workspace when they are not open yet; `root` is
// the active document again afterwards. Returns the module and header (see
// SaveCFiles); empty when the generation failed, after `report` said why, and
// for `GeneratorKind::None`. `childAsked`, when given, hears the path of
// every child diagram the walk asks for, before it is opened.
std::string generateCode(Workspace& workspace, Document& root, GeneratorKind kind,
                         const std::function<void(const std::string&)>& report,
                         const std::function<void(const std::string&)>& childAsked = {});

}  // namespace tarvel
