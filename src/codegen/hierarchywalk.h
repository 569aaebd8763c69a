// The walk over a diagram and its child diagrams, depth first, root first.
// Every diagram is generated once (a diagram that contains itself, directly
// or through others, is not entered again) and every failure is reported;
// the walk goes on after a failure so that each faulty diagram speaks for
// itself, but then no code is produced. The walk keeps its own stack, so a
// hierarchy of any depth cannot exhaust the call stack.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "codegen/diagramnames.h"
#include "codegen/diagrampieces.h"
#include "codegen/generationcontext.h"

namespace tarvel {

class Document;

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
    struct Frame;
    void visit(Document& doc, const std::string& prefix, int depth, std::vector<Frame>& stack);
    bool generateOne(Document& doc, const std::vector<std::string>& children,
                     const std::string& prefix, bool isRoot, DiagramPieces& pieces);
    void report(const std::string& message) const;

    GenerationContext& m_context;
    Flavour m_flavour;
    Document* m_root = nullptr;
    std::string m_rootName;
    bool m_failed = false;
    std::unordered_set<std::string> m_visited;
    std::unordered_set<std::string> m_exitFunctionNames;
    std::vector<WalkedDiagram> m_diagrams;
};

}  // namespace tarvel
