// Everything an interactive run of the editor owns, built in the order the
// parts need each other: the user interface, the hooks of the dialogs, the
// workspace of documents, the hand-off receiver and the main frame.
#pragma once

#include <memory>

#include "editor/ui/dialoghooks.h"
#include "shell/commandline.h"
#include "shell/ui/frmlib_linkinstance.h"
#include "shell/ui/frmmain.h"
#include "shell/ui/qtuserinterface.h"
#include "shell/workspace.h"

namespace tarvel {

// The settings of the workspace of an interactive run: the undo folder inside
// the user's private folder, the screen's text measurer and the options
// forced on the command line.
WorkspaceSettings interactiveSettings(const StartupState& startup,
                                      const PrivateFolder& privateFolder);

class EditorSession {
public:
    // `ui` may be a subclass (tests answer its questions themselves). The
    // private folder is opened and checked by the caller, once per start;
    // without one the session opens the user's.
    EditorSession(const StartupState& startup, std::unique_ptr<QtUserInterface> ui,
                  std::shared_ptr<const PrivateFolder> privateFolder = nullptr);
    ~EditorSession();

    Workspace& workspace() { return *m_workspace; }
    frmMain& mainWindow() { return *m_main; }
    frmLib_LinkInstance& handoff() { return *m_handoff; }
    QtUserInterface& ui() { return *m_ui; }
    // The hooks the document windows plug their dialogs, pictures and
    // printing into; tests may replace single hooks.
    DialogHooks& hooks() { return m_hooks; }

    // When the private folder cannot be used, tells the user once, in a
    // message box and the status bar, that undo is off (and the hand-off of
    // files from other starts, when `handoffListening` is false) and why.
    // Returns the text told; empty when everything works.
    std::string tellWhatIsOff(bool handoffListening);

private:
    std::unique_ptr<QtUserInterface> m_ui;
    DialogHooks m_hooks;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<frmLib_LinkInstance> m_handoff;
    std::unique_ptr<frmMain> m_main;
};

// Sets the names the settings store and the dialogs use.
void setApplicationNames();

// The interactive editor: hands the file to a running editor and ends, or
// shows the main frame and runs until it is closed. `startup` is the parsed
// command line of an interactive run.
int runEditor(int& argc, char** argv, StartupState& startup);

}  // namespace tarvel
