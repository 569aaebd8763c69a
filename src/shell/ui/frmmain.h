// `frmMain`: the multiple-document frame. It holds the document windows in an
// MDI area, owns the toolbar (whose commands act on the active document
// window), the status bar and the recent-file list, shows the active document
// window's menu bar (or its own File/View/Help menus when there is none),
// remembers its placement, and takes dropped files through the hand-off queue.
#pragma once

#include <QMainWindow>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "editor/ui/docframe.h"

class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class QToolButton;

namespace tarvel {

class Document;
class QtUserInterface;
class Workspace;
class frmDoc;
class frmLib_LinkInstance;
struct StartupState;

class frmMain final : public QMainWindow, public DocFrame {
    Q_OBJECT
public:
    // Keys of the toolbar buttons, in their order.
    static const std::vector<std::string>& buttonKeys();

    // The document windows plug their dialogs, pictures and printing into
    // `hooks`, which must outlive the frame.
    frmMain(Workspace& workspace, QtUserInterface& ui, frmLib_LinkInstance* handoff,
            const DialogHooks& hooks, QWidget* parent = nullptr);
    ~frmMain() override;

    Workspace& workspace() override { return m_workspace; }
    const DialogHooks& dialogHooks() const override { return m_hooks; }
    QWidget* frameWidget() override { return this; }
    QtUserInterface& ui() { return m_ui; }
    frmLib_LinkInstance* handoff() const { return m_handoff; }

    // The load step: placement (interactive runs), caption, then the file of
    // the command line, maximised, or a new untitled document. The command
    // line is emptied. Returns what opening the file returned.
    bool load(StartupState& startup);

    // --- Document windows ---
    frmDoc* createDocWindow(Document& doc);
    void activateDocWindow(Document& doc);
    void closeDocWindow(Document& doc);
    frmDoc* docWindow(const Document& doc) const;
    frmDoc* activeDocWindow() const override;
    std::vector<frmDoc*> docWindows() const;
    QMdiArea* mdiArea() const { return m_mdi; }
    // The print preview area (hidden while no preview is shown); whatever
    // is put into its layout fills it.
    QWidget* picPrint() const { return m_picPrint; }

    // --- Toolbar and status bar ---
    QAction* button(const std::string& key) const override;
    // Shows the image-list picture `imageKey` on the button `key`.
    void setButtonImage(const std::string& key, const std::string& imageKey) override;
    // The drop-down of "GoDown1Level": the child diagrams of the active document.
    void setChildEntries(const std::vector<std::string>& entries) override;
    void setStatusText(const QString& text) override;
    QString statusText() const;
    // Second panel: what a drag or click would do where the pointer is.
    void setHintText(const QString& text) override;
    QString hintText() const;
    // A message shown for a while over the panels (a refused gesture, the
    // files a generation wrote).
    void showStatusMessage(const QString& text, int milliseconds = 8000) override;
    QString statusMessage() const override;
    // The padlock of the status bar: shown while a document is active, it
    // tells whether its diagram is locked and toggles the lock when clicked.
    void setLockIndicator(bool visible, bool locked) override;

    // --- Recent files ---
    void AddRecentFile(const std::string& path);
    void GetRecentFiles();
    void OpenRecent(int index) override;
    QString recentItemCaption(int index) const;
    bool recentItemVisible(int index) const;

    // --- Commands shared with the document windows ---
    void mnuFileNew() override;
    void mnuFileOpen() override;
    void mnuFileSaveAll() override;
    void mnuFileExit() override;
    void mnuViewToolbar() override;
    void mnuViewStatusBar() override;
    bool toolbarShown() const override;
    bool statusBarShown() const override;
    // The work area shows the documents as tabs instead of windows.
    void mnuViewTabs() override;
    bool tabsShown() const override;
    // Cascade 0, tile horizontally 1, tile vertically 2, arrange icons 3.
    void arrange(int how) override;
    void mnuHelpContents() override;
    void mnuHelpAbout() override;

    // Suspends (true) or resumes (false) the hand-off queue around a modal window.
    void suspendHandoff(bool suspend) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    // The dockable Problems panel of the Check command, hidden until used.
    void addProblemsPanel();
    void onButton(const std::string& key);
    void onSubWindowActivated(QMdiSubWindow* window);
    void showMenusOf(frmDoc* doc);
    void enableDocumentButtons(bool enable);
    void savePlacement();
    void showTabs(bool tabs);

    Workspace& m_workspace;
    QtUserInterface& m_ui;
    const DialogHooks& m_hooks;
    frmLib_LinkInstance* m_handoff;
    QMdiArea* m_mdi = nullptr;
    QWidget* m_picPrint = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_hint = nullptr;
    QToolButton* m_lock = nullptr;
    QToolButton* m_childButton = nullptr;
    QMenu* m_childMenu = nullptr;
    std::map<std::string, QAction*> m_buttons;
    std::vector<QMenu*> m_ownMenus;
    std::array<QAction*, 6> m_mru{};
    QAction* m_viewToolbar = nullptr;
    QAction* m_viewStatusBar = nullptr;
    QAction* m_viewTabs = nullptr;
    // Document windows already given their first place (maximised when
    // they show a file).
    std::vector<const frmDoc*> m_placed;
    frmDoc* m_menusOf = nullptr;
    frmDoc* m_active = nullptr;
    bool m_closing = false;
};

}  // namespace tarvel
