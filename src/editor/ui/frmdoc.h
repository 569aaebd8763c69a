// `frmDoc`: the window of one open diagram, a child window of the main frame.
// It hosts the canvas (`AddFlow1`) and the in-place comment editor (`Text1`),
// feeds the canvas events to the window rules (DocWindow), opens the property
// dialogs, keeps the main frame's toolbar in step with the diagram
// (`RefreshButtons`), and carries the document menu bar, which the main frame
// shows while this window is active.
#pragma once

#include <QKeySequence>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "editor/docwindow.h"
#include "editor/ui/diagramview.h"

class QAction;
class QActionGroup;
class QMenu;

namespace tarvel {

class CommentEditor;
class Document;
class Workspace;
class DocFrame;
struct DialogHooks;

class frmDoc final : public QWidget, private DocWindowHost, private DiagramViewEvents {
    Q_OBJECT
public:
    // The window tag of document windows.
    static constexpr const char* FILE_FSM_EXT = "FSM";

    // `main` is the frame that holds the window; the window reads the hooks
    // of its dialogs, pictures and printing from it.
    frmDoc(DocFrame& main, Document& doc, QWidget* parent = nullptr);
    ~frmDoc() override;

    // The document; null once the workspace has closed it.
    Document* document() const { return m_doc; }
    DiagramView* AddFlow1() const { return m_view; }
    CommentEditor* Text1() const { return m_text1; }
    DocWindow& rules() { return *m_rules; }

    // Brings the toolbar and the menus in step with the diagram; `forceRefresh`
    // redraws every group, not only those whose value changed.
    void RefreshButtons(bool forceRefresh = false);
    // The activation rules: parent lookup, all buttons, generator selection.
    void activated();
    // Leaving the window closes its print preview.
    void deactivated();
    // Caption and menu checks from the document (after open, save, undo or a dialog).
    void updateFromDocument();
    // Checks the item of the generator caption (empty: the stored one) and
    // names it in the toolbar's tooltip.
    void selectGenerator(const std::string& caption);
    // Runs the generator whose item is checked; the first three do nothing.
    void mnuGenerate_C_code_Default();
    // Checks the diagram and its children; the findings go to the Problems panel.
    void mnuCheck();
    // Selects the node (none: the FSM properties) and opens it as a
    // double-click does: its property dialog, or a comment for editing.
    void showElement(Node* node);

    // The menus of the window's menu bar, in order.
    const std::vector<QMenu*>& menus() const { return m_menus; }
    QAction* action(const std::string& name) const;
    // Recent-file item i (0..5).
    void setRecentItem(int index, const QString& caption, bool visible);
    QString recentItemCaption(int index) const;
    void setBarChecks(bool toolbar, bool statusBar);

    // The workspace has closed the document: let go of it and close the
    // window without asking.
    void documentGone();

    // --- Commands (menu items, toolbar buttons) ---
    void mnuFileSave();
    void mnuFileSaveAs();
    void mnuFileNewChild();
    void mnuGenerateList();
    void generate(bool reentrant);
    void mnuFSMProperties();
    void mnuInsertaComentario();
    void mnuEditFind();
    void mnuFont(int command);
    void mnuEditUndo();
    void mnuEditRedo();
    void mnuEditCut();
    void mnuEditCopy();
    void mnuEditPaste();
    void mnuEditDelete();
    void mnuEditSelectAll();
    void mnuEditSelectMode();
    void mnuAutosizeNodes();
    void mnuLocked();
    void mnuHideComments();
    void mnuZoom(int item);
    // Zoom steps in (positive) or out, about the middle of the window.
    void mnuZoomBy(int steps);
    void mnuEditDuplicate();
    void mnuArrangeLabels();
    void mnuViewZoomRectangleIsotropic();
    void mnuGridSize(int index);
    void openParent();
    void openChild(const std::string& entry);
    void mnuPrintPreview();
    bool previewShown() const { return m_previewShown; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // DocWindowHost
    void setStatusText(const std::string& text) override;
    void editFsm() override;
    void editState(Node& node) override;
    void editTransition(Node& node) override;
    void beginCommentEdit(Node& node) override;
    void viewChanged() override;
    void pointerChanged() override;
    void refreshButtons() override { RefreshButtons(); }
    // DiagramViewEvents
    void viewMouseDown() override;
    void viewMouseMove(bool leftButtonDown, Node* node, Link* link, int hit) override;
    void viewMouseUp(const GestureEnd& gesture) override;
    void viewDoubleClick(Node* node, Link* link) override;
    void viewKeyDown(int keyCode) override;
    void viewHint(const std::string& hint) override;
    void viewLockRefused() override;
    void viewContextMenu(Node* node, Link* link, QPoint globalPos, PointF at) override;
    void viewNudgeStarted() override;
    void viewNudged() override;
    void viewZoomed() override;

public:
    // One command of the window's menus: where it shows, its object name
    // (the key of `action`), caption, shortcut and what it runs. The menus
    // and the right-click menus are built from `menuRows`; a new command is
    // a new row.
    struct MenuRow {
        const char* path;  // "File", "Edit/Font", ...; unused for right-click-only rows
        std::string name;
        QString caption;
        QKeySequence shortcut;
        unsigned flags;    // CHECKABLE, SEPARATOR_BEFORE, HIDDEN, CONTEXT_ONLY
        unsigned context;  // the right-click menus that show it: ON_STATE, ...
        std::function<void(frmDoc&)> run;
    };

private:
    std::vector<MenuRow> menuRows();
    // A command that runs a hook of the frame on the document, with the
    // hand-off queue suspended around the window it shows.
    using DocumentHook = std::function<void(QWidget*, Document&)> DialogHooks::*;
    static std::function<void(frmDoc&)> modalHook(DocumentHook hook);
    void addChildMenu(QMenu& menu, Node* state);
    void contextProperties();
    void contextEditText();
    void contextStraighten();
    void contextNewState();
    void contextInsertRemark();

    void buildMenus();
    void endCommentEdit();
    void placeText1();
    void openPendingChild(const std::string& path);
    void syncChecks();
    Workspace& workspace();
    const DialogHooks& hooks() const { return m_hooks; }
    // Lets go of the document, telling the hooks so.
    void forgetDocument();
    bool isActive() const;
    // Runs a modal window with the hand-off queue suspended.
    template <typename F>
    auto modal(F&& f);

    DocFrame& m_main;
    // Read once, when the window is made: a frame that goes with windows
    // still open deletes them after its own part is gone, and the hooks
    // outlive both.
    const DialogHooks& m_hooks;
    Document* m_doc;
    std::unique_ptr<DocWindow> m_rules;
    DiagramView* m_view = nullptr;
    CommentEditor* m_text1 = nullptr;
    ButtonCache m_buttons;
    bool m_closing = false;
    bool m_previewShown = false;
    std::string m_generatorCaption;

    std::vector<MenuRow> m_menuRows;
    Node* m_contextNode = nullptr;  // what the right-click menu acts on
    // The comment whose text the canvas leaves out, as last drawn.
    const Node* m_shownEditedComment = nullptr;
    PointF m_contextAt;  // where it was opened
    std::vector<QMenu*> m_menus;
    std::map<std::string, QAction*> m_actions;
    std::array<QAction*, 6> m_mru{};
    std::array<QAction*, 5> m_generators{};
    std::array<QAction*, 6> m_zoomItems{};
    std::array<QAction*, 6> m_gridSizes{};
};

}  // namespace tarvel
