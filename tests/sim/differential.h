// The differential test of the simulator: random hierarchies are generated
// as C in both styles with the real generators, compiled with a driver that
// records every "T(n);" and feeds "in[k]" from a random scenario, and run;
// the simulator runs the same scenario, and the two traces are compared call
// by call, with the state index and entry flag of every diagram after each
// call. Several machines are compiled per compiler run to keep it quick.
#pragma once

#include <string>
#include <vector>

#include "randomhierarchy.h"

namespace tarvel::test {

struct DifferentialSettings {
    unsigned seed = 1;
    int hierarchies = 10;  // each generated, compiled and run in both styles
    int perCompile = 12;   // hierarchies per compiler run
    int callsPerInstance = 40;
    int maxInstances = 3;  // instances of the reentrant machines
    RandomHierarchySettings shape;
    // Machines are written below this folder; a failing batch is kept there.
    std::string workFolder;
    std::string compiler = "gcc";
};

struct DifferentialResult {
    int hierarchies = 0;
    int machines = 0;       // compiled and compared (two per hierarchy)
    long long calls = 0;    // calls compared
    int stoppedChains = 0;  // instances whose chain never ended (compared up to there)
    // One text per failing machine: where it is kept and the first difference.
    std::vector<std::string> failures;
};

DifferentialResult runDifferential(const DifferentialSettings& settings);

// The C compiler can be started.
bool haveCompiler(const std::string& compiler);

}  // namespace tarvel::test
