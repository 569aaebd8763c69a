#include "editor/docwindow.h"

#include <algorithm>
#include <cmath>

#include "base/paths.h"
#include "editor/duplicate.h"
#include "editor/transitionlayout.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"
#include "shell/userinterface.h"

namespace tarvel {

namespace {

// A drawn node becomes a state only when it is larger than this both ways.
constexpr float NEW_STATE_MINIMUM = 500;
// A state made by a command rather than drawn.
constexpr float NEW_STATE_WIDTH = 1200;
constexpr float NEW_STATE_HEIGHT = 800;

}  // namespace

int pointerShapeFor(int pointerHit, int pointerMode, int current) {
    switch (pointerHit) {
        case 0:
            return SHAPE_SIZE_NWSE;
        case 1:
            return SHAPE_SIZE_NS;
        case 2:
            return SHAPE_SIZE_NESW;
        case 3:
            return SHAPE_SIZE_WE;
        case 5:
            return SHAPE_UP_ARROW;
        default:
            break;
    }
    switch (pointerMode) {
        case POINTER_DRAW:
            return SHAPE_DEFAULT;
        case POINTER_SELECT:
            return SHAPE_CROSS;
        case POINTER_ZOOM:
            return SHAPE_ZOOM;
        default:
            return current;
    }
}

int zoomStep(int zoom, int steps) {
    if (steps == 0) {
        return zoom;
    }
    const int n = static_cast<int>(ZOOM_STEPS.size());
    // The nearest step in the direction taken, then the rest of the way.
    int index = 0;
    if (steps > 0) {
        index = static_cast<int>(std::upper_bound(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), zoom) -
                                 ZOOM_STEPS.begin());
        index += steps - 1;
    } else {
        index = static_cast<int>(std::lower_bound(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), zoom) -
                                 ZOOM_STEPS.begin()) -
                1;
        index += steps + 1;
    }
    return ZOOM_STEPS[static_cast<std::size_t>(std::clamp(index, 0, n - 1))];
}

ButtonUpdate ButtonCache::update(const ButtonState& now, bool force) {
    const bool all = force || !m_valid;
    ButtonUpdate u;
    u.selectMode = all || now.selectMode != m_last.selectMode;
    u.autosize = all || now.autosize != m_last.autosize;
    u.locked = all || now.locked != m_last.locked;
    u.hasParent = all || now.hasParent != m_last.hasParent;
    u.hasChildren = all || now.hasChildren != m_last.hasChildren;
    u.canUndo = all || now.canUndo != m_last.canUndo;
    u.canRedo = all || now.canRedo != m_last.canRedo;
    m_last = now;
    m_valid = true;
    return u;
}

std::string parentDiagramOf(const std::string& path) {
    const std::string folder = GetDirectory(path);
    // A diagram at the top of the file system has no parent.
    if (folder.empty() || folder == "/") {
        return {};
    }
    const std::string parent = folder + ".fsm";
    return FileExists(parent) ? parent : std::string();
}

std::string prepareChildFolder(const Document& doc, UserInterface& ui) {
    const std::string folder = StripExtension(doc.sFullDocname);
    if (folder.empty()) {
        return {};
    }
    if (PathExists(folder)) {
        return folder;
    }
    if (ui.ask("Attention a chid dir must be created", "path:\"" + folder + "\"",
               MessageIcon::Question, false, Answer::Yes) != Answer::Yes) {
        return {};
    }
    if (!MakePath(folder) || !PathExists(folder)) {
        ui.showMessage("Attention!", "I can't create the folder:\r\n" + folder,
                       MessageIcon::Exclamation);
        return {};
    }
    return folder;
}

Node* insertCommentNode(Diagram& diagram) {
    Node* n = diagram.AddNode(10, 10, 500, 500);
    n->setNodeForeColor(0);
    n->setNodeFillColor(0xFFFFFF);
    n->setNodeLineColor(0);
    n->setNodeKind(NK_COMMENT);
    n->setNodeShapeStyle(1);
    n->setNodeConnectable(false);
    return n;
}

DocWindow::DocWindow(Document& doc, DocWindowHost& host, UndoEnvironment undo)
    : m_doc(doc), m_host(host), m_undo(doc, std::move(undo)), m_enhancement(doc) {
    m_doc.diagram().addObserver(this);
    m_doc.setEditHistory(&m_undo);
}

DocWindow::~DocWindow() {
    m_gesture.reset();
    m_undo.CleanUndoFiles();
    if (m_doc.editHistory() == &m_undo) {
        m_doc.setEditHistory(nullptr);
    }
    m_doc.diagram().removeObserver(this);
}

