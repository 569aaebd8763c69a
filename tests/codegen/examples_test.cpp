// The bundled examples build as users build them: every root diagram, in both
// styles, compiles without a warning under gcc and clang (C99, and C89 with
// ANSI comments), and its driver in examples/ runs the machine and checks it.
#include <gtest/gtest.h>

#include <string>

#include "../support/codegentestsupport.h"
#include "../support/compilerrun.h"

namespace tarvel {
namespace {

const std::string EXAMPLES = TARVEL_SOURCE_DIR "/examples/";

struct Example {
    const char* name;    // the root diagram, without ".fsm"
    const char* driver;  // its driver in examples/
};

struct Style {
    const char* name;
    bool reentrant;
    const char* defines;  // what the diagrams and drivers expect of the style
};

struct Language {
    const char* name;
    bool ansiComment;  // convert the comments before compiling
    const char* cflags;
};

const Style STYLES[] = {
    {"switch case", false, ""},
    {"reentrant", true, "-DFSM_REENTRANT"},
};
const Language LANGUAGES[] = {
    {"C99", false, "-std=c99 -pedantic -Wall -Wextra -Werror"},
    {"C89 with ANSI comments", true, "-std=c89 -pedantic -Wall -Wextra -Werror"},
};
const char* const COMPILERS[] = {"gcc", "clang"};

class BundledExample : public ::testing::TestWithParam<Example> {};

TEST_P(BundledExample, CompilesCleanlyAndRunsInBothStyles) {
    const Example& example = GetParam();
    for (const char* compiler : COMPILERS) {
        if (!test::haveCompiler(compiler)) {
            ADD_FAILURE() << compiler << " is not installed (scripts/install-deps.sh)";
            continue;
        }
        for (const Style& style : STYLES) {
            for (const Language& language : LANGUAGES) {
                SCOPED_TRACE(std::string(compiler) + ", " + style.name + ", " + language.name);
                test::Session session;
                Document& root = session.root(EXAMPLES + example.name + ".fsm");
                root.options.AnsiComment = language.ansiComment;
                const std::string text = session.generate(root, style.reentrant);
                ASSERT_FALSE(text.empty())
                    << (session.messages.empty() ? "" : session.messages.front());
                const test::CFiles files = test::splitResult(text);

                test::TempDir dir;
                const std::string name = example.name;
                dir.write(name + ".c", files.module);
                dir.write(name + ".h", files.header);
                const std::string build = std::string(compiler) + " " + language.cflags + " " +
                                          style.defines + " -I. -I'" + EXAMPLES + "' -o demo " +
                                          name + ".c '" + EXAMPLES + example.driver + "'";
                std::string log;
                ASSERT_EQ(test::runIn(dir, build, log), 0) << log;
                EXPECT_EQ(test::runIn(dir, "./demo", log), 0) << log;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, BundledExample,
                         ::testing::Values(Example{"TrafficLight", "trafficlight_main.c"},
                                           Example{"UartParser", "uartparser_main.c"},
                                           Example{"MotorControl", "motorcontrol_main.c"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvel
