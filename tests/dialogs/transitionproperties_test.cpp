#include "dialogs/transitionproperties.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/fakeprompter.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {
namespace {

using test::addState;
using test::addTransition;
using test::FakePrompter;

std::string field(const Node* n, int f) {
    return std::string(readField(n->NodeData(), f));
}

// State S with three transitions to T, priorities 1, 2, 3, and a self transition on T.
struct Fan {
    Document doc;
    FakePrompter prompter;
    Node* s = addState(doc, "S");
    Node* t = addState(doc, "T", NK_STATE, 4000, 1000);
    Node* t1 = addTransition(doc, s, t);
    Node* t2 = addTransition(doc, s, t);
    Node* t3 = addTransition(doc, s, t);
    Node* self = addTransition(doc, t, t);
    Fan() { doc.diagram().SetDiagramChanged(false); }
};

TEST(TransitionProperties, PriorityIsCheckedWhenItsBoxLosesTheFocus) {
    const struct {
        const char* typed;
        const char* shown;
        TransitionProperties::PriorityResult result;
    } cases[] = {
        {"0", "0", TransitionProperties::PriorityResult::Illegal},
        {"10000", "10000", TransitionProperties::PriorityResult::Illegal},
        {"x", "0", TransitionProperties::PriorityResult::Illegal},
        {"12", "3", TransitionProperties::PriorityResult::Renumbered},
        {"01", "1", TransitionProperties::PriorityResult::Unchanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Fan f;
        TransitionProperties props(f.doc, *f.t1, f.prompter);
        props.values().priority = c.typed;
        EXPECT_EQ(props.priorityEdited(), c.result);
        EXPECT_EQ(props.values().priority, c.shown);
        if (c.result == TransitionProperties::PriorityResult::Illegal) {
            EXPECT_EQ(f.prompter.messages,
                      std::vector<std::string>{"Illegal priority, try other different"});
            EXPECT_FALSE(f.doc.diagram().DiagramChanged());
        }
    }
}

TEST(TransitionProperties, ConfirmedPriorityRenumbersTheSourceState) {
    Fan f;
    TransitionProperties props(f.doc, *f.t3, f.prompter);
    props.values().condition = "go";
    props.values().priority = "1";
    EXPECT_EQ(props.priorityEdited(), TransitionProperties::PriorityResult::Renumbered);
    EXPECT_EQ(f.prompter.questions,
              std::vector<std::string>{
                  "The priority has changed|This can reorganize all priorities of this node"});
    EXPECT_EQ(field(f.t3, TF_PRIORITY), "1");
    EXPECT_EQ(field(f.t3, TF_CONDITION), "go");  // written with the dialog's values
    EXPECT_EQ(field(f.t1, TF_PRIORITY), "2");
    EXPECT_EQ(field(f.t2, TF_PRIORITY), "3");
}

TEST(TransitionProperties, CancelledPriorityChangePutsTheOldPriorityBack) {
    Fan f;
    f.prompter.answers = {false};
    TransitionProperties props(f.doc, *f.t3, f.prompter);
    props.values().priority = "1";
    EXPECT_EQ(props.priorityEdited(), TransitionProperties::PriorityResult::Kept);
    EXPECT_EQ(props.values().priority, "3");
    EXPECT_FALSE(f.doc.diagram().DiagramChanged());
}

TEST(TransitionProperties, MustBeLastMovesTheTransitionLastWithoutAsking) {
    Fan f;
    {
        TransitionProperties props(f.doc, *f.t1, f.prompter);
        EXPECT_TRUE(props.mustBeLastEnabled());
        props.mustBeLastToggled(true);
        EXPECT_TRUE(f.prompter.questions.empty());
        EXPECT_EQ(props.values().priority, "3");
        EXPECT_EQ(field(f.t1, TF_MUST_BE_LAST), "Y");
        EXPECT_EQ(field(f.t2, TF_PRIORITY), "1");
        EXPECT_EQ(field(f.t3, TF_PRIORITY), "2");
        // A priority typed next is asked about again.
        props.values().priority = "1";
        props.priorityEdited();
        EXPECT_EQ(f.prompter.questions.size(), 1u);
    }
    // The box is disabled on the other transitions of the state, not on this one.
    EXPECT_FALSE(TransitionProperties(f.doc, *f.t2, f.prompter).mustBeLastEnabled());
    EXPECT_TRUE(TransitionProperties(f.doc, *f.t1, f.prompter).mustBeLastEnabled());
    EXPECT_TRUE(TransitionProperties(f.doc, *f.self, f.prompter).mustBeLastEnabled());
}

TEST(TransitionProperties, SelfTransitionBoxAndWhatOkWrites) {
    Fan f;
    TransitionProperties self(f.doc, *f.self, f.prompter);
    EXPECT_TRUE(self.selfTransitionVisible());
    TransitionProperties other(f.doc, *f.t2, f.prompter);
    EXPECT_FALSE(other.selfTransitionVisible());
    EXPECT_TRUE(other.values().selfTransition);  // ticked unless the field is "N"

    EXPECT_TRUE(other.accept());
    EXPECT_FALSE(f.doc.diagram().DiagramChanged());  // nothing changed: nothing written

    other.values().continueImmediately = true;
    other.values().actions = "go();";
    EXPECT_TRUE(other.accept());
    EXPECT_EQ(f.t2->NodeData(), joinFields({"2", "", "go();", "Y", "N", "Y"}));
}

TEST(TransitionProperties, EditorsAreCleanedWhenTheyGiveTheirTextBack) {
    const struct {
        const char* typed;
        const char* condition;
        const char* actions;
    } cases[] = {
        {"  a > b // note  ", "a > b /* note */", "a > b // note"},
        {"// whole line\r\n\tx", "/* whole line*/\r\n    x", "// whole line\r\n    x"},
        {"x /* kept */", "x /* kept */", "x /* kept */"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(TransitionProperties::cleanCondition(c.typed), c.condition);
        EXPECT_EQ(TransitionProperties::cleanActions(c.typed), c.actions);
    }
}

TEST(TransitionProperties, LockedDiagramIsReadButNeverWritten) {
    Fan f;
    f.doc.diagram().setDiagramLocked(true);
    TransitionProperties props(f.doc, *f.t1, f.prompter);
    EXPECT_FALSE(props.mustBeLastEnabled());
    props.values().priority = "3";
    EXPECT_EQ(props.priorityEdited(), TransitionProperties::PriorityResult::Unchanged);
    props.mustBeLastToggled(true);
    props.values().condition = "c";
    EXPECT_TRUE(props.accept());
    EXPECT_EQ(f.t1->NodeData(), joinFields({"1", "", "", "Y", "N", "N"}));
    EXPECT_FALSE(f.doc.diagram().DiagramChanged());
}

}  // namespace
}  // namespace tarvel
