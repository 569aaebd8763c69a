// The diagram's part of Cut, Copy and Paste: only free comment nodes travel
// through the clipboard, so states and transitions, with their records,
// indexes and links, are never duplicated.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/diagram.h"

namespace tarvel {

// The clipboard format of copied comment nodes: a diagram document holding
// just those nodes.
inline constexpr std::string_view COMMENTS_MIME_TYPE = "application/x-tarvel-comments";

// True when the selection holds no connectable node and no link (an empty
// selection too): only then does a copy travel and a cut delete.
bool selectionIsCommentsOnly(const Diagram& diagram);

// The selected comment nodes (nodes that are not connectable and carry no
// other kind) as clipboard data.
std::string copySelectedComments(const Diagram& diagram);
// Their texts, one after the other, for programs that take plain text.
std::string selectedCommentsText(const Diagram& diagram);

// Gives `to` the looks of `from`: colours, outline, shape and frame styles
// and font.
void copyNodeLooks(const Node& from, Node& to);

// Adds the comment nodes of clipboard data to the diagram, selected, and
// returns them. A node lands where it was copied from, moved down and right by
// `offset` as long as a node of the diagram already has exactly that place.
// Data that is not a diagram document adds nothing.
std::vector<Node*> pasteComments(Diagram& diagram, std::string_view data, float offset);

}  // namespace tarvel
