#include "editor/docwindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "../support/builders.h"
#include "../support/fakeui.h"
#include "../support/tempdir.h"
#include "base/logs.h"
#include "editor/duplicate.h"
#include "editor/graphicenhancement.h"
#include "editor/hittest.h"
#include "editor/undoredo.h"
#include "model/text.h"

namespace tarvel {
namespace {

using test::addState;
using test::addTransition;

// Records what the rules ask of the window.
struct FakeHost : DocWindowHost {
    std::vector<std::string> calls;
    std::string status = "untouched";
    void setStatusText(const std::string& s) override { status = s; }
    void editFsm() override { calls.push_back("fsm"); }
    void editState(Node& n) override {
        calls.push_back("state " + std::string(readField(n.NodeData(), 0)));
    }
    void editTransition(Node&) override { calls.push_back("transition"); }
    void beginCommentEdit(Node&) override { calls.push_back("comment"); }
};

UndoEnvironment undoIn(const test::TempDir& dir) {
    UndoEnvironment env;
    env.undoFolder = PrivateFolder::open(dir / "undo");
    return env;
}

// A document with its window rules and an undo history in a temporary folder.
class DocWindowTest : public ::testing::Test {
protected:
    DocWindowTest() {
        SetRunLogPath(dir / "run.log");
        doc.sFullDocname = dir / "machine.fsm";
        window.undRed().Init();
        window.undRed().ClearGraphChanges();  // a new document is unchanged
    }
    ~DocWindowTest() override { SetRunLogPath(""); }

    Diagram& d() { return doc.diagram(); }

    // A node as the canvas leaves it after the user drew it: selected, current.
    Node* drawNode(float w, float h) {
        window.MouseDown();
        changedBefore = d().DiagramChanged();
        Node* n = d().AddNode(2000, 2000, w, h);
        d().clearSelection();
        n->setNodeSelected(true);
        d().setCurrentNode(n);
        return n;
    }
    Link* drawLink(Node* from, Node* to) {
        window.MouseDown();
        changedBefore = d().DiagramChanged();
        Link* l = d().AddLink(from, to);
        d().clearSelection();
        l->setLinkSelected(true);
        d().setCurrentNode(nullptr);
        d().setCurrentLink(l);
        return l;
    }
    void mouseUp(int result, bool newItem = true) {
        window.MouseUp({result, newItem, changedBefore});
    }

    test::TempDir dir;
    Document doc;
    FakeHost host;
    DocWindow window{doc, host, undoIn(dir)};
    bool changedBefore = false;
};

TEST_F(DocWindowTest, DrawnNodeBecomesAStateOnlyWhenLargerThan500BothWays) {
    struct Case {
        float w, h;
        bool becomesState;
    };
    for (const Case c : {Case{500, 501, false}, Case{501, 500, false}, Case{501, 501, true},
                         Case{40, 30, false}}) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const std::size_t before = d().nodeCount();
        Node* n = drawNode(c.w, c.h);
        mouseUp(GESTURE_NODE_DRAWN);
        if (!c.becomesState) {
            EXPECT_EQ(d().nodeCount(), before);
            continue;
        }
        ASSERT_EQ(d().nodeCount(), before + 1);
        EXPECT_EQ(n->NodeKind(), NK_STATE);
        EXPECT_EQ(readField(n->NodeData(), SF_NAME), "STATE_1");
        EXPECT_EQ(readField(n->NodeData(), SF_INDEX), "1");
        EXPECT_EQ(readField(n->NodeData(), SF_ISIN), "N");
    }
}

TEST_F(DocWindowTest, ATooSmallNodeLeavesNoChangeAndNoUndoStep) {
    drawNode(300, 300);
    mouseUp(GESTURE_NODE_DRAWN);
    EXPECT_FALSE(window.undRed().GraphHasChanged());
    EXPECT_FALSE(window.undRed().CanUndo());
}

TEST_F(DocWindowTest, LinkBetweenStatesBecomesATransitionNode) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 4000, 1000);
    drawLink(a, b);
    mouseUp(GESTURE_LINK_ENDS);
    ASSERT_EQ(a->NodeOutLinks().size(), 1u);
    Node* t = a->NodeOutLinks()[0]->LinkTarget();
    EXPECT_TRUE(isTransition(*t));
    EXPECT_EQ(targetState(*t), b);
    EXPECT_EQ(d().Links().size(), 2u);
    EXPECT_TRUE(window.undRed().CanUndo());
}

TEST_F(DocWindowTest, LinksThatCannotCarryATransitionDisappear) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 4000, 1000);
    Node* t1 = addTransition(doc, a, b);
    Node* t2 = addTransition(doc, b, a);
    Node* c1 = insertCommentNode(d());
    Node* c2 = insertCommentNode(d());
    window.undRed().StoreGraphChanges();
    struct Case {
        const char* what;
        Node* from;
        Node* to;
    };
    for (const Case c :
         {Case{"comment to comment", c1, c2}, Case{"comment to state", c1, a},
          Case{"state to comment", a, c2}, Case{"transition to transition", t1, t2}}) {
        SCOPED_TRACE(c.what);
        const std::size_t links = d().Links().size();
        drawLink(c.from, c.to);
        mouseUp(GESTURE_LINK_ENDS);
        EXPECT_EQ(d().Links().size(), links);
        EXPECT_FALSE(d().DiagramChanged());
    }
    EXPECT_EQ(t1->NodeInLinks().size(), 1u);
    EXPECT_EQ(t1->NodeOutLinks().size(), 1u);
}

TEST_F(DocWindowTest, ASecondWayOutOfATransitionReplacesTheFirst) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 4000, 1000);
    Node* c = addState(doc, "C", NK_STATE, 4000, 4000);
    Node* t = addTransition(doc, a, b);
    Link* drawn = drawLink(t, c);
    mouseUp(GESTURE_LINK_ENDS);
    ASSERT_EQ(t->NodeOutLinks().size(), 1u);
    EXPECT_EQ(t->NodeOutLinks()[0], drawn);
    EXPECT_EQ(targetState(*t), c);
    EXPECT_TRUE(drawn->LinkAccepted());
    EXPECT_EQ(drawn->LinkArrowStyle(), 3);  // the looks of a transition's way out
}

TEST_F(DocWindowTest, ALinkFromAnotherStateMovesTheTransitionThereAsItsLast) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 4000, 1000);
    Node* c = addState(doc, "C", NK_STATE, 1000, 4000);
    Node* moved = addTransition(doc, a, b);
    Node* first = addTransition(doc, c, b);
    Node* second = addTransition(doc, c, a);
    Link* drawn = drawLink(c, moved);
    mouseUp(GESTURE_LINK_ENDS);
    ASSERT_EQ(moved->NodeInLinks().size(), 1u);
    EXPECT_EQ(moved->NodeInLinks()[0], drawn);
    EXPECT_EQ(sourceState(*moved), c);
    EXPECT_EQ(drawn->LinkArrowStyle(), 0);
    EXPECT_TRUE(a->NodeOutLinks().empty());
    EXPECT_EQ(readField(first->NodeData(), TF_PRIORITY), "1");
    EXPECT_EQ(readField(second->NodeData(), TF_PRIORITY), "2");
    EXPECT_EQ(readField(moved->NodeData(), TF_PRIORITY), "3");
}

TEST_F(DocWindowTest, ALinkKeepsAtMostTwoBends) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 6000, 1000);
    Node* t = addTransition(doc, a, b);
    Link* out = t->NodeOutLinks()[0];
    std::vector<PointF> pts = out->LinkPoints();
    pts.insert(pts.begin() + 1, {{3000, 3000}, {4000, 3000}, {5000, 3000}});
    out->setLinkPoints(pts);
    d().setCurrentNode(nullptr);
    d().setCurrentLink(out);
    mouseUp(GESTURE_LINK_POINTS, false);
    EXPECT_EQ(out->LinkPoints().size(), 4u);
    EXPECT_EQ(out->LinkPoints()[2], (PointF{5000, 3000}));
}

