#include "editor/commentclipboard.h"

#include <algorithm>

#include "base/text.h"
#include "model/fsmfile.h"
#include "model/nodekind.h"

namespace tarvel {

namespace {

bool isFreeComment(const Node& n) {
    return !n.NodeConnectable() && (n.NodeKind() & ~NK_COMMENT) == 0;
}

void copyLooks(const Node& from, Node& to) {
    to.setNodeKind(NK_COMMENT);
    to.setNodeText(from.NodeText());
    copyNodeLooks(from, to);
    to.setNodeConnectable(false);
}

bool placeTaken(const Diagram& d, const RectF& r, const std::vector<Node*>& skip) {
    for (const auto& n : d.NodeList()) {
        if (n->rect() == r && std::find(skip.begin(), skip.end(), n.get()) == skip.end()) {
            return true;
        }
    }
    return false;
}

}  // namespace

void copyNodeLooks(const Node& from, Node& to) {
    to.setNodeFillColor(from.NodeFillColor());
    to.setNodeForeColor(from.NodeForeColor());
    to.setNodeLineColor(from.NodeLineColor());
    to.setNodeLineWidth(from.NodeLineWidth());
    to.setNodeShapeStyle(from.NodeShapeStyle());
    to.setNodeDrawStyle(from.NodeDrawStyle());
    to.setNodeFont(from.NodeFont());
}

bool selectionIsCommentsOnly(const Diagram& diagram) {
    for (const auto& n : diagram.NodeList()) {
        if (n->NodeSelected() && n->NodeConnectable()) {
            return false;
        }
    }
    for (const auto& l : diagram.Links()) {
        if (l->LinkSelected()) {
            return false;
        }
    }
    return true;
}

std::string copySelectedComments(const Diagram& diagram) {
    Diagram copy;
    for (const auto& n : diagram.NodeList()) {
        if (n->NodeSelected() && isFreeComment(*n)) {
            Node* c = copy.AddNode(n->NodeLeft(), n->NodeTop(), n->NodeWidth(), n->NodeHeight());
            copyLooks(*n, *c);
        }
    }
    return writeDiagramJson(copy);
}

std::string selectedCommentsText(const Diagram& diagram) {
    std::string text;
    for (const auto& n : diagram.NodeList()) {
        if (n->NodeSelected() && isFreeComment(*n) && !n->NodeText().empty()) {
            if (!text.empty()) {
                text += CRLF;
            }
            text += n->NodeText();
        }
    }
    return text;
}

std::vector<Node*> pasteComments(Diagram& diagram, std::string_view data, float offset) {
    Diagram incoming;
    std::string error;
    if (!readDiagramJson(data, incoming, error)) {
        return {};
    }
    std::vector<Node*> added;
    for (const auto& n : incoming.NodeList()) {
        if (n->NodeKind() != NK_COMMENT) {
            continue;  // only comments are ever pasted, whatever the data holds
        }
        RectF r = n->rect();
        for (int tries = 0; tries < 100 && placeTaken(diagram, r, added); ++tries) {
            r.left += offset;
            r.top += offset;
        }
        Node* c = diagram.AddNode(r.left, r.top, r.width, r.height);
        copyLooks(*n, *c);
        added.push_back(c);
    }
    if (!added.empty()) {
        diagram.clearSelection();
        for (Node* n : added) {
            n->setNodeSelected(true);
        }
    }
    return added;
}

}  // namespace tarvel
