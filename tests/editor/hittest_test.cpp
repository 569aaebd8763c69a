#include "editor/hittest.h"

#include <gtest/gtest.h>

#include "export/diagrampainter.h"
#include "model/nodekind.h"

namespace tarvel {
namespace {

TEST(HitTest, TopmostDrawnNodeUnderThePoint) {
    Diagram d;
    Node* below = d.AddNode(0, 0, 1000, 1000);
    Node* above = d.AddNode(500, 500, 1000, 1000);
    Node* margin = d.AddNode(0, 0, 5000, 5000);
    margin->setNodeKind(NK_ANNOTATION);  // never drawn, never hit
    EXPECT_EQ(nodeAtPoint(d, {700, 700}), above);
    EXPECT_EQ(nodeAtPoint(d, {100, 100}), below);
    EXPECT_EQ(nodeAtPoint(d, {3000, 3000}), nullptr);
}

TEST(HitTest, LinksAreHitWhereTheyAreDrawn) {
    Diagram d;
    Node* a = d.AddNode(0, 0, 1000, 1000);
    Node* b = d.AddNode(4000, 0, 1000, 1000);
    Link* l = d.AddLink(a, b);
    EXPECT_EQ(linkAtPoint(d, {2500, 530}, 45), l);
    EXPECT_EQ(linkAtPoint(d, {2500, 600}, 45), nullptr);
    EXPECT_EQ(linkAtPoint(d, {700, 500}, 45), nullptr);  // inside the node, not drawn there
    l->setLinkPoints({{500, 500}, {2500, 3000}, {4500, 500}});
    EXPECT_EQ(linkSegmentAtPoint(*l, {3500, 1750}, 60), 1);
    EXPECT_EQ(linkPointAtPoint(*l, {2510, 2990}, 45), 1);
    EXPECT_EQ(linkPointAtPoint(*l, visibleLinkPoints(*l).back(), 45), 2);
    EXPECT_EQ(linkPointAtPoint(*l, {500, 500}, 45), -1);  // the hidden end at the centre
}

TEST(HitTest, HandlesAndTheirPointerHit) {
    Diagram d;
    Node* n = d.AddNode(0, 0, 1000, 600);
    const int expected[] = {HIT_SIZE_NWSE, HIT_SIZE_NS, HIT_SIZE_NESW, HIT_SIZE_WE,
                            HIT_SIZE_NWSE, HIT_SIZE_NS, HIT_SIZE_NESW, HIT_SIZE_WE};
    const auto handles = nodeHandles(n->rect(), 15);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(handleAtPoint(*n, handles[i].centre(), 15), i);
        EXPECT_EQ(pointerHitOfHandle(i), expected[i]);
    }
    EXPECT_EQ(handleAtPoint(*n, {500, 300}, 15), -1);
    EXPECT_EQ(pointerHitOfHandle(-1), HIT_NONE);
}

TEST(HitTest, ResizeKeepsTheOppositeSideAndAMinimum) {
    const RectF r{1000, 1000, 1000, 800};
    struct Case {
        int handle;
        float dx, dy;
        RectF result;
    };
    const Case cases[] = {
        {0, -100, -50, {900, 950, 1100, 850}},  {4, 200, 100, {1000, 1000, 1200, 900}},
        {1, 500, 100, {1000, 1100, 1000, 700}},  // top edge: only y
        {3, -2000, 0, {1000, 1000, 100, 800}},   // never below the minimum
        {6, 3000, 0, {1900, 1000, 100, 800}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resizedRect(r, c.handle, c.dx, c.dy, 100), c.result) << c.handle;
    }
    EXPECT_EQ(snapToGrid(179, 120), 120);
    EXPECT_EQ(snapToGrid(181, 120), 240);
    EXPECT_EQ(snapToGrid(181, 0), 181);
}

}  // namespace
}  // namespace tarvel
