// The rules of a document window without its widgets: what the window does
// with the user's gestures on the diagram (mouse-up, double-click,
// mouse-move) and with the commands of its menus that decide something
// (pointer modes, zoom, grid, locking, autosize, hidden comment lines, the
// generator, the parent diagram). The Qt window feeds it events and shows what
// it decides; tests drive it directly.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/graphicenhancement.h"
#include "editor/undoredo.h"
#include "model/document.h"
#include "model/edittransaction.h"

namespace tarvel {

class UserInterface;

// `PointerMode`: what a drag on the canvas does.
inline constexpr int POINTER_DRAW = 0;    // draws nodes and links (the start)
inline constexpr int POINTER_SELECT = 1;  // selects with a rubber band
inline constexpr int POINTER_ZOOM = 3;    // a zoom rectangle; ends at the next mouse-up

// `PointerShape` codes.
inline constexpr int SHAPE_DEFAULT = 0;
inline constexpr int SHAPE_CROSS = 2;
inline constexpr int SHAPE_SIZE_NESW = 6;
inline constexpr int SHAPE_SIZE_NS = 7;
inline constexpr int SHAPE_SIZE_NWSE = 8;
inline constexpr int SHAPE_SIZE_WE = 9;
inline constexpr int SHAPE_UP_ARROW = 10;
inline constexpr int SHAPE_ZOOM = 99;

// `GestureResult`: what the gesture that ends with a mouse-up did.
inline constexpr int GESTURE_NOTHING = 0;      // a click; a drag that changed nothing
inline constexpr int GESTURE_NODE_DRAWN = 1;   // a new node was drawn
inline constexpr int GESTURE_LINK_ENDS = 2;    // a link was drawn, or one end re-attached
inline constexpr int GESTURE_MOVED = 3;        // nodes (and the bends between them) moved
inline constexpr int GESTURE_RESIZED = 4;      // a node was resized with a handle
inline constexpr int GESTURE_LINK_POINTS = 5;  // a link's bend points were added or moved

// What the window says when the lock refuses a gesture.
inline constexpr std::string_view LOCKED_MESSAGE =
    "The diagram is locked: click the padlock (Ctrl+L) to edit it";

// The zoom values of the Zoom menu in its order; 0 fits the diagram in the window.
inline constexpr std::array<int, 6> ZOOM_VALUES = {150, 100, 75, 50, 25, 0};
inline constexpr int GRID_SIZE_COUNT = 6;
// The zoom steps of Ctrl+wheel and the zoom keys, in percent.
inline constexpr std::array<int, 15> ZOOM_STEPS = {10,  15,  25,  33,  50,  67,  75, 100,
                                                   125, 150, 200, 300, 400, 600, 800};
// The zoom `steps` steps above (positive) or below `zoom`; a zoom between two
// steps counts as the first step in the direction taken.
int zoomStep(int zoom, int steps);

// The pointer shape for what the pointer rests on (`PointerHit`) and the mode;
// `current` stays where the mode gives no shape.
int pointerShapeFor(int pointerHit, int pointerMode, int current);

// What the window's rules ask of the user interface.
class DocWindowHost {
public:
    virtual ~DocWindowHost() = default;
    // First panel of the main frame's status bar.
    virtual void setStatusText(const std::string&) {}
    // Modal property dialogs; the host suspends the hand-off queue around them
    // and opens a child diagram a dialog asked for afterwards.
    virtual void editFsm() {}
    virtual void editState(Node&) {}
    virtual void editTransition(Node&) {}
    // Show the in-place editor over a comment node.
    virtual void beginCommentEdit(Node&) {}
    // Pointer mode, zoom, grid or the connect switch changed: redraw and
    // update the menus.
    virtual void viewChanged() {}
    // Only the pointer shape changed.
    virtual void pointerChanged() {}
    virtual void refreshButtons() {}
};

// How a gesture ended, as the canvas reports it.
struct GestureEnd {
    int gestureResult = GESTURE_NOTHING;
    // The current node or link was made by this gesture.
    bool newItem = false;
    // The diagram's changed flag when the gesture began: a drawn item that the
    // rules take away again leaves the diagram as unchanged as it was.
    bool changedBefore = false;
};

// The values the window's buttons and menus show; `RefreshButtons` compares
// them with the last ones shown.
struct ButtonState {
    bool selectMode = false;
    bool autosize = false;
    bool locked = false;
    bool hasParent = false;
    bool hasChildren = false;
    bool canUndo = false;
    bool canRedo = false;
    friend bool operator==(const ButtonState&, const ButtonState&) = default;
};

// The groups of buttons and menu items to update.
struct ButtonUpdate {
    bool selectMode = false;
    bool autosize = false;
    bool locked = false;
    bool hasParent = false;
    bool hasChildren = false;
    bool canUndo = false;
    bool canRedo = false;
    bool any() const {
        return selectMode || autosize || locked || hasParent || hasChildren || canUndo || canRedo;
    }
};

class ButtonCache {
public:
    // The groups whose value changed since the last call, or all of them when
    // `force` is set or nothing was shown yet. The new values become the cache.
    ButtonUpdate update(const ButtonState& now, bool force);
    void invalidate() { m_valid = false; }

private:
    bool m_valid = false;
    ButtonState m_last;
};

// The parent diagram of a diagram file: the folder holding the file, with
// ".fsm" appended, when such a file exists; empty otherwise.
std::string parentDiagramOf(const std::string& path);

// The folder where the children of the diagram live: its path without the
// extension. When it does not exist the user is asked whether to create it.
// Empty when the user declines or the folder cannot be made (then a message
// says why).
std::string prepareChildFolder(const Document& doc, UserInterface& ui);

// Adds a free comment node at 10, 10, 500 x 500 twips: white, black text and
// outline, shape style 1, not connectable. It carries no record.
Node* insertCommentNode(Diagram& diagram);

class DocWindow : private DiagramObserver {
public:
    // The window owns the document's undo history, made with `undo`, and
    // registers it with the document for as long as the window lives. When
    // the window goes its snapshots are deleted.
    DocWindow(Document& doc, DocWindowHost& host, UndoEnvironment undo = {});
    ~DocWindow() override;
    DocWindow(const DocWindow&) = delete;
    DocWindow& operator=(const DocWindow&) = delete;

