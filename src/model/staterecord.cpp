#include "model/staterecord.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

#include "model/nodesizing.h"
#include "model/parientes.h"
#include "model/text.h"

namespace tarvel {

bool isState(const Node& n) { return n.hasKind(NK_ANY_STATE); }
bool isInitial(const Node& n) { return n.hasKind(NK_INITIAL); }
bool isFinal(const Node& n) { return n.hasKind(NK_FINAL); }
bool isTransition(const Node& n) { return n.hasKind(NK_TRANSITION); }

std::uint32_t stateKindOf(std::uint32_t kind) {
    for (std::uint32_t flag : {NK_INITIAL, NK_FINAL, NK_SUPERSTATE, NK_STATE}) {
        if ((kind & flag) != 0) {
            return flag;
        }
    }
    return 0;
}

std::string_view readStateField(int field, const Node& node) {
    return readField(node.NodeData(), field);
}

namespace {

constexpr RecordFields<StateRecord, STATE_FIELD_COUNT> STATE_FIELDS = [] {
    RecordFields<StateRecord, STATE_FIELD_COUNT> m{};
    m[SF_NAME] = &StateRecord::name;
    m[SF_MOORE] = &StateRecord::moore;
    m[SF_INDEX] = &StateRecord::index;
    m[SF_ENTRY] = &StateRecord::entry;
    m[SF_EXIT] = &StateRecord::exit;
    m[SF_ISIN] = &StateRecord::isIn;
    m[SF_GOTO] = &StateRecord::goTo;
    m[SF_ELSE] = &StateRecord::elseActions;
    return m;
}();

}  // namespace

std::string& StateRecord::field(StateField f) {
    return this->*STATE_FIELDS.at(static_cast<std::size_t>(f));
}

const std::string& StateRecord::field(StateField f) const {
    return this->*STATE_FIELDS.at(static_cast<std::size_t>(f));
}

StateRecord StateRecord::read(const Node& node) {
    return readRecord(node.NodeData(), STATE_FIELDS);
}

std::string StateRecord::text() const {
    return recordText(*this, STATE_FIELDS);
}

std::string displayLines(std::string_view actions, bool hideComments, std::string_view prefix) {
    std::string out;
    for (const auto& line : splitLinesCR(actions)) {
        const std::string_view trimmed =
            std::string_view(line).substr(std::min(line.find_first_not_of(' '), line.size()));
        if (trimmed.find("//HIDE_LINE") != std::string_view::npos) {
            continue;
        }
        if (hideComments && trimmed.starts_with("//")) {
            continue;
        }
        out += prefix;
        out += line;
        out += CRLF;
    }
    return out;
}

std::string stateDisplayText(const StateRecord& r, bool hideComments) {
    std::string text;
    text += MIDDLE_DOT;
    text += r.name;
    text += MIDDLE_DOT;
    text += CRLF;
    if (!r.entry.empty()) {
        text += "#entry:";
        text += CRLF;
        text += displayLines(r.entry, hideComments);
        if (!r.moore.empty()) {
            text += "#during:";
            text += CRLF;
        }
    }
    if (!r.moore.empty()) {
        text += displayLines(r.moore, hideComments);
    }
    if (!r.elseActions.empty()) {
        text += "#else:";
        text += CRLF;
        text += displayLines(r.elseActions, hideComments);
    }
    if (!r.exit.empty()) {
        text += "#exit:";
        text += CRLF;
        text += displayLines(r.exit, hideComments);
    }
    return text;
}

namespace {

// The first "STATE_" + n that no state uses (ignoring case).
std::string generatedName(const Diagram& d) {
    const std::unordered_set<std::string> used = usedStateNameKeys(d);
    for (long long i = 1;; ++i) {
        std::string candidate = "STATE_" + std::to_string(i);
        if (!used.contains(candidate)) {
            return candidate;
        }
    }
}

void setLook(Node& n, int lineWidth, Color lineColor, int shapeStyle) {
    n.setNodeLineWidth(lineWidth);
    n.setNodeLineColor(lineColor);
    n.setNodeShapeStyle(shapeStyle);
}

std::string withoutHistoryMarker(const std::string& text) {
    return text.starts_with(HISTORY_MARKER) ? text.substr(HISTORY_MARKER.size()) : text;
}

}  // namespace

void recentre(Node& n, PointF c) {
    RectF r = n.rect();
    r.left = c.x - r.width / 2;
    r.top = c.y - r.height / 2;
    if (!(r.left > 0)) {
        r.left = 1;
    }
    if (!(r.top > 0)) {
        r.top = 1;
    }
    n.setRect(r);
}

bool writeState(Document& doc, StateRecord& r, std::uint32_t kind, Node& node) {
    const std::uint32_t look = stateKindOf(kind);
    if (look == 0) {
        return false;
    }
    Diagram& d = doc.diagram();
    const PointF centre = node.centre();
    if (r.name.empty()) {
        r.name = generatedName(d);
    }
    node.setNodeKind(kind);

    node.setNodeText(stateDisplayText(r, doc.hideComments));
    node.setNodeData(r.text());
    node.setNodeTip(r.name + "  (" + r.index + ")");

    AdjustSize(doc, node);
    LimitMinimSize(node);

    switch (look) {
        case NK_STATE:
            setLook(node, 1, STATE_LINE_COLOR, 51);
            node.setNodeKind(NK_STATE);
            break;
        case NK_SUPERSTATE:
            setLook(node, 2, STATE_LINE_COLOR, 51);
            node.setNodeKind(NK_SUPERSTATE);
            break;
        case NK_FINAL:
            setLook(node, 2, rgb(128, 128, 64), 50);
            break;
        case NK_INITIAL: {
            node.setNodeLineWidth(2);
            refreshInitialLook(doc, &node);
            // A diagram has one initial state: the first other one is demoted.
            for (const auto& other : d.NodeList()) {
                if (other.get() != &node && isInitial(*other)) {
                    other->setNodeText(withoutHistoryMarker(other->NodeText()));
                    other->setNodeKind(NK_STATE);
                    setLook(*other, 1, STATE_LINE_COLOR, 51);
                    break;
                }
            }
            break;
        }
    }
    recentre(node, centre);
    return true;
}

bool Configura_Nodo_Estado(Document& doc, std::string& name, std::string& moore, std::string& entry,
                           std::string& exit, std::string& elseActions, std::string& index,
                           std::uint32_t kind, std::string& isIn, std::string& goTo, Node& node) {
    StateRecord r{name, moore, index, entry, exit, isIn, goTo, elseActions};
    const bool written = writeState(doc, r, kind, node);
    name = r.name;
    return written;
}

StateRecord loadStateForEdit(Document& doc, Node& node) {
    if (readStateField(SF_INDEX, node).empty() && !doc.diagram().DiagramLocked()) {
        renumberStates(doc, &node);
    }
    StateRecord r = StateRecord::read(node);
    r.isIn = recordFlag(r.isIn == "Y");
    r.goTo = recordFlag(r.goTo == "Y");
    return r;
}

StateEditResult finishStateEdit(Document& doc, Node& node, StateRecord& edited, std::uint32_t kind,
                                const StateRecord& loaded, std::uint32_t loadedKind) {
    if (!stateNameFreeFor(doc.diagram(), edited.name, node)) {
        return StateEditResult::NameUsed;
    }
    if (edited == loaded && kind == loadedKind) {
        return StateEditResult::Unchanged;
    }
    writeState(doc, edited, kind, node);
    return StateEditResult::Written;
}

std::string nextStateIndex(const Diagram& d) {
    long long largest = 0;
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            largest = std::max<long long>(largest, lenientInt(readStateField(SF_INDEX, *n)));
        }
    }
    return std::to_string(largest + 1);
}

