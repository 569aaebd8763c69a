// The Help command finds the manual beside the program in a build tree and in
// the data folder of an installed program.
#include "shell/manual.h"

#include <gtest/gtest.h>

#include "../support/scratchfolder.h"

namespace tarvel {
namespace {

TEST(Manual, BesideTheProgramFirstThenTheDataFolder) {
    ScratchFolder root;
    const std::string bin = root.makeFolder("usr/bin");
    EXPECT_EQ(FindManual(bin), "");

    const std::string installed = root.write("usr/share/doc/tarvel/index.html");
    EXPECT_EQ(FindManual(bin), installed);

    const std::string beside = root.write("usr/bin/doc/index.html");
    EXPECT_EQ(FindManual(bin), beside);
    EXPECT_EQ(FindManual(bin + "/"), beside);
}

}  // namespace
}  // namespace tarvel
