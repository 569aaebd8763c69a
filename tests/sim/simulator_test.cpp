// What the differential test does not reach: how action texts are cut at
// calls, which condition texts a scenario may name, and the hierarchies the
// simulator refuses or stops.
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include "../support/codegentestsupport.h"
#include "../support/tempdir.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "sim/actiontext.h"

namespace tarvel {
namespace {

// A text piece as "text" and a call as "<n>".
std::vector<std::string> pieces(const ActionText& text) {
    std::vector<std::string> out;
    for (const ActionPiece& p : text) {
        out.push_back(p.call < 0 ? p.text : "<" + std::to_string(p.call) + ">");
    }
    return out;
}

TEST(SplitAtCalls, CutsAtCallsOnly) {
    const FunctionNames functions = {{"Child", 1}, {"Other", 2}};
    const struct {
        std::string text;
        std::vector<std::string> pieces;
    } cases[] = {
        {"", {}},
        {"T(1);\r\nT(2);  ", {"T(1);\r\nT(2);  "}},  // no call: as written
        {"T(1);\r\nChild();\r\nT(2);", {"T(1);", "<1>", "T(2);"}},
        {"Child(this);", {"<1>"}},
        {"  T(1); Child (f(a, \")\"), (b)) ;T(2);", {"  T(1);", "<1>", "T(2);"}},
        {"Child();Other();Child()", {"<1>", "<2>", "<1>"}},
        {"Child /* why */ ();", {"<1>"}},
        // Names that are not calls of a machine.
        {"ChildCount++; MyChild(); Child_2(); x.Child = 1; 2Child();",
         {"ChildCount++; MyChild(); Child_2(); x.Child = 1; 2Child();"}},
        {"// Child();\r\n/* Child(); */ s = \"Child()\"; c = 'C';",
         {"// Child();\r\n/* Child(); */ s = \"Child()\"; c = 'C';"}},
        {"// Run the child.\r\nChild();", {"// Run the child.", "<1>"}},
        {"if (x) Child(); else T(3);", {"if (x)", "<1>", "else T(3);"}},
        {"Child(", {"<1>"}},  // never closed: the rest is the call
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pieces(splitAtCalls(c.text, functions)), c.pieces) << c.text;
    }
}

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        context.openChild = [this](const std::string& path) { return open(path); };
        context.report = [this](const std::string& text) { messages.push_back(text); };
    }

    // Saves a diagram built by `build` under `file`.
    void save(const std::string& file, const std::function<void(test::DiagramBuilder&)>& build) {
        Document doc;
        doc.sFullDocname = dir / file;
        test::DiagramBuilder b(doc);
        build(b);
        SaveGraphInfo(doc, true);
        std::string error;
        ASSERT_TRUE(SaveToFile(doc.diagram(), doc.sFullDocname, error)) << error;
    }
    Document* open(const std::string& path) {
        auto doc = std::make_unique<Document>();
        std::string error;
        if (!loadDocument(*doc, path, OptionOverrides{}, error)) {
            return nullptr;
        }
        return docs.emplace_back(std::move(doc)).get();
    }
    bool load(const std::string& file) { return machine.load(*open(dir / file), context); }

    test::TempDir dir;
    GenerationContext context;
    std::vector<std::string> messages;
    std::vector<std::unique_ptr<Document>> docs;
    SimMachine machine;
};

// A scenario names a condition as C sees it: the blanks, tabs and line
// breaks around it do not count. A blank condition always holds and cannot
// be named; so can't one of tabs and line breaks only, which never holds.
TEST_F(SimulatorTest, ConditionsAreTheTrimmedTextsOfEveryTransition) {
    save("M.fsm", [](test::DiagramBuilder& b) {
        b.fsm("M");
        Node* a = b.state({.name = "A", .kind = NK_INITIAL});
        Node* c = b.state({.name = "B"});
        b.transition(a, c, {.priority = "1", .condition = "\t\r\n"});
        b.transition(a, c, {.priority = "2", .condition = " ready &&\r\n  go\t"});
        b.transition(a, c, {.priority = "2", .condition = "shadowed"});  // never generated
        b.transition(a, a, {.priority = "4", .condition = "   "});
    });
    ASSERT_TRUE(load("M.fsm"));
    EXPECT_EQ(machine.conditions(), (std::vector<std::string>{"ready &&\r\n  go", "shadowed"}));
    EXPECT_EQ(machine.conditionId("\nready &&\r\n  go "), 0);
    EXPECT_EQ(machine.conditionId("ready && go"), -1);
    EXPECT_EQ(machine.conditionId(""), -1);

    Simulator sim(machine);
    ASSERT_TRUE(sim.step({false, true}));  // "shadowed" holds, but it is never tried
    ASSERT_EQ(sim.events().size(), 1u);
    EXPECT_EQ(sim.events()[0].priority, 4);  // the tab condition never holds; the blank one does
}

// The generated code calls and restarts a child by its file's name, so a
// child whose FSM has another name cannot run.
TEST_F(SimulatorTest, RefusesAChildNamedOtherwiseThanItsFile) {
    save("Kid.fsm",
         [](test::DiagramBuilder& b) { b.fsm("Kid").state({.name = "K", .kind = NK_INITIAL}); });
    std::filesystem::rename(dir / "Kid.fsm", dir / "Child.fsm");
    save("Root.fsm", [](test::DiagramBuilder& b) {
        b.fsm("Root").state({.name = "R", .moore = "Child();", .kind = NK_INITIAL});
    });
    EXPECT_FALSE(load("Root.fsm"));
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Fsm simulation: the FSM of [" + dir / "Child.fsm" +
                            "] must be named Child: the generated code calls and restarts it by "
                            "that name"}));
}

// Machines that call each other back for ever are stopped; a reset starts
// them again.
TEST_F(SimulatorTest, StopsMachinesThatCallEachOtherForEver) {
    save("Ping.fsm", [](test::DiagramBuilder& b) {
        b.fsm("Ping").state({.name = "P", .moore = "Pong();", .kind = NK_INITIAL});
    });
    save("Pong.fsm", [](test::DiagramBuilder& b) {
        b.fsm("Pong").state({.name = "Q", .moore = "Ping();", .kind = NK_INITIAL});
    });
    ASSERT_TRUE(load("Ping.fsm"));
    ASSERT_EQ(machine.diagrams().size(), 2u);
    EXPECT_EQ(machine.diagrams()[1].path, "Ping/Pong");

    Simulator sim(machine);
    EXPECT_FALSE(sim.step({}));
    EXPECT_EQ(sim.stopReason(),
              "the FSM functions call each other more than 1000 deep (Ping); the generated "
              "code would exhaust its stack");
    EXPECT_FALSE(sim.step({}));  // refused until reset
    sim.reset();
    EXPECT_FALSE(sim.stopped());
    EXPECT_EQ(sim.calls(), 0);
}

}  // namespace
}  // namespace tarvel
