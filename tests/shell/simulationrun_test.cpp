// The batch simulation: options, the trace of the bundled example, several
// instances, and every kind of bad input ending in a clear error and exit 1
// before any trace is written.
#include "shell/simulationrun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "../support/codegentestsupport.h"
#include "../support/logsin.h"
#include "../support/tempdir.h"
#include "base/logs.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "shell/batchrun.h"
#include "shell/commandline.h"

namespace tarvel {
namespace {

const std::string EXAMPLE = std::string(TARVEL_SOURCE_DIR) + "/examples/TrafficLight.fsm";

class SimulationRun : public ::testing::Test {
protected:
    // Runs the simulation; `trace` receives what it wrote.
    int run(const std::string& diagram, const std::string& scenario, int instances = 0) {
        SimulationRequest request;
        request.scenario = scenario;
        request.instances = instances;
        std::FILE* out = std::tmpfile();
        const int status = runSimulation(diagram, request, out);
        std::rewind(out);
        trace.clear();
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) {
            trace.append(buffer, n);
        }
        std::fclose(out);
        return status;
    }
    std::string errorLog() const { return test::readFile(dir / "FSM_ERR.log"); }

    // A root "Loop" whose two states hand over to each other at once, for
    // ever: chain transitions with blank conditions and no loop limit.
    std::string endlessChain() {
        Document doc;
        doc.sFullDocname = dir / "Loop.fsm";
        test::DiagramBuilder b(doc);
        b.fsm("Loop", {{FF_MAX_LOOPS, "0"}});
        Node* a = b.state({.name = "A", .moore = "T(1);", .kind = NK_INITIAL});
        Node* s = b.state({.name = "B", .moore = "T(2);"});
        b.transition(a, s, {.continueImmediately = "Y"});
        b.transition(s, a, {.condition = "go", .continueImmediately = "Y"});
        SaveGraphInfo(doc, true);
        std::string error;
        EXPECT_TRUE(SaveToFile(doc.diagram(), doc.sFullDocname, error)) << error;
        return doc.sFullDocname;
    }

    test::TempDir dir;
    test::LogsIn logs{dir.path()};
    std::string trace;
};

TEST(SimulationOptions, AreTakenOutBeforeTheSwitches) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> left;
        bool given;
        std::string scenario;
        int instances;
        std::string error;  // a part of it
    } cases[] = {
        {{"a.fsm", "/CH"}, {"a.fsm", "/CH"}, false, "", 0, ""},
        {{"a.fsm", "--simulate=s.json"}, {"a.fsm"}, true, "s.json", 0, ""},
        {{"--simulate", "my s.json", "a.fsm"}, {"a.fsm"}, true, "my s.json", 0, ""},
        {{"a.fsm", "--instances=3", "/CHR", "--simulate=s.json"},
         {"a.fsm", "/CHR"},
         true,
         "s.json",
         3,
         ""},
        {{"a.fsm", "--instances", "2", "--simulate=s.json"}, {"a.fsm"}, true, "s.json", 2, ""},
        {{"a.fsm", "--simulate="}, {"a.fsm"}, true, "", 0, "needs a scenario file"},
        {{"a.fsm", "--simulate"}, {"a.fsm"}, true, "", 0, "needs a scenario file"},
        {{"a.fsm", "--instances=2"}, {"a.fsm"}, true, "", 0, "needs --simulate"},
        {{"a.fsm", "--simulate=s.json", "--instances=0"},
         {"a.fsm"},
         true,
         "s.json",
         0,
         "from 1 to 999999, not [0]"},
        {{"a.fsm", "--simulate=s.json", "--instances=two"},
         {"a.fsm"},
         true,
         "s.json",
         0,
         "not [two]"},
        // Look-alikes stay for the switch parser, and so does everything
        // after "--", which is the diagram path.
        {{"a.fsm", "--simulated=x"}, {"a.fsm", "--simulated=x"}, false, "", 0, ""},
        {{"--simulate=s.json", "--", "--simulate=x.fsm"},
         {"--", "--simulate=x.fsm"},
         true,
         "s.json",
         0,
         ""},
    };
    EXPECT_NE(FullHelpText("tarvel").find("\r\n --simulate=SCENARIO.json  "), std::string::npos);
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        const auto request = TakeSimulationOptions(args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(args, c.left);
        ASSERT_EQ(request.has_value(), c.given);
        if (!request) {
            continue;
        }
        if (c.error.empty()) {
            EXPECT_EQ(request->error, "");
            EXPECT_EQ(request->scenario, c.scenario);
            EXPECT_EQ(request->instances, c.instances);
        } else {
            EXPECT_NE(request->error.find(c.error), std::string::npos) << request->error;
        }
    }
}

// The bundled example's scenario, as the README runs it: child calls split
// the Moore text, chains run within the call, the child keeps its state.
TEST_F(SimulationRun, TrafficLightExampleGivesItsTrace) {
    const std::string scenario =
        std::string(TARVEL_SOURCE_DIR) + "/examples/TrafficLight.scenario.json";
    ASSERT_EQ(run(EXAMPLE, scenario), 0) << errorLog();
    EXPECT_EQ(trace,
              test::readFile(std::string(TARVEL_GOLDEN_DIR) + "/sim/TrafficLight.trace.jsonl"));
    EXPECT_EQ(errorLog(), "");
}

