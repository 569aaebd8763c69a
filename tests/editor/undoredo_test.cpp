#include "editor/undoredo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "../support/builders.h"
#include "../support/fakeprompter.h"
#include "../support/tempdir.h"
#include "../support/windowedui.h"
#include "base/logs.h"
#include "base/paths.h"
#include "editor/findreplace.h"
#include "editor/fontcommands.h"
#include "model/edittransaction.h"
#include "shell/workspace.h"

namespace tarvel {
namespace {

// Documents opened through a workspace whose windows keep their undo
// snapshots in a temporary folder.
class UndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRunLogPath(dir / "run.log");
        settings.undoFolder = PrivateFolder::open(dir / "undo");
        ui.undo = undoEnvironmentOf(settings);
    }
    void TearDown() override { SetRunLogPath(""); }
    std::string makeDiagram(const std::string& name) {
        return test::writeTwoStateDiagram(dir / name);
    }
    // Opens the diagram unlocked, ready for editing.
    Document& open(Workspace& ws, const std::string& path) {
        EXPECT_TRUE(ws.FileOpen(path));
        Document& doc = *ws.active();
        ui.window(doc).toggleLocked();
        return doc;
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
    EXPECT_EQ(GetDirectory(snapshot), dir / "undo");
    EXPECT_TRUE(GetFileName(snapshot).ends_with("-Door.000000.UND")) << snapshot;
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
    EXPECT_TRUE(std::filesystem::is_empty(settings.undoFolder->path()));

    settings.modeCommand = false;
    settings.undoFolder =
        PrivateFolder::open(dir.write("afile", "x") + "/undo");  // cannot be a folder
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

// However a diagram was reached (through "..", a linked folder), its
// snapshots are named after its canonical path and lie in the undo folder
// itself, never outside it.
TEST_F(UndoTest, SnapshotNamesComeFromTheCanonicalPath) {
    const std::string path = makeDiagram("Door.fsm");
    std::filesystem::create_directory_symlink(dir.path(), dir / "linked");
    const std::string ways[] = {
        path,
        "/tmp/../../.." + path,  // "/.." is "/": this climbed out of the undo folder once
        dir / "linked/Door.fsm",
        dir / "sub/../Door.fsm",
    };
    std::filesystem::create_directory(dir / "sub");
    std::string expected;
    for (const std::string& way : ways) {
        SCOPED_TRACE(way);
        Workspace ws(ui, settings);
        ASSERT_TRUE(ws.FileOpen(way));
        const std::string snapshot = ui.window(*ws.active()).undRed().snapshotPath(0);
        EXPECT_EQ(GetDirectory(snapshot), dir / "undo");
        EXPECT_TRUE(std::filesystem::is_regular_file(snapshot));
        if (expected.empty()) {
            expected = GetFileName(snapshot);
        }
        EXPECT_EQ(GetFileName(snapshot), expected);
    }
    // Nothing but snapshot files was made in the undo folder.
    for (const auto& entry : std::filesystem::directory_iterator(dir / "undo")) {
        EXPECT_TRUE(entry.is_regular_file()) << entry.path();
    }
}

// A link at a snapshot's name is not followed, even the user's own: undo is
// switched off instead and the file it leads to stays as it was.
TEST_F(UndoTest, ALinkInTheUndoFolderIsNeverFollowed) {
    const std::string path = makeDiagram("Door.fsm");
    const std::string victim = dir.write("victim", "precious");
    Workspace ws(ui, settings);
    Document& doc = open(ws, path);
    clsLib_UndoRedo& u = ui.window(doc).undRed();
    std::filesystem::create_symlink(victim, u.snapshotPath(1));
    test::addState(doc, "C");
    u.StoreGraphChanges();
    EXPECT_FALSE(u.enabled());
    EXPECT_EQ(test::readFile(victim), "precious");
    EXPECT_NE(test::readFile(dir / "run.log").find("not a file of yours"), std::string::npos);
}

// The gestures of the canvas as the window sees them: a press, what the
// canvas changed, the mouse-up.
Node* drawNode(DocWindow& w, Diagram& d, float width, float height) {
    w.MouseDown();
    Node* n = d.AddNode(2000, 2000, width, height);
    d.clearSelection();
    n->setNodeSelected(true);
    d.setCurrentNode(n);
    w.MouseUp({GESTURE_NODE_DRAWN, true, false});
    return n;
}

void drawLink(DocWindow& w, Diagram& d, Node* from, Node* to) {
    w.MouseDown();
    Link* l = d.AddLink(from, to);
    d.clearSelection();
    d.setCurrentNode(nullptr);
    d.setCurrentLink(l);
    w.MouseUp({GESTURE_LINK_ENDS, true, false});
}

// Replaces every occurrence of the search text in every text offered.
bool replaceEverywhere(Document& doc, const std::string& search, const std::string& replace) {
    test::FakePrompter prompter;
    FindReplace find(
        [](const FindRequest& r) {
            FindAnswer a{true, r.text};
            for (std::size_t p = 0;
                 (p = FindReplace::findInText(a.text, r.search, true, p)) != std::string::npos;
                 p += r.replace.size()) {
                a.text.replace(p, r.search.size(), r.replace);
            }
            return a;
        },
        search, replace, true);
    // The find command is one edit, however many texts the walk rewrites.
    EditTransaction edit(doc);
    return find.walk(doc, prompter);
}

// The snapshots taken since the document was opened.
int steps(const clsLib_UndoRedo& u) {
    int n = 0;
    while (std::filesystem::exists(u.snapshotPath(n + 1))) {
        ++n;
    }
    return n;
}

// Every action of the window is one undo step when it changes the diagram;
// one that changes nothing leaves the changed flag and the history as they
// were, even with a change pending from before.
TEST_F(UndoTest, EachActionIsOneUndoStepAndNothingChangedTakesNone) {
    Workspace ws(ui, settings);
    Document& doc = open(ws, makeDiagram("Door.fsm"));
    Diagram& d = doc.diagram();
    DocWindow& w = ui.window(doc);
    const struct {
        const char* action;
        bool pendingBefore;
        std::function<void()> run;
        int steps;
    } cases[] = {
        {"draw a state", false, [&] { drawNode(w, d, 900, 900); }, 1},
        {"draw a link between states", false,
         [&] { drawLink(w, d, d.NodeList()[0].get(), d.NodeList()[1].get()); }, 1},
        {"a click", true,
         [&] {
             w.MouseDown();
             d.setCurrentNode(nullptr);
             w.MouseUp({GESTURE_NOTHING, false, false});
         },
         0},
        {"a node drawn too small", true, [&] { drawNode(w, d, 300, 300); }, 0},
        {"insert a remark", false, [&] { w.insertRemark(); }, 1},
        {"autosize", false, [&] { w.toggleAutosize(); }, 1},
        {"fixed pitch", false, [&] { w.toggleFixedPitch(); }, 1},
        {"enlarge the font", false, [&] { FontCommands::Enlarge(doc); }, 1},
        {"replace in every text", false, [&] { replaceEverywhere(doc, "A", "Q"); }, 1},
        {"replace what is nowhere", true, [&] { replaceEverywhere(doc, "absent", "x"); }, 0},
    };
    clsLib_UndoRedo& u = w.undRed();
    for (const auto& c : cases) {
        d.SetDiagramChanged(c.pendingBefore);
        const int before = steps(u);
        const bool unsaved = doc.GraphHasChanged();
        c.run();
        EXPECT_EQ(steps(u), before + c.steps) << c.action;
        if (c.steps == 0) {
            EXPECT_EQ(d.DiagramChanged(), c.pendingBefore) << c.action;
            EXPECT_EQ(doc.GraphHasChanged(), unsaved) << c.action;
        } else {
            EXPECT_FALSE(d.DiagramChanged()) << c.action;  // taken by the step
            EXPECT_TRUE(doc.GraphHasChanged()) << c.action;
        }
    }
}

// A session of edits, each its own undo step, then undo everything: the
// saved bytes are exactly those of the file as opened.
TEST_F(UndoTest, UndoEverythingGivesBackTheFileAsOpened) {
    const std::string path = makeDiagram("Door.fsm");
    const std::string opened = test::readFile(path);
    Workspace ws(ui, settings);
    Document& doc = open(ws, path);
    Diagram& d = doc.diagram();
    DocWindow& w = ui.window(doc);
    Node* a = d.NodeList()[0].get();

    // Draw a state C and a transition from A to it.
    Node* c = drawNode(w, d, 900, 900);
    drawLink(w, d, a, c);
    // Write the new state's actions, as its dialog does.
    {
        EditTransaction edit(doc);
        test::setState(doc, c, [](StateRecord& r) { r.moore = "motor_on();"; });
    }
    // A bigger font, a remark, then the remark deleted again.
    FontCommands::Enlarge(doc);
    Node* remark = w.insertRemark();
    d.clearSelection();
    remark->setNodeSelected(true);
    w.deleteSelection();
    // Rename everything "motor" and switch autosizing off.
    replaceEverywhere(doc, "motor", "engine");
    w.toggleAutosize();
    EXPECT_EQ(steps(w.undRed()), 8);

    // Undo everything: the diagram is as opened and counts as unchanged.
    while (w.undRed().CanUndo()) {
        w.undo();
    }
    EXPECT_FALSE(doc.GraphHasChanged());
    EXPECT_EQ(d.nodeCount(), 3u);
    ASSERT_TRUE(ws.SalvaDiagrama(doc));
    EXPECT_EQ(test::readFile(path), opened);
}

}  // namespace
}  // namespace tarvel
