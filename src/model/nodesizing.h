// The sizing rules of nodes: the smallest size a node may have, and nodes
// fitted to their text. Records apply them on every write; the layout
// enhancement of the editor applies them after the user's gestures. Sizing is
// never a change of the diagram: the changed flag is left as it was.
#pragma once

namespace tarvel {

class Diagram;
class Document;
class Node;

inline constexpr float NODE_MIN_WIDTH = 150;
inline constexpr float NODE_MIN_HEIGHT = 100;
// Room around the text of a fitted transition and of a fitted state.
inline constexpr float TRANSITION_TEXT_MARGIN = 50;
inline constexpr float STATE_TEXT_MARGIN = 15;

// The superstate mark, two small linked boxes in the lower right corner of a
// state with a child diagram: its size, its distance from the corner and the
// room kept between it and the text. A fitted superstate gets a band of its
// own for the mark below the text.
inline constexpr float SUPERSTATE_MARK_WIDTH = 180;
inline constexpr float SUPERSTATE_MARK_HEIGHT = 90;
inline constexpr float SUPERSTATE_MARK_RIGHT = 90;
inline constexpr float SUPERSTATE_MARK_BOTTOM = 45;
inline constexpr float SUPERSTATE_MARK_GAP = 30;
// The height a fitted superstate needs beyond its text.
float superstateMarkRoom();

// Enlarges a node smaller than NODE_MIN_WIDTH x NODE_MIN_HEIGHT.
void LimitMinimSize(Node& node);
// A transition is fitted to its text, or gets the smallest size when it has
// none; a state is fitted to its text when the document autosizes nodes.
void AdjustSize(Document& doc, Node& node);

// Keeps the diagram's changed flag as it was while an adjustment runs.
class KeepChangedFlag {
public:
    explicit KeepChangedFlag(Diagram& d);
    ~KeepChangedFlag();
    KeepChangedFlag(const KeepChangedFlag&) = delete;
    KeepChangedFlag& operator=(const KeepChangedFlag&) = delete;

private:
    Diagram& m_d;
    bool m_was;
};

}  // namespace tarvel