void DocWindow::nodeRemoving(Node& node) {
    forget(&node);
}

void DocWindow::diagramReset() {
    m_editedComment = nullptr;
    m_inputEnabled = true;
    forgetStatus();
}

void DocWindow::forgetStatus() {
    // The status bar no longer speaks of a state that is gone.
    if (m_statusNode != nullptr) {
        m_statusNode = nullptr;
        m_host.setStatusText({});
    }
}

void DocWindow::forget(Node* node) {
    if (m_statusNode == node) {
        forgetStatus();
    }
    if (m_editedComment == node) {
        m_editedComment = nullptr;
        m_inputEnabled = true;
    }
}

int DocWindow::zoomItem() const {
    if (m_zoomWindowChecked) {
        return -1;
    }
    const Diagram& d = m_doc.diagram();
    if (d.ZoomX() != d.ZoomY()) {
        return -1;
    }
    const auto it = std::find(ZOOM_VALUES.begin(), ZOOM_VALUES.end(), d.ZoomX());
    return it == ZOOM_VALUES.end() ? -1 : static_cast<int>(it - ZOOM_VALUES.begin());
}

int DocWindow::gridSizeIndex() const {
    const Diagram& d = m_doc.diagram();
    const int x = d.GridSizeX();
    if (x != d.GridSizeY() || x % 60 != 0 || x < 60 || x > 60 * GRID_SIZE_COUNT) {
        return -1;
    }
    return x / 60 - 1;
}

// --------------------------------------------------------------- gestures

void DocWindow::MouseMove(bool leftButtonDown, Node* nodeAtPointer, Link* linkAtPointer,
                          int pointerHit) {
    if (leftButtonDown) {
        return;
    }
    clsGraphicEnhancement& enhancement = m_enhancement;
    enhancement.UnMagnifyEmptyTransition();
    if (nodeAtPointer == nullptr && linkAtPointer == nullptr) {
        m_host.setStatusText({});
        m_statusNode = nullptr;
    } else if (nodeAtPointer != nullptr) {
        if (isState(*nodeAtPointer)) {
            m_host.setStatusText("State: " + nodeAtPointer->NodeTip());
            m_statusNode = nodeAtPointer;
        } else if (isTransition(*nodeAtPointer)) {
            m_host.setStatusText({});
            m_statusNode = nullptr;
            enhancement.MagnifyEmptyTransition(nodeAtPointer);
        } else {
            m_host.setStatusText({});
            m_statusNode = nullptr;
        }
    }
    const int shape = pointerShapeFor(pointerHit, m_pointerMode, m_pointerShape);
    if (shape != m_pointerShape) {
        m_pointerShape = shape;
        m_host.pointerChanged();
    }
}

void DocWindow::KeyMoveStart() {
    if (m_keyMove == nullptr && !m_doc.diagram().DiagramLocked()) {
        m_keyMove = std::make_unique<EditTransaction>(m_doc);
    }
}

void DocWindow::KeyMoveEnd() {
    m_keyMove.reset();
}

void DocWindow::MouseDown() {
    // A gesture whose mouse-up never came ends here.
    m_gesture.reset();
    m_gesture = std::make_unique<EditTransaction>(m_doc);
}

void DocWindow::MouseUp(const GestureEnd& gesture) {
    const std::unique_ptr<EditTransaction> edit =
        m_gesture ? std::move(m_gesture) : std::make_unique<EditTransaction>(m_doc);
    Diagram& d = m_doc.diagram();
    if (d.DiagramLocked()) {
        return;
    }
    m_enhancement.UnMagnifyEmptyTransition();
    if (m_pointerMode == POINTER_ZOOM) {
        m_pointerMode = POINTER_DRAW;
        m_pointerShape = SHAPE_DEFAULT;
        m_zoomWindowChecked = false;
        m_host.viewChanged();
    } else if (Node* node = d.CurrentNode()) {
        mouseUpOnNode(*node, gesture);
    } else if (Link* link = d.CurrentLink()) {
        mouseUpOnLink(*link, gesture);
    }
}

