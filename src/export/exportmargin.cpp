#include "export/exportmargin.h"

#include <algorithm>
#include <vector>

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
    std::vector<Node*> margins;
    for (const auto& n : d.NodeList()) {
        if (n->hasKind(NK_ANNOTATION)) {
            margins.push_back(n.get());
        }
    }
    for (Node* n : margins) {
        d.removeNode(n);
    }
    d.setEditTracking(true);
    d.SetDiagramChanged(changed);
}

}  // namespace tarvel
