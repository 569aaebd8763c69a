#include "model/diagram.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvel {
namespace {

struct Recorder : DiagramObserver {
    std::vector<std::string> events;
    void nodeAdded(Node&) override { events.push_back("node+"); }
    void nodeRemoving(Node&) override { events.push_back("node-"); }
    void linkAdded(Link&) override { events.push_back("link+"); }
    void linkRemoving(Link&) override { events.push_back("link-"); }
    void nodeChanged(Node&, NodeChange c) override {
        events.push_back(c == NodeChange::Selection ? "select" : "change");
    }
};

TEST(Diagram, LinksKeepCreationOrderAndDieWithTheirNodes) {
    Diagram d;
    Node* a = d.AddNode(0, 0, 100, 100);
    Node* b = d.AddNode(500, 0, 100, 100);
    Node* c = d.AddNode(0, 500, 100, 100);
    Link* ab = d.AddLink(a, b);
    Link* ac = d.AddLink(a, c);
    Link* ca = d.AddLink(c, a);
    ASSERT_EQ(a->NodeOutLinks(), (std::vector<Link*>{ab, ac}));
    ASSERT_EQ(a->NodeInLinks(), (std::vector<Link*>{ca}));
    EXPECT_EQ(ab->LinkPoints().front(), (PointF{50, 50}));
    EXPECT_EQ(ab->LinkPoints().back(), (PointF{550, 50}));

    d.setCurrentLink(ac);
    d.removeNode(c);
    EXPECT_EQ(d.nodeCount(), 2u);
    EXPECT_EQ(d.Links().size(), 1u);
    EXPECT_EQ(a->NodeOutLinks(), (std::vector<Link*>{ab}));
    EXPECT_TRUE(a->NodeInLinks().empty());
    EXPECT_EQ(d.CurrentLink(), nullptr);
    EXPECT_EQ(d.NodeList()[0].get(), a);
    EXPECT_EQ(d.NodeList()[1].get(), b);
}

TEST(Diagram, ChangedFlagFollowsContentNotSelection) {
    Diagram d;
    Node* a = d.AddNode(0, 0, 100, 100);
    EXPECT_TRUE(d.DiagramChanged());
    d.SetDiagramChanged(false);
    a->setNodeSelected(true);
    d.setCurrentNode(a);
    a->setNodeText("");  // same value: no change
    EXPECT_FALSE(d.DiagramChanged());
    a->setNodeLeft(10);
    EXPECT_TRUE(d.DiagramChanged());
}

TEST(Diagram, MovingANodeMovesItsLinkEnds) {
    Diagram d;
    Node* a = d.AddNode(0, 0, 100, 100);
    Node* b = d.AddNode(500, 0, 100, 100);
    Link* l = d.AddLink(a, b);
    l->setLinkPoints({{50, 50}, {300, 400}, {550, 50}});
    b->setRect({900, 900, 100, 100});
    EXPECT_EQ(l->LinkPoints(), (std::vector<PointF>{{50, 50}, {300, 400}, {950, 950}}));
}

TEST(Diagram, DeleteSelectedItemsAndObservers) {
    Diagram d;
    Recorder rec;
    d.addObserver(&rec);
    Node* a = d.AddNode(0, 0, 100, 100);
    Node* b = d.AddNode(500, 0, 100, 100);
    Link* l = d.AddLink(a, b);
    d.AddLink(b, a);
    l->setLinkSelected(true);
    b->setNodeSelected(true);
    rec.events.clear();
    d.DeleteSelectedItems();
    EXPECT_EQ(rec.events, (std::vector<std::string>{"link-", "link-", "node-"}));
    EXPECT_EQ(d.nodeCount(), 1u);
    EXPECT_TRUE(d.Links().empty());
    EXPECT_TRUE(a->NodeOutLinks().empty() && a->NodeInLinks().empty());
    d.removeObserver(&rec);
}

}  // namespace
}  // namespace tarvel