void DocWindow::mouseUpOnNode(Node& node, const GestureEnd& gesture) {
    Diagram& d = m_doc.diagram();
    clsGraphicEnhancement& enhancement = m_enhancement;
    if (!node.NodeConnectable()) {
        m_connectEnabled = false;
        m_host.viewChanged();
        clsGraphicEnhancement::LimitMinimSize(node);
        return;
    }
    m_connectEnabled = true;
    m_host.viewChanged();
    if (isTransition(node)) {
        enhancement.OrtogonalizeTransitions(node);
        enhancement.AdjustSize(node);
        clsGraphicEnhancement::LimitMinimSize(node);
        return;
    }
    if (!node.hasKind(NK_ANY_OWN)) {
        // Just drawn by the user: large enough, it becomes a new state.
        if (node.NodeWidth() > NEW_STATE_MINIMUM && node.NodeHeight() > NEW_STATE_MINIMUM) {
            StateRecord r;
            r.index = nextStateIndex(d);
            writeState(m_doc, r, NK_STATE, node);
            return;
        }
        // Only the drawn node goes, whatever else is selected.
        d.removeNode(&node);
        if (gesture.newItem) {
            d.SetDiagramChanged(gesture.changedBefore);
        }
        return;
    }
    if (gesture.gestureResult != GESTURE_NOTHING) {
        enhancement.AdjustSize(node);
        clsGraphicEnhancement::LimitMinimSize(node);
    }
}

void DocWindow::mouseUpOnLink(Link& link, const GestureEnd& gesture) {
    Diagram& d = m_doc.diagram();
    // A link keeps at most two bends.
    if (link.LinkPoints().size() >= 5) {
        link.removeLinkPoint(2);
    }
    Node* origin = link.LinkOrigin();
    Node* target = link.LinkTarget();
    auto dropLink = [&] {
        // Only this link goes, whatever else is selected.
        d.removeLink(&link);
        if (gesture.newItem) {
            d.SetDiagramChanged(gesture.changedBefore);
        }
    };
    if (!origin->NodeConnectable() || !target->NodeConnectable()) {
        dropLink();
        return;
    }
    if (isState(*origin) && isState(*target)) {
        const std::vector<PointF> drawn = link.LinkPoints();
        Node* transition = insertTransitionForNewLink(m_doc, link);
        if (transition != nullptr) {
            // A link drawn from a state back to itself passed a point outside
            // it: the loop goes there when that spot is free.
            std::optional<PointF> preferred;
            if (origin == target && drawn.size() >= 3) {
                preferred = drawn[1];
            }
            placeTransitionNode(d, *transition, preferred);
            // The state's other transitions took a priority mark and grew.
            arrangeTransitionLabels(d, transitionNodesAt(*origin));
        }
        return;
    }
    auto straighten = [&] {
        std::vector<PointF> points = link.LinkPoints();
        clsGraphicEnhancement::OrtogonalizeLinks(points);
        link.setLinkPoints(std::move(points));
    };
    if (isState(*target)) {
        if (!isTransition(*origin)) {
            return;
        }
        straighten();
        // A transition node keeps exactly one way out.
        if (origin->NodeOutLinks().size() >= 2) {
            keepOnlyThisOutLink(m_doc, link);
        }
        link.setLinkAccepted(true);
        return;
    }
    if (!isTransition(*target)) {
        return;
    }
    if (isTransition(*origin)) {
        dropLink();
        return;
    }
    if (!isState(*origin)) {
        return;
    }
    straighten();
    if (gesture.gestureResult == GESTURE_LINK_ENDS) {
        // The transition now leaves another state: it becomes that state's
        // last one, and keeps exactly one way in.
        link.setLinkArrowStyle(0);
        TransitionRecord r = TransitionRecord::read(*target);
        r.priority = std::to_string(MUST_BE_LAST_PRIORITY);
        r.mustBeLast = "N";
        r.continueImmediately = "N";
        writeTransition(m_doc, r, *target);
        keepOnlyThisInLink(m_doc, link);
    }
    link.setLinkAccepted(true);
}

void DocWindow::DoubleClick(Node* nodeAtPointer, Link* linkAtPointer) {
    m_gesture.reset();  // a gesture left open is over before anything else
    EditTransaction edit(m_doc);
    Diagram& d = m_doc.diagram();
    m_enhancement.UnMagnifyEmptyTransition();
    d.setCurrentNode(nullptr);
    d.setCurrentLink(nullptr);
    if (nodeAtPointer != nullptr) {
        d.setCurrentNode(nodeAtPointer);
    } else if (linkAtPointer != nullptr) {
        d.setCurrentLink(linkAtPointer);
    }
    const bool locked = d.DiagramLocked();
    if (nodeAtPointer == nullptr && linkAtPointer != nullptr && !locked) {
        // Back to a straight line between its two ends.
        while (linkAtPointer->LinkPoints().size() >= 3) {
            linkAtPointer->removeLinkPoint(1);
        }
    } else if (nodeAtPointer == nullptr) {
        m_host.editFsm();
    } else if (nodeAtPointer->NodeConnectable() && isTransition(*nodeAtPointer)) {
        m_host.editTransition(*nodeAtPointer);
    } else if (nodeAtPointer->NodeConnectable() && isState(*nodeAtPointer)) {
        m_host.editState(*nodeAtPointer);
    } else if (!nodeAtPointer->NodeConnectable() && !locked) {
        m_editedComment = nodeAtPointer;
        m_inputEnabled = false;
        m_host.viewChanged();
        m_host.beginCommentEdit(*nodeAtPointer);
    }
}