TEST_F(DocWindowTest, CommentAndTransitionNodesAfterAGesture) {
    Node* c = insertCommentNode(d());
    c->setRect({0, 0, 50, 40});
    d().setCurrentNode(c);
    mouseUp(GESTURE_RESIZED, false);
    EXPECT_FALSE(window.ConnectEnabled());
    EXPECT_EQ(c->NodeWidth(), 150);  // never below the minimum size
    EXPECT_EQ(c->NodeHeight(), 100);

    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 6000, 1000);
    Node* t = addTransition(doc, a, b);
    t->setNodeTop(t->NodeTop() + 90);  // moved close to the line of its states
    d().setCurrentNode(t);
    mouseUp(GESTURE_MOVED, false);
    EXPECT_TRUE(window.ConnectEnabled());
    EXPECT_FLOAT_EQ(t->centre().y, a->centre().y);
}

TEST_F(DocWindowTest, ZoomRectangleEndsAtTheNextMouseUp) {
    window.zoomWindow();
    EXPECT_EQ(window.PointerMode(), POINTER_ZOOM);
    EXPECT_EQ(window.PointerShape(), SHAPE_ZOOM);
    EXPECT_EQ(window.zoomItem(), -1);
    d().setZoom(173, 173);
    mouseUp(GESTURE_NOTHING, false);
    EXPECT_EQ(window.PointerMode(), POINTER_DRAW);
    EXPECT_EQ(window.PointerShape(), SHAPE_DEFAULT);
    EXPECT_FALSE(window.zoomWindowChecked());
    EXPECT_EQ(window.zoomItem(), -1);
}

TEST_F(DocWindowTest, LockedDiagramIgnoresGesturesButOpensDialogs) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 4000, 1000);
    Node* t = addTransition(doc, a, b);
    Node* comment = insertCommentNode(d());
    d().setDiagramLocked(true);
    Node* drawn = drawNode(900, 900);
    mouseUp(GESTURE_NODE_DRAWN);
    EXPECT_EQ(drawn->NodeKind(), 0u);  // not taken over

    window.DoubleClick(comment, nullptr);
    window.DoubleClick(a, nullptr);
    window.DoubleClick(t, nullptr);
    window.DoubleClick(nullptr, t->NodeOutLinks()[0]);  // a link while locked: the FSM
    EXPECT_EQ(host.calls, (std::vector<std::string>{"state A", "transition", "fsm"}));
    EXPECT_EQ(window.editedComment(), nullptr);
}

TEST_F(DocWindowTest, DoubleClickOpensTheDialogOfWhatIsUnderThePointer) {
    Node* a = addState(doc, "A");
    Node* comment = insertCommentNode(d());
    window.DoubleClick(nullptr, nullptr);
    window.DoubleClick(a, nullptr);
    EXPECT_EQ(d().CurrentNode(), a);
    window.DoubleClick(comment, nullptr);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"fsm", "state A", "comment"}));
    EXPECT_EQ(window.editedComment(), comment);
    EXPECT_FALSE(window.DiagramInputEnabled());

    window.endCommentEdit(true, "note\r\nline two", Font{"Serif", 12}, rgb(1, 2, 3));
    EXPECT_EQ(comment->NodeText(), "note\r\nline two");
    EXPECT_EQ(comment->NodeDrawStyle(), 5);
    EXPECT_EQ(comment->NodeFont().name, "Serif");
    EXPECT_EQ(comment->NodeForeColor(), rgb(1, 2, 3));
    EXPECT_TRUE(window.DiagramInputEnabled());
    EXPECT_FALSE(d().DiagramChanged());  // taken into an undo step

    window.DoubleClick(comment, nullptr);
    window.endCommentEdit(true, "", Font{"Serif", 12}, rgb(1, 2, 3));
    EXPECT_EQ(comment->NodeDrawStyle(), 0);
}

