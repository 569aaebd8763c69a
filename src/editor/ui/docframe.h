// What a document window asks of the frame that holds it: the workspace, the
// hooks of the dialogs, pictures and printing, the toolbar and status bar,
// the commands the frame shares with the window's menus, and the hand-off
// queue, which is suspended around modal windows. The main frame implements
// it; the document window knows nothing else of the frame.
#pragma once

#include <string>
#include <vector>

class QAction;
class QString;
class QWidget;

namespace tarvel {

class Workspace;
class frmDoc;
struct DialogHooks;

class DocFrame {
public:
    virtual ~DocFrame() = default;

    virtual Workspace& workspace() = 0;
    virtual const DialogHooks& dialogHooks() const = 0;
    // The frame as a widget: the print preview shows there.
    virtual QWidget* frameWidget() = 0;
    virtual frmDoc* activeDocWindow() const = 0;
    // Suspends (true) or resumes (false) the hand-off queue around a modal window.
    virtual void suspendHandoff(bool suspend) = 0;

    // --- Toolbar and status bar ---
    virtual QAction* button(const std::string& key) const = 0;
    // Shows the image-list picture `imageKey` on the button `key`.
    virtual void setButtonImage(const std::string& key, const std::string& imageKey) = 0;
    // The drop-down of "GoDown1Level": the child diagrams of the active document.
    virtual void setChildEntries(const std::vector<std::string>& entries) = 0;
    virtual void setStatusText(const QString& text) = 0;
    // Second panel: what a drag or click would do where the pointer is.
    virtual void setHintText(const QString& text) = 0;
    // A message shown for a while over the panels (a refused gesture, what a
    // command did); an empty one takes the message away.
    virtual void showStatusMessage(const QString& text, int milliseconds = 8000) = 0;
    virtual QString statusMessage() const = 0;
    // The padlock of the status bar: whether the active diagram is locked.
    virtual void setLockIndicator(bool visible, bool locked) = 0;
    virtual bool toolbarShown() const = 0;
    virtual bool statusBarShown() const = 0;
    // The work area shows the documents as tabs.
    virtual bool tabsShown() const = 0;

    // --- Commands of the frame in the window's menus ---
    virtual void mnuFileNew() = 0;
    virtual void mnuFileOpen() = 0;
    virtual void mnuFileSaveAll() = 0;
    virtual void mnuFileExit() = 0;
    virtual void OpenRecent(int index) = 0;
    virtual void mnuViewToolbar() = 0;
    virtual void mnuViewStatusBar() = 0;
    virtual void mnuViewTabs() = 0;
    // Cascade 0, tile horizontally 1, tile vertically 2, arrange icons 3.
    virtual void arrange(int how) = 0;
    // The manual in the desktop's browser.
    virtual void mnuHelpContents() = 0;
    virtual void mnuHelpAbout() = 0;
};

}  // namespace tarvel
