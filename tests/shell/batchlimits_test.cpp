// A batch run at the limits of the machine: diagrams larger than the size
// limit, a run that cannot get memory, a hierarchy deeper than a path can be.
// Each ends with status 1 and says why, never with an abort.
#include <fcntl.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/failingallocator.h"
#include "../support/scratchfolder.h"
#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "model/documentio.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "shell/batchrun.h"
#include "shell/commandline.h"

namespace tarvel {
namespace {

class BatchLimits : public ::testing::Test {
protected:
    BatchLimits() {
        SetRunLogPath(m_scratch.at("run.log"));
        SetErrorPath(m_scratch.path());
    }
    ~BatchLimits() override {
        SetRunLogPath("");
        SetErrorPath("");
    }

    int batch(std::vector<std::string> args) {
        args.push_back("/E" + m_scratch.path());
        return runBatch(ParseCommandLine(args));
    }
    std::vector<std::string> errorLog() const {
        return logMessages(readFile(m_scratch.at("FSM_ERR.log")));
    }
    std::string runLog() const { return readFile(m_scratch.at("run.log")); }

    // The text of a diagram named `name` whose one state runs `child` (none
    // when empty).
    static std::string diagramText(const std::string& path, const std::string& child) {
        Document doc;
        doc.sFullDocname = path;
        Node* a = test::addState(doc, "A", NK_INITIAL);
        if (!child.empty()) {
            StateRecord r = StateRecord::read(*a);
            r.moore = child + "();";
            writeState(doc, r, a->NodeKind(), *a);
        }
        SaveGraphInfo(doc, true);
        return writeDiagramJson(doc.diagram());
    }

    ScratchFolder m_scratch;
};

// A sparse file costs nothing on disk, but reading it would take all the
// memory there is: it is refused by its size before anything is read, also
// as a child of the hierarchy.
TEST_F(BatchLimits, DiagramsAboveTheSizeLimitAreRefusedBeforeTheyAreRead) {
    const std::string root =
        m_scratch.write("Root.fsm", diagramText(m_scratch.at("Root.fsm"), "Huge"));
    const struct {
        std::string name;
        std::string opened;  // the diagram the run opens
    } cases[] = {
        {"Big.fsm", "Big.fsm"}, {"Huge.fsm", "Root.fsm"},  // the child of Root
    };
    ASSERT_FALSE(root.empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string big = m_scratch.write(c.name);
        ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(MAX_DIAGRAM_FILE_BYTES) + 1), 0);
        ::unlink(m_scratch.at("FSM_ERR.log").c_str());
        EXPECT_EQ(batch({m_scratch.at(c.opened), "/CH"}), 1);
        ASSERT_FALSE(errorLog().empty());
        EXPECT_EQ(errorLog().front(), "Fsm error loading:[" + big + "]");
        EXPECT_NE(runLog().find(big + ": it is larger than 256 MiB (268435457 bytes)"),
                  std::string::npos);
    }
}

// One allocation fails, anywhere in a run that generates the code, the page
// and the list file of a hierarchy: each run ends by itself, with status 0
// when the failure was of no consequence, or with status 1 and a line of the
// error log; never with an abort.
TEST_F(BatchLimits, AnAllocationFailureAnywhereEndsTheRunWithStatusOneAndALine) {
    const std::string root =
        m_scratch.write("Root.fsm", diagramText(m_scratch.at("Root.fsm"), "Child"));
    m_scratch.write("Root/Child.fsm", diagramText(m_scratch.at("Root/Child.fsm"), ""));
    const StartupState state = ParseCommandLine(
        {root, "/CH", "/H", "/LS", "/O" + m_scratch.makeFolder("out"), "/E" + m_scratch.path()});
    // Runs the batch in a child process with the n-th allocation failing
    // (none for 0); the child's exit status.
    auto runFailing = [&state](std::size_t n) {
        ::unlink(ErrorLogPath().c_str());
        const pid_t child = ::fork();
        if (child == 0) {
            test::failAllocation(n);
            try {
                std::_Exit(runBatch(state));
            } catch (...) {
                std::_Exit(99);  // escaped the run
            }
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    };

    test::failAllocation(0);
    ASSERT_EQ(runBatch(state), 0) << readFile(m_scratch.at("FSM_ERR.log"));
    const std::size_t allocations = test::allocationsSinceArmed();
    ASSERT_GT(allocations, 100u);

    // Every allocation of the run, or an even spread of a thousand of them.
    std::vector<std::size_t> failing;
    for (std::size_t n = 1; n <= allocations; n += 1 + allocations / 1000) {
        failing.push_back(n);
    }
    int endedWithALine = 0;
    for (const std::size_t n : failing) {
        const int status = runFailing(n);
        ASSERT_TRUE(WIFEXITED(status)) << "allocation " << n << " ended the run with signal "
                                       << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        ASSERT_LE(WEXITSTATUS(status), 1) << "allocation " << n;
        if (WEXITSTATUS(status) == 1) {
            EXPECT_FALSE(errorLog().empty()) << "allocation " << n;
            ++endedWithALine;
        }
    }
    // Most failures do end the run: an allocation is rarely of no consequence.
    EXPECT_GT(endedWithALine, static_cast<int>(failing.size() / 2));
    runFailing(allocations / 2);
    EXPECT_EQ(errorLog(), std::vector<std::string>{"Fsm out of memory:[" + root + "]"});
}

// Child diagrams in sub-folders named after their parents, each name long,
// so that the path of a deep child is longer than the system allows. The run
// fails at that child, and the run log says why.
TEST_F(BatchLimits, AHierarchyDeeperThanAPathCanBeFailsWithTheReason) {
    constexpr int LEVELS = 30;
    auto name = [](int level) { return "L" + std::to_string(level) + "_" + std::string(200, 'x'); };
    int folder = ::open(m_scratch.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    std::string path = m_scratch.path();
    for (int level = 0; level < LEVELS; ++level) {
        path += "/" + name(level) + ".fsm";
        const std::string text =
            diagramText(path, level + 1 < LEVELS ? name(level + 1) : std::string());
        const int fd = ::openat(folder, (name(level) + ".fsm").c_str(),
                                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
        ASSERT_EQ(::mkdirat(folder, name(level).c_str(), 0755), 0);
        const int below = ::openat(folder, name(level).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = below;
        ASSERT_GE(folder, 0);
        path = StripExtension(path);
    }
    ::close(folder);

    EXPECT_EQ(batch({m_scratch.at(name(0) + ".fsm"), "/CH"}), 1);
    const std::vector<std::string> logged = errorLog();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_TRUE(logged[0].starts_with("Fsm error loading:[" + m_scratch.path() + "/" + name(0)));
    EXPECT_EQ(logged[1], "Code can't be created:[" + name(0) + ".fsm]");
    const std::string prefix = "Fsm error loading:[";
    const std::string failed =
        logged[0].substr(prefix.size(), logged[0].size() - prefix.size() - 1);
    EXPECT_GT(failed.size(), 4096u);
    EXPECT_NE(runLog().find(" FileOpen, " + failed + ": File name too long"), std::string::npos);
}

}  // namespace
}  // namespace tarvel
