// The simulator against the compiled code: random hierarchies generated in
// both styles, compiled with gcc and run with random scenarios, compared call
// by call (see differential.h). bench/sim_differential.sh runs thousands.
#include <gtest/gtest.h>

#include <filesystem>

#include "differential.h"

namespace tarvel::test {
namespace {

class Differential : public ::testing::TestWithParam<unsigned> {};

TEST_P(Differential, CompiledCodeRunsAsSimulated) {
    if (!haveCompiler("gcc")) {
        GTEST_SKIP() << "gcc is not installed";
    }
    DifferentialSettings settings;
    settings.seed = GetParam();
    settings.hierarchies = 30;
    settings.perCompile = 15;
    // Failing batches stay here for a look.
    settings.workFolder =
        ::testing::TempDir() + "tarvel-sim-differential-" + std::to_string(settings.seed);
    const DifferentialResult result = runDifferential(settings);
    for (const std::string& failure : result.failures) {
        ADD_FAILURE() << failure;
    }
    EXPECT_EQ(result.machines, 2 * settings.hierarchies);
    EXPECT_GT(result.calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Differential, ::testing::Range(1u, 9u));

}  // namespace
}  // namespace tarvel::test
