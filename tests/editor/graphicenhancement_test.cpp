#include "editor/graphicenhancement.h"

#include <gtest/gtest.h>

#include "model/document.h"

namespace tarvel {
namespace {

TEST(Layout, SizesAndStraightening) {
    Document doc;
    clsGraphicEnhancement ge(doc);
    Node* n = doc.diagram().AddNode(0, 0, 140, 90);
    clsGraphicEnhancement::LimitMinimSize(*n);
    EXPECT_EQ(n->NodeWidth(), 150);
    EXPECT_EQ(n->NodeHeight(), 100);

    const struct {
        PointF middle;
        PointF expected;
    } cases[] = {
        {{99, 300}, {0, 300}},    // nearly vertical first segment
        {{100, 300}, {100, 300}}, // 100 is not near
        {{50, 50}, {50, 50}},     // near in both directions: stays
    };
    for (const auto& c : cases) {
        std::vector<PointF> pts{{0, 0}, c.middle, {5000, 5000}};
        clsGraphicEnhancement::OrtogonalizeLinks(pts);
        EXPECT_EQ(pts[1], c.expected) << c.middle.x << "," << c.middle.y;
    }

    // An empty transition is magnified and comes back; one with text is not.
    Node* t = doc.diagram().AddNode(30, 500, 150, 100);
    t->setNodeKind(NK_TRANSITION);
    doc.diagram().SetDiagramChanged(false);
    ge.MagnifyEmptyTransition(t);
    EXPECT_EQ(t->rect(), (RectF{0, 450, 300, 200}));
    ge.UnMagnifyEmptyTransition();
    EXPECT_EQ(t->rect(), (RectF{75, 500, 150, 100}));  // clamped on the way in only
    EXPECT_FALSE(doc.diagram().DiagramChanged());
    t->setNodeText("x");
    ge.MagnifyEmptyTransition(t);
    EXPECT_EQ(ge.magnified(), nullptr);

    // Without autosize states keep their size, transition nodes do not.
    doc.autosizeNodes = false;
    n->setRect({0, 0, 900, 900});
    ge.AdjustSize(*n);
    EXPECT_EQ(n->NodeWidth(), 900);
    t->setNodeText("");
    ge.AdjustSize(*t);
    EXPECT_EQ(t->NodeWidth(), 150);

    // A magnified node deleted meanwhile is simply forgotten.
    t->setNodeText("");
    ge.MagnifyEmptyTransition(t);
    doc.diagram().removeNode(t);
    ge.UnMagnifyEmptyTransition();
    EXPECT_EQ(ge.magnified(), nullptr);
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

// Runs that never draw skip the display texts but must reach the same records
// and kinds as the full rewrite.

}  // namespace
}  // namespace tarvel