void DocWindow::endCommentEdit(bool textChanged, const std::string& text, const Font& font,
                               Color color) {
    Node* node = m_editedComment;
    m_editedComment = nullptr;
    m_inputEnabled = true;
    if (node != nullptr) {
        // The edit is a change like any other: it gets its own undo step.
        EditTransaction edit(m_doc);
        if (textChanged) {
            node->setNodeText(text);
        }
        node->setNodeFont(font);
        node->setNodeForeColor(color);
        node->setNodeDrawStyle(node->NodeText().empty() ? 0 : 5);
    }
    m_host.viewChanged();
}

// --------------------------------------------------------------- commands

void DocWindow::toggleSelectMode() {
    if (m_pointerMode == POINTER_SELECT) {
        m_pointerMode = POINTER_DRAW;
        m_pointerShape = SHAPE_DEFAULT;
    } else {
        m_pointerMode = POINTER_SELECT;
        m_pointerShape = SHAPE_CROSS;
    }
    m_zoomWindowChecked = false;
    m_host.viewChanged();
    m_host.refreshButtons();
}

void DocWindow::setZoomItem(int item) {
    if (item < 0 || item >= static_cast<int>(ZOOM_VALUES.size())) {
        return;
    }
    m_zoomWindowChecked = false;
    m_pointerMode = POINTER_DRAW;
    m_pointerShape = SHAPE_DEFAULT;
    const int zoom = ZOOM_VALUES[static_cast<std::size_t>(item)];
    m_doc.diagram().setZoom(zoom, zoom);
    m_host.viewChanged();
    m_host.refreshButtons();
    m_enhancement.AdjustAllNodeSizes(m_doc.diagram());
}

void DocWindow::zoomWindow() {
    m_pointerMode = POINTER_ZOOM;
    m_pointerShape = SHAPE_ZOOM;
    m_zoomWindowChecked = true;
    m_host.viewChanged();
    m_host.refreshButtons();
    m_enhancement.AdjustAllNodeSizes(m_doc.diagram());
}

void DocWindow::setGridSizeIndex(int index) {
    if (index < 0 || index >= GRID_SIZE_COUNT) {
        return;
    }
    const int size = (index + 1) * 60;
    m_doc.diagram().setGridSize(size, size);
    m_host.viewChanged();
}

void DocWindow::toggleAutosize() {
    EditTransaction edit(m_doc);
    m_doc.autosizeNodes = !m_doc.autosizeNodes;
    m_host.refreshButtons();
    Diagram& d = m_doc.diagram();
    if (m_doc.autosizeNodes) {
        m_enhancement.AdjustAllNodeSizes(d);
    }
    d.SetDiagramChanged(true);
}

void DocWindow::toggleLocked() {
    Diagram& d = m_doc.diagram();
    d.setDiagramLocked(!d.DiagramLocked());
    d.RefreshDiagram();
    m_host.viewChanged();
    m_host.refreshButtons();
}

void DocWindow::toggleHideComments() {
    m_doc.hideComments = !m_doc.hideComments;
    // The display texts follow the option at once.
    RefreshNodeRecords(m_doc);
    m_doc.diagram().SetDiagramChanged(true);
    m_host.viewChanged();
}

void DocWindow::toggleFixedPitch() {
    if (m_doc.diagram().DiagramLocked()) {
        return;
    }
    {
        EditTransaction edit(m_doc);
        m_doc.fixedPitchOnly = !m_doc.fixedPitchOnly;
        // Kept in the FSM properties record when the diagram is saved.
        m_doc.diagram().SetDiagramChanged(true);
    }
    m_host.viewChanged();
}

void DocWindow::toggleGridVisible() {
    Diagram& d = m_doc.diagram();
    d.setGridVisible(!d.GridVisible());
    m_host.viewChanged();
}

void DocWindow::toggleSnapToGrid() {
    Diagram& d = m_doc.diagram();
    d.setSnapToGrid(!d.SnapToGrid());
    m_host.viewChanged();
}

