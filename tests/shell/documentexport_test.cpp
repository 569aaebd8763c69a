// The page and picture exports end to end: the files, their names and
// folders, what the page refers to, the diagram left as it was, the failures
// the user is told about, and the batch switches through a whole run.
#include "shell/documentexport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "../support/builders.h"
#include "../support/fakeui.h"
#include "../support/logsin.h"
#include "../support/scratchfolder.h"
#include "../support/tempdir.h"
#include "base/logs.h"
#include "base/text.h"
#include "export/exportmargin.h"
#include "export/htmlpage.h"
#include "export/listfile.h"
#include "export/picture.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "shell/batchrun.h"
#include "shell/commandline.h"
#include "shell/workspace.h"

namespace tarvel {
namespace {

using test::readFile;
namespace fs = std::filesystem;

const std::string PLACEABLE_MAGIC = "\xD7\xCD\xC6\x9A";

bool exists(const std::string& path) {
    return fs::exists(path);
}

// The width and height of a picture's view box.
std::pair<float, float> viewBoxSize(const std::string& svg) {
    const std::size_t at = svg.find("viewBox=\"");
    if (at == std::string::npos) {
        return {};
    }
    std::istringstream box(svg.substr(at + 9));
    float left = 0;
    float top = 0;
    std::pair<float, float> size;
    box >> left >> top >> size.first >> size.second;
    return size;
}

class DocumentExport : public ::testing::Test {
protected:
    // Two states and a transition, as the editor builds them.
    static void fill(Document& doc) {
        Node* a = test::addState(doc, "GREEN_LIGHT", NK_INITIAL, 500, 500);
        Node* b = test::addState(doc, "RED_LIGHT", NK_STATE, 4000, 500);
        test::addTransition(doc, a, b);
    }

    Document& newDocument(Workspace& ws, const std::string& path) {
        Document* doc = ws.FileNew(false);
        doc->sFullDocname = path;
        fill(*doc);
        return *doc;
    }

    // A saved diagram "m.fsm" whose state runs the child diagram "Child",
    // which lies in the diagram's own sub-folder.
    std::string saveDiagramWithChild() {
        dir.write("m/Child.fsm", "{}");
        Document doc;
        doc.sFullDocname = dir / "m.fsm";
        fill(doc);
        test::setState(doc, doc.diagram().NodeList().front().get(),
                       [](StateRecord& r) { r.moore = "Child();"; });
        SaveGraphInfo(doc, true);
        std::string error;
        EXPECT_TRUE(SaveToFile(doc.diagram(), doc.sFullDocname, error)) << error;
        return doc.sFullDocname;
    }

    int batch(std::vector<std::string> args) {
        args.push_back("/E" + dir.path());
        const StartupState state = ParseCommandLine(args);
        return runBatch(state);
    }

