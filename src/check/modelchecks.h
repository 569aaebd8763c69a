// The checks of one diagram. Those that need the machine's structure run on
// the generator's own analysis and names, so they read the diagram exactly
// as the generator does (the first transition of a priority wins, priorities
// beyond the out-links are dropped, children are found by the hierarchy's
// word rule); the reasons the generator refuses a diagram are found for
// every diagram, all of them at once.
#pragma once

#include <string>
#include <vector>

#include "check/finding.h"
#include "check/noderefs.h"
#include "codegen/diagramnames.h"

namespace tarvel {

class DiagramAnalysis;
class Document;
class Node;

// What the checks of one diagram need to know about its place in the
// hierarchy: the root's options for the whole module, and whether it is the root.
struct HierarchyOptions {
    bool ansiComment = false;
    bool printTextBoxes = false;
    bool isRoot = true;
};

class DiagramChecks {
public:
    // `path` is the diagram's file; findings are appended to `out`.
    DiagramChecks(const Document& doc, std::string path, std::vector<Finding>& out);

    // The reasons the generator would refuse the diagram: no name, no initial
    // state, exit actions that can never run, bad state indices.
    void refusals();
    // The state and FSM names: identifiers, ASCII, keywords, case clashes.
    void names();
    // Everything that needs the generator's view of the machine; only for a
    // diagram the generator accepts.
    void structure(const DiagramAnalysis& analysis, const DiagramNames& names,
                   const HierarchyOptions& options);

    // Sorts this diagram's findings by element, field and line, keeping the
    // order of the checks within each.
    void sortFindings(std::size_t from) const;

private:
    void add(Severity severity, ElementRef element, Field field, int line, std::string message,
             std::string_view check) const;
    void fsmNameChecks(std::string_view name);
    void longIdentifiers(const DiagramAnalysis& analysis, const DiagramNames& names);
    void priorities(const DiagramAnalysis& analysis);
    void chains(const DiagramAnalysis& analysis);
    void reachability(const DiagramAnalysis& analysis);
    void missingChildren(const DiagramAnalysis& analysis);
    void comments(const DiagramAnalysis& analysis, const HierarchyOptions& options);
    void ansiText(const ElementRef& element, Field field, std::string_view text,
                  bool columnZero) const;
    ElementRef stateRef(const Node& state) const { return m_refs.state(state); }
    ElementRef transitionRef(const Node& t) const { return m_refs.transition(t); }

    const Document& m_doc;
    std::string m_path;
    std::vector<Finding>& m_out;
    NodeRefs m_refs;
};

}  // namespace tarvel
