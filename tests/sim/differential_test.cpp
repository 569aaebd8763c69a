// The simulator against the compiled code: random hierarchies generated in
// both styles, compiled with gcc and run with random scenarios, compared call
// by call (see differential.h). bench/sim_differential.sh runs thousands.
#include <gtest/gtest.h>

#include <stdlib.h>

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
    // A folder of this run's own, so that runs side by side never share one;
    // failing batches stay there for a look.
    std::string pattern =
        ::testing::TempDir() + "tarvel-sim-differential-" + std::to_string(settings.seed) + "-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << pattern;
    settings.workFolder = pattern;
    const DifferentialResult result = runDifferential(settings);
    for (const std::string& failure : result.failures) {
        ADD_FAILURE() << failure;
    }
    EXPECT_EQ(result.machines, 2 * settings.hierarchies);
    EXPECT_GT(result.calls, 0);
    if (result.failures.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(settings.workFolder, ec);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, Differential, ::testing::Range(1u, 9u));

}  // namespace
}  // namespace tarvel::test
