#include "base/logs.h"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <regex>

#include <gtest/gtest.h>

#include "../support/scopedenv.h"
#include "../support/scratchfolder.h"
#include "base/text.h"

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
    LogError("two");

    const std::string errorLog = readFile(folder + "/FSM_ERR.log");
    EXPECT_TRUE(std::regex_match(
        errorLog, std::regex(R"(\[\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\]:one\r\n\[[^\]]*\]:two\r\n)")))
        << errorLog;
    EXPECT_EQ(logMessages(readFile(m_runLog)), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ErrorLogCount(), before + 2);
}

// A file name holding a line break must not forge a well-formed line of its
// own: one event is one line in both logs.
TEST_F(LogsTest, ControlCharactersAreEscapedSoOneEventIsOneLine) {
    LogError("Fsm path error [/x/a.fsm\r\n[01/01/2026 00:00:00]:forged\t\x1B[2J\x7F\xC2\x85.fsm]");
    const std::string escaped =
        "Fsm path error [/x/a.fsm\\r\\n[01/01/2026 00:00:00]:forged\\t\\x1B[2J\\x7F\\u0085.fsm]";
    EXPECT_EQ(logMessages(readFile(m_scratch.at("FSM_ERR.log"))),
              std::vector<std::string>{escaped});
    EXPECT_EQ(logMessages(readFile(m_runLog)), std::vector<std::string>{escaped});
    // Text that needs no escape, UTF-8 and backslashes included, is kept.
    EXPECT_EQ(escapeControlCharacters("caf\xC3\xA9 \\n \xC2\xB7"), "caf\xC3\xA9 \\n \xC2\xB7");
}

// A log at a name that is a link is written only when the link is the
// user's own and leads to a regular file the user may write. A refused or
// failed error-log line is told on standard error, with its message.
TEST_F(LogsTest, ErrorLogLinesThatCannotBeWrittenAreToldOnStandardError) {
    const std::string victim = m_scratch.write("victim", "precious\n");
    const std::string mine = m_scratch.write("mine.log");
    const struct {
        const char* name;
        std::string folder;
        std::function<void(const std::string& log)> plant;
        const char* reason;  // empty: the line is written
    } cases[] = {
        {"the user's own link", m_scratch.makeFolder("own"),
         [&](const std::string& log) { fs::create_symlink(mine, log); }, ""},
        {"a link that leads nowhere", m_scratch.makeFolder("dangling"),
         [&](const std::string& log) { fs::create_symlink(m_scratch.at("nothing"), log); },
         "leads nowhere"},
        {"a link of another user", m_scratch.makeFolder("theirs"),
         [&](const std::string& log) {
             fs::create_symlink(victim, log);
             ASSERT_EQ(::lchown(log.c_str(), 65534, 65534), 0);
         },
         "of another user"},
        {"a missing folder", m_scratch.at("missing"), [](const std::string&) {},
         "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.reason) == "of another user" && ::geteuid() != 0) {
            continue;
        }
        const std::string log = c.folder + "/FSM_ERR.log";
        c.plant(log);
        SetErrorPath(c.folder);
        const int before = ErrorLogCount();
        ::testing::internal::CaptureStderr();
        LogError("Fsm error loading:[/x/a\nb.fsm]");
        const std::string told = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(ErrorLogCount(), before + 1);  // the run fails either way
        EXPECT_EQ(readFile(victim), "precious\n");
        if (std::string(c.reason).empty()) {
            EXPECT_EQ(told, "");
            EXPECT_EQ(logMessages(readFile(mine)),
                      std::vector<std::string>{"Fsm error loading:[/x/a\\nb.fsm]"});
            EXPECT_TRUE(fs::is_symlink(log));
            continue;
        }
        EXPECT_NE(told.find("cannot write the error log"), std::string::npos) << told;
        EXPECT_NE(told.find(c.reason), std::string::npos) << told;
        EXPECT_NE(told.find("Fsm error loading:[/x/a\\nb.fsm]\n"), std::string::npos) << told;
    }

    // The run log follows the same rule; nothing is made where a dangling
    // link points.
    const std::string runLink = m_scratch.at("run.log");
    fs::create_symlink(m_scratch.at("made"), runLink);
    SetRunLogPath(runLink);
    LogRun("trace");
    EXPECT_FALSE(fs::exists(m_scratch.at("made")));
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
