// A whole batch run over a hierarchy of diagrams: the command line, opening
// the diagram and its children as documents, the generator the switches pick,
// and the files written into the output folder, compared with the golden files
// the generator and list file tests keep.
#include "shell/batchrun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "../support/codegentestsupport.h"
#include "../support/scratchfolder.h"
#include "base/logs.h"
#include "shell/commandline.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// Every file below `folder`, as paths relative to it.
std::set<std::string> filesBelow(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.insert(fs::relative(entry.path(), folder).string());
        }
    }
    return files;
}

struct BatchCase {
    const char* fixture;  // folder under tests/fixtures/codegen, copied for the run
    const char* diagram;  // relative to the copy's parent, as typed on the command line
    const char* generate;
    bool listFile;
    const char* golden;  // base name of the golden files
};

class BatchRun : public ::testing::TestWithParam<BatchCase> {
protected:
    void SetUp() override {
        SetRunLogPath(scratch.at("run.log"));
        SetErrorPath(scratch.path());
    }
    void TearDown() override {
        SetRunLogPath("");
        SetErrorPath("");
    }

    ScratchFolder scratch;
};

TEST_P(BatchRun, WritesTheFilesOfTheWholeHierarchyIntoTheOutputFolder) {
    const BatchCase& c = GetParam();
    fs::copy(test::fixturePath(c.fixture), scratch.at(c.fixture), fs::copy_options::recursive);
    const std::set<std::string> diagrams = filesBelow(scratch.at(c.fixture));
    const std::string out = scratch.makeFolder("out");
    // A diagram named without a folder still finds its children once the
    // current folder is elsewhere.
    scratch.enter();

    std::vector<std::string> args{c.diagram, c.generate, "/O" + out, "/E" + scratch.path()};
    if (c.listFile) {
        args.push_back("/LS");
    }
    EXPECT_EQ(runBatch(ParseCommandLine(args)), 0) << readFile(ErrorLogPath());
    EXPECT_FALSE(fs::exists(ErrorLogPath()));

    const std::string base = c.golden;
    std::set<std::string> expected{base + ".c", base + ".h"};
    if (c.listFile) {
        expected.insert(base + ".lst");
    }
    EXPECT_EQ(filesBelow(out), expected);
    const std::string regenerate = test::regenerateCommand("*Golden*");
    for (const char* extension : {".c", ".h"}) {
        const std::string name = base + extension;
        test::expectSameAsGolden(name, test::readText(test::goldenPath(name)),
                                 readFile(out + "/" + name), regenerate);
    }
    // The written list file ends with one more line break than its text.
    if (c.listFile) {
        const std::string name = base + ".lst";
        test::expectSameAsGolden(name, test::readText(test::goldenPath(name)) + "\r\n",
                                 readFile(out + "/" + name), regenerate);
    }
    // Nothing was written beside the diagrams.
    EXPECT_EQ(filesBelow(scratch.at(c.fixture)), diagrams);
}

INSTANTIATE_TEST_SUITE_P(Hierarchies, BatchRun,
                         ::testing::Values(
                             // Four diagrams, one of them in the root's sub-folder.
                             BatchCase{"plant", "plant/Plant.fsm", "/CH", true, "Plant"},
                             // /C runs the generator the diagram names: here the reentrant one.
                             BatchCase{"reentrant", "reentrant/Counter.fsm", "/C", false,
                                       "Counter"}),
                         [](const auto& info) { return std::string(info.param.golden); });

}  // namespace
}  // namespace tarvel