TEST_F(DocWindowTest, DoubleClickOnALinkStraightensIt) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 6000, 1000);
    Node* t = addTransition(doc, a, b);
    Link* out = t->NodeOutLinks()[0];
    const auto ends = out->LinkPoints();
    out->setLinkPoints({ends.front(), {1, 1}, {2, 2}, {3, 3}, ends.back()});
    window.DoubleClick(nullptr, out);
    EXPECT_EQ(out->LinkPoints(), ends);
    EXPECT_EQ(d().CurrentLink(), out);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(DocWindowTest, EditedCommentIsForgottenWhenItGoes) {
    Node* comment = insertCommentNode(d());
    window.DoubleClick(comment, nullptr);
    d().removeNode(comment);
    EXPECT_EQ(window.editedComment(), nullptr);
    window.endCommentEdit(true, "x", Font{}, 0);  // nothing left to write to
    EXPECT_EQ(d().nodeCount(), 0u);
}

TEST_F(DocWindowTest, MouseMoveStatusMagnifierAndPointerShape) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 6000, 1000);
    Node* t = addTransition(doc, a, b);
    window.undRed().StoreGraphChanges();
    const RectF normal = t->rect();

    window.MouseMove(false, a, nullptr, HIT_NONE);
    EXPECT_EQ(host.status, "State: " + a->NodeTip());
    window.MouseMove(false, t, nullptr, HIT_NONE);
    EXPECT_EQ(host.status, "");
    EXPECT_EQ(t->NodeWidth(), clsGraphicEnhancement::MAGNIFIED_WIDTH);
    host.status = "kept";
    window.MouseMove(false, nullptr, t->NodeOutLinks()[0], HIT_NONE);
    EXPECT_EQ(host.status, "kept");  // a link leaves the panel as it was
    EXPECT_EQ(t->rect(), normal);
    window.MouseMove(true, nullptr, nullptr, HIT_NONE);
    EXPECT_EQ(host.status, "kept");      // nothing while the button is down
    EXPECT_FALSE(d().DiagramChanged());  // magnifying is no change
}

TEST_F(DocWindowTest, TheStatusPanelForgetsAStateThatGoes) {
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B", NK_STATE, 6000, 1000);
    window.MouseMove(false, a, nullptr, HIT_NONE);
    d().removeNode(b);
    EXPECT_EQ(host.status, "State: " + a->NodeTip());  // another state went
    d().removeNode(a);
    EXPECT_EQ(host.status, "");
    window.MouseMove(false, addState(doc, "C"), nullptr, HIT_NONE);
    d().clear();  // undo and redo load the diagram anew
    EXPECT_EQ(host.status, "");
}

TEST(ZoomStep, StepsFromAndBetweenTheSteps) {
    struct Case {
        int zoom, steps, expected;
    };
    const Case cases[] = {
        {100, 1, 125}, {100, -1, 75},   {100, 2, 150},
        {100, 0, 100}, {110, 1, 125},   {110, -1, 100},  // between two steps: the next one that way
        {10, -1, 10},  {800, 1, 800},                    // the ends hold
        {5, 1, 10},    {1000, -1, 800},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zoomStep(c.zoom, c.steps), c.expected) << c.zoom << " by " << c.steps;
    }
}

