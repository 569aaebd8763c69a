// What a generation needs from its caller: a way to open child diagrams and
// a way to tell the user about problems.
#pragma once

#include <functional>
#include <string>

namespace tarvel {

class Document;

struct GenerationContext {
    // Opens the child diagram file at `path` as a document (or returns the one
    // already open); nullptr when it cannot be loaded.
    std::function<Document*(const std::string& path)> openChild;
    // A message the user must see: a message box in the editor, an error-log
    // line in a batch run.
    std::function<void(const std::string& text)> report;
};

}  // namespace tarvel
