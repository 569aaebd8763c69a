#include <gtest/gtest.h>

#include "../support/codegentestsupport.h"

namespace tarvel {
namespace {

struct GoldenCase {
    const char* fixture;  // under tests/fixtures/codegen
    const char* golden;   // base name under tests/golden/codegen
    bool reentrant;
};

class CodegenGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(CodegenGolden, ModuleAndHeaderMatchByteForByte) {
    const GoldenCase& c = GetParam();
    test::Session session;
    const std::string text =
        session.generate(session.root(test::fixturePath(c.fixture)), c.reentrant);
    EXPECT_TRUE(session.messages.empty()) << session.messages.front();
    ASSERT_FALSE(text.empty());
    const test::CFiles files = test::splitResult(text);
    test::expectGolden(std::string(c.golden) + ".c", files.module);
    test::expectGolden(std::string(c.golden) + ".h", files.header);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CodegenGolden,
                         ::testing::Values(
                             // The worked example: two states, one transition.
                             GoldenCase{"Door.fsm", "Door", false},
                             // Four diagrams: prefixes, child heads, a child in the
                             // sub-folder, history on and off, wrapping functions,
                             // debug info, exit function, chains, comment boxes.
                             GoldenCase{"plant/Plant.fsm", "Plant", false},
                             // Shared and skipped priorities, blank conditions, else
                             // blocks, a chain only on a transition never generated.
                             GoldenCase{"prio/Prio.fsm", "Prio", false},
                             // Entry flags as bit-fields and ANSI comments.
                             GoldenCase{"bits/Bits.fsm", "Bits", false},
                             // Instance type, reset function, exit function with
                             // the instance.
                             GoldenCase{"reentrant/Counter.fsm", "Counter", true}),
                         [](const auto& info) { return std::string(info.param.golden); });

}  // namespace
}  // namespace tarvel