namespace {

bool nameFreeExcept(const Diagram& d, std::string_view name, const Node* self) {
    for (const auto& n : d.NodeList()) {
        if (n.get() != self && isState(*n) &&
            equalsIgnoreCaseAscii(readStateField(SF_NAME, *n), name)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool stateNameFreeFor(const Diagram& d, std::string_view name, const Node& self) {
    return nameFreeExcept(d, name, &self);
}

bool nameIsFree(const Diagram& d, std::string_view name) {
    return nameFreeExcept(d, name, d.CurrentNode());
}

std::unordered_set<std::string> usedStateNameKeys(const Diagram& d) {
    std::unordered_set<std::string> used;
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            used.insert(upperAscii(readStateField(SF_NAME, *n)));
        }
    }
    return used;
}

std::string nameUsedMessage(std::string_view name) {
    return "The name: " + std::string(name) + " is already used";
}

std::string cleanStateName(std::string_view name) {
    return spacesToUnderscores(trimBlanks(name));
}

std::vector<std::string> stateChildren(const Document& doc, std::string_view moore,
                                       std::string_view elseActions) {
    clsParientes parientes(doc.sFullDocname);
    parientes.BuscaEnlaces(std::string(moore) + std::string(CRLF) + std::string(elseActions));
    return parientes.children();
}

void renumberStates(Document& doc, Node* edited) {
    Diagram& d = doc.diagram();
    if (d.NodeList().empty()) {
        return;
    }
    // Picking the smallest index again and again, the first in `NodeList`
    // order among equals and the edited state before the others with its
    // index, is a stable sort on (index, not edited, position).
    struct Entry {
        Node* node;
        int index;
        bool notEdited;
        std::size_t position;
    };
    std::vector<Entry> states;
    std::size_t position = 0;
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            states.push_back({n.get(), lenientInt(readStateField(SF_INDEX, *n)), n.get() != edited,
                              position});
        }
        ++position;
    }
    const int k = edited ? lenientInt(readStateField(SF_INDEX, *edited)) : INT_MAX;
    std::sort(states.begin(), states.end(), [k](const Entry& a, const Entry& b) {
        if (a.index != b.index) {
            return a.index < b.index;
        }
        if (a.index == k && a.notEdited != b.notEdited) {
            return !a.notEdited;
        }
        return a.position < b.position;
    });
    d.setRepaintEnabled(false);
    int counter = 0;
    for (const Entry& e : states) {
        StateRecord r = StateRecord::read(*e.node);
        r.index = std::to_string(++counter);
        writeState(doc, r, e.node->NodeKind(), *e.node);
    }
    d.setRepaintEnabled(true);
}

void applyDefaultColours(Diagram& d) {
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            n->setNodeFillColor(d.FillColor());
            n->setNodeForeColor(d.ForeColor());
        }
    }
}

void refreshInitialLook(Document& doc, Node* node) {
    if (node == nullptr) {
        for (const auto& n : doc.diagram().NodeList()) {
            if (isInitial(*n)) {
                node = n.get();
                break;
            }
        }
        if (node == nullptr) {
            return;
        }
    }
    node->setNodeShapeStyle(50);
    const std::string& text = node->NodeText();
    if (doc.options.HistoryFsm) {
        node->setNodeLineColor(rgb(180, 0, 60));
        if (!text.starts_with(HISTORY_MARKER)) {
            node->setNodeText(std::string(HISTORY_MARKER) + text);
        }
        AdjustSize(doc, *node);
        return;
    }
    if (text.starts_with(HISTORY_MARKER)) {
        node->setNodeText(text.substr(HISTORY_MARKER.size()));
        AdjustSize(doc, *node);
        LimitMinimSize(*node);
    }
    node->setNodeLineColor(rgb(230, 0, 0));
}

}  // namespace tarvel
