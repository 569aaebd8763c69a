// Runs the differential test of the simulator on many random hierarchies:
//   tarvel_sim_differential [HIERARCHIES [SEED [FOLDER]]]
// Each hierarchy is generated, compiled and run in both styles and compared
// call by call with the simulator. Prints the figures; exits 1 on any
// difference (the failing batches stay in FOLDER).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "differential.h"

int main(int argc, char** argv) {
    tarvel::test::DifferentialSettings settings;
    settings.hierarchies = argc > 1 ? std::atoi(argv[1]) : 1000;
    settings.seed =
        argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 20260101u;
    settings.workFolder = argc > 3 ? argv[3] : "/tmp/tarvel-sim-differential";
    settings.perCompile = 25;
    if (!tarvel::test::haveCompiler(settings.compiler)) {
        std::fprintf(stderr, "%s is not installed\n", settings.compiler.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const tarvel::test::DifferentialResult r = tarvel::test::runDifferential(settings);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const std::string& failure : r.failures) {
        std::printf("%s\n\n", failure.c_str());
    }
    std::printf(
        "seed %u: %d hierarchies, %d machines compiled and compared in both styles, "
        "%lld calls equal, %d instances stopped at an endless chain, %zu failures, %.1f s\n",
        settings.seed, r.hierarchies, r.machines, r.calls, r.stoppedChains, r.failures.size(),
        seconds);
    return r.failures.empty() ? 0 : 1;
}