    test::TempDir dir;
    test::LogsIn logs{dir.path()};
    test::FakeUi ui;
    WorkspaceSettings settings;
};

TEST_F(DocumentExport, PageAndPicturesLieBesideTheDiagramAndLeaveItAsItWas) {
    settings.modeCommand = true;
    Workspace ws(ui, settings);
    Document& doc = newDocument(ws, dir / "m.fsm");
    const std::size_t nodes = doc.diagram().nodeCount();

    for (const bool changed : {false, true}) {
        doc.diagram().SetDiagramChanged(changed);
        ASSERT_TRUE(FileSaveAsHTML(ws, doc, false));
        EXPECT_EQ(doc.diagram().DiagramChanged(), changed);
        EXPECT_EQ(doc.diagram().nodeCount(), nodes);  // the margin node is gone
    }
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_TRUE(ui.messages.empty());

    const std::string page = readFile(dir / "m.htm");
    EXPECT_EQ(page, toWindows1252Html(htmlPageText(doc, "m", "m.svg", false)) + "\r\n");
    EXPECT_NE(page.find("<IMG SRC=\"m.svg\">"), std::string::npos);
    EXPECT_EQ(readFile(dir / "m.wmf").substr(0, 4), PLACEABLE_MAGIC);
    const std::string svg = readFile(dir / "m.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("GREEN_LIGHT"), std::string::npos);

    // The page's picture reaches 1000 twips beyond the diagram's right and
    // bottom edges.
    const RectF plain = pictureArea(doc.diagram());
    const float grows = 1000 - PICTURE_EDGE_ROOM;
    const auto [width, height] = viewBoxSize(svg);
    EXPECT_FLOAT_EQ(width, plain.width + grows);
    EXPECT_FLOAT_EQ(height, plain.height + grows);
}

TEST_F(DocumentExport, TheEditorAsksForTheNameAndCancellingWritesNothing) {
    Workspace ws(ui, settings);
    Document& doc = newDocument(ws, dir / "m.fsm");
    fs::create_directory(dir / "pages");

    ui.files = {FileDialogResult{dir / "pages/Page.htm"}, std::nullopt};
    ASSERT_TRUE(FileSaveAsHTML(ws, doc, false));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const FileDialogRequest& asked = ui.fileRequests[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.title, "Save As HTML File...");
    EXPECT_EQ(asked.filter, "HTML Files(*.HTM)|*.htm|All Files(*.*)|*.*|");
    EXPECT_EQ(asked.defaultExtension, "HTM");
    EXPECT_EQ(asked.proposedName, dir / "m.htm");
    const std::string page = readFile(dir / "pages/Page.htm");
    EXPECT_NE(page.find("<TITLE>Page</TITLE>"), std::string::npos);
    EXPECT_NE(page.find("<IMG SRC=\"Page.svg\">"), std::string::npos);
    EXPECT_TRUE(exists(dir / "pages/Page.wmf"));
    EXPECT_TRUE(exists(dir / "pages/Page.svg"));

    EXPECT_FALSE(FileSaveAsHTML(ws, doc, false));  // cancelled
    EXPECT_FALSE(exists(dir / "m.htm"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentExport, SavingThePictureWritesTheChosenFileOrBothPicturesInABatch) {
    {
        Workspace ws(ui, settings);
        Document& doc = newDocument(ws, dir / "m.fsm");
        doc.diagram().setGridVisible(true);
        ui.files = {FileDialogResult{dir / "chosen.wmf"}};
        ASSERT_TRUE(FileSaveAsEMF(ws, doc));
        const FileDialogRequest& asked = ui.fileRequests.at(0);
        EXPECT_EQ(asked.title, "Save As Enhanced Metafile...");
        EXPECT_EQ(asked.filter, "Wmf Files(*.WMF)|*.wmf|All Files(*.*)|*.*|");
        EXPECT_EQ(asked.defaultExtension, "WMF");
        EXPECT_EQ(asked.proposedName, dir / "m.wmf");
        EXPECT_EQ(readFile(dir / "chosen.wmf"),
                  ExportPicture(doc.diagram(), doc.measurer(), false).wmf);  // no grid
        EXPECT_FALSE(exists(dir / "chosen.svg"));
        EXPECT_TRUE(doc.diagram().GridVisible());
    }
    settings.modeCommand = true;
    Workspace ws(ui, settings);
    Document& doc = newDocument(ws, dir / "m.fsm");
    ASSERT_TRUE(FileSaveAsEMF(ws, doc));
    EXPECT_EQ(readFile(dir / "m.wmf").substr(0, 4), PLACEABLE_MAGIC);
    EXPECT_NE(readFile(dir / "m.svg").find("RED_LIGHT"), std::string::npos);
    EXPECT_FALSE(exists(dir / "m.htm"));
}

TEST_F(DocumentExport, FilesThatCannotBeWrittenAreReportedAndNeverHalfWritten) {
    const struct {
        const char* name;
        bool page;               // the HTML export, else the picture
        const char* chosen;      // the name given in the dialog
        const char* readOnly;    // a file that exists and may not be written
        const char* failing;     // the file the message names
        const char* message;     // the message up to that file's path
        const char* leftBehind;  // a file the export wrote before it failed
    } cases[] = {
        {"read-only page", true, "m.htm", "m.htm", "m.htm",
         " FileSaveAsHTML, Error # 70: Permission denied: ", "m.svg"},
        // The pictures go first, so the first file that fails is one of them.
        {"page in a missing folder", true, "none/m.htm", nullptr, "none/m.wmf",
         " FileSaveAsHTML, Error # 75: Path not found: ", nullptr},
        {"read-only picture", false, "m.wmf", "m.wmf", "m.wmf",
         " FileSaveAsEMF, Error #70: Permission denied: ", nullptr},
        {"picture in a missing folder", false, "none/m.wmf", nullptr, "none/m.wmf",
         " FileSaveAsEMF, Error #75: Path not found: ", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir out;
        test::FakeUi asked;
        Workspace ws(asked, settings);
        Document& doc = newDocument(ws, out / "m.fsm");
        if (c.readOnly != nullptr) {
            out.write(c.readOnly, "old");
            ::chmod((out / c.readOnly).c_str(), 0444);
        }
        asked.files = {FileDialogResult{out / c.chosen}};

        EXPECT_FALSE(c.page ? FileSaveAsHTML(ws, doc, false) : FileSaveAsEMF(ws, doc));
        const std::string text = c.message + out / c.failing;
        EXPECT_EQ(asked.messages, std::vector<std::string>{"Tarvel Editor|" + text});
        EXPECT_NE(readFile(dir / "run.log").find(text), std::string::npos);
        if (c.readOnly != nullptr) {
            EXPECT_EQ(readFile(out / c.readOnly), "old");
        }
        if (c.leftBehind != nullptr) {
            EXPECT_TRUE(exists(out / c.leftBehind));
        }
        EXPECT_FALSE(exists(out / "none"));
    }
}

TEST_F(DocumentExport, AnEmptyDiagramGivesASmallValidPicture) {
    Document doc;
    const DiagramPicture plain = ExportPicture(doc.diagram(), doc.measurer(), false);
    EXPECT_EQ(plain.wmf.substr(0, 4), PLACEABLE_MAGIC);
    EXPECT_LT(plain.wmf.size(), 200u);
    EXPECT_EQ(viewBoxSize(plain.svg), std::make_pair(45.0f, 45.0f));
    const DiagramPicture withMargin = ExportPicture(doc.diagram(), doc.measurer(), true);
    EXPECT_EQ(viewBoxSize(withMargin.svg), std::make_pair(1000.0f, 1000.0f));
    EXPECT_EQ(doc.diagram().nodeCount(), 0u);
    EXPECT_FALSE(doc.diagram().DiagramChanged());
}

TEST_F(DocumentExport, AnotherProgramReadsTheStateNamesFromTheMetafile) {
    if (std::system("command -v wmf2svg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "wmf2svg is not on the PATH";
    }
    settings.modeCommand = true;
    Workspace ws(ui, settings);
    Document& doc = newDocument(ws, dir / "m.fsm");
    ASSERT_TRUE(FileSaveAsEMF(ws, doc));
    const std::string command = "wmf2svg -o '" + dir / "read.svg" + "' '" + dir / "m.wmf" +
                                "' 2>'" + dir / "errors.txt" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(dir / "errors.txt");
    const std::string read = readFile(dir / "read.svg");
    EXPECT_NE(read.find("GREEN_LIGHT"), std::string::npos) << read;
    EXPECT_NE(read.find("RED_LIGHT"), std::string::npos) << read;
}

TEST_F(DocumentExport, BatchSwitchesWriteThePageOrThePicture) {
    const std::string diagram = saveDiagramWithChild();
    const struct {
        std::vector<std::string> switches;
        bool page;
        const char* link;  // the child link of the page
    } cases[] = {
        {{"/W"}, false, nullptr},
        {{"/H"}, true, "<A HREF=\"./m/Child.htm\">Child.htm</A>"},
        {{"/HL"}, true, "<A HREF=\"./Child.htm\">Child.htm</A>"},
        {{"/H", "/HL"}, true, "<A HREF=\"./Child.htm\">Child.htm</A>"},
        {{"/W", "/H"}, true, "<A HREF=\"./m/Child.htm\">Child.htm</A>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.switches.front() + (c.switches.size() > 1 ? " " + c.switches.back() : ""));
        test::TempDir out;
        std::vector<std::string> args{diagram, "/O" + out.path()};
        args.insert(args.end(), c.switches.begin(), c.switches.end());
        EXPECT_EQ(batch(args), 0) << readFile(dir / "FSM_ERR.log");
        EXPECT_TRUE(exists(out / "m.wmf"));
        EXPECT_TRUE(exists(out / "m.svg"));
        EXPECT_EQ(exists(out / "m.htm"), c.page);
        if (c.page) {
            const std::string page = readFile(out / "m.htm");
            EXPECT_NE(page.find(c.link), std::string::npos) << page;
            EXPECT_NE(page.find("<IMG SRC=\"m.svg\">"), std::string::npos);
        }
    }
    // Nothing lands beside the diagram when an output folder is given.
    EXPECT_FALSE(exists(dir / "m.htm"));
    EXPECT_FALSE(exists(dir / "m.wmf"));

    // Without one, the files lie beside the diagram.
    EXPECT_EQ(batch({diagram, "/HL"}), 0);
    EXPECT_TRUE(exists(dir / "m.htm"));
    EXPECT_TRUE(exists(dir / "m.svg"));
}

TEST_F(DocumentExport, ABatchWritesCFilesThenThePageThenTheListAndReportsEachFailure) {
    // The child is no diagram, so the generation fails; the page is read-only
    // and a folder stands where the list file should go.
    const std::string diagram = saveDiagramWithChild();
    dir.write("m.htm", "old");
    ::chmod((dir / "m.htm").c_str(), 0444);
    fs::create_directory(dir / "m.lst");

    EXPECT_EQ(batch({diagram, "/CH", "/H", "/LS"}), 1);
    const std::string log = readFile(dir / "FSM_ERR.log");
    const std::size_t code = log.find("Code can't be created:[m.fsm]");
    const std::size_t page =
        log.find(" FileSaveAsHTML, Error # 70: Permission denied: " + dir / "m.htm");
    const std::size_t list = log.find("Fsm can't save list file:[" + dir / "m.lst");
    ASSERT_NE(code, std::string::npos) << log;
    ASSERT_NE(page, std::string::npos) << log;
    ASSERT_NE(list, std::string::npos) << log;
    EXPECT_LT(code, page);
    EXPECT_LT(page, list);
    EXPECT_EQ(readFile(dir / "m.htm"), "old");
    // The pictures were written before the page failed.
    EXPECT_TRUE(exists(dir / "m.svg"));
}

// Another user plants links at the output names in a shared output folder.
// Nothing is written through them; each command that meets one stops with a
// line of the error log naming the file and why, and the run fails.
TEST_F(DocumentExport, ABatchNeverWritesThroughALinkPlantedAtAnOutputName) {
    const std::string diagram = test::writeTwoStateDiagram(dir / "Door.fsm");
    const std::string victim = dir.write("profile", "precious\n");
    // As root the links belong to another user and lead to the victim;
    // otherwise they are the user's own but lead nowhere. Both are refused.
    const bool root = ::geteuid() == 0;
    const char* reason = root ? "is a symbolic link of another user" : "leads nowhere";
    const struct {
        std::vector<std::string> switches;
        std::vector<std::string> planted;
        std::vector<std::string> lines;  // the error-log lines, up to the file's path
    } cases[] = {
        {{"/CH", "/H", "/LS"},
         {"Door.c", "Door.h", "Door.lst", "Door.htm", "Door.svg", "Door.wmf"},
         {"Fsm can't save, access denied to file:[OUT/Door.h] ",
          " FileSaveAsHTML, Error # 70: Permission denied: OUT/Door.wmf (",
          "Fsm can't save list file:[OUT/Door.lst] "}},
        {{"/CH", "/H"},
         {"Door.c", "Door.htm"},
         {"Fsm can't save, access denied to file:[OUT/Door.c] ",
          " FileSaveAsHTML, Error # 70: Permission denied: OUT/Door.htm ("}},
        {{"/W"}, {"Door.svg"}, {" FileSaveAsEMF, Error #70: Permission denied: OUT/Door.svg ("}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.planted.front());
        test::TempDir out;
        for (const std::string& name : c.planted) {
            const std::string link = out / name;
            fs::create_symlink(root ? victim : out / "nowhere", link);
            if (root) {
                ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
            }
        }
        fs::remove(dir / "FSM_ERR.log");
        std::vector<std::string> args{diagram, "/O" + out.path()};
        args.insert(args.end(), c.switches.begin(), c.switches.end());
        EXPECT_EQ(batch(args), 1);

        const std::vector<std::string> logged = logMessages(readFile(dir / "FSM_ERR.log"));
        ASSERT_EQ(logged.size(), c.lines.size()) << readFile(dir / "FSM_ERR.log");
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            std::string expected = c.lines[i];
            expected.replace(expected.find("OUT"), 3, out.path());
            EXPECT_TRUE(logged[i].starts_with(expected)) << logged[i];
            EXPECT_NE(logged[i].find(reason), std::string::npos) << logged[i];
        }
        EXPECT_EQ(readFile(victim), "precious\n");
        EXPECT_FALSE(exists(out / "nowhere"));
        for (const std::string& name : c.planted) {
            EXPECT_TRUE(fs::is_symlink(out / name)) << name;
        }
    }
}

// The list file is one command in the editor and in a batch run: the same
// proposed name and text, the same refusal of a read-only file, each
// reported in its own way; what was written is told to the user interface.
TEST_F(DocumentExport, TheListFileIsOneCommandInTheEditorAndInABatch) {
    for (const bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "batch" : "editor");
        test::TempDir out;
        const std::string list = out / "m.lst";
        test::FakeUi asked;
        asked.batch = batch;
        WorkspaceSettings runSettings = settings;
        runSettings.modeCommand = batch;
        Workspace ws(asked, runSettings);
        Document& doc = newDocument(ws, out / "m.fsm");
        asked.files = {FileDialogResult{list}, FileDialogResult{list}};

        ASSERT_TRUE(FileSaveAsList(ws, doc));
        EXPECT_EQ(readFile(list), listFileText(doc) + std::string(CRLF));
        EXPECT_EQ(asked.written, std::vector<std::vector<std::string>>{{list}});
        EXPECT_EQ(asked.fileRequests.size(), batch ? 0u : 1u);
        if (!batch) {
            EXPECT_EQ(asked.fileRequests.front().proposedName, list);
            EXPECT_EQ(asked.fileRequests.front().title, "Save As List file...");
        }

        ::chmod(list.c_str(), 0444);
        ::unlink((dir / "FSM_ERR.log").c_str());
        EXPECT_FALSE(FileSaveAsList(ws, doc));
        if (batch) {
            EXPECT_EQ(logMessages(readFile(dir / "FSM_ERR.log")),
                      std::vector<std::string>{"Fsm can't save list file:[" + list + "] " + list +
                                               " is read-only"});
        } else {
            EXPECT_EQ(asked.messages, std::vector<std::string>{
                                          "Attention!|I can't save the changes in:\r\n" + list});
        }
        EXPECT_EQ(asked.written.size(), 1u);
    }
}

}  // namespace
}  // namespace tarvel
