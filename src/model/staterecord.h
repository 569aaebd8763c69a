// The state record: eight fields in `NodeData` of a state node, and the one
// operation that writes a state (`Configura_Nodo_Estado`). Display text,
// tooltip and looks are rebuilt from the record on every write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/document.h"

namespace tarvel {

enum StateField {
    SF_NAME = 0,
    SF_MOORE = 1,
    SF_INDEX = 2,
    SF_ENTRY = 3,
    SF_EXIT = 4,
    SF_ISIN = 5,
    SF_GOTO = 6,
    SF_ELSE = 7,
    STATE_FIELD_COUNT = 8
};

inline constexpr std::string_view HISTORY_MARKER = "<History>\r\n";
inline constexpr Color STATE_LINE_COLOR = 0xFF0000;  // blue

bool isState(const Node& n);
bool isInitial(const Node& n);
bool isFinal(const Node& n);
bool isTransition(const Node& n);
// The one state flag a kind is read as: initial, final, superstate, state in
// that order of precedence; 0 when the kind has none.
std::uint32_t stateKindOf(std::uint32_t kind);

std::string_view readStateField(int field, const Node& node);

// The fields of a state. `field(SF_...)` reaches a field by its number.
struct StateRecord {
    std::string name;
    std::string moore;
    std::string index;
    std::string entry;
    std::string exit;
    std::string isIn = "N";
    std::string goTo = "N";
    std::string elseActions;

    std::string& field(StateField f);
    const std::string& field(StateField f) const;
    static StateRecord read(const Node& node);
    // The record as `NodeData` holds it.
    std::string text() const;
    friend bool operator==(const StateRecord&, const StateRecord&) = default;
};

// Writes a complete state into `node`: kind, record, display text, tooltip,
// size and looks, keeping the node's centre. An empty name is replaced by the
// first free "STATE_" + n, which the caller sees in `record`. A kind with none
// of the four state flags is refused (nothing is written, false is returned).
bool writeState(Document& doc, StateRecord& record, std::uint32_t kind, Node& node);
// The record an edit of a state (its dialog, the find walk) starts from. A
// state without an index first gets one by renumbering the diagram, unless
// the diagram is locked (it is never changed then). The yes/no fields read
// "Y" when they hold "Y" and "N" otherwise, as their check boxes show them.
StateRecord loadStateForEdit(Document& doc, Node& node);
enum class StateEditResult { Written, Unchanged, NameUsed };
// The end of an edit of a state: refused when another state already carries
// the edited name (see `stateNameFreeFor`); otherwise written when the
// record or the kind differs from what was loaded. An empty name is replaced
// by a generated one, which `edited` shows.
StateEditResult finishStateEdit(Document& doc, Node& node, StateRecord& edited, std::uint32_t kind,
                                const StateRecord& loaded, std::uint32_t loadedKind);
// The same write with the record's texts one by one, in and out.
bool Configura_Nodo_Estado(Document& doc, std::string& name, std::string& moore, std::string& entry,
                           std::string& exit, std::string& elseActions, std::string& index,
                           std::uint32_t kind, std::string& isIn, std::string& goTo, Node& node);

// The display lines of an action text: " " + line + CR LF for every line, the
// hidden ones left out ("//HIDE_LINE" anywhere, or "//" first when hiding comments).
std::string displayLines(std::string_view actions, bool hideComments, std::string_view prefix = " ");
std::string stateDisplayText(const StateRecord& record, bool hideComments);

// Decimal text of the largest index among the states plus one (1 without states).
std::string nextStateIndex(const Diagram& diagram);
// State names are unique in a diagram, compared ignoring case. This is the one
// test of it: no state other than `self` carries the name.
bool stateNameFreeFor(const Diagram& diagram, std::string_view name, const Node& self);
// No state other than `CurrentNode` carries the name.
bool nameIsFree(const Diagram& diagram, std::string_view name);
// The names of all states as that test compares them (ASCII letters in upper
// case), for finding free names among many states at once.
std::unordered_set<std::string> usedStateNameKeys(const Diagram& diagram);
// What a state edit that takes a used name is refused with.
std::string nameUsedMessage(std::string_view name);
// A state name as its box keeps it: trimmed, blanks become "_".
std::string cleanStateName(std::string_view name);
// The child diagrams a state names in its Moore and else actions.
std::vector<std::string> stateChildren(const Document& doc, std::string_view moore,
                                       std::string_view elseActions);
// Renumbers the state indices to 1..n in index order; among equal indices the
// edited state comes first, then `NodeList` order.
void renumberStates(Document& doc, Node* edited);
// Puts the node's centre back at `centre`; an edge that would fall at 0 or
// below is placed at 1.
void recentre(Node& node, PointF centre);
// Gives every state the diagram's default fill and text colours.
void applyDefaultColours(Diagram& diagram);
// Style, colour and history marker of the initial state; with no node the
// first initial state of the diagram is used.
void refreshInitialLook(Document& doc, Node* node);

}  // namespace tarvel