TEST(FreshStateName, TakesTheFirstFreeNumber) {
    Document doc;
    addState(doc, "IDLE");
    addState(doc, "idle_2");
    addState(doc, "RUN_7");
    struct Case {
        const char* name;
        std::set<std::string> taken;
        const char* expected;
    };
    const Case cases[] = {
        {"IDLE", {}, "IDLE_3"},         // names compare ignoring case
        {"RUN_7", {}, "RUN_2"},         // a number it ends in is replaced
        {"RUN_7", {"RUN_2"}, "RUN_3"},  // names given to copies made just before
        {"STOP", {}, "STOP_2"},        {"A_B", {}, "A_B_2"},  // only a trailing number goes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(freshStateName(doc.diagram(), c.name, c.taken), c.expected) << c.name;
    }
}

TEST(PointerShape, FollowsTheHitThenTheMode) {
    struct Case {
        int hit, mode, current, shape;
    };
    const Case cases[] = {
        {0, POINTER_DRAW, 5, 8},   {1, POINTER_DRAW, 5, 7},  {2, POINTER_SELECT, 5, 6},
        {3, POINTER_DRAW, 5, 9},   {5, POINTER_DRAW, 5, 10}, {4, POINTER_DRAW, 5, 0},
        {4, POINTER_SELECT, 5, 2}, {4, POINTER_ZOOM, 5, 99}, {4, 2, 5, 5},
        {7, POINTER_SELECT, 5, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pointerShapeFor(c.hit, c.mode, c.current), c.shape) << c.hit << "/" << c.mode;
    }
}

TEST_F(DocWindowTest, ViewCommands) {
    window.toggleSelectMode();
    EXPECT_EQ(window.PointerMode(), POINTER_SELECT);
    EXPECT_EQ(window.PointerShape(), SHAPE_CROSS);
    window.zoomWindow();
    window.toggleSelectMode();  // leaves zoom mode too
    EXPECT_FALSE(window.zoomWindowChecked());
    window.setZoomItem(5);
    EXPECT_EQ(window.PointerMode(), POINTER_DRAW);
    EXPECT_EQ(d().ZoomX(), 0);  // fit in window
    EXPECT_EQ(d().ZoomY(), 0);
    EXPECT_EQ(window.zoomItem(), 5);
    window.setZoomItem(0);
    EXPECT_EQ(d().ZoomX(), 150);

    window.setGridSizeIndex(0);
    EXPECT_EQ(d().GridSizeX(), 60);
    window.setGridSizeIndex(5);
    EXPECT_EQ(d().GridSizeY(), 360);
    EXPECT_EQ(window.gridSizeIndex(), 5);
    d().setGridSize(100, 100);
    EXPECT_EQ(window.gridSizeIndex(), -1);
    EXPECT_FALSE(d().DiagramChanged());  // none of these is a change
}

TEST_F(DocWindowTest, AutosizeAndHideCommentsAreChangesOfTheDiagram) {
    Node* a = addState(doc, "A");
    test::setState(doc, a, [](StateRecord& r) { r.moore = "// note\r\nrun();"; });
    window.undRed().StoreGraphChanges();
    window.toggleHideComments();
    EXPECT_TRUE(doc.hideComments);
    EXPECT_EQ(a->NodeText().find("// note"), std::string::npos);
    EXPECT_TRUE(d().DiagramChanged());

    window.toggleAutosize();
    EXPECT_FALSE(doc.autosizeNodes);
    EXPECT_TRUE(window.undRed().GraphHasChanged());
    EXPECT_FALSE(d().DiagramChanged());  // stored as an undo step
}

TEST_F(DocWindowTest, LockedDiagramRefusesEditingCommands) {
    Node* a = addState(doc, "A");
    a->setNodeSelected(true);
    window.toggleLocked();
    EXPECT_TRUE(d().DiagramLocked());
    window.deleteSelection();
    EXPECT_EQ(window.insertRemark(), nullptr);
    window.toggleFixedPitch();
    EXPECT_TRUE(doc.fixedPitchOnly);
    EXPECT_EQ(d().nodeCount(), 1u);
    window.toggleLocked();
    window.deleteSelection();
    EXPECT_EQ(d().nodeCount(), 0u);
    Node* remark = window.insertRemark();
    ASSERT_NE(remark, nullptr);
    EXPECT_EQ(remark->rect(), (RectF{10, 10, 500, 500}));
    EXPECT_EQ(remark->NodeKind(), NK_COMMENT);
    EXPECT_FALSE(remark->NodeConnectable());
    EXPECT_EQ(remark->NodeShapeStyle(), 1);
    EXPECT_FALSE(remark->NodeSelected());
}

