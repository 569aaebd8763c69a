#include "editor/findreplace.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/fakeprompter.h"
#include "model/fsmrecord.h"
#include "model/text.h"

namespace tarvel {
namespace {

using test::addState;
using test::addTransition;
using test::FakePrompter;

std::string field(const Node* n, int f) {
    return std::string(readField(n->NodeData(), f));
}

// Plays the find window: every text is offered; a text holding the search
// string is "shown" (its title recorded) and every occurrence is changed
// unless the text is read-only; the walk is cancelled on the text titled
// `cancelAt`, after changing it.
struct ScriptedWindow {
    std::vector<std::string> offered;
    std::vector<std::string> shown;
    std::string cancelAt;

    FindStep step() {
        return [this](const FindRequest& r) {
            offered.push_back(r.title);
            FindAnswer a{true, r.text};
            if (FindReplace::findInText(r.text, r.search, r.caseSensitive) == std::string::npos) {
                return a;
            }
            shown.push_back(r.title);
            if (!r.readOnly && !r.replace.empty()) {
                for (std::size_t p = 0;
                     (p = FindReplace::findInText(a.text, r.search, r.caseSensitive, p)) !=
                     std::string::npos;
                     p += r.replace.size()) {
                    a.text.replace(p, r.search.size(), r.replace);
                }
            }
            a.goOn = r.title != cancelAt;
            return a;
        };
    }
};

// An FSM record, two states, one transition between them and a comment,
// every text mentioning "motor".
struct Machine {
    Document doc;
    FakePrompter prompter;
    Node* idle = addState(doc, "Idle");
    Node* run = addState(doc, "Run");
    Node* go = addTransition(doc, idle, run);
    Node* note = doc.diagram().AddNode(10, 10, 500, 500);
    Machine() {
        SetGraphInfo("M", "motor_t* p", "", "", "", "", "", "", "", "", "", "", "", doc.diagram());
        test::setState(doc, idle, [](StateRecord& r) { r.moore = "Motor_off();"; });
        test::setState(doc, run, [](StateRecord& r) { r.entry = "motor_on();"; });
        TransitionRecord t = TransitionRecord::read(*go);
        t.condition = "motor_ready()";
        writeTransition(doc, t, *go);
        note->setNodeKind(NK_COMMENT);
        note->setNodeText("the motor");
        doc.diagram().SetDiagramChanged(false);
    }
};

TEST(FindReplace, WalksEveryTextInItsFixedOrder) {
    Machine m;
    ScriptedWindow window;
    FindReplace find(window.step(), "motor", "", false);
    EXPECT_TRUE(find.walk(m.doc, m.prompter));
    EXPECT_EQ(window.offered, (std::vector<std::string>{
                                  "FSM properties: Parameters",
                                  "FSM properties: Return type",
                                  "FSM properties: Initialization",
                                  "FSM properties: Actions before dispatcher",
                                  "FSM properties: Default actions on index error",
                                  "FSM properties: Actions after dispatcher",
                                  "FSM properties: Ending actions",
                                  "State: Name",
                                  "State[Idle]: Input actions ",
                                  "State[Idle]: Moore actions ",
                                  "State[Idle]: Else actions ",
                                  "State[Idle]: Output actions ",
                                  "State: Name",
                                  "State[Run]: Input actions ",
                                  "State[Run]: Moore actions ",
                                  "State[Run]: Else actions ",
                                  "State[Run]: Output actions ",
                                  "Transition(1) from [Idle]: Condition",
                                  "Transition(1) from [Idle]: Actions ",
                                  "Label",
                              }));
    // Ignoring case, "Motor_off" is found too.
    EXPECT_EQ(window.shown.size(), 5u);
    EXPECT_EQ(m.prompter.beeps, 1);
    EXPECT_FALSE(m.doc.diagram().DiagramChanged());  // nothing replaced, nothing written
}

TEST(FindReplace, ReplacementsAreWrittenBackEverywhere) {
    Machine m;
    ScriptedWindow window;
    FindReplace find(window.step(), "motor", "pump", true);
    find.walk(m.doc, m.prompter);
    EXPECT_EQ(GetGraphField(FF_PARAMETERS, m.doc.diagram()), "pump_t* p");
    EXPECT_EQ(field(m.idle, SF_MOORE), "Motor_off();");  // case-sensitive: no match
    EXPECT_EQ(field(m.run, SF_ENTRY), "pump_on();");
    EXPECT_EQ(field(m.go, TF_CONDITION), "pump_ready()");
    EXPECT_EQ(m.note->NodeText(), "the pump");
    EXPECT_EQ(m.prompter.beeps, 1);
}

TEST(FindReplace, CancelStopsTheWalkAndDiscardsTheTextOnShow) {
    Machine m;
    ScriptedWindow window;
    window.cancelAt = "State[Run]: Input actions ";
    FindReplace find(window.step(), "motor", "pump", false);
    EXPECT_FALSE(find.walk(m.doc, m.prompter));
    EXPECT_EQ(window.offered.back(), "State[Run]: Input actions ");
    EXPECT_EQ(field(m.idle, SF_MOORE), "pump_off();");  // an earlier state keeps its change
    EXPECT_EQ(field(m.run, SF_ENTRY), "motor_on();");
    EXPECT_EQ(field(m.go, TF_CONDITION), "motor_ready()");
    EXPECT_EQ(m.note->NodeText(), "the motor");
    EXPECT_EQ(m.prompter.beeps, 1);
}

TEST(FindReplace, LockedDiagramOffersEveryTextReadOnly) {
    Machine m;
    m.doc.diagram().setDiagramLocked(true);
    std::vector<bool> readOnly;
    FindReplace find(
        [&readOnly](const FindRequest& r) {
            readOnly.push_back(r.readOnly);
            return FindAnswer{true, "changed"};  // a misbehaving window changes anyway
        },
        "motor", "pump", false);
    find.walk(m.doc, m.prompter);
    EXPECT_EQ(readOnly, std::vector<bool>(20, true));
    EXPECT_EQ(field(m.run, SF_ENTRY), "motor_on();");
    EXPECT_EQ(m.note->NodeText(), "the motor");
    EXPECT_EQ(GetGraphField(FF_PARAMETERS, m.doc.diagram()), "motor_t* p");
    EXPECT_FALSE(m.doc.diagram().DiagramChanged());
}

TEST(FindReplace, NameComesBackAsOneCleanLine) {
    Machine m;
    FindReplace find(
        [](const FindRequest& r) {
            return FindAnswer{
                true, r.title == "State: Name" && r.text == "Run" ? "Run fast\r\nx" : r.text};
        },
        "Run", "", false);
    find.walk(m.doc, m.prompter);
    EXPECT_EQ(field(m.run, SF_NAME), "Run_fast");
}

// The find walk refuses a used name the way the state dialog does, and then
// writes nothing of that state.
TEST(FindReplace, ARenameToAUsedNameIsRefusedAndNothingOfTheStateIsWritten) {
    Machine m;
    ScriptedWindow window;
    FindReplace find(window.step(), "Run", "idle", false);
    find.walk(m.doc, m.prompter);
    EXPECT_EQ(m.prompter.messages, std::vector<std::string>{"The name: idle is already used"});
    EXPECT_EQ(field(m.run, SF_NAME), "Run");
}

TEST(FindReplace, FindInText) {
    const struct {
        const char* text;
        const char* search;
        bool caseSensitive;
        std::size_t from;
        std::size_t found;
    } cases[] = {
        {"Motor motor", "motor", false, 0, 0},    {"Motor motor", "motor", true, 0, 6},
        {"Motor motor", "MOTOR", false, 1, 6},    {"abc", "x", false, 0, std::string::npos},
        {"abc", "", false, 0, std::string::npos}, {"abc", "c", false, 5, std::string::npos},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FindReplace::findInText(c.text, c.search, c.caseSensitive, c.from), c.found);
    }
}

}  // namespace
}  // namespace tarvel
