#include "dialogs/stateproperties.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/fakeprompter.h"
#include "../support/tempdir.h"
#include "model/fsmrecord.h"
#include "model/text.h"

namespace tarvel {
namespace {

using test::addState;
using test::FakePrompter;

std::string field(const Node* n, int f) {
    return std::string(readField(n->NodeData(), f));
}

// Three states named A, B, C with indices 1, 2, 3.
struct ThreeStates {
    Document doc;
    FakePrompter prompter;
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B");
    Node* c = addState(doc, "C");
    ThreeStates() { doc.diagram().SetDiagramChanged(false); }
};

TEST(StateProperties, IndexIsCheckedWhenItsBoxLosesTheFocus) {
    const struct {
        const char* typed;
        const char* shown;
        StateProperties::IndexResult result;
        bool message;
    } cases[] = {
        {"007", "3", StateProperties::IndexResult::Renumbered, false},  // 7, then renumbered
        {"3", "2", StateProperties::IndexResult::Renumbered, false},    // before C, which has 3
        {"0", "", StateProperties::IndexResult::Illegal, true},
        {"10000", "", StateProperties::IndexResult::Illegal, true},
        {"abc", "", StateProperties::IndexResult::Illegal, true},
        {"1", "1", StateProperties::IndexResult::Unchanged, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ThreeStates s;
        StateProperties props(s.doc, *s.a, s.prompter);
        props.values().index = c.typed;
        EXPECT_EQ(props.indexEdited(), c.result);
        EXPECT_EQ(props.values().index, c.shown);
        EXPECT_EQ(s.prompter.messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(s.prompter.messages[0], "Illegal index, try other different");
            EXPECT_FALSE(s.doc.diagram().DiagramChanged());
        }
    }
}

TEST(StateProperties, ConfirmedIndexRenumbersWithTheEditedStateFirst) {
    ThreeStates s;
    StateProperties props(s.doc, *s.c, s.prompter);
    props.values().index = "1";
    EXPECT_EQ(props.indexEdited(), StateProperties::IndexResult::Renumbered);
    EXPECT_EQ(s.prompter.questions,
              std::vector<std::string>{
                  "The index has changed|This can reorganize all index of this diagram"});
    EXPECT_EQ(field(s.c, SF_INDEX), "1");
    EXPECT_EQ(field(s.a, SF_INDEX), "2");
    EXPECT_EQ(field(s.b, SF_INDEX), "3");
    EXPECT_EQ(props.values().index, "1");
    // The same index again asks nothing.
    EXPECT_EQ(props.indexEdited(), StateProperties::IndexResult::Unchanged);
    EXPECT_EQ(s.prompter.questions.size(), 1u);
}

TEST(StateProperties, CancelledIndexChangePutsTheOldIndexBack) {
    ThreeStates s;
    s.prompter.answers = {false};
    StateProperties props(s.doc, *s.c, s.prompter);
    props.values().index = "1";
    EXPECT_EQ(props.indexEdited(), StateProperties::IndexResult::Kept);
    EXPECT_EQ(props.values().index, "3");
    EXPECT_EQ(field(s.c, SF_INDEX), "3");
    EXPECT_FALSE(s.doc.diagram().DiagramChanged());
}

TEST(StateProperties, ImmediateIndexWriteNeverStoresAUsedName) {
    ThreeStates s;
    StateProperties props(s.doc, *s.c, s.prompter);
    props.values().name = "a";  // A exists, ignoring case
    props.values().moore = "run();";
    props.values().index = "1";
    props.indexEdited();
    EXPECT_EQ(field(s.c, SF_NAME), "C");
    EXPECT_EQ(field(s.c, SF_MOORE), "run();");
    EXPECT_EQ(props.values().name, "a");
    // "Ok" then refuses the name and keeps the dialog open.
    EXPECT_FALSE(props.accept());
    EXPECT_EQ(s.prompter.messages, std::vector<std::string>{"The name: a is already used"});
}

TEST(StateProperties, OkWritesOnlyWhatChanged) {
    ThreeStates s;
    {
        StateProperties props(s.doc, *s.b, s.prompter);
        EXPECT_TRUE(props.accept());
        EXPECT_FALSE(s.doc.diagram().DiagramChanged());
    }
    StateProperties props(s.doc, *s.b, s.prompter);
    props.values().name = " two words ";
    props.nameEdited();
    EXPECT_EQ(props.values().name, "two_words");
    props.values().isIn = "Y";
    props.values().exit = "\tstop();  ";
    props.actionEdited(props.values().exit);
    EXPECT_TRUE(props.accept());
    EXPECT_EQ(field(s.b, SF_NAME), "two_words");
    EXPECT_EQ(field(s.b, SF_ISIN), "Y");
    EXPECT_EQ(field(s.b, SF_GOTO), "N");
    EXPECT_EQ(field(s.b, SF_EXIT), "    stop();");
}

TEST(StateProperties, AnIllegalIndexLeftInItsBoxBlocksOk) {
    ThreeStates s;
    StateProperties props(s.doc, *s.b, s.prompter);
    props.values().index = "0";
    props.values().moore = "x();";
    EXPECT_FALSE(props.accept());
    EXPECT_EQ(field(s.b, SF_MOORE), "");
    EXPECT_FALSE(s.doc.diagram().DiagramChanged());
}

TEST(StateProperties, OpeningAStateWithoutIndexRenumbersUnlessLocked) {
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked);
        ThreeStates s;
        test::setState(s.doc, s.b, [](StateRecord& r) { r.index.clear(); });
        s.doc.diagram().setDiagramLocked(locked);
        FakePrompter prompter;
        StateProperties props(s.doc, *s.b, prompter);
        EXPECT_EQ(props.values().index, locked ? "" : "1");  // empty counts as 0: first
        EXPECT_EQ(field(s.a, SF_INDEX), locked ? "1" : "2");
    }
}

TEST(StateProperties, KindFollowsTheModeAndTheChildDiagrams) {
    test::TempDir dir;
    dir.write("SUB_A.fsm", "x");
    const struct {
        StateMode mode;
        const char* moore;
        std::uint32_t kind;
    } cases[] = {
        {StateMode::Standard, "x = 1;", NK_STATE},
        {StateMode::Standard, "x = 1;\r\nSUB_A();", NK_SUPERSTATE},
        {StateMode::Initial, "SUB_A();", NK_INITIAL},
        {StateMode::Final, "", NK_FINAL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moore);
        Document doc;
        doc.sFullDocname = dir / "Root.fsm";
        Node* n = addState(doc, "S");
        FakePrompter prompter;
        StateProperties props(doc, *n, prompter);
        props.values().mode = c.mode;
        props.values().moore = c.moore;
        props.actionEdited(props.values().moore);
        EXPECT_TRUE(props.accept());
        EXPECT_EQ(n->NodeKind(), c.kind);
    }
}

TEST(StateProperties, OpenChildRemembersAnExistingChildAndPressesOk) {
    test::TempDir dir;
    dir.write("Root/DEEP.fsm", "x");
    Document doc;
    doc.sFullDocname = dir / "Root.fsm";
    Node* n = addState(doc, "S");
    test::setState(doc, n, [](StateRecord& r) { r.elseActions = "DEEP();"; });
    FakePrompter prompter;
    StateProperties props(doc, *n, prompter);
    ASSERT_EQ(props.children(), std::vector<std::string>{"\\DEEP.fsm"});
    props.values().goTo = "Y";
    std::string pending = "old";
    EXPECT_TRUE(props.openChild("\\DEEP.fsm", pending));
    EXPECT_EQ(pending, dir / "Root/DEEP.fsm");
    EXPECT_EQ(field(n, SF_GOTO), "Y");
    EXPECT_EQ(n->NodeKind(), NK_SUPERSTATE);
    EXPECT_FALSE(props.openChild("GONE.fsm", pending));
    EXPECT_EQ(pending, "");
}

TEST(StateProperties, LockedDiagramIsReadButNeverWritten) {
    ThreeStates s;
    s.doc.diagram().setDiagramLocked(true);
    StateProperties props(s.doc, *s.b, s.prompter);
    EXPECT_TRUE(props.locked());
    EXPECT_EQ(props.values().name, "B");
    props.values().index = "1";
    EXPECT_EQ(props.indexEdited(), StateProperties::IndexResult::Unchanged);
    props.values().moore = "changed();";
    EXPECT_TRUE(props.accept());
    EXPECT_EQ(field(s.b, SF_MOORE), "");
    EXPECT_EQ(field(s.b, SF_INDEX), "2");
    EXPECT_FALSE(s.doc.diagram().DiagramChanged());
}

TEST(StateProperties, CheckBoxCaptionsNameTheFunctions) {
    Document doc;
    SetGraphInfo("Motor", "", "", "", "", "", "", "", "", "", "", "", "", doc.diagram());
    Node* n = addState(doc, "Run");
    FakePrompter prompter;
    StateProperties props(doc, *n, prompter);
    EXPECT_EQ(props.isInCaption(), "Generate the state confirmation: Motor_IsIn_Run()");
    EXPECT_EQ(props.gotoCaption(), "Generate the state jump: Motor_Goto_Run()");
}

}  // namespace
}  // namespace tarvel
