#include "model/edittransaction.h"

#include <gtest/gtest.h>

#include "model/document.h"
#include "model/edithistory.h"

namespace tarvel {
namespace {

// Counts the steps it is asked to take and takes them as a history does.
struct CountingHistory : EditHistory {
    explicit CountingHistory(Document& d) : doc(d) { doc.setEditHistory(this); }
    ~CountingHistory() override { doc.setEditHistory(nullptr); }
    void Init() override {}
    void StoreGraphChanges() override {
        ++steps;
        doc.changesStored();
    }
    Document& doc;
    int steps = 0;
};

void change(Document& doc) {
    doc.diagram().AddNode(0, 0, 500, 500);
}

// One step when the action changed something, none otherwise; a change made
// before the action is neither taken for one of its own nor lost.
TEST(EditTransaction, OneStepWhenTheActionChangedSomething) {
    const struct {
        bool changedBefore;
        bool actionChanges;
        int steps;
        bool flagAfter;
    } cases[] = {
        {false, false, 0, false},
        {true, false, 0, true},  // the earlier change is still there, untaken
        {false, true, 1, false},
        {true, true, 1, false},  // the step holds both
    };
    for (const auto& c : cases) {
        Document doc;
        CountingHistory history(doc);
        doc.diagram().SetDiagramChanged(c.changedBefore);
        bool reported = false;
        {
            EditTransaction edit(doc);
            EXPECT_FALSE(doc.diagram().DiagramChanged());  // watched from a clean start
            if (c.actionChanges) {
                change(doc);
            }
            reported = edit.commit();
            EXPECT_EQ(edit.commit(), reported);  // closing twice takes no second step
        }
        EXPECT_EQ(reported, c.actionChanges);
        EXPECT_EQ(history.steps, c.steps) << c.changedBefore << c.actionChanges;
        EXPECT_EQ(doc.diagram().DiagramChanged(), c.flagAfter) << c.changedBefore << c.actionChanges;
        EXPECT_EQ(doc.GraphHasChanged(), c.changedBefore || c.actionChanges);
    }
}

// An action made of smaller ones is still one step, taken when the outer
// transaction closes; each inner one reports its own change.
TEST(EditTransaction, NestedTransactionsMakeOneStep) {
    Document doc;
    CountingHistory history(doc);
    {
        EditTransaction outer(doc);
        {
            EditTransaction first(doc);
            change(doc);
            EXPECT_TRUE(first.commit());
        }
        {
            EditTransaction second(doc);
            EXPECT_FALSE(second.commit());
        }
        EXPECT_EQ(history.steps, 0);
        EXPECT_TRUE(doc.diagram().DiagramChanged());
    }
    EXPECT_EQ(history.steps, 1);
    EXPECT_FALSE(doc.diagram().DiagramChanged());
}

// Without a window there is no history: the change still counts as unsaved.
TEST(EditTransaction, WithoutAHistoryTheChangeStaysUnsaved) {
    Document doc;
    {
        EditTransaction edit(doc);
        change(doc);
    }
    EXPECT_FALSE(doc.diagram().DiagramChanged());
    EXPECT_TRUE(doc.GraphHasChanged());
    doc.ClearGraphChanges();
    EXPECT_FALSE(doc.GraphHasChanged());
}

}  // namespace
}  // namespace tarvel
