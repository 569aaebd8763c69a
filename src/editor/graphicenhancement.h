// Tidies the drawing after the user's gestures: minimum node sizes, nodes
// fitted to their text, links bent once straightened into an L, transition
// nodes lined up with their states, and empty transition nodes enlarged while
// the pointer rests on them so that they can be hit. None of it counts as a
// change of the diagram.
#pragma once

#include <vector>

#include "model/nodesizing.h"
#include "model/types.h"

namespace tarvel {

class Diagram;
class Document;
class Node;

class clsGraphicEnhancement {
public:
    static constexpr float MIN_WIDTH = NODE_MIN_WIDTH;
    static constexpr float MIN_HEIGHT = NODE_MIN_HEIGHT;
    static constexpr float MAGNIFIED_WIDTH = 300;
    static constexpr float MAGNIFIED_HEIGHT = 200;
    static constexpr float MAGNIFY_SHIFT_X = 75;
    static constexpr float MAGNIFY_SHIFT_Y = 50;
    static constexpr float TRANSITION_MARGIN = TRANSITION_TEXT_MARGIN;
    static constexpr float STATE_MARGIN = STATE_TEXT_MARGIN;
    static constexpr float SNAP_DISTANCE = 100;

    explicit clsGraphicEnhancement(Document& doc) : m_doc(doc) {}

    // Enlarges the node under the pointer when its text is empty.
    void MagnifyEmptyTransition(Node* nodeAtPointer);
    void UnMagnifyEmptyTransition();
    Node* magnified() const { return m_magnified; }

    // The node sizing rules of the model.
    static void LimitMinimSize(Node& node) { tarvel::LimitMinimSize(node); }
    void AdjustSize(Node& node) { tarvel::AdjustSize(m_doc, node); }
    void AdjustAllNodeSizes(Diagram& diagram);
    // For a link of exactly three points, moves the middle one so that a
    // segment that is nearly horizontal or vertical becomes exactly so.
    static void OrtogonalizeLinks(std::vector<PointF>& points);
    void OrtogonalizeTransitions(Node& node);

private:
    Document& m_doc;
    Node* m_magnified = nullptr;
};

}  // namespace tarvel
