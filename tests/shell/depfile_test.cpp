// The depfile of a batch run: its rule names what the run wrote and every
// diagram the generation walk read, in make's form; a depfile that cannot be
// written fails the run.
#include "shell/depfile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/tempdir.h"
#include "base/logs.h"
#include "shell/batchrun.h"
#include "shell/commandline.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

TEST(Depfile, PathsAreWrittenAsMakeReadsThem) {
    EXPECT_EQ(DepfileText({"/o/a.c", "/o/a.h"}, {"/d/a.fsm", "/d/b.fsm"}),
              "/o/a.c /o/a.h: \\\n /d/a.fsm \\\n /d/b.fsm\n"
              "\n/d/a.fsm:\n"
              "\n/d/b.fsm:\n");
    const struct {
        const char* path;
        const char* written;
    } cases[] = {
        {"/my dir/a.fsm", "/my\\ dir/a.fsm"},
        {"/a#1/$x.fsm", "/a\\#1/$$x.fsm"},
        // Backslashes before a blank are doubled, others stay.
        {"/a\\ b\\c.fsm", "/a\\\\\\ b\\c.fsm"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DepfileText({"t"}, {c.path}),
                  "t: \\\n " + std::string(c.written) + "\n\n" + c.written + ":\n")
            << c.path;
    }
    // Without outputs only the empty rules are left.
    EXPECT_EQ(DepfileText({}, {"/d/a.fsm"}), "\n/d/a.fsm:\n");
}

class DepfileRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(TARVEL_FIXTURES_DIR "/codegen/plant", dir / "plant", fs::copy_options::recursive);
        fs::create_directory(dir / "out");
        SetRunLogPath(dir / "run.log");
    }
    void TearDown() override {
        SetRunLogPath("");
        SetErrorPath("");
    }

    int batch(std::vector<std::string> args) {
        args.push_back("--error-log=" + dir.path());
        return runBatch(ParseCommandLine(args));
    }

    std::string errorLog() const { return test::readFile(dir / "FSM_ERR.log"); }

    test::TempDir dir;
};

TEST_F(DepfileRun, NamesEveryDiagramTheGenerationRead) {
    const std::string d = dir.path();
    ASSERT_EQ(batch({"--style=chr", "--list", "--output=" + d + "/out", "--depfile=" + d + "/p.d",
                     d + "/plant/Plant.fsm"}),
              0)
        << errorLog();
    EXPECT_EQ(test::readFile(d + "/p.d"),
              DepfileText({d + "/out/Plant.c", d + "/out/Plant.h", d + "/out/Plant.lst"},
                          {d + "/plant/Plant.fsm", d + "/plant/Pump.fsm", d + "/plant/Seal.fsm",
                           d + "/plant/Plant/Valve.fsm"}));

    // Without a generation the run reads the root only; the page comes with
    // its pictures.
    ASSERT_EQ(batch({"/H", "--depfile=" + d + "/h.d", d + "/plant/Plant.fsm"}), 0) << errorLog();
    EXPECT_EQ(test::readFile(d + "/h.d"),
              DepfileText({d + "/plant/Plant.htm", d + "/plant/Plant.wmf", d + "/plant/Plant.svg"},
                          {d + "/plant/Plant.fsm"}));
}

TEST_F(DepfileRun, ADepfileThatCannotBeWrittenFailsTheRun) {
    const std::string d = dir.path();
    const std::string depfile = d + "/no/such/folder/p.d";
    EXPECT_EQ(batch({"/CH", "--depfile=" + depfile, d + "/plant/Plant.fsm"}), 1);
    EXPECT_TRUE(fs::exists(d + "/plant/Plant.c"));  // what could be written is
    EXPECT_NE(errorLog().find("Fsm can't save depfile:[" + depfile + "] "), std::string::npos)
        << errorLog();
}

}  // namespace
}  // namespace tarvel
