// Every check has a small fixture diagram, tests/fixtures/check/<id>/Root.fsm
// (with the child diagrams it needs beside it), and the finding lines expected
// from it in tests/golden/check/<id>.txt. Compiler messages differ between
// compilers and their versions, so the golden text shows them as
// "<compiler message>"; where each message is placed (file, element, field,
// line, check) is compared exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "check/checker.h"
#include "check/checkids.h"
#include "check/checkreport.h"

namespace tarvel {
namespace {

const std::string FIXTURES = std::string(TARVEL_FIXTURES_DIR) + "/check";
const std::string GOLDEN = std::string(TARVEL_GOLDEN_DIR) + "/check";

struct GoldenCase {
    std::string_view id;
    // "none": model checks only; empty: the default compiler.
    std::string_view compiler;
};

constexpr GoldenCase CASES[] = {
    {"no-fsm-name", "none"},
    {"no-initial-state", "none"},
    {"exit-without-transition", "none"},
    {"bad-state-index", "none"},
    {"child-load-error", "none"},
    {"invalid-identifier", "none"},
    {"reserved-identifier", "none"},
    {"long-identifier", "none"},
    {"case-clash", "none"},
    {"non-ascii-name", "none"},
    {"duplicate-priority", "none"},
    {"priority-out-of-range", "none"},
    {"must-be-last", "none"},
    {"shadowed-transition", "none"},
    {"unbounded-chain", "none"},
    {"comment-in-condition", "none"},
    {"ansi-comment-in-string", "none"},
    {"ansi-comment-in-text-box", "none"},
    {"duplicate-fsm-name", "none"},
    {"fsm-name-mismatch", "none"},
    {"missing-child", "none"},
    {"unreachable-state", "none"},
    {"dead-end-state", "none"},
    {"undefined-target-types", ""},
    {"c-error", ""},
    {"c-warning", ""},
    {"c-compiler", "tarvel-no-such-compiler -fsyntax-only"},
};

bool haveCc() {
    return std::system("command -v cc >/dev/null 2>&1") == 0;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

CheckReport checkFixture(const GoldenCase& c) {
    CheckDocuments documents;
    const std::string path = FIXTURES + "/" + std::string(c.id) + "/Root.fsm";
    Document* root = documents.open(path);
    EXPECT_NE(root, nullptr) << path;
    if (root == nullptr) {
        return {};
    }
    GenerationContext context = documents.context();
    CheckOptions options;
    if (!c.compiler.empty()) {
        options.compiler = c.compiler;
    }
    CheckReport report = runCheck(*root, context, options);
    for (Finding& f : report.findings) {
        if (f.check == check_id::C_ERROR || f.check == check_id::C_WARNING) {
            f.message = "<compiler message>";
        }
    }
    return report;
}

TEST(CheckGolden, EachFixtureGivesItsFindings) {
    const bool cc = haveCc();
    const char* update = std::getenv("TARVEL_UPDATE_GOLDEN");
    for (const GoldenCase& c : CASES) {
        SCOPED_TRACE(std::string(c.id));
        if (c.compiler.empty() && !cc) {
            ADD_FAILURE() << "cc is not installed (scripts/install-deps.sh installs it)";
            continue;
        }
        const std::string actual = reportText(checkFixture(c), FIXTURES);
        const std::string golden = GOLDEN + "/" + std::string(c.id) + ".txt";
        if (update != nullptr && std::string(update) == "1") {
            std::ofstream(golden, std::ios::binary) << actual;
            continue;
        }
        EXPECT_EQ(actual, readText(golden))
            << "after checking the difference, regenerate with:\n"
               "  TARVEL_UPDATE_GOLDEN=1 ./build/tests/tarvel_core_tests "
               "--gtest_filter='CheckGolden.*'";
    }
}

// Each check id has its fixture, and the fixture's golden text shows it.
TEST(CheckGolden, EveryCheckHasAFixtureThatShowsIt) {
    for (const CheckInfo& info : allChecks()) {
        SCOPED_TRACE(std::string(info.id));
        const bool listed = std::any_of(std::begin(CASES), std::end(CASES),
                                        [&](const GoldenCase& c) { return c.id == info.id; });
        EXPECT_TRUE(listed);
        const std::string golden = readText(GOLDEN + "/" + std::string(info.id) + ".txt");
        EXPECT_NE(golden.find("[" + std::string(info.id) + "]"), std::string::npos);
    }
}

}  // namespace
}  // namespace tarvel
