#include "model/nodesizing.h"

#include "model/document.h"
#include "model/textmeasurer.h"

namespace tarvel {

namespace {

void fitToText(Document& doc, Node& node, float margin) {
    const SizeF s = fittedSize(doc.measurer(), node.NodeText(), node.NodeFont());
    node.setRect({node.NodeLeft(), node.NodeTop(), s.width + margin, s.height + margin});
}

}  // namespace

KeepChangedFlag::KeepChangedFlag(Diagram& d) : m_d(d), m_was(d.DiagramChanged()) {}

KeepChangedFlag::~KeepChangedFlag() {
    m_d.SetDiagramChanged(m_was);
}

void LimitMinimSize(Node& node) {
    RectF r = node.rect();
    if (r.width < NODE_MIN_WIDTH) {
        r.width = NODE_MIN_WIDTH;
    }
    if (r.height < NODE_MIN_HEIGHT) {
        r.height = NODE_MIN_HEIGHT;
    }
    node.setRect(r);
}

void AdjustSize(Document& doc, Node& node) {
    KeepChangedFlag keep(doc.diagram());
    if (node.hasKind(NK_TRANSITION)) {
        if (!node.NodeText().empty()) {
            fitToText(doc, node, TRANSITION_TEXT_MARGIN);
        } else {
            node.setRect({node.NodeLeft(), node.NodeTop(), NODE_MIN_WIDTH, NODE_MIN_HEIGHT});
        }
        return;
    }
    if (doc.autosizeNodes) {
        fitToText(doc, node, STATE_TEXT_MARGIN);
        if (node.hasKind(NK_SUPERSTATE)) {
            RectF r = node.rect();
            r.height += superstateMarkRoom();
            node.setRect(r);
        }
    }
}

float superstateMarkRoom() {
    // Below the last line, which ends the text padding above the bottom:
    // the mark, its distance from the bottom and the gap above it.
    return SUPERSTATE_MARK_BOTTOM + SUPERSTATE_MARK_HEIGHT + SUPERSTATE_MARK_GAP - TEXT_PADDING_Y;
}

}  // namespace tarvel
