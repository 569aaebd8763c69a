#include "editor/duplicate.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"
#include "editor/commentclipboard.h"
#include "export/diagrampainter.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

bool isCopied(const Node& n) {
    return isPaintedNode(n, PaintOptions{}) && (isState(n) || n.hasKind(NK_COMMENT));
}

void copyLooks(const Node& from, Node& to) {
    copyNodeLooks(from, to);
    to.setNodeConnectable(from.NodeConnectable());
}

RectF shifted(const RectF& r, PointF by) {
    return {r.left + by.x, r.top + by.y, r.width, r.height};
}

bool overlapsAny(const Diagram& d, const std::vector<RectF>& rects) {
    for (const auto& n : d.NodeList()) {
        if (!isPaintedNode(*n, PaintOptions{})) {
            continue;
        }
        const RectF other = inflated(n->rect(), DUPLICATE_GAP / 4);
        for (const RectF& r : rects) {
            if (r.left < other.right() && other.left < r.right() && r.top < other.bottom() &&
                other.top < r.bottom()) {
                return true;
            }
        }
    }
    return false;
}

// Beside the originals: to the right, below, or diagonally, then further
// away, where the copies overlap nothing.
PointF freeOffset(const Diagram& d, const std::vector<const Node*>& nodes) {
    RectF box = nodes.front()->rect();
    for (const Node* n : nodes) {
        box = unite(box, n->rect());
    }
    auto grid = [&](float v, int step) {
        return d.SnapToGrid() && step > 0
                   ? std::ceil(v / static_cast<float>(step)) * static_cast<float>(step)
                   : v;
    };
    const float dx = grid(box.width + DUPLICATE_GAP, d.GridSizeX());
    const float dy = grid(box.height + DUPLICATE_GAP, d.GridSizeY());
    std::vector<PointF> offsets;
    for (int ring = 1; ring <= 20; ++ring) {
        const auto r = static_cast<float>(ring);
        offsets.push_back({r * dx, 0});
        offsets.push_back({0, r * dy});
        offsets.push_back({r * dx, r * dy});
    }
    for (const PointF& by : offsets) {
        std::vector<RectF> rects;
        rects.reserve(nodes.size());
        for (const Node* n : nodes) {
            rects.push_back(shifted(n->rect(), by));
        }
        if (!overlapsAny(d, rects)) {
            return by;
        }
    }
    return offsets.front();
}

}  // namespace

std::string freshStateName(const Diagram& diagram, std::string_view name,
                           const std::set<std::string>& taken) {
    std::unordered_set<std::string> used = usedStateNameKeys(diagram);
    for (const std::string& t : taken) {
        used.insert(upperAscii(t));
    }
    std::string base(name);
    const std::size_t underscore = base.rfind('_');
    if (underscore != std::string::npos && underscore + 1 < base.size() &&
        std::all_of(base.begin() + static_cast<std::ptrdiff_t>(underscore) + 1, base.end(),
                    [](char c) { return c >= '0' && c <= '9'; })) {
        base.resize(underscore);
    }
    for (int k = 2;; ++k) {
        std::string candidate = base + "_" + std::to_string(k);
        if (used.count(upperAscii(candidate)) == 0) {
            return candidate;
        }
    }
}

std::vector<Node*> duplicateSelection(Document& doc) {
    Diagram& d = doc.diagram();
    std::vector<const Node*> originals;
    for (const auto& n : d.NodeList()) {
        if (n->NodeSelected() && isCopied(*n)) {
            originals.push_back(n.get());
        }
    }
    if (originals.empty()) {
        return {};
    }
    // The transitions among the copied states go along.
    std::vector<const Node*> transitions;
    std::vector<const Node*> placed = originals;
    for (const auto& n : d.NodeList()) {
        if (!isTransition(*n)) {
            continue;
        }
        const Node* s = sourceState(*n);
        const Node* t = targetState(*n);
        if (s != nullptr && t != nullptr &&
            std::find(originals.begin(), originals.end(), s) != originals.end() &&
            std::find(originals.begin(), originals.end(), t) != originals.end()) {
            transitions.push_back(n.get());
            placed.push_back(n.get());
        }
    }
    const PointF by = freeOffset(d, placed);

    d.setRepaintEnabled(false);
    std::unordered_map<const Node*, Node*> copyOf;
    std::vector<Node*> made;
    std::set<std::string> names;
    long long index = lenientInt(nextStateIndex(d));
    for (const Node* original : originals) {
        const RectF r = shifted(original->rect(), by);
        Node* copy = d.AddNode(r.left, r.top, r.width, r.height);
        copyLooks(*original, *copy);
        if (original->hasKind(NK_COMMENT)) {
            copy->setNodeKind(original->NodeKind());
            copy->setNodeText(original->NodeText());
            copy->setNodeTip(original->NodeTip());
        } else {
            StateRecord record = StateRecord::read(*original);
            record.name = freshStateName(d, record.name, names);
            names.insert(record.name);
            record.index = std::to_string(index++);
            // A diagram has one initial state: its copy is a plain state.
            std::uint32_t kind = stateKindOf(original->NodeKind());
            if (kind == NK_INITIAL) {
                kind = NK_STATE;
            }
            writeState(doc, record, kind, *copy);
        }
        copyOf[original] = copy;
        made.push_back(copy);
    }
    const int arrow = d.NewLinkArrowStyle();
    for (const Node* original : transitions) {
        const RectF r = shifted(original->rect(), by);
        Node* copy = d.AddNode(r.left, r.top, r.width, r.height);
        copyLooks(*original, *copy);
        copy->setNodeKind(NK_TRANSITION);
        const Link* in = original->NodeInLinks().front();
        const Link* out = original->NodeOutLinks().front();
        d.setNewLinkArrowStyle(in->LinkArrowStyle());
        Link* newIn = d.AddLink(copyOf[in->LinkOrigin()], copy);
        d.setNewLinkArrowStyle(out->LinkArrowStyle());
        Link* newOut = d.AddLink(copy, copyOf[out->LinkTarget()]);
        for (auto [from, to] : {std::pair{in, newIn}, std::pair{out, newOut}}) {
            std::vector<PointF> pts = from->LinkPoints();
            for (PointF& p : pts) {
                p = {p.x + by.x, p.y + by.y};
            }
            to->setLinkPoints(std::move(pts));
            to->setLinkAccepted(true);
        }
        writeTransition(doc, TransitionRecord::read(*original), *copy);
        made.push_back(copy);
    }
    d.setNewLinkArrowStyle(arrow);
    // Priorities 1..n among each new state's own transitions.
    for (const Node* original : originals) {
        if (isState(*original)) {
            renumberPriorities(doc, *copyOf[original], nullptr);
        }
    }
    // The copied states and comments are the selection; their transitions
    // go along when they are moved.
    d.clearSelection();
    for (Node* n : made) {
        if (!isTransition(*n)) {
            n->setNodeSelected(true);
        }
    }
    d.setRepaintEnabled(true);
    return made;
}

}  // namespace tarvel
