#include "shell/ui/editorsession.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

#include "base/logs.h"
#include "base/paths.h"
#include "dialogs/ui/dialogentrypoints.h"
#include "editor/ui/dialoghooks.h"
#include "export/ui/fontmetricsmeasurer.h"
#include "export/ui/picturehooks.h"
#include "export/ui/printcontrol.h"
#include "shell/batchrun.h"
#include "shell/documentexport.h"
#include "shell/ui/clslib_previnstance.h"
#include "shell/ui/icons.h"

namespace tarvel {

WorkspaceSettings interactiveSettings(const StartupState& startup,
                                      const PrivateFolder& privateFolder) {
    WorkspaceSettings s;
    s.modeCommand = false;
    s.outputPath = startup.sOutputPath;
    s.overrides.debugInfo = startup.debugInfoOverride();
    s.overrides.ansiComment = startup.ansiCommentOverride();
    s.overrides.printTextBoxes = startup.printTextBoxesOverride();
    s.overrides.bitFields = startup.bitFieldsOverride();
    s.undoFolder = privateFolder.subfolder("undo");
    if (!s.undoFolder->usable()) {
        // Editing goes on without undo; the user is told when the frame shows.
        LogRun(" clsUndoRedo: no private folder for the undo history: " + s.undoFolder->error());
    }
    s.measurer = &screenMeasurer();
    return s;
}

// Plugs the property dialogs, find, the font commands, pictures and printing
// into the document windows; the windows read the hooks when they are built.
void installDialogHooks(DialogHooks& hooks, Workspace& workspace) {
    hooks.editState = editStateDialog;
    hooks.editTransition = editTransitionDialog;
    hooks.editFsm = editFsmDialog;
    hooks.find = findInDocument;
    hooks.font = [](QWidget* parent, Document& doc, int command) {
        runFontCommand(parent, doc,
                       command == FONT_CHANGE   ? FontCommand::Change
                       : command == FONT_REDUCE ? FontCommand::Reduce
                                                : FontCommand::Enlarge);
    };
    hooks.documentClosed = forgetFindStrings;
    // The page and picture exports name their files through the workspace.
    hooks.saveAsPicture = [&workspace](QWidget*, Document& doc) { FileSaveAsEMF(workspace, doc); };
    hooks.saveAsHtml = [&workspace](QWidget*, Document& doc) {
        FileSaveAsHTML(workspace, doc, false);
    };
    hooks.addPictureToClipboard = addPictureToClipboard;
    hooks.printerSetup = [](QWidget* parent) { PrintControl::of(parent).setup(parent); };
    hooks.print = [](QWidget* parent, Document& doc) {
        PrintControl::of(parent).print(parent, doc);
    };
    hooks.printPreview = [&workspace](QWidget* frame, Document& doc, bool show) {
        PrintControl& control = PrintControl::of(frame);
        control.setDocumentCheck([&workspace](const Document* d) {
            const auto& open = workspace.documents();
            return std::any_of(open.begin(), open.end(),
                               [d](const auto& candidate) { return candidate.get() == d; });
        });
        return control.preview(doc, show);
    };
    setOpenDocumentsProvider([&workspace] {
        std::vector<Document*> open;
        for (const auto& doc : workspace.documents()) {
            open.push_back(doc.get());
        }
        return open;
    });
}

EditorSession::EditorSession(const StartupState& startup, std::unique_ptr<QtUserInterface> ui,
                             std::shared_ptr<const PrivateFolder> privateFolder)
    : m_ui(std::move(ui)) {
    if (!privateFolder) {
        privateFolder = PrivateFolder::open(PrivateFolder::userFolderPath());
    }
    m_workspace = std::make_unique<Workspace>(*m_ui, interactiveSettings(startup, *privateFolder));
    installDialogHooks(m_hooks, *m_workspace);
    m_handoff = std::make_unique<frmLib_LinkInstance>([this](const std::string& path) {
        m_workspace->FileOpen(path);
        // Brought back and to the front; a maximised frame stays maximised.
        if (m_main->isMinimized()) {
            m_main->showNormal();
        }
        m_main->raise();
        m_main->activateWindow();
    });
    m_main = std::make_unique<frmMain>(*m_workspace, *m_ui, m_handoff.get(), m_hooks);
    m_ui->setMainWindow(m_main.get());
}

EditorSession::~EditorSession() {
    // The windows go before the documents they show.
    m_handoff->close();
    m_main.reset();
    m_ui->setMainWindow(nullptr);
}

std::string EditorSession::tellWhatIsOff(bool handoffListening) {
    const auto& folder = m_workspace->settings().undoFolder;
    if (folder && folder->usable()) {
        return {};
    }
    const std::string why = folder ? folder->error() : std::string("no private folder");
    std::string text = "The private folder cannot be used: " + why + ".\r\nUndo is off";
    text += handoffListening ? "." : ", and a second start opens a second editor.";
    // A permanent part of the status bar, so the document windows' own
    // status texts do not take it away.
    // The reason is in the message box and the label's tip.
    auto* label = new QLabel(handoffListening ? QStringLiteral("Undo is off")
                                              : QStringLiteral("Undo and the hand-off are off"));
    label->setToolTip(QString::fromStdString(why));
    label->setObjectName(QStringLiteral("privateFolderStatus"));
    m_main->statusBar()->addPermanentWidget(label);
    m_ui->showMessage("Attention!", text, MessageIcon::Exclamation);
    return text;
}

void setApplicationNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("tarvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvel Editor"));
    QCoreApplication::setApplicationVersion(QString::fromStdString(VersionText()));
}

int runEditor(int& argc, char** argv, StartupState& startup) {
    QApplication app(argc, argv);
    setApplicationNames();
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvel-editor"));
    initEditorResources();
    QApplication::setWindowIcon(applicationIcon());

    // Checked once: the hand-off and the undo history use this one handle.
    const auto privateFolder = PrivateFolder::open(PrivateFolder::userFolderPath());
    const QString server = handoffServerName(*privateFolder);
    if (clsLib_PrevInstance::anotherInstanceRunning(server)) {
        // A second start hands its file over; without one it ends silently.
        if (!startup.sCommandLine.empty()) {
            clsLib_PrevInstance::ProcessNewInstances(startup.sCommandLine, server);
        }
        return 0;
    }
    DeleteRunLog();
    EditorSession session(startup, std::make_unique<QtUserInterface>(), privateFolder);
    session.mainWindow().show();
    session.mainWindow().load(startup);
    const bool listening = session.handoff().listen(server);
    if (!listening) {
        LogRun(" frmLib_LinkInstance: files from other starts cannot be received");
    }
    // Told once the frame is on the screen.
    QTimer::singleShot(0, &session.mainWindow(),
                       [&session, listening] { session.tellWhatIsOff(listening); });
    return app.exec();
}

}  // namespace tarvel
