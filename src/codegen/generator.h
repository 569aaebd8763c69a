// The two C generators. Each walks a diagram and its child diagrams and
// returns the C module and its header in one text: the module, FIELD_SEP, the
// header, FIELD_SEP. The caller writes the two files. The text is empty when
// any diagram of the hierarchy fails a check; the reasons have then been
// passed to the context's `report`.
#pragma once

#include <string>
#include <string_view>

#include "codegen/generationcontext.h"

namespace tarvel {

class Document;

// One machine with module-level variables; child machines become static
// functions of the same module, called from their parents' actions.
std::string generateHierarchicalSwitchCase(Document& root, GenerationContext& ctx);

// The same machine with all run-time state of the hierarchy in one instance
// structure that the caller owns and passes to the dispatcher, so that
// several machines can run from one copy of the code.
std::string generateHierarchicalSwitchCaseReentrant(Document& root, GenerationContext& ctx);

// Which generator the default command runs for the selected caption: only the
// hierarchical pair generate code.
enum class GeneratorKind { None, Hierarchical, HierarchicalReentrant };
GeneratorKind generatorOf(std::string_view caption);

// Runs the generator of `kind`; the empty text for `None`.
std::string generate(Document& root, GeneratorKind kind, GenerationContext& ctx);

}  // namespace tarvel
