#include "shell/workspace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "../support/builders.h"
#include "../support/fakeui.h"
#include "../support/logsin.h"
#include "../support/tempdir.h"
#include "base/logs.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "model/text.h"

namespace tarvel {
namespace {

using test::readFile;

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override { settings.undoFolder = PrivateFolder::open(dir / "undo"); }
    std::string runLog() const { return readFile(dir / "run.log"); }
    std::string errorLog() const { return readFile(dir / "FSM_ERR.log"); }

    std::string makeDiagram(const std::string& name, const std::string& signature = "") {
        return test::writeTwoStateDiagram(dir / name, signature);
    }

    test::TempDir dir;
    test::LogsIn logs{dir.path()};
    test::FakeUi ui;
    WorkspaceSettings settings;
};

TEST_F(WorkspaceTest, UntitledDocumentsAreNumbered) {
    settings.undoFolder.reset();  // ten thousand documents need no undo history
    Workspace ws(ui, settings);
    EXPECT_EQ(ws.FileNew(true)->caption, "FSM_0001");
    for (int i = 2; i < 10000; ++i) {
        ws.close(ws.FileNew(true));
    }
    Document* d = ws.FileNew(true);
    EXPECT_EQ(d->caption, "FSM_0000");  // the 10000th keeps the last four digits
    EXPECT_TRUE(d->untitled);
    EXPECT_TRUE(d->sFullDocname.ends_with("/FSM_0000.fsm"));
}

TEST_F(WorkspaceTest, OpensOnceLockedAndRefreshed) {
    const std::string path = makeDiagram("Door.fsm");
    Workspace ws(ui, settings);
    ASSERT_TRUE(ws.FileOpen(path));
    Document* doc = ws.active();
    EXPECT_EQ(doc->caption, "Door");
    EXPECT_TRUE(doc->diagram().DiagramLocked());
    EXPECT_FALSE(doc->GraphHasChanged());
    EXPECT_EQ(GetGraphField(FF_NAME, doc->diagram()), "Door");
    EXPECT_NE(doc->diagram().NodeList()[0]->NodeText().find("A"), std::string::npos);
    ws.FileNew(true);
    ASSERT_TRUE(ws.FileOpen(path));
    EXPECT_EQ(ws.active(), doc);
    EXPECT_EQ(ws.documents().size(), 2u);

    // The dialog's read-only box decides the lock.
    ws.close(doc);
    ui.files.push_back(FileDialogResult{path, false});
    ASSERT_TRUE(ws.FileOpen(""));
    EXPECT_FALSE(ws.active()->diagram().DiagramLocked());
    EXPECT_TRUE(ui.fileRequests.back().showReadOnly);
    EXPECT_FALSE(ws.FileOpen(""));  // cancelled
}

TEST_F(WorkspaceTest, DamagedMissingAndNewerFilesDoNotOpen) {
    const std::string damaged =
        dir.write("Bad.fsm", "{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[");
    Workspace ws(ui, settings);
    EXPECT_FALSE(ws.FileOpen(damaged));
    EXPECT_NE(runLog().find(" FileOpen, .AddFlow1.LoadFile " + damaged), std::string::npos);
    EXPECT_NE(runLog().find("not JSON"), std::string::npos);
    EXPECT_EQ(readFile(damaged), "{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[");
    ASSERT_EQ(ui.messages.size(), 1u);  // the empty window says why
    EXPECT_EQ(ws.active()->sFullDocname, "");

    EXPECT_FALSE(ws.FileOpen(dir / "Missing.fsm"));
    std::filesystem::create_directory(dir / "Folder.fsm");
    EXPECT_FALSE(ws.FileOpen(dir / "Folder.fsm"));
    EXPECT_NE(runLog().find("Folder.fsm: it is not a regular file"), std::string::npos);

    const std::string newer = makeDiagram("Newer.fsm", "FSM_V000.007");
    const std::size_t before = ws.documents().size();
    EXPECT_FALSE(ws.FileOpen(newer));  // "No" is the default answer
    ASSERT_FALSE(ui.questions.empty());
    EXPECT_EQ(ui.questions.back(),
              "The file signature don't match: [FSM_V000.007]|Atention this FSM has newer "
              "signature.\r\n Ignore and continue?");
    EXPECT_EQ(ws.documents().size(), before);
    ui.answers.push_back(Answer::Yes);
    EXPECT_TRUE(ws.FileOpen(newer));

    ui.batch = true;
    Workspace batch(ui, settings);
    EXPECT_FALSE(batch.FileOpen(newer));
    EXPECT_NE(errorLog().find("Fsm newer signature:[" + newer + "]"), std::string::npos);
}

TEST_F(WorkspaceTest, SaveKeepsTheBackupAndFailedSavesLoseNothing) {
    const std::string path = makeDiagram("Door.fsm");
    const std::string original = readFile(path);
    Workspace ws(ui, settings);
    ASSERT_TRUE(ws.FileOpen(path));
    Document& doc = *ws.active();
    doc.diagram().setDiagramLocked(false);

    ws.FileSave(doc);  // unchanged: nothing written, no backup
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));

    test::addState(doc, "C");
    doc.changesStored();  // the change became an undo step
    ws.FileSave(doc);
    EXPECT_EQ(readFile(path + ".bak"), original);
    const std::string second = readFile(path);
    EXPECT_NE(second.find("\"data\":\"C\xC2\xB7"), std::string::npos);
    EXPECT_FALSE(doc.GraphHasChanged());
    EXPECT_EQ(ui.recent.back(), path);
    EXPECT_NE(doc.diagram().NodeList()[0]->NodeText(), "");  // display texts come back

    // A read-only diagram is refused with the message and nothing changes.
    ::chmod(path.c_str(), 0444);
    test::addState(doc, "D");
    doc.changesStored();  // the change became an undo step
    EXPECT_FALSE(ws.SalvaDiagrama(doc));
    EXPECT_EQ(ui.messages.back(), "Attention!|I can't save the changes in:\r\n" + path);
    EXPECT_EQ(readFile(path), second);
    EXPECT_EQ(readFile(path + ".bak"), original);
    EXPECT_NE(doc.diagram().NodeList()[0]->NodeText(), "");
    ::chmod(path.c_str(), 0644);

    // A save into a folder that is gone fails and says so.
    doc.sFullDocname = dir / "gone/Door.fsm";
    EXPECT_FALSE(ws.SalvaDiagrama(doc));
    EXPECT_NE(runLog().find(" SalvaDiagrama, Error #"), std::string::npos);
    EXPECT_TRUE(doc.GraphHasChanged());
}

