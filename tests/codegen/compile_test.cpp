// The generated C compiles without warnings (C99, and C89 with ANSI comments)
// and behaves: each C driver beside the fixtures runs the machine and checks
// its trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../support/codegentestsupport.h"
#include "../support/compilerrun.h"
#include "model/fsmrecord.h"

namespace tarvel {
namespace {

using test::runIn;

bool haveGcc() {
    return test::haveCompiler("gcc");
}

// One way of building the generated code.
struct Build {
    const char* name;
    bool ansiComment;    // convert the comments before compiling
    const char* cflags;  // for the module and the driver
};

const Build BUILDS[] = {
    {"c99", false, "-std=c99 -Wall -Wextra -Werror"},
    {"c89 with ANSI comments", true, "-std=c89 -pedantic -Wall -Wextra -Werror"},
    {"c99 with FSM_DEBUG", false, "-std=c99 -Wall -Wextra -Werror -DFSM_DEBUG"},
};

struct Machine {
    // Root diagram under tests/fixtures/codegen.
    const char* fixture;
    bool reentrant;
    const char* driver;  // C driver under tests/fixtures/codegen; empty: compile only
    const char* defines = "";
    const char* maxLoops = nullptr;  // replaces the diagram's chain loop limit
};

void setMaxLoops(Document& doc, const char* maxLoops) {
    std::vector<std::string> fields = splitFields(doc.diagram().DiagramRecord(), FSM_FIELD_COUNT);
    fields[FF_MAX_LOOPS] = maxLoops;
    doc.diagram().setDiagramRecord(joinFields(fields));
}

// Generates the machine, writes "<name>.c" and "<name>.h" into the folder,
// compiles them and, when there is a driver, links and runs it.
void buildAndRun(const Machine& m, const Build& b, const std::string& name) {
    SCOPED_TRACE(std::string(m.fixture) + ", " + b.name);
    test::Session session;
    const std::string fixture(m.fixture);
    Document& root = session.root(test::fixturePath(fixture));
    root.options.AnsiComment = b.ansiComment;
    if (m.maxLoops != nullptr) {
        setMaxLoops(root, m.maxLoops);
    }
    const std::string text = session.generate(root, m.reentrant);
    ASSERT_FALSE(text.empty()) << (session.messages.empty() ? "" : session.messages.front());
    const test::CFiles files = test::splitResult(text);

    test::TempDir dir;
    dir.write(name + ".c", files.module);
    dir.write(name + ".h", files.header);
    const std::string fixtures = test::fixturePath("");
    const std::string flags = std::string(b.cflags) + " " + m.defines + " -I'" + fixtures + "' -I.";
    std::string log;
    if (runIn(dir, "gcc " + flags + " -c " + name + ".c", log) != 0) {
        const std::string kept = ::testing::TempDir() + name + "-failed.c";
        test::writeText(kept, files.module);
        FAIL() << log << "\nmodule kept at: " << kept;
    }
    if (std::string(m.driver).empty()) {
        return;
    }
    ASSERT_EQ(runIn(dir,
                  "gcc " + flags + " -o driver '" + fixtures + m.driver + "' '" + fixtures +
                      "fsm_test.c' " + name + ".o",
                  log),
              0)
        << log;
    EXPECT_EQ(runIn(dir, "./driver", log), 0) << log;
}

class CompiledMachine : public ::testing::TestWithParam<Machine> {
protected:
    void SetUp() override {
        if (!haveGcc()) {
            GTEST_SKIP() << "gcc is not installed";
        }
    }
};

TEST_P(CompiledMachine, CompilesCleanlyAndRuns) {
    const Machine& m = GetParam();
    const std::string name = baseName(m.fixture);
    for (const Build& b : BUILDS) {
        buildAndRun(m, b, name);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, CompiledMachine,
    ::testing::Values(Machine{"Door.fsm", false, "", "-include fsm_test.h -Dbtn=1"},
                      Machine{"plant/Plant.fsm", false, "plant_driver.c"},
                      Machine{"bits/Bits.fsm", false, ""},
                      Machine{"reentrant/Counter.fsm", true, "counter_driver.c"},
                      Machine{"chain/Chain.fsm", false, "chain_driver.c", "-DEXPECTED_PASSES=3"}),
    [](const auto& info) { return baseName(info.param.fixture); });

// A chain of transitions that never ends by itself runs as many passes per
// call as the limit allows; a limit of one means no loop at all.
TEST(CompiledChain, StopsAtTheLoopLimit) {
    if (!haveGcc()) {
        GTEST_SKIP() << "gcc is not installed";
    }
    const struct {
        const char* maxLoops;
        const char* defines;
    } cases[] = {{"1", "-DEXPECTED_PASSES=1"}, {"2", "-DEXPECTED_PASSES=2"}};
    for (const auto& c : cases) {
        buildAndRun(Machine{"chain/Chain.fsm", false, "chain_driver.c", c.defines, c.maxLoops},
                    BUILDS[0], "Chain");
    }
}

}  // namespace
}  // namespace tarvel
