// A batch run that owns its process (the command-line program) prepares the
// heap for its diagram's size and leaves its documents to the end of the
// process; what it writes must be exactly what a run inside a longer-lived
// process writes.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../support/tempdir.h"
#include "base/logs.h"
#include "shell/batchrun.h"
#include "shell/commandline.h"

namespace tarvel {
namespace {

const std::string SEP = "\xC2\xB7 \xC2\xB7";

// A flat machine written as the editor writes it: `states` states with five
// guarded transitions each; large enough for the heap preparation to act.
std::string largeDiagram(int states) {
    std::string nodes;
    std::string links;
    int id = 1;
    nodes += R"({"id":1,"kind":512,"data":"FSM_V000.006a)" + SEP + "Large" + SEP + SEP + SEP +
             "&Hierarchical Switch Case...;AS_N;FO_Y;HC_N;FI_N;FE_N;DI_N;AC_N;PT_N;HF_Y;BF_N;UM_Y;" +
             SEP + SEP + SEP + SEP + SEP + SEP + SEP + SEP + SEP + "\"}";
    const int firstState = 2;
    for (int i = 0; i < states; ++i) {
        const std::string n = std::to_string(i + 1);
        nodes += ",\n{\"id\":" + std::to_string(++id) + ",\"kind\":" + (i == 0 ? "16384" : "8192") +
                 ",\"data\":\"S" + n + SEP + "work(" + n + ");" + SEP + n + SEP + "enter_" + n +
                 "();" + SEP + "leave_" + n + "();" + SEP + "N" + SEP + "N" + SEP + SEP +
                 "\",\"left\":" + std::to_string(i % 50 * 3000) + ",\"top\":" +
                 std::to_string(i / 50 * 2500) + ",\"width\":1500,\"height\":1000}";
    }
    for (int i = 0; i < states; ++i) {
        for (int k = 1; k <= 5; ++k) {
            const int t = ++id;
            nodes += ",\n{\"id\":" + std::to_string(t) + R"(,"kind":2048,"data":")" +
                     std::to_string(k) + SEP + "input == " + std::to_string(k) + " && ready(" +
                     std::to_string(i) + ")" + SEP + "count++;" + SEP + "Y" + SEP + "N" + SEP +
                     "N" + SEP + R"(","width":150,"height":100})";
            links += std::string(links.empty() ? "" : ",\n") + "{\"origin\":" +
                     std::to_string(firstState + i) + ",\"target\":" + std::to_string(t) +
                     ",\"arrowStyle\":0},\n{\"origin\":" + std::to_string(t) + ",\"target\":" +
                     std::to_string(firstState + (i + k) % states) + "}";
        }
    }
    return R"({"format":"tarvel-fsm","version":1,"nodes":[)" + nodes + "],\n\"links\":[" + links +
           "]}\n";
}

TEST(BatchProcess, ARunOwningItsProcessWritesWhatASharedRunWrites) {
    test::TempDir dir;
    const std::string diagram = dir.write("Large.fsm", largeDiagram(1000));
    const auto run = [&](const std::string& out, BatchProcess process) {
        std::filesystem::create_directory(out);
        return runBatch(ParseCommandLine({diagram, "/CH", "/O" + out, "/E" + out}), process);
    };
    ASSERT_EQ(run(dir / "shared", BatchProcess::Shared), 0);

    // The owning run ends its process, as the command-line program does.
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        _exit(run(dir / "own", BatchProcess::Own));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    SetErrorPath("");

    EXPECT_GT(test::readFile(dir / "shared/Large.c").size(), 1000000u);
    for (const char* file : {"Large.c", "Large.h"}) {
        const std::string shared = test::readFile(dir / ("shared/" + std::string(file)));
        EXPECT_EQ(test::readFile(dir / ("own/" + std::string(file))), shared) << file;
    }
}

}  // namespace
}  // namespace tarvel