    Document& document() { return m_doc; }
    clsLib_UndoRedo& undRed() { return m_undo; }
    clsGraphicEnhancement& enhancement() { return m_enhancement; }

    // --- Canvas settings the window keeps ---
    int PointerMode() const { return m_pointerMode; }
    int PointerShape() const { return m_pointerShape; }
    bool ConnectEnabled() const { return m_connectEnabled; }
    bool DiagramInputEnabled() const { return m_inputEnabled; }
    bool selectModeChecked() const { return m_pointerMode == POINTER_SELECT; }
    bool zoomWindowChecked() const { return m_zoomWindowChecked; }
    // Index into ZOOM_VALUES of the checked zoom item, read from the diagram's
    // zoom; -1 when none is (a zoom rectangle gave another value).
    int zoomItem() const;
    // Index of the checked "Grid Size" item, read from the diagram's grid;
    // -1 when the grid has another size.
    int gridSizeIndex() const;
    Node* editedComment() const { return m_editedComment; }

    // --- Events of the canvas ---
    // A press starts a gesture: everything the canvas and the rules change
    // until its mouse-up is one edit, one undo step.
    void MouseDown();
    void MouseMove(bool leftButtonDown, Node* nodeAtPointer, Link* linkAtPointer, int pointerHit);
    void MouseUp(const GestureEnd& gesture);
    // The arrow keys move the selection from the first press until the key
    // is let go: one edit, one undo step.
    void KeyMoveStart();
    void KeyMoveEnd();
    void DoubleClick(Node* nodeAtPointer, Link* linkAtPointer);

    // The in-place editor of a comment lost the focus: its text, font and
    // colour go to the node, which is framed when it has text.
    void endCommentEdit(bool textChanged, const std::string& text, const Font& font, Color color);

    // --- Commands ---
    void toggleSelectMode();
    void setZoomItem(int item);
    void zoomWindow();
    void setGridSizeIndex(int index);
    void toggleAutosize();
    void toggleLocked();
    void toggleHideComments();
    void toggleFixedPitch();
    void toggleGridVisible();
    void toggleSnapToGrid();
    // A comment node at 10, 10, or centred at `at` when given.
    Node* insertRemark(std::optional<PointF> at = std::nullopt);
    // A new state centred at `at`, drawn as if the user had drawn it there.
    Node* addStateAt(PointF at);
    // Copies the selected states and comments, with the transitions among
    // them, beside the originals, as one undo step.
    std::vector<Node*> duplicateSelection();
    // Takes the bends out of the two links of a transition node.
    void straightenLinks(Node& transition);
    // Deletes the selection and repairs the transitions it cut.
    void deleteSelection();
    // Moves every transition node that covers another node or an arrow head
    // to a free spot, as one undo step; returns how many moved.
    int arrangeLabels();
    void selectAll();
    void undo();
    void redo();
    // Records an undo step when the diagram changed. The window's own
    // gestures and commands are edit transactions and need no call.
    void storeChanges();

    // Looks for the parent diagram; true when there is one (kept in the
    // document's parent path).
    bool parentLookup();
    // The values of the window's buttons, and the children of the diagram
    // (entries of the hierarchy) for the "Open child" list.
    ButtonState buttonState(std::vector<std::string>* children = nullptr);

private:
    void nodeRemoving(Node& node) override;
    void diagramReset() override;

    void mouseUpOnNode(Node& node, const GestureEnd& gesture);
    void mouseUpOnLink(Link& link, const GestureEnd& gesture);
    void forget(Node* node);
    void forgetStatus();

    Document& m_doc;
    DocWindowHost& m_host;
    clsLib_UndoRedo m_undo;
    clsGraphicEnhancement m_enhancement;
    // The edit of the gesture under way, from its press to its mouse-up.
    std::unique_ptr<EditTransaction> m_gesture;
    std::unique_ptr<EditTransaction> m_keyMove;
    int m_pointerMode = POINTER_DRAW;
    int m_pointerShape = SHAPE_DEFAULT;
    bool m_connectEnabled = true;
    bool m_inputEnabled = true;
    bool m_zoomWindowChecked = false;
    Node* m_editedComment = nullptr;
    Node* m_statusNode = nullptr;  // the state the status bar names
};

}  // namespace tarvel
