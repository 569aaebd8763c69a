#include "editor/undoredo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/builders.h"
#include "../support/tempdir.h"
#include "../support/windowedui.h"
#include "base/logs.h"
#include "shell/workspace.h"

namespace tarvel {
namespace {

// Documents opened through a workspace whose windows keep their undo
// snapshots in a temporary folder.
class UndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRunLogPath(dir / "run.log");
        settings.undoRoot = dir / "undo";
        ui.undo = undoEnvironmentOf(settings);
    }
    void TearDown() override { SetRunLogPath(""); }
    std::string makeDiagram(const std::string& name) {
        return test::writeTwoStateDiagram(dir / name);
    }

    test::TempDir dir;
    test::WindowedUi ui;
    WorkspaceSettings settings;
};

TEST_F(UndoTest, UndoAndRedoWalkTheSnapshots) {
    const std::string path = makeDiagram("Door.fsm");
    Workspace ws(ui, settings);
    ASSERT_TRUE(ws.FileOpen(path));
    Document& doc = *ws.active();
    clsLib_UndoRedo& u = ui.window(doc).undRed();
    doc.diagram().setDiagramLocked(false);
    EXPECT_FALSE(u.CanUndo());  // one snapshot: the diagram as opened

    // Two edits, each followed by a snapshot.
    test::addState(doc, "C");
    u.StoreGraphChanges();
    EXPECT_TRUE(u.CanUndo());
    test::addState(doc, "D");
    u.StoreGraphChanges();
    EXPECT_EQ(doc.diagram().nodeCount(), 5u);

    // Undo once: D is gone, the diagram still differs from the file.
    u.Undo();
    EXPECT_EQ(doc.diagram().nodeCount(), 4u);
    EXPECT_TRUE(u.GraphHasChanged());
    EXPECT_TRUE(u.CanRedo());
    // Undo again: back at the opened state, which counts as unchanged.
    u.Undo();
    EXPECT_EQ(doc.diagram().nodeCount(), 3u);
    EXPECT_FALSE(u.GraphHasChanged());
    EXPECT_FALSE(u.CanUndo());
    // Redo brings C back; a new edit then discards what could be redone.
    u.Redo();
    EXPECT_EQ(doc.diagram().nodeCount(), 4u);
    test::addState(doc, "E");
    u.StoreGraphChanges();
    EXPECT_FALSE(u.CanRedo());
    // A locked diagram offers neither and takes no snapshot.
    doc.diagram().setDiagramLocked(true);
    EXPECT_FALSE(u.CanUndo());
    // Closing deletes the snapshots.
    const std::string snapshot = u.snapshotPath(0);
    EXPECT_TRUE(std::filesystem::exists(snapshot));
    EXPECT_EQ(snapshot, settings.undoRoot + path.substr(0, path.size() - 4) + ".000000.UND");
    ws.close(&doc);
    EXPECT_FALSE(std::filesystem::exists(snapshot));
}

TEST_F(UndoTest, BatchRunsAndUnusableFoldersTakeNoSnapshots) {
    const std::string path = makeDiagram("Door.fsm");
    settings.modeCommand = true;
    ui.undo = undoEnvironmentOf(settings);
    {
        Workspace ws(ui, settings);
        ASSERT_TRUE(ws.FileOpen(path));
    }
    EXPECT_FALSE(std::filesystem::exists(settings.undoRoot));

    settings.modeCommand = false;
    settings.undoRoot = dir.write("afile", "x") + "/undo";  // cannot be a folder
    ui.undo = undoEnvironmentOf(settings);
    Workspace ws(ui, settings);
    ASSERT_TRUE(ws.FileOpen(path));
    Document& doc = *ws.active();
    doc.diagram().setDiagramLocked(false);
    EXPECT_FALSE(ui.window(doc).undRed().enabled());
    test::addState(doc, "C");  // editing goes on
    ui.window(doc).undRed().StoreGraphChanges();
    EXPECT_FALSE(ui.window(doc).undRed().CanUndo());
    EXPECT_TRUE(ui.window(doc).undRed().GraphHasChanged());
}

}  // namespace
}  // namespace tarvel