TEST_F(SimulationRun, InstancesRunIndependently) {
    const std::string request = "buttonPressed &&\\r\\nphaseTicks >= MIN_GREEN";
    const std::string scenario = dir.write("s.json", "[[[], [\"" + request + "\"]], [], [[]]]");
    ASSERT_EQ(run(EXAMPLE, scenario, 3), 0) << errorLog();
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("{\"instance\":1,\"call\":1,")) << lines[0];
    EXPECT_NE(lines[1].find("\"to\":\"CARS_YELLOW\""), std::string::npos) << lines[1];
    // Instance 3 starts from the beginning, whatever instance 1 did.
    EXPECT_EQ(lines[2].substr(lines[2].find(",\"actions\"")),
              lines[0].substr(lines[0].find(",\"actions\"")));
    EXPECT_TRUE(lines[2].starts_with("{\"instance\":3,\"call\":1,")) << lines[2];
}

TEST_F(SimulationRun, BadInputIsAClearErrorBeforeAnyTrace) {
    const std::string damaged =
        dir.write("Damaged.fsm", "{\"format\": \"tarvel-fsm\", \"nodes\": [");
    Document unfinished;
    unfinished.sFullDocname = dir / "NoStart.fsm";
    test::DiagramBuilder(unfinished).fsm("NoStart").state({.name = "A"});
    SaveGraphInfo(unfinished, true);
    std::string error;
    ASSERT_TRUE(SaveToFile(unfinished.diagram(), unfinished.sFullDocname, error));

    const struct {
        std::string diagram;
        std::string scenario;  // the file's text; "-" for no file at all
        int instances;
        std::string message;  // a part of the error-log line
    } cases[] = {
        {EXAMPLE, "[[\"no such condition\"]]", 0,
         "no transition has the condition [no such condition] (call 1 of"},
        {EXAMPLE, "[[], [\" phaseTicks >= YELLOW \", \"x\"]]", 0, "[x] (call 2 of"},
        {EXAMPLE, "-", 0, "cannot read the scenario"},
        {EXAMPLE, "", 0, "a scenario is a JSON array, found the end of the file"},
        {EXAMPLE, "{\"calls\": []}", 0, "a scenario is a JSON array, found \"{\""},
        {EXAMPLE, "[[]] x", 0, "text follows the scenario's array"},
        {EXAMPLE, "[[], [\"phaseTicks", 0, "the file ends inside call 2"},
        {EXAMPLE, "[[] []]", 0, "expected \",\" or \"]\" after a call, found \"[\""},
        {EXAMPLE, "[[],]", 0, "call 2 is not an array of condition texts"},
        {EXAMPLE, "[null]", 0, "call 1 is not an array of condition texts"},
        {EXAMPLE, "[[1]]", 0, "call 1 holds something other than a condition text"},
        {EXAMPLE, "[[\"\\x\"]]", 0, "call 1 is not valid JSON"},
        {EXAMPLE, "[[[]]]", 2, "it holds 1 arrays of calls for 2 instances"},
        {EXAMPLE, "[[], [], []]", 2, "it holds more than 2 arrays of calls"},
        {EXAMPLE, "[[[], 5]]", 1, "call 2 of instance 1 is not an array"},
        {EXAMPLE, "[[[], [\"x", 1, "the file ends inside call 2 of instance 1"},
        {damaged, "[]", 0, "Fsm error loading:[" + damaged + "]"},
        {dir / "Missing.fsm", "[]", 0, "Fsm error loading:["},
        {unfinished.sFullDocname, "[]", 0, "a start node must be defined"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        std::filesystem::remove(dir / "FSM_ERR.log");
        const std::string scenario =
            c.scenario == "-" ? dir / "none.json" : dir.write("s.json", c.scenario);
        EXPECT_EQ(run(c.diagram, scenario, c.instances), 1);
        EXPECT_NE(errorLog().find(c.message), std::string::npos) << errorLog();
        EXPECT_EQ(trace, "");
    }
}

// The generated code would loop for ever: the simulator stops the call after
// the bound, says so in the call's line and fails.
TEST_F(SimulationRun, EndlessChainStopsAtTheBound) {
    const std::string diagram = endlessChain();
    ASSERT_EQ(run(diagram, dir.write("s.json", "[[], [\"go\"], [\"go\"]]")), 1);
    const std::size_t firstEnd = trace.find('\n');
    EXPECT_EQ(trace.substr(0, firstEnd),
              "{\"call\":1,\"actions\":[\"T(1);\",\"T(2);\"],\"fired\":[{\"diagram\":\"Loop\","
              "\"from\":\"A\","
              "\"to\":\"B\",\"priority\":1}],\"active\":{\"Loop\":\"B\"}}");
    const std::string second = trace.substr(firstEnd + 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 2) << "no line after the stopped call";
    EXPECT_TRUE(second.starts_with("{\"call\":2,\"actions\":[\"T(2);\",\"T(1);\",\"T(2);\""));
    EXPECT_TRUE(
        second.ends_with(",\"error\":\"the chain transitions of Loop did not end after "
                         "100000 steps; the generated code would loop for ever\"}\n"))
        << second.substr(second.size() - 300);
    EXPECT_NE(errorLog().find("Fsm simulation: call 2: the chain transitions of Loop"),
              std::string::npos);
}

// The option reaches the simulation from the command line, also without any
// generation switch, and never starts the editor.
TEST_F(SimulationRun, CommandLineRunsTheSimulation) {
    const std::string scenario = dir.write("s.json", "[]");
    const StartupResult missing = handleCommandLine(
        {dir / "Missing.fsm", "--simulate=" + scenario, "/E" + dir.path()}, "tarvel");
    EXPECT_EQ(missing.action, StartupAction::Exit);
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(errorLog().find("no diagram to simulate"), std::string::npos) << errorLog();

    const StartupResult ran =
        handleCommandLine({"--simulate", scenario, "/E" + dir.path(), EXAMPLE}, "tarvel");
    EXPECT_EQ(ran.action, StartupAction::Exit);
    EXPECT_EQ(ran.exitStatus, 0) << errorLog();
}

}  // namespace
}  // namespace tarvel
