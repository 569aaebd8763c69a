// The generation commands of a document window: the two C generators over the
// diagram's hierarchy.
#pragma once

#include <functional>
#include <string>

namespace tarvel {

class Document;
class Workspace;

// Runs a generator over `root` and its child diagrams, which are opened as
// documents of the workspace when they are not open yet; `root` is the active
// document again afterwards. Returns the module and header (see SaveCFiles);
// empty when the generation failed, after `report` said why.
std::string generateCode(Workspace& workspace, Document& root, bool reentrant,
                         const std::function<void(const std::string&)>& report);

}  // namespace tarvel
