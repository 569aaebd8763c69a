#include "editor/fontcommands.h"

#include <gtest/gtest.h>

#include "../support/builders.h"

namespace tarvel {
namespace {

using test::addState;

struct Drawing {
    Document doc;
    Node* state = addState(doc, "S");
    Node* comment = doc.diagram().AddNode(10, 10, 500, 500);
    Drawing() {
        comment->setNodeKind(NK_COMMENT);
        comment->setNodeText("note");
        doc.diagram().SetDiagramChanged(false);
    }
    void setSizes(float size) {
        Font f = doc.diagram().DiagramFont();
        f.size = size;
        doc.diagram().setDiagramFont(f);
        state->setNodeFont(f);
        comment->setNodeFont(f);
        doc.diagram().SetDiagramChanged(false);
    }
};

TEST(FontCommands, EnlargeAndReduceStopAtTheirLimits) {
    const struct {
        void (*command)(Document&);
        float from;
        float to;
    } cases[] = {
        {FontCommands::Enlarge, 35, 36},
        {FontCommands::Enlarge, 36, 36},
        {FontCommands::Reduce, 4, 3},
        {FontCommands::Reduce, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        for (bool onComment : {false, true}) {
            Drawing d;
            d.setSizes(c.from);
            d.doc.diagram().setCurrentNode(onComment ? d.comment : nullptr);
            c.command(d.doc);
            EXPECT_EQ(d.comment->NodeFont().size, c.to);
            // Only a change of the whole diagram reaches the states.
            EXPECT_EQ(d.state->NodeFont().size, onComment ? c.from : c.to);
            EXPECT_EQ(d.doc.diagram().DiagramFont().size, onComment ? c.from : c.to);
        }
    }
}

TEST(FontCommands, ChangeGoesToTheCurrentCommentOrToEveryNode) {
    Font chosen;
    chosen.name = "Serif";
    chosen.size = 14;
    chosen.bold = true;
    {
        Drawing d;
        d.doc.diagram().setCurrentNode(d.comment);
        EXPECT_EQ(FontCommands::presetFont(d.doc), d.comment->NodeFont());
        FontCommands::Change(d.doc, chosen, 0x0000FF);
        EXPECT_EQ(d.comment->NodeFont(), chosen);
        EXPECT_EQ(d.comment->NodeForeColor(), 0x0000FFu);
        EXPECT_NE(d.state->NodeFont(), chosen);
    }
    Drawing d;
    FontCommands::Change(d.doc, chosen, 0x0000FF);
    EXPECT_EQ(d.doc.diagram().DiagramFont(), chosen);
    EXPECT_EQ(d.state->NodeFont(), chosen);
    EXPECT_EQ(d.comment->NodeFont(), chosen);
    EXPECT_EQ(d.state->NodeForeColor(), 0u);
}

TEST(FontCommands, LockedDiagramKeepsItsFonts) {
    Drawing d;
    d.doc.diagram().setDiagramLocked(true);
    const Font before = d.doc.diagram().DiagramFont();
    const bool fixedPitch = d.doc.fixedPitchOnly;
    FontCommands::Enlarge(d.doc);
    FontCommands::Change(d.doc, Font{"Serif", 20}, 0);
    FontCommands::FixedPitch(d.doc);
    EXPECT_EQ(d.doc.diagram().DiagramFont(), before);
    EXPECT_EQ(d.doc.fixedPitchOnly, fixedPitch);
}

TEST(FontCommands, FixedPitchTogglesAndCountsAsAChange) {
    Drawing d;
    const bool before = d.doc.fixedPitchOnly;
    FontCommands::FixedPitch(d.doc);
    EXPECT_NE(d.doc.fixedPitchOnly, before);
    // The undo step took the change: the closing question will ask to save it.
    EXPECT_TRUE(d.doc.GraphHasChanged());
}

}  // namespace
}  // namespace tarvel
