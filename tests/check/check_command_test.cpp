// `tarvel DIAGRAM.fsm --check` as a build script runs it: the exit status,
// the outputs, the refusals, and that it changes no file and leaves nothing
// behind.
#include <gtest/gtest.h>

#include <simdjson.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "../support/scopedenv.h"
#include "../support/scratchfolder.h"
#include "check/checkids.h"
#include "shell/batchcheck.h"
#include "shell/batchrun.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

const std::string FIXTURES = std::string(TARVEL_FIXTURES_DIR) + "/check";
const std::string EXAMPLES = std::string(TARVEL_SOURCE_DIR) + "/examples";

bool haveCc() {
    return std::system("command -v cc >/dev/null 2>&1") == 0;
}

struct CheckRun {
    int status = 0;
    std::string out;
    std::string err;
};

CheckRun check(std::vector<std::string> args) {
    CheckRun r;
    std::ostringstream out;
    std::ostringstream err;
    auto request = takeCheckArguments(args);
    EXPECT_TRUE(request.has_value());
    if (request) {
        r.status = runCheckCommand(*request, args, out, err);
    }
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(CheckCommand, ExitStatusSaysWhetherAnErrorWasFound) {
    const struct {
        std::string diagram;
        int status;
    } cases[] = {
        {FIXTURES + "/dead-end-state/Root.fsm", 0},  // a warning only
        {FIXTURES + "/case-clash/Root.fsm", 1},
        {FIXTURES + "/child-load-error/Root.fsm", 1},
    };
    for (const auto& c : cases) {
        const CheckRun r = check({c.diagram, "--check", "--cc=none"});
        EXPECT_EQ(r.status, c.status) << c.diagram << "\n" << r.out;
        EXPECT_FALSE(r.out.empty());
        EXPECT_TRUE(r.err.empty()) << r.err;
    }
}

TEST(CheckCommand, TheBundledExamplesCheckClean) {
    if (!haveCc()) {
        GTEST_SKIP() << "cc is not installed";
    }
    // The roots; PedestrianSignal, Program and SoftStart are children, checked
    // (and compiled) as parts of their roots, with what their parents define.
    for (const char* example : {"TrafficLight.fsm", "UartParser.fsm", "MotorControl.fsm"}) {
        const CheckRun r = check({EXAMPLES + "/" + example, "--check"});
        EXPECT_EQ(r.status, 0) << example;
        EXPECT_EQ(r.out, "") << example;
        EXPECT_EQ(r.err, "") << example;
    }
}

TEST(CheckCommand, ADamagedDiagramIsRefusedOnStandardError) {
    ScratchFolder dir;
    const std::string path = dir.write("Broken.fsm", "{\"format\": \"tarvel-fsm\", \"nodes\": [");
    const CheckRun r = check({path, "--check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Fsm error loading:[" + path + "]\n");
}

TEST(CheckCommand, UsageProblemsFailWithAMessage) {
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{FIXTURES + "/case-clash/Root.fsm", "--check", "--format=xml"},
         "unknown format \"xml\" (text, json or sarif)\n"},
        {{FIXTURES + "/case-clash/Root.fsm", "--check", "--strict"},
         "unknown option \"--strict\" with --check\n"},
        {{"--check"},
         "--check needs a diagram: DIAGRAM.fsm --check [--format=text|json|sarif] "
         "[--cc=COMMAND]\n"},
        {{FIXTURES + "/missing.fsm", "--check"}, "Fsm path error [" + FIXTURES + "/missing.fsm]\n"},
    };
    for (const auto& c : cases) {
        const CheckRun r = check(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

// "--" ends the options: what follows is the diagram, even "--check".
TEST(CheckCommand, DoubleDashEndsTheOptions) {
    ScratchFolder dir;
    dir.enter();
    fs::copy(FIXTURES + "/dead-end-state/Root.fsm", dir.at("-x.fsm"));
    const CheckRun r = check({"--check", "--cc=none", "--", "-x.fsm"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find(':')), "-x.fsm");
    std::vector<std::string> notACheck = {"--", "--check"};
    EXPECT_FALSE(takeCheckArguments(notACheck).has_value());
}

TEST(CheckCommand, ListsEveryCheckWithItsHelp) {
    const CheckRun r = check({"--check", "--list"});
    EXPECT_EQ(r.status, 0);
    for (const CheckInfo& c : allChecks()) {
        EXPECT_NE(r.out.find(std::string(c.id) + " "), std::string::npos) << c.id;
        EXPECT_NE(r.out.find(std::string(c.help) + "\n"), std::string::npos) << c.id;
    }
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'),
              static_cast<std::ptrdiff_t>(allChecks().size()));
}

TEST(CheckCommand, JsonHoldsTheSameFindings) {
    ScratchFolder dir;
    dir.enter();
    const std::string diagram = FIXTURES + "/comment-in-condition/Root.fsm";
    const CheckRun text = check({diagram, "--check", "--cc=none"});
    const CheckRun json = check({diagram, "--check", "--cc=none", "--format=json"});
    EXPECT_EQ(json.status, text.status);
    simdjson::dom::parser parser;
    simdjson::dom::element doc;
    ASSERT_EQ(parser.parse(json.out).get(doc), simdjson::SUCCESS) << json.out;
    EXPECT_EQ(int64_t(doc["errors"]), 2);
    EXPECT_EQ(int64_t(doc["warnings"]), 0);
    simdjson::dom::array findings = doc["findings"];
    ASSERT_EQ(findings.size(), 2u);
    simdjson::dom::element second = findings.at(1);
    EXPECT_EQ(std::string_view(second["file"]), diagram);
    EXPECT_EQ(std::string_view(second["severity"]), "error");
    EXPECT_EQ(std::string_view(second["element"]["kind"]), "transition");
    EXPECT_EQ(std::string_view(second["element"]["source"]), "B");
    EXPECT_EQ(std::string_view(second["element"]["target"]), "A");
    EXPECT_EQ(std::string_view(second["element"]["priority"]), "1");
    EXPECT_EQ(std::string_view(second["field"]), "condition");
    EXPECT_EQ(int64_t(second["line"]), 2);
    EXPECT_EQ(std::string_view(second["check"]), "comment-in-condition");
    EXPECT_NE(text.out.find(std::string(std::string_view(second["message"]))), std::string::npos);
}

// Every entry under a folder; a file with its bytes and its time.
std::map<std::string, std::pair<std::string, fs::file_time_type>> snapshot(const std::string& dir) {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string path = entry.path().string();
        files[path] = entry.is_regular_file()
                          ? std::pair(readFile(path), fs::last_write_time(entry.path()))
                          : std::pair(std::string("folder"), fs::file_time_type());
    }
    return files;
}

TEST(CheckCommand, ChangesNoFileAndLeavesNothingBehind) {
    if (!haveCc()) {
        GTEST_SKIP() << "cc is not installed";
    }
    // A hierarchy with errors of every kind, the current folder beside it,
    // and a temporary folder of its own to see that the private copy goes.
    ScratchFolder work;
    const std::string project = work.makeFolder("project");
    for (const char* fixture : {"c-error", "duplicate-fsm-name", "undefined-target-types"}) {
        fs::copy(FIXTURES + "/" + fixture, project + "/" + fixture, fs::copy_options::recursive);
    }
    const std::string temp = work.makeFolder("tmp");
    ScopedEnv tmpdir("TMPDIR", temp);
    ::chmod(project.c_str(), 0755);
    work.enter();
    const auto before = snapshot(work.path());
    for (const char* fixture : {"c-error", "duplicate-fsm-name", "undefined-target-types"}) {
        for (const char* format : {"--format=text", "--format=json", "--format=sarif"}) {
            const CheckRun r =
                check({"project/" + std::string(fixture) + "/Root.fsm", "--check", format});
            EXPECT_EQ(r.status, 1) << fixture;
        }
    }
    // The whole program, as a build script runs it.
    EXPECT_EQ(handleCommandLine({"project/c-error/Root.fsm", "--check"}, "tarvel").exitStatus, 1);
    EXPECT_EQ(snapshot(work.path()), before);
}

}  // namespace
}  // namespace tarvel