TEST_F(WorkspaceTest, CFilesAreNamedAfterTheDiagramAndReadOnlyCStops) {
    settings.skipCSaveDialog = true;
    Workspace ws(ui, settings);
    Document* doc = ws.FileNew(false);
    doc->sFullDocname = dir / "Root.fsm";
    const std::string code = "module" + std::string(FIELD_SEP) + "header" + std::string(FIELD_SEP);

    EXPECT_FALSE(ws.SaveCFiles(*doc, ""));
    EXPECT_NE(errorLog().find("Code can't be created:[Root.fsm]"), std::string::npos);

    ASSERT_TRUE(ws.SaveCFiles(*doc, code));
    EXPECT_EQ(readFile(dir / "Root.c"), "module");
    EXPECT_EQ(readFile(dir / "Root.h"), "header");

    ::chmod((dir / "Root.h").c_str(), 0444);  // a read-only header does not stop it
    ASSERT_TRUE(ws.SaveCFiles(*doc, "m2" + std::string(FIELD_SEP) + "h2" + std::string(FIELD_SEP)));
    EXPECT_EQ(readFile(dir / "Root.h"), "h2");

    ::chmod((dir / "Root.c").c_str(), 0444);
    EXPECT_FALSE(ws.SaveCFiles(*doc, code));
    EXPECT_EQ(readFile(dir / "Root.c"), "m2");
    EXPECT_NE(errorLog().find("Fsm can't save, access denied to file:[" + dir / "Root.c" + "]"),
              std::string::npos);

    settings.outputPath = dir / "out";
    std::filesystem::create_directory(settings.outputPath);
    Workspace withOutput(ui, settings);
    EXPECT_EQ(withOutput.OutputBaseName(*doc), dir / "out/Root");
    EXPECT_EQ(ws.OutputBaseName(*doc), dir / "Root");
}

