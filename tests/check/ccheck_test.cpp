// The C check: compiler messages reach the diagram text they come from
// (through the "#line" directives of the private copy, or by the copy's own
// lines where a compiler skipped a directive inside a comment), messages
// about generated text quote the generated line, and a compiler that fails
// is reported, never taken for a clean result.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>
#include <tuple>

#include "../support/codegentestsupport.h"
#include "../support/tempdir.h"
#include "check/ccheck.h"
#include "check/checker.h"
#include "check/checkids.h"
#include "check/compilerrun.h"
#include "check/targettypes.h"
#include "model/fsmrecord.h"

namespace tarvel {
namespace {

using test::DiagramBuilder;

const std::string TYPES =
    "typedef unsigned char T_u8;\r\ntypedef unsigned short T_u16;\r\n"
    "typedef unsigned char T_bit;\r\ntypedef char T_char;\r\n#define TRUE 1\r\n#define FALSE 0";

bool haveCc() {
    return std::system("command -v cc >/dev/null 2>&1") == 0;
}

// Where a finding points: file name, element, field, line, check.
using Place = std::tuple<std::string, std::string, std::string, int, std::string>;

Place placeOf(const Finding& f) {
    return {std::filesystem::path(f.file).filename().string(), f.element.label(),
            std::string(fieldLabel(f.field)), f.line, f.check};
}

std::set<Place> placesOf(const CheckReport& report) {
    std::set<Place> out;
    for (const Finding& f : report.findings) {
        out.insert(placeOf(f));
    }
    return out;
}

// A root "Lamp" with two states, in a folder of its own; children are
// documents of the test, found through a file of their name beside it.
class Hierarchy {
public:
    Hierarchy() {
        m_context.openChild = [this](const std::string& path) -> Document* {
            const auto it = m_children.find(path);
            return it == m_children.end() ? nullptr : it->second.get();
        };
        root.sFullDocname = dir / "Lamp.fsm";
        root.caption = "Lamp";
    }

    Document& child(const std::string& name) {
        const std::string path = dir.write(name + ".fsm", "");
        auto& doc = m_children[path];
        doc = std::make_unique<Document>();
        doc->sFullDocname = path;
        doc->caption = name;
        return *doc;
    }

    CheckReport check(const std::string& compiler) {
        CheckOptions options;
        options.compiler = compiler;
        return runCheck(root, m_context, options);
    }
    std::optional<CCheckJob> job(const std::string& compiler) {
        CheckOptions options;
        options.compiler = compiler;
        std::optional<CCheckJob> job;
        checkModel(root, m_context, options, job);
        return job;
    }

