#include "export/exportmargin.h"

#include <algorithm>

#include "model/diagram.h"

namespace tarvel {

void addExportMargin(Diagram& d) {
    const bool changed = d.DiagramChanged();
    d.setEditTracking(false);
    float right = 0;
    float bottom = 0;
    for (const auto& n : d.NodeList()) {
        right = std::max(right, n->NodeLeft() + n->NodeWidth());
        bottom = std::max(bottom, n->NodeTop() + n->NodeHeight());
    }
    d.setEditTracking(true);
    Node* margin = d.AddNode(right, bottom, 1000, 1000);
    margin->setNodeKind(NK_ANNOTATION);
    margin->setNodeConnectable(false);
    d.SetDiagramChanged(changed);
}

void removeExportMargin(Diagram& d) {
    const bool changed = d.DiagramChanged();
    d.setEditTracking(false);
    // Found one at a time rather than gathered in a list: this runs while a
    // failed export unwinds, where nothing may need memory.
    for (;;) {
        Node* margin = nullptr;
        for (const auto& n : d.NodeList()) {
            if (n->hasKind(NK_ANNOTATION)) {
                margin = n.get();
                break;
            }
        }
        if (margin == nullptr) {
            break;
        }
        d.removeNode(margin);
    }
    d.setEditTracking(true);
    d.SetDiagramChanged(changed);
}

}  // namespace tarvel
