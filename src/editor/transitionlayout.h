// Where transition nodes go so that a drawing reads: a transition node sits
// at the first free spot near the middle between its two states, where it
// covers no other node and no arrow head and its two links lie on no other
// link; a self transition sits beside its state with its two links bent into
// a loop, and a transition beside another between the same two states runs
// parallel to it, its links bent at the states. Also the layout checks that find overlapping nodes
// and links drawn on top of each other, and the set of nodes that a move of the selection takes
// along.
//
// Only node positions and the bends of self loops change here; records,
// sizes and everything else stay as they are.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "model/diagram.h"

namespace tarvel {

// Room kept around a transition node that is placed: to other transition
// nodes and comments, and to states, far enough to stay clear of the arrow
// heads that end on them.
inline constexpr float LABEL_GAP = 60;
inline constexpr float STATE_CLEARANCE = 210;

// True when the node's rectangle covers part of another drawn node or of an
// arrow head.
bool coversSomething(const Diagram& diagram, const Node& node);

// Moves a transition node to the first free spot near the middle between its
// states (beside its state for a self transition, whose links then bend into
// a loop). `preferred`, when given, is tried first. False when no free spot
// was found; the node then stays where it was.
bool placeTransitionNode(Diagram& diagram, Node& transition,
                         std::optional<PointF> preferred = std::nullopt);

// Moves every transition node among `nodes` (all nodes when empty) that
// covers something to a free spot; nothing else moves. Returns how many moved.
int arrangeTransitionLabels(Diagram& diagram, const std::vector<Node*>& nodes = {});

// The transition nodes of a state, in and out, self transitions once.
std::vector<Node*> transitionNodesAt(const Node& state);
// The transition nodes an edit of `node` may have left covering something:
// those of its states (its own for a transition) and those over it.
std::vector<Node*> transitionsAround(const Diagram& diagram, Node& node);

// Gives a self transition's two links one bend each, inside the state on
// either side of the way to the node, so that the loop leaves and enters its
// state apart.
void shapeSelfLoop(Node& transition);

// The nodes a move of the selection takes along: the selected drawn nodes and
// every transition node whose source and target both move with them (a self
// transition goes with its state).
std::vector<Node*> nodesMovingWithSelection(const Diagram& diagram);

// Pairs of drawn nodes whose rectangles overlap.
std::vector<std::pair<const Node*, const Node*>> overlappingNodes(const Diagram& diagram);
// Pairs of links of which a stretch of one is drawn on top of the other.
std::vector<std::pair<const Link*, const Link*>> linksOnOneLine(const Diagram& diagram);

}  // namespace tarvel
