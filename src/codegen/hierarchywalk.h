// The walk over a diagram and its child diagrams, depth first, root first.
// Every diagram is visited once (a diagram that contains itself, directly or
// through others, is not entered again) and every failure is reported; the
// walk goes on after a failure so that each faulty diagram speaks for
// itself, but then no code is produced. The walk keeps its own stack, so a
// hierarchy of any depth cannot exhaust the call stack.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "codegen/clsentryexit.h"
#include "codegen/diagramnames.h"
#include "codegen/diagrampieces.h"
#include "codegen/generationcontext.h"

namespace tarvel {

class Document;

// One diagram reached by the walk.
struct WalkVisit {
    Document& document;
    // The diagram's child entries, sorted and each once, as the hierarchy
    // finds them beside the diagram and in its sub-folder.
    const std::vector<std::string>& children;
    // The name prefix of the diagram's generated identifiers.
    const std::string& prefix;
    int depth = 0;    // 0 for the root, 1 for its children...
    int parent = -1;  // the visit number (from 0) of the parent; -1 for the root
    // An earlier diagram failed or a child could not be opened.
    bool failed = false;
};

// Walks the hierarchy of `root`, opening children through the context and
// calling `visit` once per FSM name in walk order; `visit` returns false when
// its diagram fails. A child that cannot be opened is reported as
// "Fsm error loading:[" + path + "]". True when nothing failed.
bool walkHierarchy(Document& root, GenerationContext& context,
                   const std::function<bool(const WalkVisit&)>& visit);

// How one diagram of a walk is analysed and named, as the generator does it:
// its own document decides four options, the root the others; its exit
// functions are named apart from those of the diagrams before it
// (`exitNames` collects them over the walk).
struct DiagramSetup {
    DiagramOptions options;
    ExitFunctionStyle exitStyle;
};
DiagramSetup diagramSetup(const Document& doc, const Document& root, const std::string& prefix,
                          Flavour flavour, std::unordered_set<std::string>& exitNames);

// One generated diagram, in walk order.
struct WalkedDiagram {
    int depth = 0;        // 0 for the root, 1 for its children...
    std::string caption;  // the document's caption (children's blocks name it)
    DiagramPieces pieces;
};

class HierarchyWalk {
public:
    HierarchyWalk(GenerationContext& context, Flavour flavour);

    // True when every diagram of the hierarchy was generated.
    bool run(Document& root);
    // The generated diagrams in walk order; empty after a failure.
    const std::vector<WalkedDiagram>& diagrams() const { return m_diagrams; }

private:
    bool generateOne(Document& doc, const std::vector<std::string>& children,
                     const std::string& prefix, bool isRoot, bool failed, DiagramPieces& pieces);

    GenerationContext& m_context;
    Flavour m_flavour;
    Document* m_root = nullptr;
    std::string m_rootName;
    std::unordered_set<std::string> m_exitFunctionNames;
    std::vector<WalkedDiagram> m_diagrams;
};

}  // namespace tarvel