// Undo everything step by step: back at the opened diagram it counts as unchanged.
TEST_F(DocWindowTest, UndoAndRedoThroughTheWindow) {
    Node* n = drawNode(900, 900);  // step 1: a state
    mouseUp(GESTURE_NODE_DRAWN);
    ASSERT_EQ(n->NodeKind(), NK_STATE);
    window.insertRemark();  // step 2: a comment
    EXPECT_EQ(d().nodeCount(), 2u);

    window.undo();  // the comment goes
    EXPECT_EQ(d().nodeCount(), 1u);
    EXPECT_TRUE(window.undRed().GraphHasChanged());
    window.undo();  // the state goes: as opened
    EXPECT_EQ(d().nodeCount(), 0u);
    EXPECT_FALSE(window.undRed().GraphHasChanged());
    EXPECT_FALSE(window.undRed().CanUndo());

    window.redo();
    window.redo();
    EXPECT_EQ(d().nodeCount(), 2u);
    EXPECT_FALSE(window.undRed().CanRedo());
}

TEST_F(DocWindowTest, ButtonCacheUpdatesOnlyWhatChanged) {
    ButtonCache cache;
    ButtonState s = window.buttonState();
    EXPECT_TRUE(cache.update(s, false).any());  // first time: everything
    EXPECT_FALSE(cache.update(s, false).any());
    s.locked = true;
    const ButtonUpdate u = cache.update(s, false);
    EXPECT_TRUE(u.locked);
    EXPECT_FALSE(u.canUndo || u.selectMode || u.autosize);
    EXPECT_TRUE(cache.update(s, true).canRedo);  // forced
}

TEST_F(DocWindowTest, ParentAndChildren) {
    EXPECT_FALSE(window.parentLookup());
    // machine.fsm lives in the folder "dir"; a diagram dir + ".fsm" is its parent.
    std::filesystem::create_directories(dir / "machine");
    std::ofstream(dir.path() + ".fsm") << "x";
    EXPECT_TRUE(window.parentLookup());
    EXPECT_EQ(doc.parentPath, dir.path() + ".fsm");
    std::filesystem::remove(dir.path() + ".fsm");
    EXPECT_FALSE(window.parentLookup());
    EXPECT_EQ(doc.parentPath, "");
    EXPECT_EQ(parentDiagramOf("/top.fsm"), "");

    Node* a = addState(doc, "A");
    test::setState(doc, a, [](StateRecord& r) { r.moore = "SUB();"; });
    EXPECT_FALSE(window.buttonState().hasChildren);
    dir.write("machine/SUB.fsm", "x");
    std::vector<std::string> children;
    EXPECT_TRUE(window.buttonState(&children).hasChildren);
    EXPECT_EQ(children, (std::vector<std::string>{"\\SUB.fsm"}));
}

TEST_F(DocWindowTest, ChildFolderIsMadeOnlyWhenTheUserAgrees) {
    test::FakeUi ui;
    ui.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(prepareChildFolder(doc, ui), "");
    EXPECT_EQ(ui.questions.at(0),
              "Attention a chid dir must be created|path:\"" + (dir / "machine") + "\"");
    EXPECT_EQ(prepareChildFolder(doc, ui), dir / "machine");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "machine"));
    EXPECT_EQ(prepareChildFolder(doc, ui), dir / "machine");  // exists: no question
    EXPECT_EQ(ui.questions.size(), 2u);
}

}  // namespace
}  // namespace tarvel
