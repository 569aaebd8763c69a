#include "shell/commandline.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "../support/scratchfolder.h"
#include "base/logs.h"
#include "shell/batchcheck.h"
#include "shell/batchrun.h"
#include "shell/longoptions.h"
#include "shell/simulationrun.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// The switch flags that are set, in a fixed order, separated by blanks.
std::string flagsOf(const StartupState& s) {
    const std::pair<bool, const char*> flags[] = {
        {s.C, "C"},        {s.CH, "CH"},       {s.CHR, "CHR"},    {s.CS, "CS"},
        {s.CP, "CP"},      {s.CA, "CA"},       {s.LS, "LS"},      {s.H, "H"},
        {s.HL, "HL"},      {s.W, "W"},         {s.Dplus, "D+"},   {s.Dminus, "D-"},
        {s.ACplus, "AC+"}, {s.ACminus, "AC-"}, {s.PTplus, "PT+"}, {s.PTminus, "PT-"},
        {s.BFplus, "BF+"}, {s.BFminus, "BF-"},
    };
    std::string out;
    for (const auto& [set, name] : flags) {
        if (set) {
            out += out.empty() ? "" : " ";
            out += name;
        }
    }
    return out;
}

// Every "@" of a table text stands for the scratch folder.
std::string expand(std::string_view text, const std::string& scratch) {
    std::string out;
    for (const char c : text) {
        if (c == '@') {
            out += scratch;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> expandAll(const std::vector<std::string>& texts,
                                   const std::string& scratch) {
    std::vector<std::string> out;
    for (const auto& text : texts) {
        out.push_back(expand(text, scratch));
    }
    return out;
}

// The arguments of a case, for the failure messages.
std::string traceOf(const std::vector<std::string>& args) {
    std::string trace;
    for (const auto& arg : args) {
        trace += "[" + arg + "] ";
    }
    return trace;
}

// The messages of the error log in `folder` of the scratch folder (empty:
// the scratch folder itself).
std::vector<std::string> errorLogIn(const ScratchFolder& scratch, const std::string& folder) {
    return logMessages(
        readFile(scratch.at(folder.empty() ? "FSM_ERR.log" : folder + "/FSM_ERR.log")));
}

// Each case runs in a fresh scratch folder that is the current directory and
// holds these files and folders.
void populate(const ScratchFolder& scratch) {
    for (const char* file : {"a.fsm", "b c.fsm", "U.FSM", "m.Fsm", "a.fsm.bak"}) {
        scratch.write(file, "x");
    }
    scratch.makeFolder("out");
    scratch.makeFolder("err");
    scratch.makeFolder("d.fsm");
}

TEST(CommandLine, Parse) {
    const struct {
        std::vector<std::string> args;
        std::string path;  // sCommandLine after parsing
        std::string flags;
        bool batch;
        std::vector<std::string> errors;  // error-log messages, in order
        std::string errorFolder = "";     // where the error log is expected
        std::string output = "";          // sOutputPath
        bool pathSwitchError = false;
    } cases[] = {
        {{}, "", "", false, {}},
        // Only the diagram: an interactive start, with the path made absolute.
        {{"a.fsm"}, "@/a.fsm", "", false, {}},
        {{"./a.fsm"}, "@/a.fsm", "", false, {}},
        {{"@/a.fsm"}, "@/a.fsm", "", false, {}},

        // Switches in any case; the longer ones are taken first.
        {{"a.fsm", "/c"}, "@/a.fsm", "C", true, {}},
        {{"/hl", "a.fsm", "/ls"}, "@/a.fsm", "LS HL", true, {}},
        {{"a.fsm", "/CHR"}, "@/a.fsm", "CHR", true, {}},
        {{"a.fsm", "/CH", "/CHR"}, "@/a.fsm", "CH CHR", true, {}},
        {{"a.fsm", "/C", "/CH"}, "@/a.fsm", "C CH", true, {}},
        {{"a.fsm", "/H", "/W"}, "@/a.fsm", "H W", true, {}},

        // Option pairs do not start a batch run; "-" wins over "+".
        {{"a.fsm", "/D+", "/D-"}, "@/a.fsm", "D-", false, {}},
        {{"a.fsm", "/d+", "/ac-", "/Pt+", "/BF+", "/BF-"}, "@/a.fsm", "D+ AC- PT+ BF-", false, {}},

        // A switch counts only as a whole word.
        {{"a.fsm", "/CX"}, "", "", false, {"Fsm path error [a.fsm /CX]"}},
        {{"a.fsm", "x/C"}, "", "", false, {"Fsm path error [a.fsm x/C]"}},
        // Only the first occurrence is taken.
        {{"a.fsm", "/C", "/C"}, "", "C", true, {"Fsm path error [a.fsm  /C]"}},

        // The ".fsm" test ignores case, the file must exist and be a file.
        {{"U.FSM", "/C"}, "@/U.FSM", "C", true, {}},
        {{"m.Fsm", "/w"}, "@/m.Fsm", "W", true, {}},
        {{"a.fsm.bak", "/C"}, "", "C", true, {"Fsm path error [a.fsm.bak]"}},
        {{"d.fsm", "/C"}, "", "C", true, {"Fsm path error [d.fsm]"}},
        {{"missing.fsm", "/C"}, "", "C", true, {"Fsm path error [missing.fsm]"}},
        {{"/C"}, "", "C", true, {"Fsm path error []"}},

        // A path with blanks: the shell gives it as one argument, a file
        // manager in quotes. Quotes are removed only around the whole line.
        {{"b c.fsm", "/C"}, "@/b c.fsm", "C", true, {}},
        {{"\"b c.fsm\""}, "@/b c.fsm", "", false, {}},
        {{"\"b c.fsm\"", "/C"}, "", "C", true, {"Fsm path error [\"b c.fsm\"]"}},

        // Absolute paths are never switches, even when a word starts with
        // "/h", "/e" or "/o".
        {{"/home/x/a.fsm", "/H"}, "", "H", true, {"Fsm path error [/home/x/a.fsm]"}},
        {{"/etc/none.fsm", "/C"}, "", "C", true, {"Fsm path error [/etc/none.fsm]"}},
        {{"/opt/none.FSM"}, "", "", false, {"Fsm path error [/opt/none.FSM]"}},

        // Output and error folders.
        {{"a.fsm", "/O@/out/", "/E@/err", "/C"}, "@/a.fsm", "C", true, {}, "err", "@/out"},
        {{"/oout", "a.fsm"}, "@/a.fsm", "", false, {}, "", "out"},
        {{"a.fsm", "x/Oout"}, "", "", false, {"Fsm path error [a.fsm x/Oout]"}},
        {{"a.fsm", "/O/opt/none", "/C"}, "", "C", true, {"Path error [/O/opt/none]"}, "", "", true},
        {{"a.fsm", "/O", "/C"}, "", "C", true, {"Path error [/O]"}, "", "", true},
        // The second /O stays in the line and spoils the path.
        {{"a.fsm", "/Oout", "/Oout"}, "", "", false, {"Fsm path error [a.fsm /Oout]"}, "", "out"},
        // An invalid /E folder is reported in the current folder, an invalid
        // /O folder in a valid /E folder.
        {{"a.fsm", "/E@/none", "/O@/none2"},
         "",
         "",
         false,
         {"Path error [/E@/none]", "Path error [/O@/none2]"},
         "",
         "",
         true},
        {{"a.fsm", "/E@/err", "/O@/none"},
         "",
         "",
         false,
         {"Path error [/O@/none]"},
         "err",
         "",
         true},

        // Rejected switches: two lines, nothing left to open.
        {{"a.fsm", "/CS"},
         "",
         "CS",
         true,
         {"The options /CS, /CP & /CA aren not valid for this release", "Fsm path error []"}},
        {{"/cp", "/CA", "a.fsm"},
         "",
         "CP CA",
         true,
         {"The options /CS, /CP & /CA aren not valid for this release", "Fsm path error []"}},
    };

    for (const auto& c : cases) {
        ScratchFolder scratch;
        populate(scratch);
        scratch.enter();
        SetRunLogPath(scratch.at("run.log"));
        SCOPED_TRACE(traceOf(c.args));

        const StartupState s = ParseCommandLine(expandAll(c.args, scratch.path()));
        EXPECT_EQ(s.sCommandLine, expand(c.path, scratch.path()));
        EXPECT_EQ(flagsOf(s), c.flags);
        EXPECT_EQ(s.bModeCommand, c.batch);
        EXPECT_EQ(s.sOutputPath, expand(c.output, scratch.path()));
        EXPECT_EQ(s.pathSwitchError, c.pathSwitchError);
        EXPECT_FALSE(s.showHelp);

        EXPECT_EQ(errorLogIn(scratch, c.errorFolder), expandAll(c.errors, scratch.path()));
        if (!c.errorFolder.empty()) {
            EXPECT_EQ(s.sErrorPath, scratch.at(c.errorFolder));
            EXPECT_FALSE(fs::exists(scratch.at("FSM_ERR.log")));
        }
    }
    SetRunLogPath("");
    SetErrorPath("");
}

TEST(CommandLine, HelpAndVersionStopTheParse) {
    const struct {
        std::vector<std::string> args;
        bool help;
        bool version;
    } cases[] = {
        {{"/C", "a.fsm", "/?"}, true, false},
        {{"-h"}, true, false},
        {{"a.fsm", "--HELP", "/C"}, true, false},
        {{"--version", "/C"}, false, true},
        // Only as arguments of their own: never a part of a path, where a
        // build script would see success for a run that generated nothing.
        {{"x/?/q.fsm", "/CH"}, false, false},
        {{"a/?b"}, false, false},
        {{"my -h dir/x.fsm"}, false, false},
        {{"old --version/x.fsm"}, false, false},
        {{"x-h.fsm"}, false, false},
    };
    ScratchFolder scratch;
    scratch.enter();
    SetRunLogPath(scratch.at("run.log"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const StartupState s = ParseCommandLine(c.args);
        EXPECT_EQ(s.showHelp, c.help);
        EXPECT_EQ(s.showVersion, c.version);
        if (c.help || c.version) {
            EXPECT_EQ(flagsOf(s), "");
            EXPECT_FALSE(s.bModeCommand);
        }
    }
    // Help and version are no errors; the paths are looked for as paths.
    EXPECT_EQ(logMessages(readFile(scratch.at("FSM_ERR.log"))),
              (std::vector<std::string>{"Fsm path error [x/?/q.fsm]", "Fsm path error [a/?b]",
                                        "Fsm path error [my -h dir/x.fsm]",
                                        "Fsm path error [old --version/x.fsm]",
                                        "Fsm path error [x-h.fsm]"}));
    SetRunLogPath("");
}

// An argument that starts with "--" and is no option of any reader of the
// command line is an error of its own; it never starts the editor, and the
// path beside it is not blamed for it.
TEST(CommandLine, UnknownOptionsEndTheRun) {
    ScratchFolder scratch;
    scratch.enter();
    SetRunLogPath(scratch.at("run.log"));
    SetErrorPath(scratch.path());
    const std::string diagram = scratch.write("Door.fsm", "{}");
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> unknown;
    } cases[] = {
        {{diagram, "--chek"}, {"--chek"}},
        {{"--versions", diagram, "/CH", "--Output=x"}, {"--versions", "--Output=x"}},
        // After "--" everything is the path.
        {{"--", "--chek.fsm"}, {}},
        // Known to their own readers, which run first.
        {{diagram, "--check", "--format=json", "--cc=none"}, {}},
        {{diagram, "--simulate=s.json", "--instances=2"}, {}},
        {{diagram, "--style=ch", "--list", "--debug=no", "--output", "."}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        ::unlink(scratch.at("FSM_ERR.log").c_str());
        std::vector<std::string> args = c.args;
        (void)takeCheckArguments(args);
        (void)TakeSimulationOptions(args);
        const StartupState s = ParseCommandLine(args);
        EXPECT_EQ(s.unknownOptions, c.unknown);
        if (c.unknown.empty()) {
            continue;
        }
        EXPECT_EQ(s.sCommandLine, "");
        const std::vector<std::string> logged = logMessages(readFile(scratch.at("FSM_ERR.log")));
        ASSERT_GE(logged.size(), c.unknown.size());
        for (std::size_t i = 0; i < c.unknown.size(); ++i) {
            EXPECT_EQ(logged[i], "Option error [" + c.unknown[i] + "]: unknown option");
        }
        for (const std::string& line : logged) {
            EXPECT_FALSE(line.starts_with("Fsm path error")) << line;
        }
    }

    // The run ends with status 1 and says so on standard error, in the batch
    // program and in the editor's start alike (both read the line here).
    ::testing::internal::CaptureStderr();
    const StartupResult result = handleCommandLine({diagram, "--chek"}, "tarvel");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tarvel: unknown option --chek (tarvel --help lists the options)\n");
    EXPECT_EQ(result.action, StartupAction::Exit);
    EXPECT_EQ(result.exitStatus, 1);
    SetRunLogPath("");
    SetErrorPath("");
}

TEST(CommandLine, TakeSwitchRemovesTheFirstWholeWord) {
    const struct {
        const char* line;
        const char* sw;
        bool taken;
        const char* rest;
    } cases[] = {
        {"/c a.fsm", "/C", true, "a.fsm"},
        {"a.fsm /C", "/C", true, "a.fsm"},
        {"/C", "/C", true, ""},
        {"x /c y /C", "/C", true, "x  y /C"},
        {"/CH a.fsm", "/C", false, "/CH a.fsm"},
        {"/home/chris/a.fsm", "/C", false, "/home/chris/a.fsm"},
        {"a.fsm/C", "/C", false, "a.fsm/C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        EXPECT_EQ(TakeSwitch(line, c.sw), c.taken);
        EXPECT_EQ(line, c.rest);
    }
}

TEST(CommandLine, Unquote) {
    EXPECT_EQ(Unquote("\"a b.fsm\""), "a b.fsm");
    EXPECT_EQ(Unquote("\"\""), "");
    EXPECT_EQ(Unquote("\""), "\"");
    EXPECT_EQ(Unquote("\"a\" /C"), "\"a\" /C");
    EXPECT_EQ(Unquote("\"a\" \"b\""), "a\" \"b");  // once, on the whole line
}

TEST(CommandLine, OptionOverrides) {
    StartupState s;
    EXPECT_EQ(s.debugInfoOverride(), std::nullopt);
    s.Dplus = true;
    EXPECT_EQ(s.debugInfoOverride(), true);
    s = StartupState{};
    s.ACminus = true;
    EXPECT_EQ(s.ansiCommentOverride(), false);
    s.PTplus = true;
    EXPECT_EQ(s.printTextBoxesOverride(), true);
    EXPECT_EQ(s.bitFieldsOverride(), std::nullopt);
}

TEST(CommandLine, VersionAndHelpText) {
    EXPECT_EQ(StartupState{}.sVersion, "Tarvel Editor v1.4r3");
    const std::string expected =
        "tarvel\r\n"
        " file.fsm [/?][/C[H]][/H[L]][/W][/O<path>][/E<path>][/D+|-][/AC+|-][/PT+|-][/BF+|-]\r\n"
        " /C   generates default C-code\r\n"
        " /CH  generates \"hierachical switch case\" code\r\n"
        " /CHR generates \"hierachical switch case reentrant\" code\r\n"
        " /LS  generates list\r\n"
        " /H   generates HTML\r\n"
        " /HL  generates HTML with\r\n"
        "         links in the same path\r\n"
        " /W   generates WMF\r\n"
        " /O   output path\r\n"
        " /E   error file output path\r\n"
        " /D+  with debug info\r\n"
        " /D-   without debug info\r\n"
        " /AC+ ANSI comments: \"/* */\"\r\n"
        " /AC- not ANSI comments: \"//  \"\r\n"
        " /PT+ print the text boxes into the code\r\n"
        " /PT- don't print the text boxes into the code\r\n"
        " /BF- don't use bitfields\r\n"
        " /BF+ use bitfields to save RAM\r\n"
        " /?   Help\r\n";
    EXPECT_EQ(HelpText("/usr/local/bin/tarvel"), expected);
    EXPECT_EQ(HelpText("tarvel.EXE").substr(0, 8), "tarvel\r\n");
}

// Long options mean exactly what their switches mean; "--" ends the options;
// a known option with a bad value is an error line, an unknown one is left for
// the path test.
TEST(LongOptions, MeanTheirSwitches) {
    const struct {
        std::vector<std::string> args;
        std::string path;  // sCommandLine
        std::string flags;
        std::vector<std::string> errors;  // error-log messages, in order
        std::string output = "";
        std::string errorFolder = "";  // where the error log is expected
        std::string depfile = "";
    } cases[] = {
        {{"--style=ch", "a.fsm"}, "@/a.fsm", "CH", {}},
        {{"a.fsm", "--style=CHR"}, "@/a.fsm", "CHR", {}},
        {{"--style", "default", "a.fsm"}, "@/a.fsm", "C", {}},
        {{"--list", "--html", "a.fsm"}, "@/a.fsm", "LS H", {}},
        {{"--html-links", "--picture", "a.fsm"}, "@/a.fsm", "HL W", {}},
        {{"--debug", "--ansi-comments=no", "--text-boxes=yes", "--bit-fields=NO", "a.fsm"},
         "@/a.fsm",
         "D+ AC- PT+ BF-",
         {}},
        // Mixed with the switches, the rule of the pairs holds: "-" wins.
        {{"--debug", "/D-", "--list", "a.fsm"}, "@/a.fsm", "LS D-", {}},

        // Folders, also with blanks, which the switch form cannot carry; the
        // error log goes to the folder given.
        {{"--output=@/my out", "--error-log", "@/err/", "--list", "a.fsm"},
         "@/a.fsm",
         "LS",
         {},
         "@/my out",
         "err"},
        {{"--output", "@/none", "--list", "a.fsm"}, "", "LS", {"Path error [--output=@/none]"}},
        {{"--error-log=@/none", "--output=@/none2", "--list", "a.fsm"},
         "",
         "LS",
         {"Path error [--error-log=@/none]", "Path error [--output=@/none2]"}},
        {{"--depfile", "deps.d", "--style=ch", "a.fsm"}, "@/a.fsm", "CH", {}, "", "", "@/deps.d"},

        // "--" ends the options: what follows is the path, never switches.
        {{"--list", "--", "x /W y.fsm"}, "@/x /W y.fsm", "LS", {}},
        {{"--list", "x /W y.fsm"}, "", "LS W", {"Fsm path error [x  y.fsm]"}},
        {{"/LS", "--", "--output=z.fsm"}, "@/--output=z.fsm", "LS", {}},
        // Nothing but "--" is a start without a file, like no arguments.
        {{"--"}, "", "", {}},

        // Known options with a value they do not take; an unknown "--word"
        // (names are case-sensitive, as in every GNU program) is left in the
        // line.
        {{"--style=c", "a.fsm"}, "", "", {"Option error [--style=c]"}},
        {{"--list=yes", "a.fsm"}, "", "", {"Option error [--list=yes]"}},
        {{"--debug=maybe", "--list", "a.fsm"}, "", "LS", {"Option error [--debug=maybe]"}},
        {{"--list", "a.fsm", "--output"}, "", "LS", {"Option error [--output]"}},
        {{"--list", "--depfile=", "a.fsm"}, "", "LS", {"Option error [--depfile=]"}},
        {{"--depfile=d", "a.fsm"},
         "",
         "",
         {"Option error [--depfile=@/d] needs a generation switch"},
         "",
         "",
         "@/d"},
        // No option of the program (long options are spelt in lower case).
        {{"--frobnicate", "a.fsm"}, "", "", {"Option error [--frobnicate]: unknown option"}},
        {{"--LIST", "a.fsm"}, "", "", {"Option error [--LIST]: unknown option"}},
    };

    for (const auto& c : cases) {
        ScratchFolder scratch;
        for (const char* file : {"a.fsm", "x /W y.fsm", "--output=z.fsm"}) {
            scratch.write(file, "x");
        }
        scratch.makeFolder("my out");
        scratch.makeFolder("err");
        scratch.enter();
        SetRunLogPath(scratch.at("run.log"));
        SCOPED_TRACE(traceOf(c.args));

        const StartupState s = ParseCommandLine(expandAll(c.args, scratch.path()));
        EXPECT_EQ(s.sCommandLine, expand(c.path, scratch.path()));
        EXPECT_EQ(flagsOf(s), c.flags);
        EXPECT_EQ(s.sOutputPath, expand(c.output, scratch.path()));
        EXPECT_EQ(s.depfilePath, expand(c.depfile, scratch.path()));
        EXPECT_EQ(errorLogIn(scratch, c.errorFolder), expandAll(c.errors, scratch.path()));
    }
    SetRunLogPath("");
    SetErrorPath("");
}

// The help shows the switches' own help unchanged, then every long option.
TEST(LongOptions, HelpListsBothForms) {
    const std::string help = FullHelpText("tarvel");
    ASSERT_EQ(help.rfind(HelpText("tarvel"), 0), 0u);
    for (const LongOption& option : LongOptions()) {
        EXPECT_NE(help.find("\r\n --" + std::string(option.name)), std::string::npos)
            << option.name;
    }
    EXPECT_NE(help.find(" --style=ch|chr|default  "), std::string::npos);
    EXPECT_NE(help.find(" --debug[=no]  "), std::string::npos);
}

}  // namespace
}  // namespace tarvel