Node* DocWindow::insertRemark(std::optional<PointF> at) {
    if (m_doc.diagram().DiagramLocked()) {
        return nullptr;
    }
    EditTransaction edit(m_doc);
    Node* n = insertCommentNode(m_doc.diagram());
    if (at) {
        RectF r = n->rect();
        r.left = std::max(at->x - r.width / 2, 0.0f);
        r.top = std::max(at->y - r.height / 2, 0.0f);
        n->setRect(r);
    }
    return n;
}

Node* DocWindow::addStateAt(PointF at) {
    Diagram& d = m_doc.diagram();
    if (d.DiagramLocked()) {
        return nullptr;
    }
    EditTransaction edit(m_doc);
    Node* n =
        d.AddNode(std::max(at.x - NEW_STATE_WIDTH / 2, 0.0f),
                  std::max(at.y - NEW_STATE_HEIGHT / 2, 0.0f), NEW_STATE_WIDTH, NEW_STATE_HEIGHT);
    StateRecord r;
    r.index = nextStateIndex(d);
    writeState(m_doc, r, NK_STATE, *n);
    d.clearSelection();
    n->setNodeSelected(true);
    return n;
}

std::vector<Node*> DocWindow::duplicateSelection() {
    if (m_doc.diagram().DiagramLocked()) {
        return {};
    }
    m_enhancement.UnMagnifyEmptyTransition();
    EditTransaction edit(m_doc);
    return tarvel::duplicateSelection(m_doc);
}

void DocWindow::straightenLinks(Node& transition) {
    if (m_doc.diagram().DiagramLocked()) {
        return;
    }
    EditTransaction edit(m_doc);
    if (sourceState(transition) != nullptr && sourceState(transition) == targetState(transition)) {
        // Straight, the two links of a self loop would lie on one line.
        shapeSelfLoop(transition);
        return;
    }
    for (const auto* links : {&transition.NodeInLinks(), &transition.NodeOutLinks()}) {
        for (Link* l : *links) {
            while (l->LinkPoints().size() >= 3) {
                l->removeLinkPoint(1);
            }
        }
    }
}

void DocWindow::deleteSelection() {
    if (m_doc.diagram().DiagramLocked()) {
        return;
    }
    m_enhancement.UnMagnifyEmptyTransition();
    EditTransaction edit(m_doc);
    deleteSelectionAndRepair(m_doc);
}

int DocWindow::arrangeLabels() {
    if (m_doc.diagram().DiagramLocked()) {
        return 0;
    }
    m_enhancement.UnMagnifyEmptyTransition();
    EditTransaction edit(m_doc);
    return arrangeTransitionLabels(m_doc.diagram());
}

void DocWindow::selectAll() {
    if (!m_doc.diagram().DiagramLocked()) {
        m_doc.diagram().SelectAllItems();
    }
}

void DocWindow::undo() {
    // A node enlarged under the pointer goes back first: the snapshot that
    // is loaded knows it at its normal size.
    m_gesture.reset();
    m_keyMove.reset();
    m_enhancement.UnMagnifyEmptyTransition();
    m_undo.Undo();
    m_host.viewChanged();
}

void DocWindow::redo() {
    m_gesture.reset();
    m_keyMove.reset();
    m_enhancement.UnMagnifyEmptyTransition();
    m_undo.Redo();
    m_host.viewChanged();
}

void DocWindow::storeChanges() {
    Diagram& d = m_doc.diagram();
    if (!d.DiagramChanged()) {
        return;
    }
    m_undo.StoreGraphChanges();
    // The snapshot holds everything; refreshing the FSM record while taking
    // it is not a change of its own.
    d.SetDiagramChanged(false);
}

bool DocWindow::parentLookup() {
    const std::string parent = parentDiagramOf(m_doc.sFullDocname);
    m_doc.parentPath = parent;
    return !parent.empty();
}

ButtonState DocWindow::buttonState(std::vector<std::string>* children) {
    ButtonState s;
    s.selectMode = selectModeChecked();
    s.autosize = m_doc.autosizeNodes;
    s.locked = m_doc.diagram().DiagramLocked();
    s.hasParent = !m_doc.parentPath.empty();
    clsParientes hierarchy(m_doc.sFullDocname);
    s.hasChildren = hierarchy.BuscaTodosEnlaces(m_doc.diagram());
    if (children != nullptr) {
        *children = hierarchy.children();
    }
    s.canUndo = m_undo.CanUndo();
    s.canRedo = m_undo.CanRedo();
    return s;
}

}  // namespace tarvel
