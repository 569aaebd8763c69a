// Transition nodes go where the drawing reads: drawn transitions land on a
// free spot near the middle, transitions between the same two states take
// separate lines, self loops sit beside their state and move with it, and
// "Arrange Transition Labels" moves only what covers something. The bundled
// examples and a machine drawn here read cleanly.
#include "editor/transitionlayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

#include "../support/builders.h"
#include "../support/fakeui.h"
#include "../support/tempdir.h"
#include "base/logs.h"
#include "editor/docwindow.h"
#include "editor/undoredo.h"
#include "export/diagrampainter.h"
#include "shell/workspace.h"

namespace tarvel {
namespace {

struct QuietHost : DocWindowHost {};

float distance(PointF a, PointF b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

std::string describe(const Diagram& d) {
    std::string out;
    for (const auto& n : d.NodeList()) {
        if (n->NodeLeft() < 0 || n->NodeTop() < 0) {
            out += "node outside the canvas: [" + n->NodeText().substr(0, 20) + "]\n";
        }
    }
    for (const auto& [a, b] : overlappingNodes(d)) {
        out += "nodes overlap: [" + a->NodeText().substr(0, 20) + "] [" +
               b->NodeText().substr(0, 20) + "]\n";
    }
    for (const auto& [a, b] : linksOnOneLine(d)) {
        out += "links on one line: " + a->LinkOrigin()->NodeText().substr(0, 12) + "->" +
               a->LinkTarget()->NodeText().substr(0, 12) + " and " +
               b->LinkOrigin()->NodeText().substr(0, 12) + "->" +
               b->LinkTarget()->NodeText().substr(0, 12) + "\n";
    }
    for (const auto& n : d.NodeList()) {
        if (isTransition(*n) && coversSomething(d, *n)) {
            out += "transition covers something: [" + n->NodeText() + "]\n";
        }
    }
    return out;
}

// A document drawn through the window's rules, as the canvas reports gestures.
class LayoutTest : public ::testing::Test {
protected:
    LayoutTest() {
        SetRunLogPath(dir / "run.log");
        doc.sFullDocname = dir / "machine.fsm";
        window.undRed().Init();
    }
    ~LayoutTest() override { SetRunLogPath(""); }

    Diagram& d() { return doc.diagram(); }

    Node* state(const std::string& name, float x, float y) {
        return test::addState(doc, name, NK_STATE, x, y);
    }

    // The user draws a link from one state to another (through a point away
    // from the state, for a link back to it) and lets go.
    Node* draw(Node* from, Node* to, std::optional<PointF> through = std::nullopt) {
        window.MouseDown();
        const bool before = d().DiagramChanged();
        Link* l = d().AddLink(from, to);
        if (through) {
            l->setLinkPoints({from->centre(), *through, to->centre()});
        }
        d().clearSelection();
        l->setLinkSelected(true);
        d().setCurrentNode(nullptr);
        d().setCurrentLink(l);
        window.MouseUp({GESTURE_LINK_ENDS, true, before});
        return from->NodeOutLinks().back()->LinkTarget();
    }

    static UndoEnvironment undoIn(const test::TempDir& dir) {
        UndoEnvironment env;
        env.undoFolder = PrivateFolder::open(dir / "undo");
        return env;
    }

    test::TempDir dir;
    Document doc;
    QuietHost host;
    DocWindow window{doc, host, undoIn(dir)};
};

TEST_F(LayoutTest, ADrawnTransitionTakesTheFirstFreeSpotNearTheMiddle) {
    Node* a = state("A", 600, 600);
    Node* b = state("B", 6600, 600);
    const PointF middle{(a->centre().x + b->centre().x) / 2, a->centre().y};
    // Free middle: the node sits there, on the straight line.
    Node* t = draw(a, b);
    EXPECT_LT(distance(t->centre(), middle), 100);

    // A comment standing in the middle between two other states: the next
    // transition goes beside it, still near the middle.
    Node* c = state("C", 600, 4200);
    Node* e = state("E", 6600, 4200);
    Node* note = insertCommentNode(d());
    note->setRect({3000, 4000, 1200, 900});
    Node* u = draw(c, e);
    const PointF middle2{(c->centre().x + e->centre().x) / 2, c->centre().y};
    EXPECT_LT(distance(u->centre(), middle2), 1800);
    EXPECT_EQ(describe(d()), "");
}

TEST_F(LayoutTest, TransitionsBetweenTheSameStatesTakeSeparateLines) {
    Node* a = state("A", 600, 600);
    Node* b = state("B", 6600, 600);
    Node* there = draw(a, b);
    const float line = a->centre().y;
    EXPECT_NEAR(there->centre().y, line, 1);
    Node* back = draw(b, a);
    Node* again = draw(a, b);
    EXPECT_EQ(describe(d()), "");
    EXPECT_GT(distance(there->centre(), back->centre()), 200);
    EXPECT_GT(distance(there->centre(), again->centre()), 200);
    EXPECT_GT(distance(back->centre(), again->centre()), 200);
}

TEST_F(LayoutTest, ASelfLoopSitsBesideItsStateAndMovesWithIt) {
    Node* a = state("A", 3000, 3000);
    Node* b = state("B", 8000, 3000);
    draw(a, b);
    Node* loop = draw(a, a, PointF{a->centre().x, a->NodeTop() - 900});
    EXPECT_EQ(sourceState(*loop), a);
    EXPECT_EQ(targetState(*loop), a);
    EXPECT_LT(loop->centre().y, a->NodeTop());  // above, where the user went
    for (const Link* l : {loop->NodeInLinks().front(), loop->NodeOutLinks().front()}) {
        EXPECT_EQ(l->LinkPoints().size(), 3u);  // a bend each: a loop, not one line
    }
    EXPECT_EQ(describe(d()), "");

    // Moving the state takes the loop with it; the transition to B stays.
    d().clearSelection();
    a->setNodeSelected(true);
    const std::vector<Node*> moving = nodesMovingWithSelection(d());
    EXPECT_EQ(moving, (std::vector<Node*>{a, loop}));
}

TEST_F(LayoutTest, MovingTwoStatesTakesTheTransitionsBetweenThem) {
    Node* a = state("A", 600, 600);
    Node* b = state("B", 5000, 600);
    Node* c = state("C", 5000, 5000);
    Node* ab = draw(a, b);
    Node* bc = draw(b, c);
    d().clearSelection();
    a->setNodeSelected(true);
    b->setNodeSelected(true);
    const std::vector<Node*> moving = nodesMovingWithSelection(d());
    EXPECT_NE(std::find(moving.begin(), moving.end(), ab), moving.end());
    EXPECT_EQ(std::find(moving.begin(), moving.end(), bc), moving.end());
}

TEST_F(LayoutTest, ArrangeMovesOnlyTheTransitionNodesThatCoverSomething) {
    Node* a = state("A", 600, 600);
    Node* b = state("B", 6600, 600);
    Node* c = state("C", 3600, 4000);
    Node* covering = draw(a, b);
    Node* clean = draw(b, c);
    // Dragged by hand onto C.
    RectF onC = covering->rect();
    onC.left = c->NodeLeft();
    onC.top = c->NodeTop();
    covering->setRect(onC);
    ASSERT_TRUE(coversSomething(d(), *covering));
    ASSERT_FALSE(coversSomething(d(), *clean));

    std::map<const Node*, RectF> before;
    for (const auto& n : d().NodeList()) {
        before[n.get()] = n->rect();
    }
    EXPECT_EQ(arrangeTransitionLabels(d()), 1);
    EXPECT_FALSE(coversSomething(d(), *covering));
    for (const auto& n : d().NodeList()) {
        if (n.get() != covering) {
            EXPECT_EQ(n->rect(), before[n.get()]);
        }
    }
    EXPECT_EQ(arrangeTransitionLabels(d()), 0);  // nothing left to move
}

TEST_F(LayoutTest, ArrangeIsOneUndoStepThroughTheWindow) {
    Node* a = state("A", 600, 600);
    Node* b = state("B", 6600, 600);
    Node* t = draw(a, b);
    window.storeChanges();
    t->setRect({a->NodeLeft(), a->NodeTop(), t->NodeWidth(), t->NodeHeight()});
    window.storeChanges();
    const RectF covered = t->rect();
    EXPECT_EQ(window.arrangeLabels(), 1);
    EXPECT_FALSE(coversSomething(d(), *d().NodeList()[2]));
    window.undo();
    EXPECT_EQ(d().NodeList()[2]->rect(), covered);

    d().setDiagramLocked(true);
    EXPECT_EQ(window.arrangeLabels(), 0);  // the lock refuses it
}

TEST_F(LayoutTest, AMachineDrawnHereReadsCleanly) {
    // A ring of six states with transitions both ways round, two across the
    // middle, and a self loop.
    std::vector<Node*> s;
    const float xs[] = {600, 5600, 10600, 10600, 5600, 600};
    const float ys[] = {600, 600, 600, 5600, 5600, 5600};
    for (int i = 0; i < 6; ++i) {
        s.push_back(state("S" + std::to_string(i), xs[i], ys[i]));
    }
    for (int i = 0; i < 6; ++i) {
        draw(s[static_cast<std::size_t>(i)], s[static_cast<std::size_t>((i + 1) % 6)]);
    }
    for (int i = 0; i < 6; ++i) {
        draw(s[static_cast<std::size_t>((i + 1) % 6)], s[static_cast<std::size_t>(i)]);
    }
    draw(s[0], s[3]);
    draw(s[1], s[4]);
    draw(s[2], s[2], PointF{s[2]->NodeLeft() + 2000, s[2]->NodeTop() - 500});
    EXPECT_EQ(describe(d()), "");
}

TEST(LayoutChecks, FindOverlappingNodesAndLinksOnOneLine) {
    Document doc;
    Diagram& d = doc.diagram();
    Node* a = test::addState(doc, "A", NK_STATE, 600, 600);
    Node* b = test::addState(doc, "B", NK_STATE, 6000, 600);
    test::addTransition(doc, a, b);  // in the middle of the line: reads well
    EXPECT_TRUE(overlappingNodes(d).empty());
    EXPECT_TRUE(linksOnOneLine(d).empty());

    // The way back dropped onto the same line, as before placement existed.
    test::addTransition(doc, b, a);
    EXPECT_EQ(overlappingNodes(d).size(), 1u);  // the two transition nodes
    EXPECT_FALSE(linksOnOneLine(d).empty());

    // Touching edges are no overlap.
    Document other;
    other.diagram().AddNode(0, 0, 1000, 1000);
    other.diagram().AddNode(1000, 0, 1000, 1000);
    EXPECT_TRUE(overlappingNodes(other.diagram()).empty());
}

TEST(BundledExamples, ReadWithoutOverlapsAtEveryNode) {
    test::TempDir dir;
    SetRunLogPath(dir / "run.log");
    std::vector<std::string> examples;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TARVEL_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".fsm") {
            examples.push_back(entry.path().string());
        }
    }
    ASSERT_GE(examples.size(), 2u);
    for (const std::string& path : examples) {
        SCOPED_TRACE(path);
        test::FakeUi ui;
        WorkspaceSettings settings;
        Workspace ws(ui, settings);
        ASSERT_TRUE(ws.FileOpen(path));
        const Diagram& d = ws.active()->diagram();
        EXPECT_EQ(describe(d), "");
    }
    SetRunLogPath("");
}

}  // namespace
}  // namespace tarvel
