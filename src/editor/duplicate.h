// Duplicate: the selected states and comments are copied beside the
// originals, with the transitions among the states. The copies are new
// nodes: every state gets a fresh unique name and the next free index, so no
// record or index is ever duplicated, and the copied transitions are
// numbered among the new states' own.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

namespace tarvel {

// Room left between the originals and their copies.
inline constexpr float DUPLICATE_GAP = 600;

// Copies the selection; the copied states and comments become the selection.
// Returns the new nodes (states and comments first, then transitions);
// nothing when no state or comment is selected.
std::vector<Node*> duplicateSelection(Document& doc);

// A state name no state of the diagram has and that is not in `taken`
// (compared ignoring case): the name with "_2", "_3", ... in place of a
// number it already ends in.
std::string freshStateName(const Diagram& diagram, std::string_view name,
                           const std::set<std::string>& taken);

}  // namespace tarvel
