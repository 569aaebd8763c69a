#include "editor/commentclipboard.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "editor/docwindow.h"

namespace tarvel {
namespace {

TEST(CommentClipboard, OnlyCommentsTravel) {
    Document doc;
    Node* state = test::addState(doc, "A");
    Node* comment = insertCommentNode(doc.diagram());
    comment->setNodeText("remember");
    comment->setNodeDrawStyle(5);

    EXPECT_TRUE(selectionIsCommentsOnly(doc.diagram()));  // an empty selection too
    comment->setNodeSelected(true);
    EXPECT_TRUE(selectionIsCommentsOnly(doc.diagram()));
    state->setNodeSelected(true);
    EXPECT_FALSE(selectionIsCommentsOnly(doc.diagram()));

    // Even a copy that holds a state carries the comments only.
    const std::string data = copySelectedComments(doc.diagram());
    EXPECT_EQ(selectedCommentsText(doc.diagram()), "remember");
    Document other;
    const auto pasted = pasteComments(other.diagram(), data, 120);
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(pasted[0]->NodeText(), "remember");
    EXPECT_EQ(pasted[0]->NodeKind(), NK_COMMENT);
    EXPECT_FALSE(pasted[0]->NodeConnectable());
    EXPECT_EQ(pasted[0]->NodeDrawStyle(), 5);
    EXPECT_TRUE(pasted[0]->NodeSelected());
}

TEST(CommentClipboard, PastedNodesDoNotHideTheOriginals) {
    Document doc;
    Node* comment = insertCommentNode(doc.diagram());
    comment->setNodeSelected(true);
    const std::string data = copySelectedComments(doc.diagram());
    const auto first = pasteComments(doc.diagram(), data, 120);
    const auto second = pasteComments(doc.diagram(), data, 120);
    EXPECT_EQ(first.at(0)->rect(), (RectF{130, 130, 500, 500}));
    EXPECT_EQ(second.at(0)->rect(), (RectF{250, 250, 500, 500}));
    EXPECT_FALSE(comment->NodeSelected());  // the pasted nodes are the selection
}

TEST(CommentClipboard, ForeignDataAddsNothing) {
    Document doc;
    Node* a = test::addState(doc, "A");
    a->setNodeSelected(true);
    Diagram source;
    Node* s = source.AddNode(0, 0, 600, 600);
    s->setNodeKind(NK_STATE);
    s->setNodeConnectable(false);
    s->setNodeSelected(true);
    // A crafted document holding a state: the state is not pasted.
    std::string crafted = copySelectedComments(source);
    EXPECT_TRUE(pasteComments(doc.diagram(), crafted, 120).empty());
    EXPECT_TRUE(pasteComments(doc.diagram(), "not a diagram", 120).empty());
    EXPECT_EQ(doc.diagram().nodeCount(), 1u);
    EXPECT_TRUE(a->NodeSelected());
}

}  // namespace
}  // namespace tarvel
