#include "model/transitionrecord.h"

#include <algorithm>
#include <climits>

#include "model/nodesizing.h"
#include "model/staterecord.h"
#include "model/text.h"

namespace tarvel {

namespace {

constexpr RecordFields<TransitionRecord, TRANSITION_FIELD_COUNT> TRANSITION_FIELDS = [] {
    RecordFields<TransitionRecord, TRANSITION_FIELD_COUNT> m{};
    m[TF_PRIORITY] = &TransitionRecord::priority;
    m[TF_CONDITION] = &TransitionRecord::condition;
    m[TF_ACTIONS] = &TransitionRecord::actions;
    m[TF_ENTRY_EXIT] = &TransitionRecord::entryExit;
    m[TF_MUST_BE_LAST] = &TransitionRecord::mustBeLast;
    m[TF_CONTINUE] = &TransitionRecord::continueImmediately;
    return m;
}();

}  // namespace

std::string& TransitionRecord::field(TransitionField f) {
    return this->*TRANSITION_FIELDS.at(static_cast<std::size_t>(f));
}

const std::string& TransitionRecord::field(TransitionField f) const {
    return this->*TRANSITION_FIELDS.at(static_cast<std::size_t>(f));
}

TransitionRecord TransitionRecord::read(const Node& node) {
    return readRecord(node.NodeData(), TRANSITION_FIELDS);
}

std::string TransitionRecord::text() const {
    return recordText(*this, TRANSITION_FIELDS);
}

TransitionRecord loadTransitionForEdit(const Node& node) {
    TransitionRecord r = TransitionRecord::read(node);
    r.entryExit = recordFlag(r.entryExit != "N");
    r.mustBeLast = recordFlag(r.mustBeLast == "Y");
    r.continueImmediately = recordFlag(r.continueImmediately == "Y");
    return r;
}

std::string_view readTransitionField(int field, const Node& node) {
    return readField(node.NodeData(), field);
}

Node* sourceState(const Node& t) {
    return t.NodeInLinks().empty() ? nullptr : t.NodeInLinks().front()->LinkOrigin();
}

Node* targetState(const Node& t) {
    return t.NodeOutLinks().empty() ? nullptr : t.NodeOutLinks().front()->LinkTarget();
}

std::vector<Node*> transitionsOf(const Node& state) {
    std::vector<Node*> out;
    out.reserve(state.NodeOutLinks().size());
    for (const Link* l : state.NodeOutLinks()) {
        out.push_back(l->LinkTarget());
    }
    return out;
}

std::vector<const Node*> transitionsByPriority(const Node& state) {
    const std::size_t count = state.NodeOutLinks().size();
    std::vector<const Node*> byPriority(count, nullptr);
    for (const Link* l : state.NodeOutLinks()) {
        const Node* t = l->LinkTarget();
        if (!isTransition(*t)) {
            continue;
        }
        const int p = lenientInt(readTransitionField(TF_PRIORITY, *t));
        if (p < 1 || static_cast<std::size_t>(p) > count) {
            continue;
        }
        const Node*& slot = byPriority[static_cast<std::size_t>(p - 1)];
        if (slot == nullptr) {
            slot = t;
        }
    }
    return byPriority;
}

std::string transitionDisplayText(const TransitionRecord& r, std::size_t sourceOutLinks,
                                  bool hideComments) {
    std::string text;
    if (sourceOutLinks >= 2) {
        const bool last = r.mustBeLast == "Y";
        text += last ? "{" : "[";
        text += r.priority;
        text += last ? "}" : "]";
    }
    if (r.condition.empty()) {
        if (!text.empty()) {
            text += CRLF;
        }
    } else {
        text += displayLines(r.condition, hideComments, "");
    }
    if (!r.actions.empty()) {
        text += "/";
        text += displayLines(r.actions, hideComments, "");
    }
    return text;
}

namespace {

void setLinkLooks(const TransitionRecord& r, Node& t) {
    Color color = r.entryExit == "N" ? rgb(0, 127, 0) : Color{0xFF0000};
    const int lineStyle = r.entryExit == "N" ? 2 : 0;
    const bool chain = r.continueImmediately == "Y";
    if (chain) {
        color = rgb(175, 0, 0);
    }
    for (Link* in : t.NodeInLinks()) {
        in->setLinkColor(color);
        in->setLinkLineStyle(lineStyle);
    }
    for (Link* out : t.NodeOutLinks()) {
        out->setLinkColor(color);
        out->setLinkLineStyle(lineStyle);
        out->setLinkArrowStyle(chain ? 4 : 3);
    }
}

}  // namespace

void writeTransition(Document& doc, const TransitionRecord& r, Node& t) {
    const PointF centre = t.centre();
    t.setNodeKind(NK_TRANSITION);
    const Node* source = sourceState(t);
    const std::string text =
        transitionDisplayText(r, source ? source->NodeOutLinks().size() : 0, doc.hideComments);
    t.setNodeText(text);
    setLinkLooks(r, t);
    if (text.empty()) {
        t.setNodeDrawStyle(0);
        t.setRect({t.NodeLeft(), t.NodeTop(), 1, 1});
    } else {
        t.setNodeDrawStyle(5);
    }
    t.setNodeData(r.text());
    AdjustSize(doc, t);
    LimitMinimSize(t);
    recentre(t, centre);
}

std::string nextPriority(const Node& t) {
    long long largest = 0;
    if (const Node* s = sourceState(t)) {
        for (const Node* other : transitionsOf(*s)) {
            if (other != &t && isTransition(*other)) {
                largest = std::max<long long>(
                    largest, lenientInt(readTransitionField(TF_PRIORITY, *other)));
            }
        }
    }
    return std::to_string(largest + 1);
}

void renumberPriorities(Document& doc, Node& state, Node* edited) {
    const int k = edited ? lenientInt(readTransitionField(TF_PRIORITY, *edited)) : INT_MAX;
    if (state.NodeOutLinks().empty()) {
        return;
    }
    std::vector<Node*> transitions;
    for (Node* t : transitionsOf(state)) {
        if (isTransition(*t) && std::find(transitions.begin(), transitions.end(), t) == transitions.end()) {
            transitions.push_back(t);
        }
    }
    for (Node* t : transitions) {
        TransitionRecord r = TransitionRecord::read(*t);
        if (r.mustBeLast == "Y") {
            r.priority = "10000";
            writeTransition(doc, r, *t);
        }
    }
    // A state has few transitions: the repeated search for the smallest
    // priority is cheap and keeps the edited-transition rule exact even when
    // its own number changed above.
    std::vector<bool> marked(transitions.size(), false);
    const auto editedAt = std::find(transitions.begin(), transitions.end(), edited);
    for (int counter = 1;; ++counter) {
        std::size_t found = transitions.size();
        int smallest = 0;
        for (std::size_t i = 0; i < transitions.size(); ++i) {
            if (marked[i]) {
                continue;
            }
            const int p = lenientInt(readTransitionField(TF_PRIORITY, *transitions[i]));
            if (found == transitions.size() || p < smallest) {
                found = i;
                smallest = p;
            }
        }
        if (found == transitions.size()) {
            break;
        }
        if (smallest == k && editedAt != transitions.end()) {
            const std::size_t e = static_cast<std::size_t>(editedAt - transitions.begin());
            if (!marked[e]) {
                found = e;
            }
        }
        TransitionRecord r = TransitionRecord::read(*transitions[found]);
        r.priority = std::to_string(counter);
        writeTransition(doc, r, *transitions[found]);
        marked[found] = true;
    }
}

Node* insertTransitionForNewLink(Document& doc, Link& link) {
    Diagram& d = doc.diagram();
    Node* a = link.LinkOrigin();
    Node* b = link.LinkTarget();
    const PointF ca = a->centre();
    const PointF cb = b->centre();
    Node* t = d.AddNode((ca.x + cb.x) / 2, (ca.y + cb.y) / 2, 1, 1);
    t->setNodeForeColor(0);
    t->setNodeFillColor(TRANSITION_FILL);
    t->setNodeShapeStyle(50);
    d.setNewLinkArrowStyle(0);
    d.AddLink(a, t)->setLinkAccepted(true);
    d.setNewLinkArrowStyle(3);
    d.AddLink(t, b)->setLinkAccepted(true);
    // The drawn link is replaced; only it goes, whatever else is selected.
    d.removeLink(&link);
    TransitionRecord r;
    r.priority = nextPriority(*t);
    writeTransition(doc, r, *t);
    renumberPriorities(doc, *a, t);
    return t;
}

namespace {

void removeLinksExcept(Diagram& d, const std::vector<Link*>& links, const Link& keep) {
    const std::vector<Link*> copy = links;
    for (Link* l : copy) {
        if (l != &keep) {
            d.removeLink(l);
        }
    }
}

}  // namespace

void keepOnlyThisOutLink(Document& doc, Link& link) {
    removeLinksExcept(doc.diagram(), link.LinkOrigin()->NodeOutLinks(), link);
    renumberEverything(doc);
}

void keepOnlyThisInLink(Document& doc, Link& link) {
    removeLinksExcept(doc.diagram(), link.LinkTarget()->NodeInLinks(), link);
    renumberEverything(doc);
}

void deleteSelectionAndRepair(Document& doc) {
    Diagram& d = doc.diagram();
    d.setRepaintEnabled(false);
    d.DeleteSelectedItems();
    d.clearSelection();
    for (const auto& n : d.NodeList()) {
        if (isTransition(*n) && (n->NodeInLinks().size() != 1 || n->NodeOutLinks().size() != 1)) {
            n->setNodeSelected(true);
        }
    }
    d.RemoveSelectedItems();
    renumberEverything(doc);
    d.setRepaintEnabled(true);
}

void renumberEverything(Document& doc) {
    Diagram& d = doc.diagram();
    d.setRepaintEnabled(false);
    renumberStates(doc, nullptr);
    std::vector<Node*> states;
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            states.push_back(n.get());
        }
    }
    for (Node* s : states) {
        renumberPriorities(doc, *s, nullptr);
    }
    d.setRepaintEnabled(true);
}

}  // namespace tarvel