    test::TempDir dir;
    Document root;

private:
    GenerationContext m_context;
    std::map<std::string, std::unique_ptr<Document>> m_children;
};

TEST(CCheck, CompilerMessagesReachTheirTexts) {
    if (!haveCc()) {
        GTEST_SKIP() << "cc is not installed";
    }
    for (const bool ansi : {false, true}) {
        SCOPED_TRACE(ansi ? "ANSI comments" : "line comments");
        Hierarchy h;
        // The root: an exit function (three statements, two transitions) with
        // an error on its third line, a condition left incomplete on its
        // second line, a header line whose backslash continues its comment.
        DiagramBuilder(h.root).fsm("Lamp", {{FF_INITIALISATION, TYPES + "\r\nstatic int t;"},
                                            {FF_MODULE_HEADER, "Lamp driver.\r\nFiles in C:\\"}});
        h.root.options.AnsiComment = ansi;
        DiagramBuilder b(h.root);
        Node* on = b.state({.name = "ON",
                            .moore = "Pump();",
                            .exit = "t = 0;\r\nt++;\r\nt = ;",
                            .kind = NK_INITIAL});
        Node* off = b.state({.name = "OFF"});
        b.transition(on, off, {.priority = "1", .condition = "t > 10 &&\r\n  t <"});
        b.transition(on, on, {.priority = "2", .condition = "t == 0"});
        b.transition(off, on, {.condition = "t == 1"});
        // A child whose initialisation (indented inside its block) has an
        // error on its second line.
        Document& pump = h.child("Pump");
        DiagramBuilder(pump).fsm(
            "Pump", {{FF_INITIALISATION, "static int p;\r\nstatic int q = undefined_r;"}});
        DiagramBuilder c(pump);
        Node* idle = c.state({.name = "IDLE", .kind = NK_INITIAL});
        Node* done = c.state({.name = "DONE", .kind = NK_FINAL});
        c.transition(idle, done, {.condition = "p"});

        const CheckReport report = h.check(std::string(DEFAULT_COMPILER));
        std::set<Place> expected = {
            {"Lamp.fsm", "state \"ON\"", "exit action", 3, "c-error"},
            {"Lamp.fsm", "transition \"ON -> OFF\" (priority 1)", "condition", 2, "c-error"},
            {"Pump.fsm", "FSM properties", "initialization", 2, "c-error"},
        };
        if (!ansi) {
            expected.insert({"Lamp.fsm", "FSM properties", "module header", 2, "c-warning"});
        }
        EXPECT_EQ(placesOf(report), expected);
        // The exit actions stand in one function: one message, not one per call.
        EXPECT_EQ(report.errorCount(), 3);
    }
}

// A new diagram's code needs the target's types: without them the check says
// so once instead of repeating every compiler message; the block "Insert
// standard types" adds defines all of them.
TEST(CCheck, TheTargetTypesAreOneFindingAndTheStandardBlockDefinesThem) {
    if (!haveCc()) {
        GTEST_SKIP() << "cc is not installed";
    }
    for (const bool withTypes : {false, true}) {
        SCOPED_TRACE(withTypes ? "with the standard types" : "without types");
        Hierarchy h;
        const std::string init = "static int t;";
        DiagramBuilder(h.root).fsm(
            "Lamp",
            {{FF_INITIALISATION, withTypes ? withStandardTypes(init) : init}, {FF_MAX_LOOPS, "3"}});
        DiagramBuilder b(h.root);
        Node* on = b.state({.name = "ON", .entry = "t = 0;", .kind = NK_INITIAL});
        Node* off = b.state({.name = "OFF", .kind = NK_FINAL});
        b.transition(on, off, {.condition = "t > 2", .continueImmediately = "Y"});
        const CheckReport report = h.check(std::string(DEFAULT_COMPILER));
        if (withTypes) {
            EXPECT_TRUE(report.findings.empty()) << report.findings.front().message;
            continue;
        }
        ASSERT_EQ(report.findings.size(), 1u);
        EXPECT_EQ(report.findings[0].check, check_id::UNDEFINED_TARGET_TYPES);
        EXPECT_EQ(report.findings[0].location(), "FSM properties, initialization");
        EXPECT_TRUE(report.findings[0].message.starts_with(
            "the generated code uses T_u8, T_bit, TRUE and FALSE, which are not defined"))
            << report.findings[0].message;
    }
}

// A reentrant module takes its instance type from its header, which the
// initialisation must include; the private copy has the header beside the
// module under the name a generation gives it.
TEST(CCheck, AReentrantModuleNeedsItsHeader) {
    if (!haveCc()) {
        GTEST_SKIP() << "cc is not installed";
    }
    for (const bool included : {false, true}) {
        SCOPED_TRACE(included ? "header included" : "header not included");
        Hierarchy h;
        h.root.selectGenerator(std::string(GEN_HIERARCHICAL_REENTRANT));
        DiagramBuilder(h.root).fsm(
            "Lamp", {{FF_INITIALISATION, TYPES + (included ? "\r\n#include \"Lamp.h\"" : "")}});
        DiagramBuilder b(h.root);
        b.transition(
            b.state({.name = "ON", .entry = "this->entryFsmFlg = 1U;", .kind = NK_INITIAL}),
            b.state({.name = "OFF", .kind = NK_FINAL}), {.condition = "1"});
        const CheckReport report = h.check(std::string(DEFAULT_COMPILER));
        if (included) {
            EXPECT_TRUE(report.findings.empty()) << report.findings.front().message;
            continue;
        }
        ASSERT_EQ(report.findings.size(), 1u) << report.findings.back().message;
        EXPECT_EQ(report.findings[0].location(), "FSM properties, initialization");
        EXPECT_EQ(report.findings[0].message,
                  "the generated code uses the instance type T_Lamp, which the module's header "
                  "defines: include \"Lamp.h\" in the initialization of the FSM properties");
    }
}

// A name that is no identifier breaks the generated code in many places; the
// name check says so once, and the compiler's messages about generated
// lines are left out, while those about the user's texts stay.
TEST(CCheck, BrokenNamesAreReportedOnceNotThroughTheGeneratedCode) {
    if (!haveCc()) {
        GTEST_SKIP() << "cc is not installed";
    }
    Hierarchy h;
    DiagramBuilder(h.root).fsm("Lamp", {{FF_INITIALISATION, TYPES}});
    DiagramBuilder b(h.root);
    Node* on = b.state({.name = "Motor On", .moore = "t = 1;", .kind = NK_INITIAL});
    Node* off = b.state({.name = "OFF", .kind = NK_FINAL});
    b.transition(on, off, {.condition = "1"});
    const CheckReport report = h.check(std::string(DEFAULT_COMPILER));
    EXPECT_EQ(placesOf(report),
              (std::set<Place>{{"Lamp.fsm", "state \"Motor On\"", "name", 0, "invalid-identifier"},
                               {"Lamp.fsm", "state \"Motor On\"", "during action", 1, "c-error"}}));
}

// A compiler of the test's own: reports an error at the first line of the
// compiled module that holds `word`, as a compiler reports a line it
// reads as the module's own.
std::string fakeCompilerAt(const std::string& word) {
    return "sh -c 'n=$(grep -n " + word +
           " \"$2\" | head -n 1 | cut -d: -f1); echo \"$2:$n:5: error: boom\"; exit 1' sh";
}

TEST(CCheck, LinesOfTextsACompilerReadsAsCommentsStillReachTheirTexts) {
    Hierarchy h;
    DiagramBuilder(h.root).fsm("Lamp", {{FF_INITIALISATION, TYPES}});
    h.root.options.PrintTextBoxes = true;
    DiagramBuilder b(h.root);
    b.transition(b.state({.name = "ON", .kind = NK_INITIAL}),
                 b.state({.name = "OFF", .kind = NK_FINAL}), {.condition = "go"});
    Node* box = h.root.diagram().AddNode(0, 0, 100, 100);
    box->setNodeKind(NK_COMMENT);
    box->setNodeText("Wiring:\r\nBOOM is the relay");

    const CheckReport report = h.check(fakeCompilerAt("BOOM"));
    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(placeOf(report.findings[0]), (Place{"Lamp.fsm", "comment", "text", 2, "c-error"}));
    EXPECT_EQ(report.findings[0].message, "boom");
}

TEST(CCheck, MessagesAboutGeneratedTextQuoteTheLine) {
    Hierarchy h;
    DiagramBuilder(h.root).fsm("Lamp", {{FF_INITIALISATION, TYPES}});
    DiagramBuilder b(h.root);
    b.transition(b.state({.name = "ON", .moore = "work();", .kind = NK_INITIAL}),
                 b.state({.name = "OFF", .kind = NK_FINAL}), {.condition = "go"});

    const CheckReport report = h.check(fakeCompilerAt("ind_Lamp"));
    ASSERT_EQ(report.findings.size(), 1u);
    const Finding& f = report.findings[0];
    EXPECT_EQ(f.element.kind, ElementKind::Fsm);
    EXPECT_EQ(f.quote, "static T_u8 ind_Lamp = i_ON;");
    EXPECT_EQ(f.location(), "FSM properties, generated line \"static T_u8 ind_Lamp = i_ON;\"");
}

TEST(CCheck, ACompilerThatFailsIsReportedWithItsCommand) {
    const struct {
        std::string command;
        std::string message;
    } cases[] = {
        {"tarvel-no-such-compiler -c",
         "the C compiler \"tarvel-no-such-compiler -c\" cannot be started: No such file or "
         "directory"},
        {"sh -c 'echo unknown option -Q; exit 3' sh",
         "the C compiler \"sh -c 'echo unknown option -Q; exit 3' sh\" failed with exit status 3: "
         "unknown option -Q"},
        {"sh -c 'kill -9 $$' sh",
         "the C compiler \"sh -c 'kill -9 $$' sh\" failed: it was ended by signal 9"},
        {"cc 'open", "the C compiler command \"cc 'open\" cannot be read (a quote is left open)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Hierarchy h;
        DiagramBuilder(h.root).fsm("Lamp");
        DiagramBuilder b(h.root);
        b.transition(b.state({.name = "ON", .kind = NK_INITIAL}),
                     b.state({.name = "OFF", .kind = NK_FINAL}), {.condition = "go"});
        const CheckReport report = h.check(c.command);
        ASSERT_EQ(report.findings.size(), 1u);
        EXPECT_EQ(report.findings[0].check, check_id::C_COMPILER);
        EXPECT_EQ(report.findings[0].severity, Severity::Error);
        EXPECT_EQ(report.findings[0].message, c.message);
    }
}

// The editor stops a compile it no longer needs (a newer check, or closing);
// the compiler and what it started end with it.
TEST(CCheck, ACancelledCompileEndsAtOnce) {
    Hierarchy h;
    DiagramBuilder(h.root).fsm("Lamp");
    DiagramBuilder b(h.root);
    b.transition(b.state({.name = "ON", .kind = NK_INITIAL}),
                 b.state({.name = "OFF", .kind = NK_FINAL}), {.condition = "go"});
    const std::optional<CCheckJob> job = h.job("sh -c 'sleep 60' sh");
    ASSERT_TRUE(job.has_value());
    std::atomic<bool> cancel{false};
    std::thread stopper([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const std::vector<Finding> findings = runCCheck(*job, &cancel);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].message, "the C compiler \"sh -c 'sleep 60' sh\" failed: it was stopped");
}

// The copy is compiled in a folder only the user can enter, which is gone
// afterwards; the diagram's folder is on the include path.
TEST(CCheck, CompilesInAPrivateFolderThatIsRemoved) {
    Hierarchy h;
    test::TempDir record;
    DiagramBuilder(h.root).fsm("Lamp");
    DiagramBuilder b(h.root);
    b.transition(b.state({.name = "ON", .kind = NK_INITIAL}),
                 b.state({.name = "OFF", .kind = NK_FINAL}), {.condition = "go"});
    const std::string out = record.path();
    const CheckReport report =
        h.check("sh -c 'stat -c %a . >" + out + "/mode; pwd >" + out + "/dir; echo \"$1\" >" + out +
                "/include; ls >" + out + "/files' sh");
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(test::readFile(record / "mode"), "700\n");
    EXPECT_EQ(test::readFile(record / "include"), "-I" + h.dir.path() + "\n");
    EXPECT_EQ(test::readFile(record / "files"), "Lamp.c\nLamp.h\n");
    std::string dir = test::readFile(record / "dir");
    dir.pop_back();
    EXPECT_TRUE(dir.find("tarvel-check-") != std::string::npos) << dir;
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(CCheck, ReadsCompilerMessagesOfEveryShape) {
    const std::string output =
        "Lamp.c: In function 'Lamp':\n"
        "Lamp.c:12:5: error: 'x' undeclared (first use in this function)\n"
        "   12 |     x = 1;\n"
        "      |     ^\n"
        "Lamp.c:12:5: note: each undeclared identifier is reported only once\n"
        "tarvel-text-3:2: warning: unused variable 'y' [-Wunused-variable]\r\n"
        "In file included from Lamp.c:4:\n"
        "./types.h:7:1: fatal error: stdint.h: No such file or directory\n"
        "compilation terminated.\n"
        "cc1: warning: command-line option '-x' is valid for C++\n";
    const std::vector<CompilerMessage> m = parseCompilerOutput(output);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(std::tie(m[0].file, m[0].line, m[0].text),
              std::make_tuple(std::string("Lamp.c"), 12,
                              std::string("'x' undeclared (first use in this function)")));
    EXPECT_EQ(m[0].severity, Severity::Error);
    EXPECT_EQ(std::tie(m[1].file, m[1].line), std::make_tuple(std::string("tarvel-text-3"), 2));
    EXPECT_EQ(m[1].severity, Severity::Warning);
    EXPECT_EQ(m[1].text, "unused variable 'y' [-Wunused-variable]");
    EXPECT_EQ(std::tie(m[2].file, m[2].line), std::make_tuple(std::string("./types.h"), 7));
    EXPECT_EQ(m[2].severity, Severity::Error);
    EXPECT_EQ(std::tie(m[3].file, m[3].line), std::make_tuple(std::string("cc1"), 0));
}

TEST(CCheck, SplitsTheCompilerCommandIntoWords) {
    const struct {
        std::string_view command;
        std::vector<std::string> words;
    } cases[] = {
        {"cc -fsyntax-only -std=c99", {"cc", "-fsyntax-only", "-std=c99"}},
        {"  clang   -Wall ", {"clang", "-Wall"}},
        {"gcc '-DNAME=a b' \"-DQ=\\\"x\\\"\"", {"gcc", "-DNAME=a b", "-DQ=\"x\""}},
        {"cc -I'my dir'/inc", {"cc", "-Imy dir/inc"}},
        {"cc \"open", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitCommand(c.command), c.words) << c.command;
    }
}

}  // namespace
}  // namespace tarvel