// Users keep diagrams linked from elsewhere: saving through their own link
// replaces the file it leads to and keeps the link, and the saved file keeps
// the owner, group and mode of the file it replaces. A link of another user
// is refused and nothing is written through it.
TEST_F(WorkspaceTest, SavingThroughTheUsersOwnLinkKeepsTheLink) {
    std::filesystem::create_directory(dir / "real");
    const std::string real = makeDiagram("real/Door.fsm");
    ASSERT_FALSE(real.empty());
    const std::string original = readFile(real);
    ::chmod(real.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 65534, 65534), 0);
    }
    const std::string link = dir / "Door.fsm";
    std::filesystem::create_symlink(real, link);

    Workspace ws(ui, settings);
    ASSERT_TRUE(ws.FileOpen(link));
    Document& doc = *ws.active();
    doc.diagram().setDiagramLocked(false);
    test::addState(doc, "C");
    doc.changesStored();
    ASSERT_TRUE(ws.SalvaDiagrama(doc)) << runLog();

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(readFile(real).find("\"data\":\"C\xC2\xB7"), std::string::npos);
    EXPECT_EQ(readFile(link + ".bak"), original);
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }

    if (!root) {
        return;  // only root can give a link to another user
    }
    const std::string saved = readFile(real);
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    test::addState(doc, "D");
    doc.changesStored();
    EXPECT_FALSE(ws.SalvaDiagrama(doc));
    EXPECT_EQ(readFile(real), saved);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(ui.messages.back().find("is a symbolic link of another user"), std::string::npos)
        << ui.messages.back();
    EXPECT_TRUE(doc.GraphHasChanged());
}

// The module and header of one generation are written together or not at
// all: when the header cannot be written the module on disk stays as it was.
TEST_F(WorkspaceTest, CFilesAreWrittenAsAPair) {
    settings.skipCSaveDialog = true;
    Workspace ws(ui, settings);
    Document* doc = ws.FileNew(false);
    doc->sFullDocname = dir / "Root.fsm";
    auto code = [](const std::string& module, const std::string& header) {
        return module + std::string(FIELD_SEP) + header + std::string(FIELD_SEP);
    };
    ASSERT_TRUE(ws.SaveCFiles(*doc, code("old module", "old header")));

    // A folder where the header goes: the write of the pair fails.
    std::filesystem::rename(dir / "Root.h", dir / "kept.h");
    std::filesystem::create_directory(dir / "Root.h");
    EXPECT_FALSE(ws.SaveCFiles(*doc, code("new module", "new header")));
    EXPECT_EQ(readFile(dir / "Root.c"), "old module");
    EXPECT_NE(errorLog().find("Fsm can't save, access denied to file:[" + dir / "Root.h" + "]"),
              std::string::npos)
        << errorLog();

    // Neither file is changed before both can be: no temporary file is left.
    std::filesystem::remove(dir / "Root.h");
    ASSERT_TRUE(ws.SaveCFiles(*doc, code("new module", "new header")));
    EXPECT_EQ(readFile(dir / "Root.c"), "new module");
    EXPECT_EQ(readFile(dir / "Root.h"), "new header");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".tarvel-")) << entry.path();
    }
}

}  // namespace
}  // namespace tarvel
