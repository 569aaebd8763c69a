#include "base/logs.h"

#include <unistd.h>

#include <filesystem>
#include <regex>

#include <gtest/gtest.h>

#include "../support/scopedenv.h"
#include "../support/scratchfolder.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// Sends both logs into a scratch folder for one test.
class LogsTest : public ::testing::Test {
protected:
    LogsTest() {
        m_scratch.enter();
        SetRunLogPath(m_runLog);
        SetErrorPath("");
    }
    ~LogsTest() override {
        SetRunLogPath("");
        SetErrorPath("");
    }

    ScratchFolder m_scratch;
    std::string m_runLog = m_scratch.at("state/tarvel/FSM.log");
};

TEST_F(LogsTest, RunLogLineNamesProcessThreadAndTime) {
    LogRun(" FileOpen, Error #53: File not found");
    LogRun("second");

    // The run log's folder did not exist: it was created, privately.
    EXPECT_EQ(fs::status(m_scratch.at("state/tarvel")).permissions() &
                  (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none);

    const std::string text = readFile(m_runLog);
    const std::regex line(
        R"(\[([0-9A-F]+):[0-9A-F]+\|\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\]: FileOpen, Error #53: File not found\r\n\[.*\]:second\r\n)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, line)) << text;
    EXPECT_EQ(std::stoul(match[1].str(), nullptr, 16), static_cast<unsigned long>(::getpid()));
}

TEST_F(LogsTest, ErrorLineGoesToTheErrorFolderAndToTheRunLog) {
    const std::string folder = m_scratch.makeFolder("out");
    const int before = ErrorLogCount();

    // With and without the trailing "/" the folder is the same.
    SetErrorPath(folder + "/");
    LogError("one");
    SetErrorPath(folder);
    LogError("two\r\nlines");

    const std::string errorLog = readFile(folder + "/FSM_ERR.log");
    EXPECT_TRUE(std::regex_match(
        errorLog,
        std::regex(R"(\[\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\]:one\r\n\[[^\]]*\]:two\r\nlines\r\n)")))
        << errorLog;
    EXPECT_EQ(logMessages(readFile(m_runLog)), (std::vector<std::string>{"one", "two", "lines"}));
    EXPECT_EQ(ErrorLogCount(), before + 2);
}

TEST_F(LogsTest, ErrorLogDefaultsToTheCurrentFolder) {
    LogError("here");
    EXPECT_EQ(logMessages(readFile(m_scratch.at("FSM_ERR.log"))), std::vector<std::string>{"here"});
}

TEST_F(LogsTest, AFailedWriteIsLostButStillCounted) {
    const int before = ErrorLogCount();
    SetErrorPath(m_scratch.at("missing"));
    LogError("lost");
    EXPECT_FALSE(fs::exists(m_scratch.at("missing")));
    // The run log still receives the message, and the run counts as failed.
    EXPECT_EQ(logMessages(readFile(m_runLog)), std::vector<std::string>{"lost"});
    EXPECT_EQ(ErrorLogCount(), before + 1);

    SetRunLogPath(m_scratch.write("file") + "/FSM.log");
    LogRun("nowhere");  // no folder can be made below a file; nothing happens
}

TEST_F(LogsTest, DeleteRunLog) {
    LogRun("x");
    ASSERT_TRUE(fs::exists(m_runLog));
    DeleteRunLog();
    EXPECT_FALSE(fs::exists(m_runLog));
    DeleteRunLog();  // nothing left to delete
}

TEST_F(LogsTest, RunLogLivesInTheUserStateFolder) {
    SetRunLogPath("");
    ScopedEnv home("HOME", m_scratch.path());
    const struct {
        std::optional<std::string> state;
        std::string expected;
    } cases[] = {
        {m_scratch.at("xdg"), m_scratch.at("xdg/tarvel/FSM.log")},
        {std::nullopt, m_scratch.at(".local/state/tarvel/FSM.log")},
        {"", m_scratch.at(".local/state/tarvel/FSM.log")},
        // A relative value is not a valid base folder.
        {"relative", m_scratch.at(".local/state/tarvel/FSM.log")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state.value_or("(unset)"));
        ScopedEnv state("XDG_STATE_HOME", c.state);
        EXPECT_EQ(RunLogPath(), c.expected);
    }
}

}  // namespace
}  // namespace tarvel
