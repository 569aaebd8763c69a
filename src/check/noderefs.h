// Names the nodes of one diagram as findings refer to them: by kind, name
// and position in the node list, so that the editor finds them again.
#pragma once

#include <unordered_map>

#include "check/finding.h"

namespace tarvel {

class Diagram;
class Node;

class NodeRefs {
public:
    explicit NodeRefs(const Diagram& diagram);

    ElementRef state(const Node& state) const;
    ElementRef transition(const Node& transition) const;
    ElementRef comment(const Node& comment) const;

private:
    std::size_t position(const Node& node) const;

    // Built on the first reference: a diagram without findings needs none.
    const Diagram& m_diagram;
    mutable std::unordered_map<const Node*, std::size_t> m_positions;
};

}  // namespace tarvel
