// The generation entry point the editor and the batch run share: children are
// opened as documents of the workspace, an open child is generated as its
// window holds it, and the root is the active document again afterwards.
#include "shell/generation.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/codegentestsupport.h"
#include "../support/fakeui.h"
#include "../support/scratchfolder.h"
#include "base/logs.h"
#include "shell/workspace.h"

namespace tarvel {
namespace {

class Generation : public ::testing::Test {
protected:
    void SetUp() override { SetRunLogPath(scratch.at("run.log")); }
    void TearDown() override { SetRunLogPath(""); }

    // The text of a generation; what it reported goes to `reports`.
    std::string generateFor(Document& root, GeneratorKind kind) {
        return generateCode(ws, root, kind,
                            [this](const std::string& text) { reports.push_back(text); });
    }

    ScratchFolder scratch;
    test::FakeUi ui;
    Workspace ws{ui, WorkspaceSettings{}};
    std::vector<std::string> reports;
};

TEST_F(Generation, OpensEachChildOnceAndGeneratesAnOpenChildAsItsWindowHoldsIt) {
    const std::string rootPath = test::fixturePath("plant/Plant.fsm");
    Document* root = ws.FileOpen(rootPath);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(ws.FileOpen(rootPath), root);  // open already: the same document

    // An unsaved change in an open child's window reaches the module.
    Document* pump = ws.FileOpen(test::fixturePath("plant/Pump.fsm"));
    ASSERT_NE(pump, nullptr);
    test::setState(*pump, pump->diagram().NodeList().front().get(),
                   [](StateRecord& r) { r.entry = "unsavedPumpEdit();"; });

    const std::string code = generateFor(*root, GeneratorKind::Hierarchical);
    EXPECT_TRUE(reports.empty());
    EXPECT_NE(code.find("unsavedPumpEdit();"), std::string::npos);
    EXPECT_EQ(ws.active(), root);
    // Plant, Pump, Seal and Plant/Valve, each once.
    EXPECT_EQ(ws.documents().size(), 4u);

    EXPECT_EQ(generateFor(*root, GeneratorKind::Hierarchical), code);
    EXPECT_EQ(ws.documents().size(), 4u);
}

TEST_F(Generation, TheKindPicksTheGeneratorAndNoneGeneratesNothing) {
    Document* root = ws.FileOpen(test::fixturePath("reentrant/Counter.fsm"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(generateFor(*root, GeneratorKind::None), "");
    EXPECT_EQ(ws.documents().size(), 1u);  // no child was opened

    const test::CFiles reentrant =
        test::splitResult(generateFor(*root, GeneratorKind::HierarchicalReentrant));
    test::expectSameAsGolden("Counter.c", test::readText(test::goldenPath("Counter.c")),
                             reentrant.module, test::regenerateCommand("*Golden*"));
    EXPECT_EQ(generateFor(*root, GeneratorKind::Hierarchical).find("T_Counter"), std::string::npos);
    EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace tarvel
