// Long options mean exactly what their switches mean; "--" ends the options;
// a known option with a bad value is an error line, an unknown one is left for
// the path test.
#include "shell/longoptions.h"

#include <gtest/gtest.h>

#include "scratchfolder.h"
#include "shell/commandline.h"
#include "shell/logs.h"

namespace tarvel {
namespace {

// The generation and option flags that are set, separated by blanks.
std::string flagsOf(const StartupState& s) {
    const std::pair<bool, const char*> flags[] = {
        {s.C, "C"},         {s.CH, "CH"},      {s.CHR, "CHR"},     {s.LS, "LS"},
        {s.H, "H"},         {s.HL, "HL"},      {s.W, "W"},         {s.Dplus, "D+"},
        {s.Dminus, "D-"},   {s.ACplus, "AC+"}, {s.ACminus, "AC-"}, {s.PTplus, "PT+"},
        {s.PTminus, "PT-"}, {s.BFplus, "BF+"}, {s.BFminus, "BF-"},
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

// "@" in a table text stands for the scratch folder.
std::string expand(std::string_view text, const std::string& scratch) {
    std::string out;
    for (const char c : text) {
        out += c == '@' ? scratch : std::string(1, c);
    }
    return out;
}

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
        {{"--frobnicate", "a.fsm"}, "", "", {"Fsm path error [--frobnicate a.fsm]"}},
        {{"--LIST", "a.fsm"}, "", "", {"Fsm path error [--LIST a.fsm]"}},
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
        std::vector<std::string> args;
        std::string trace;
        for (const auto& arg : c.args) {
            args.push_back(expand(arg, scratch.path()));
            trace += "[" + arg + "] ";
        }
        SCOPED_TRACE(trace);

        const StartupState s = ParseCommandLine(args);
        EXPECT_EQ(s.sCommandLine, expand(c.path, scratch.path()));
        EXPECT_EQ(flagsOf(s), c.flags);
        EXPECT_EQ(s.sOutputPath, expand(c.output, scratch.path()));
        EXPECT_EQ(s.depfilePath, expand(c.depfile, scratch.path()));
        std::vector<std::string> expected;
        for (const auto& e : c.errors) {
            expected.push_back(expand(e, scratch.path()));
        }
        const std::string log =
            scratch.at(c.errorFolder.empty() ? "FSM_ERR.log" : c.errorFolder + "/FSM_ERR.log");
        EXPECT_EQ(logMessages(readFile(log)), expected);
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
