// The generation commands of a document window: the two C generators over the
// diagram's hierarchy and the list file.
#pragma once

#include <functional>
#include <string>

namespace tarvel {

class Document;
class Workspace;

// False in a build without the generators.
bool codeGeneratorsAvailable();
// Runs a generator over `root` and its child diagrams, which are opened as
// documents of the workspace when they are not open yet; `root` is the active
// document again afterwards. Returns the module and header (see SaveCFiles);
// empty when the generation failed, after `report` said why.
std::string generateCode(Workspace& workspace, Document& root, bool reentrant,
                         const std::function<void(const std::string&)>& report);

// False in a build without the list file.
bool listFileAvailable();
// The list file's text, without its final line break.
std::string listFileFor(const Document& doc);

}  // namespace tarvel
