#include "editor/ui/frmdoc.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QVBoxLayout>

#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "editor/commentclipboard.h"
#include "editor/graphicenhancement.h"
#include "editor/ui/commenteditor.h"
#include "editor/ui/dialoghooks.h"
#include "editor/ui/docframe.h"
#include "editor/ui/generation.h"
#include "editor/ui/simulationmode.h"
#include "editor/undoredo.h"
#include "export/ui/qtcanvas.h"
#include "model/document.h"
#include "model/edittransaction.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "shell/documentexport.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

// True when the last copy of the diagram held nothing but comments: only
// then does a cut delete and a paste insert. Shared by every window.
bool s_copiedCommentsOnly = false;

// Where a pasted comment lands when its old place is taken.
constexpr float PASTE_OFFSET = 120;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The menu items and toolbar buttons a locked diagram disables.
const char* const LOCKED_MENU_ITEMS[] = {"mnuInsertaComentario",
                                         "mnuFont",
                                         "mnuEditCut",
                                         "mnuEditCopy",
                                         "mnuEditPaste",
                                         "mnuExportEMF",
                                         "mnuEditDelete",
                                         "mnuGrid",
                                         "mnuEditSelectAll",
                                         "mnuEditSelectMode",
                                         "mnuViewZoomRectangleIsotropic",
                                         "mnuAutosizeNodes"};
const char* const LOCKED_BUTTONS[] = {"InsertMode", "Cut",        "Copy",     "Paste", "AmpliaFont",
                                      "AdjustFont", "ReduceFont", "AutoSize", "Remark"};

// The hook a menu item needs; the item is disabled while the hook is empty.
bool hookSet(const DialogHooks& h, const std::string& item) {
    if (item == "mnuFSMProperties") {
        return static_cast<bool>(h.editFsm);
    }
    if (item == "mnuEditFind") {
        return static_cast<bool>(h.find);
    }
    if (item == "mnuChangeFont") {
        return static_cast<bool>(h.font);
    }
    if (item == "mnuSaveAsEMF") {
        return static_cast<bool>(h.saveAsPicture);
    }
    if (item == "mnuExportEMF") {
        return static_cast<bool>(h.addPictureToClipboard);
    }
    if (item == "mnuPrinterSetup") {
        return static_cast<bool>(h.printerSetup);
    }
    if (item == "mnuPrint") {
        return static_cast<bool>(h.print);
    }
    if (item == "mnuPrintPreview") {
        return static_cast<bool>(h.printPreview);
    }
    if (item == "mnuSaveAsHTML") {
        return static_cast<bool>(h.saveAsHtml);
    }
    return true;
}

// Selected links go when the information node is taken out after a save or
// an undo snapshot; nothing selected may be lost that way.
void deselectLinks(Document& doc) {
    for (const auto& l : doc.diagram().Links()) {
        l->setLinkSelected(false);
    }
}

}  // namespace

frmDoc::frmDoc(DocFrame& main, Document& doc, QWidget* parent)
    : QWidget(parent), m_main(main), m_hooks(main.dialogHooks()), m_doc(&doc) {
    setProperty("tag", FILE_FSM_EXT);
    setAttribute(Qt::WA_DeleteOnClose, false);  // its sub-window deletes it
    m_rules = std::make_unique<DocWindow>(doc, static_cast<DocWindowHost&>(*this),
                                          undoEnvironmentOf(workspace().settings()));
    m_view = new DiagramView(doc.diagram(), *m_rules, doc.measurer(),
                             static_cast<DiagramViewEvents&>(*this), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_text1 = new CommentEditor(m_view->viewport());
    connect(m_text1, &CommentEditor::escapePressed, this, [this] { m_view->FocusDiagram(); });
    connect(m_text1, &CommentEditor::focusLost, this, [this] { endCommentEdit(); });
    // The in-place editor follows its node when the canvas scrolls.
    for (QScrollBar* bar : {m_view->horizontalScrollBar(), m_view->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] { placeText1(); });
    }
    m_rules->undRed().onRefreshButtons = [this] { RefreshButtons(); };
    doc.diagram().setCurrentNode(nullptr);
    buildMenus();
    setMinimumSize(200, 150);
    resize(640, 420);
    updateFromDocument();
}

frmDoc::~frmDoc() {
    if (m_rules != nullptr) {
        m_rules->undRed().onRefreshButtons = nullptr;
    }
    if (m_view != nullptr) {
        m_view->detach();
    }
    forgetDocument();
}

Workspace& frmDoc::workspace() {
    return m_main.workspace();
}

void frmDoc::forgetDocument() {
    if (m_doc != nullptr && hooks().documentClosed) {
        hooks().documentClosed(*m_doc);
    }
    m_doc = nullptr;
}

bool frmDoc::isActive() const {
    return m_main.activeDocWindow() == this;
}

template <typename F>
auto frmDoc::modal(F&& f) {
    m_main.suspendHandoff(true);
    struct Resume {
        DocFrame& main;
        ~Resume() { main.suspendHandoff(false); }
    } resume{m_main};
    return f();
}

QAction* frmDoc::action(const std::string& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

// ------------------------------------------------------------------ menus

QAction* frmDoc::addAction(QMenu* menu, const std::string& name, const QString& caption,
                           void (frmDoc::*slot)(), bool checkable) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(qs(name));
    a->setCheckable(checkable);
    if (slot != nullptr) {
        connect(a, &QAction::triggered, this, slot);
    }
    m_actions[name] = a;
    return a;
}

void frmDoc::buildMenus() {
    // --- File ---
    QMenu* file = new QMenu(QStringLiteral("&File"), this);
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* a = addAction(file, "mnuFileNew", QStringLiteral("&New"), nullptr);
    a->setShortcut(QKeySequence::New);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuFileNew(); });
    a = addAction(file, "mnuFileOpen", QStringLiteral("&Open"), nullptr);
    a->setShortcut(QKeySequence::Open);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuFileOpen(); });
    addAction(file, "mnuFileSave", QStringLiteral("&Save"), &frmDoc::mnuFileSave)
        ->setShortcut(QKeySequence::Save);
    addAction(file, "mnuFileSaveAs", QStringLiteral("Save &As..."), &frmDoc::mnuFileSaveAs);
    a = addAction(file, "mnuFileSaveAll", QStringLiteral("Save A&ll"), nullptr);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuFileSaveAll(); });
    a = addAction(file, "mnuFileClose", QStringLiteral("&Close"), nullptr);
    connect(a, &QAction::triggered, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    });
    file->addSeparator();
    addAction(file, "mnuFileNewChild", QStringLiteral("Ne&w Child"), &frmDoc::mnuFileNewChild);
    file->addSeparator();

    QMenu* genMenu = file->addMenu(QStringLiteral("&Generate C-code"));
    genMenu->setObjectName(QStringLiteral("mnuGenerate_C_code"));
    const struct {
        const char* name;
        std::string_view caption;
    } generators[] = {
        {"mnuGenerate_C_code_TablaPoint", GEN_POINTER_ARRAY},
        {"mnuGenerate_C_code_Pointers", GEN_DIRECT_POINTERS},
        {"mnuGenerate_C_code_SwitchCase", GEN_SWITCH_CASE},
        {"mnuGenerate_C_code_Hierarchical", GEN_HIERARCHICAL},
        {"mnuGenerate_C_code_HierarchicalReentrant", GEN_HIERARCHICAL_REENTRANT},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        m_generators[i] = addAction(genMenu, generators[i].name,
                                    qs(std::string(generators[i].caption)), nullptr, true);
    }
    // The first three styles exist only as items; choosing them does nothing.
    for (std::size_t i = 0; i < 3; ++i) {
        connect(m_generators[i], &QAction::triggered, this, [this] { syncChecks(); });
    }
    connect(m_generators[3], &QAction::triggered, this, [this] { generate(false); });
    connect(m_generators[4], &QAction::triggered, this, [this] { generate(true); });

    addAction(file, "mnuGenerateList", QStringLiteral("Generate Lis&t..."),
              &frmDoc::mnuGenerateList);
    a = addAction(file, "mnuSaveAsHTML", QStringLiteral("Save As &HTML File..."), nullptr);
    connect(a, &QAction::triggered, this, [this] {
        if (hooks().saveAsHtml && m_doc) {
            modal([&] { hooks().saveAsHtml(this, *m_doc); });
        }
    });
    a = addAction(file, "mnuSaveAsEMF", QStringLiteral("Save As &enhanced metafile..."), nullptr);
    connect(a, &QAction::triggered, this, [this] {
        if (hooks().saveAsPicture && m_doc) {
            modal([&] { hooks().saveAsPicture(this, *m_doc); });
        }
    });
    file->addSeparator();
    a = addAction(file, "mnuPrinterSetup", QStringLiteral("Printer Set&up..."), nullptr);
    connect(a, &QAction::triggered, this, [this] {
        if (hooks().printerSetup) {
            modal([&] { hooks().printerSetup(this); });
        }
    });
    addAction(file, "mnuPrintPreview", QStringLiteral("&Print Pre&view"), &frmDoc::mnuPrintPreview,
              true);
    a = addAction(file, "mnuPrint", QStringLiteral("&Print..."), nullptr);
    a->setShortcut(QKeySequence::Print);
    connect(a, &QAction::triggered, this, [this] {
        if (hooks().print && m_doc) {
            modal([&] { hooks().print(this, *m_doc); });
        }
    });
    file->addSeparator();
    for (int i = 0; i < 6; ++i) {
        a = addAction(file, "mnuFileMRU" + std::to_string(i), QString(), nullptr);
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, i] { m_main.OpenRecent(i); });
        m_mru[static_cast<std::size_t>(i)] = a;
    }
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar4"));
    a = addAction(file, "mnuFileExit", QStringLiteral("E&xit"), nullptr);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuFileExit(); });

    // --- Edit ---
    QMenu* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("mnuEdit"));
    addAction(edit, "mnuFSMProperties", QStringLiteral("FS&M Properties"),
              &frmDoc::mnuFSMProperties);
    addAction(edit, "mnuInsertaComentario", QStringLiteral("&Insert Remark"),
              &frmDoc::mnuInsertaComentario);
    QMenu* font = edit->addMenu(QStringLiteral("F&ont"));
    font->setObjectName(QStringLiteral("mnuFont"));
    m_actions["mnuFont"] = font->menuAction();
    a = addAction(font, "mnuChangeFont", QStringLiteral("&Change"), nullptr);
    connect(a, &QAction::triggered, this, [this] { mnuFont(FONT_CHANGE); });
    a = addAction(font, "mnuFixedPitchOnly", QStringLiteral("&Fixed Pitch"), nullptr, true);
    connect(a, &QAction::triggered, this, [this] {
        m_rules->toggleFixedPitch();
        syncChecks();
    });
    addAction(edit, "mnuEditFind", QStringLiteral("&Find"), &frmDoc::mnuEditFind)
        ->setShortcut(QKeySequence::Find);
    edit->addSeparator();
    addAction(edit, "mnuEditUndo", QStringLiteral("&Undo"), &frmDoc::mnuEditUndo)
        ->setShortcut(QKeySequence::Undo);
    addAction(edit, "mnuEditRedo", QStringLiteral("&Redo"), &frmDoc::mnuEditRedo)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addSeparator();
    addAction(edit, "mnuEditCut", QStringLiteral("Cu&t"), &frmDoc::mnuEditCut)
        ->setShortcut(QKeySequence::Cut);
    addAction(edit, "mnuEditCopy", QStringLiteral("&Copy"), &frmDoc::mnuEditCopy)
        ->setShortcut(QKeySequence::Copy);
    addAction(edit, "mnuEditPaste", QStringLiteral("&Paste"), &frmDoc::mnuEditPaste)
        ->setShortcut(QKeySequence::Paste);
    // The Delete key reaches the canvas (and the in-place editor) itself.
    addAction(edit, "mnuEditDelete", QStringLiteral("&Delete"), &frmDoc::mnuEditDelete);
    edit->addSeparator();
    a = addAction(edit, "mnuExportEMF", QStringLiteral("&Export as Enhanced Metafile"), nullptr);
    connect(a, &QAction::triggered, this, [this] {
        if (hooks().addPictureToClipboard && m_doc) {
            auto* data = new QMimeData;
            hooks().addPictureToClipboard(*m_doc, *data);
            QGuiApplication::clipboard()->setMimeData(data);
        }
    });
    edit->addSeparator();
    addAction(edit, "mnuEditSelectAll", QStringLiteral("Select &All"), &frmDoc::mnuEditSelectAll)
        ->setShortcut(QKeySequence::SelectAll);
    addAction(edit, "mnuEditSelectMode", QStringLiteral("&Select Mode"), &frmDoc::mnuEditSelectMode,
              true);
    addAction(edit, "mnuAutosizeNodes", QStringLiteral("Autosize &Nodes"),
              &frmDoc::mnuAutosizeNodes, true);
    addAction(edit, "mnuLocked", QStringLiteral("&Locked"), &frmDoc::mnuLocked, true);

    // --- View ---
    QMenu* view = new QMenu(QStringLiteral("&View"), this);
    view->setObjectName(QStringLiteral("mnuView"));
    a = addAction(view, "mnuViewToolbar", QStringLiteral("&Toolbar"), nullptr, true);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuViewToolbar(); });
    a = addAction(view, "mnuViewStatusBar", QStringLiteral("&Status Bar"), nullptr, true);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuViewStatusBar(); });
    view->addSeparator();
    addAction(view, "mnuHideComments", QStringLiteral("&Hide Comments: '//'"),
              &frmDoc::mnuHideComments, true);
    QMenu* grid = view->addMenu(QStringLiteral("&Grid"));
    grid->setObjectName(QStringLiteral("mnuGrid"));
    m_actions["mnuGrid"] = grid->menuAction();
    a = addAction(grid, "mnuGridShow", QStringLiteral("&Show grid"), nullptr, true);
    connect(a, &QAction::triggered, this, [this] { m_rules->toggleGridVisible(); });
    a = addAction(grid, "mnuGridSnap", QStringLiteral("S&nap to grid"), nullptr, true);
    connect(a, &QAction::triggered, this, [this] { m_rules->toggleSnapToGrid(); });
    QMenu* gridSize = view->addMenu(QStringLiteral("&Grid Size"));
    gridSize->setObjectName(QStringLiteral("mnuGridSize"));
    for (int i = 0; i < GRID_SIZE_COUNT; ++i) {
        a = addAction(gridSize, "mnuGridSize" + std::to_string(i), QString::number((i + 1) * 60),
                      nullptr, true);
        connect(a, &QAction::triggered, this, [this, i] { mnuGridSize(i); });
        m_gridSizes[static_cast<std::size_t>(i)] = a;
    }
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    zoom->setObjectName(QStringLiteral("mnuZoom"));
    const char* const zoomCaptions[] = {"&150%", "100% (&Normal)", "&75%",
                                        "&50%",  "&25%",           "&Fit in Window"};
    for (int i = 0; i < 6; ++i) {
        a = addAction(zoom, "mnuZoom" + std::to_string(i), QString::fromUtf8(zoomCaptions[i]),
                      nullptr, true);
        connect(a, &QAction::triggered, this, [this, i] { mnuZoom(i); });
        m_zoomItems[static_cast<std::size_t>(i)] = a;
    }
    addAction(view, "mnuViewZoomRectangleIsotropic", QStringLiteral("Zoom &Window"),
              &frmDoc::mnuViewZoomRectangleIsotropic, true);

    // --- Window ---
    QMenu* window = new QMenu(QStringLiteral("&Window"), this);
    window->setObjectName(QStringLiteral("mnuWindow"));
    const char* const arrangements[] = {"&Cascade", "Tile &Horizontally", "&Tile Vertically",
                                        "&Reorganise"};
    for (int i = 0; i < 4; ++i) {
        a = addAction(window, "mnuWindowArrange" + std::to_string(i),
                      QString::fromUtf8(arrangements[i]), nullptr);
        connect(a, &QAction::triggered, this, [this, i] { m_main.arrange(i); });
    }

    // --- Help ---
    QMenu* help = new QMenu(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("mnuHelp"));
    a = addAction(help, "mnuHelpContents", QStringLiteral("&Contents"), nullptr);
    a->setShortcut(QKeySequence::HelpContents);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuHelpContents(); });
    a = addAction(help, "mnuHelpAbout", QStringLiteral("&About..."), nullptr);
    connect(a, &QAction::triggered, this, [this] { m_main.mnuHelpAbout(); });

    m_menus = {file, edit, view, SimulationMode::buildMenu(*this, workspace()), window, help};
    for (const auto& [name, act] : m_actions) {
        if (!hookSet(hooks(), name)) {
            act->setEnabled(false);
        }
    }
}

void frmDoc::setRecentItem(int index, const QString& caption, bool visible) {
    if (index < 0 || index >= 6) {
        return;
    }
    QAction* a = m_mru[static_cast<std::size_t>(index)];
    a->setData(caption);
    a->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
    a->setVisible(visible);
}

QString frmDoc::recentItemCaption(int index) const {
    return index >= 0 && index < 6 ? m_mru[static_cast<std::size_t>(index)]->data().toString()
                                   : QString();
}

void frmDoc::setBarChecks(bool toolbar, bool statusBar) {
    action("mnuViewToolbar")->setChecked(toolbar);
    action("mnuViewStatusBar")->setChecked(statusBar);
}

void frmDoc::syncChecks() {
    if (m_doc == nullptr) {
        return;
    }
    const Diagram& d = m_doc->diagram();
    action("mnuAutosizeNodes")->setChecked(m_doc->autosizeNodes);
    action("mnuFixedPitchOnly")->setChecked(m_doc->fixedPitchOnly);
    action("mnuHideComments")->setChecked(m_doc->hideComments);
    action("mnuLocked")->setChecked(d.DiagramLocked());
    action("mnuEditSelectMode")->setChecked(m_rules->selectModeChecked());
    action("mnuViewZoomRectangleIsotropic")->setChecked(m_rules->zoomWindowChecked());
    action("mnuGridShow")->setChecked(d.GridVisible());
    action("mnuGridSnap")->setChecked(d.SnapToGrid());
    for (int i = 0; i < 6; ++i) {
        m_zoomItems[static_cast<std::size_t>(i)]->setChecked(m_rules->zoomItem() == i);
        m_gridSizes[static_cast<std::size_t>(i)]->setChecked(m_rules->gridSizeIndex() == i);
    }
    for (QAction* g : m_generators) {
        g->setChecked(g->text().toStdString() == m_doc->generatorCaption());
    }
    action("mnuPrintPreview")->setChecked(m_previewShown);
    setBarChecks(m_main.toolbarShown(), m_main.statusBarShown());
}

void frmDoc::updateFromDocument() {
    if (m_doc == nullptr) {
        return;
    }
    setWindowTitle(qs(m_doc->caption));
    syncChecks();
}

// ------------------------------------------------------------ the buttons

void frmDoc::RefreshButtons(bool forceRefresh) {
    if (m_doc == nullptr) {
        return;
    }
    const bool active = isActive();
    std::vector<std::string> children;
    const ButtonState s = m_rules->buttonState(&children);
    if (active) {
        m_main.setChildEntries(children);
    }
    const ButtonUpdate u = m_buttons.update(s, forceRefresh);
    if (u.selectMode) {
        action("mnuEditSelectMode")->setChecked(s.selectMode);
        if (active) {
            m_main.setButtonImage("InsertMode", s.selectMode ? "SelectMode" : "InsertMode");
        }
    }
    if (u.autosize) {
        action("mnuAutosizeNodes")->setChecked(s.autosize);
        if (active) {
            m_main.setButtonImage("AutoSize", s.autosize ? "Autosize" : "DontAutosize");
        }
    }
    if (u.locked) {
        action("mnuLocked")->setChecked(s.locked);
        for (const char* item : LOCKED_MENU_ITEMS) {
            action(item)->setEnabled(!s.locked && hookSet(hooks(), item));
        }
        if (active) {
            m_main.setButtonImage("Lock_Unlock", s.locked ? "Lock" : "Unlock");
            for (const char* key : LOCKED_BUTTONS) {
                bool enable = !s.locked;
                if (std::string_view(key).ends_with("Font")) {
                    enable = enable && hookSet(hooks(), "mnuChangeFont");
                }
                m_main.button(key)->setEnabled(enable);
            }
        }
    }
    if (active && u.hasParent) {
        m_main.button("GoUp1Level")->setEnabled(s.hasParent);
    }
    if (active && u.hasChildren) {
        m_main.button("GoDown1Level")->setEnabled(s.hasChildren);
    }
    if (u.canUndo) {
        action("mnuEditUndo")->setEnabled(s.canUndo);
        if (active) {
            m_main.button("Undo")->setEnabled(s.canUndo);
        }
    }
    if (u.canRedo) {
        action("mnuEditRedo")->setEnabled(s.canRedo);
        if (active) {
            m_main.button("Redo")->setEnabled(s.canRedo);
        }
    }
}

void frmDoc::activated() {
    if (m_doc == nullptr) {
        return;
    }
    m_rules->parentLookup();
    RefreshButtons(true);
    selectGenerator({});
    // Buttons whose part of the program is missing stay off.
    const std::pair<const char*, const char*> hooked[] = {{"Print", "mnuPrint"},
                                                          {"Preview", "mnuPrintPreview"},
                                                          {"Find", "mnuEditFind"},
                                                          {"Properties", "mnuFSMProperties"}};
    for (const auto& [key, item] : hooked) {
        m_main.button(key)->setEnabled(hookSet(hooks(), item));
    }
    m_main.button("Preview")->setChecked(m_previewShown);
    SimulationMode::windowActivated(*this);
}

void frmDoc::deactivated() {
    if (m_previewShown && hooks().printPreview && m_doc != nullptr) {
        m_previewShown = hooks().printPreview(m_main.frameWidget(), *m_doc, false);
        syncChecks();
    }
}

void frmDoc::selectGenerator(const std::string& caption) {
    if (m_doc == nullptr) {
        return;
    }
    m_doc->selectGenerator(caption);
    syncChecks();
    if (isActive()) {
        m_main.button("GeneraCode")
            ->setToolTip(QStringLiteral("Generate C-Code: ") + qs(m_doc->generatorCaption()));
    }
}

// ------------------------------------------------------------ the canvas

void frmDoc::setStatusText(const std::string& text) {
    m_main.setStatusText(qs(text));
}

void frmDoc::viewChanged() {
    if (m_text1->isVisible() && m_rules->editedComment() == nullptr) {
        m_text1->hide();  // its node is gone
    }
    m_view->refreshPointer();
    m_view->viewport()->update();
    placeText1();
    syncChecks();
}

void frmDoc::pointerChanged() {
    m_view->refreshPointer();
}

void frmDoc::viewMouseDown() {
    if (m_doc != nullptr && !m_doc->diagram().DiagramLocked()) {
        // A comment edited in place is written back first, as an edit of its own.
        m_view->FocusDiagram();
    }
    if (m_rules != nullptr) {
        m_rules->MouseDown();
    }
}

void frmDoc::viewMouseMove(bool leftButtonDown, Node* node, Link* link, int hit) {
    m_rules->MouseMove(leftButtonDown, node, link, hit);
}

void frmDoc::viewMouseUp(const GestureEnd& gesture) {
    m_rules->MouseUp(gesture);
    RefreshButtons();
}

void frmDoc::viewDoubleClick(Node* node, Link* link) {
    m_rules->DoubleClick(node, link);
    RefreshButtons();
}

void frmDoc::viewKeyDown(int keyCode) {
    if (keyCode == 46) {
        mnuEditDelete();
    }
}

void frmDoc::openPendingChild(const std::string& path) {
    if (!path.empty()) {
        workspace().FileOpen(path);
    }
}

void frmDoc::editFsm() {
    if (!hooks().editFsm || m_doc == nullptr) {
        return;
    }
    std::string pending;
    deselectLinks(*m_doc);
    modal([&] { return hooks().editFsm(this, *m_doc, pending); });
    updateFromDocument();
    openPendingChild(pending);
}

void frmDoc::editState(Node& node) {
    if (!hooks().editState || m_doc == nullptr) {
        return;
    }
    std::string pending;
    deselectLinks(*m_doc);
    modal([&] { return hooks().editState(this, *m_doc, node, pending); });
    openPendingChild(pending);
}

void frmDoc::editTransition(Node& node) {
    if (!hooks().editTransition || m_doc == nullptr) {
        return;
    }
    deselectLinks(*m_doc);
    modal([&] { return hooks().editTransition(this, *m_doc, node); });
}

// -------------------------------------------------- the in-place comment editor

void frmDoc::beginCommentEdit(Node& node) {
    const Font& f = node.NodeFont();
    m_text1->setFont(toQFont(f, f.size * 20.0 * m_view->scale(), logicalDpiY()));
    QPalette pal = m_text1->palette();
    const Color fg = node.NodeForeColor();
    const Color bg = node.NodeFillColor();
    pal.setColor(QPalette::Text, QColor(redOf(fg), greenOf(fg), blueOf(fg)));
    pal.setColor(QPalette::Base, QColor(redOf(bg), greenOf(bg), blueOf(bg)));
    m_text1->setPalette(pal);
    QString text = qs(node.NodeText());
    text.remove(QLatin1Char('\n')).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_text1->start(text);
    m_text1->show();
    placeText1();
    m_text1->setFocus(Qt::OtherFocusReason);
}

void frmDoc::placeText1() {
    Node* node = m_rules ? m_rules->editedComment() : nullptr;
    if (node == nullptr || m_text1->isHidden()) {
        return;
    }
    const QRectF r = m_view->toView(node->rect());
    const int inset = std::max(1, node->NodeLineWidth());
    m_text1->setGeometry(r.toRect().adjusted(inset, inset, -inset, -inset));
}

void frmDoc::endCommentEdit() {
    if (!m_text1->isVisible() || m_previewShown) {
        return;
    }
    Node* node = m_rules->editedComment();
    const std::string text = toCrLf(m_text1->toPlainText().toStdString());
    const bool changed = m_text1->textChanged();
    m_text1->hide();
    m_text1->clear();
    if (node != nullptr) {
        m_rules->endCommentEdit(changed, text, node->NodeFont(), node->NodeForeColor());
    }
    RefreshButtons();
}

// ------------------------------------------------------------ file commands

void frmDoc::mnuFileSave() {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    deselectLinks(*m_doc);
    workspace().FileSave(*m_doc);
    updateFromDocument();
    RefreshButtons();
}

void frmDoc::mnuFileSaveAs() {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    deselectLinks(*m_doc);
    workspace().FileSaveAs(*m_doc);
    updateFromDocument();
    activated();
}

void frmDoc::mnuFileNewChild() {
    if (m_doc == nullptr) {
        return;
    }
    const std::string folder = prepareChildFolder(*m_doc, workspace().ui());
    if (folder.empty()) {
        return;
    }
    // The new diagram is named in the child folder and saved there by default.
    if (!QDir::setCurrent(qs(folder))) {
        workspace().ui().showMessage("Attention!", "I can't use the folder:\r\n" + folder,
                                     MessageIcon::Exclamation);
        return;
    }
    if (Document* child = workspace().FileNew(true)) {
        child->ClearGraphChanges();  // a new diagram is unchanged
    }
}

void frmDoc::mnuGenerateList() {
    if (m_doc == nullptr) {
        return;
    }
    FileSaveAsList(workspace(), *m_doc);
}

void frmDoc::generate(bool reentrant) {
    selectGenerator(std::string(reentrant ? GEN_HIERARCHICAL_REENTRANT : GEN_HIERARCHICAL));
    mnuGenerate_C_code_Default();
}

void frmDoc::mnuGenerate_C_code_Default() {
    if (m_doc == nullptr) {
        return;
    }
    const GeneratorKind kind = generatorOf(m_doc->generatorCaption());
    if (kind == GeneratorKind::None) {
        return;
    }
    Workspace& ws = workspace();
    Document& root = *m_doc;
    QPointer<frmDoc> self(this);
    const std::string code = generateCode(
        ws, root, kind == GeneratorKind::HierarchicalReentrant, [&ws](const std::string& text) {
            ws.ui().showMessage(QCoreApplication::applicationName().toStdString(), text,
                                MessageIcon::Exclamation);
        });
    if (!self || m_doc == nullptr) {
        return;
    }
    ws.SaveCFiles(root, code);
}

// ------------------------------------------------------------ edit commands

void frmDoc::mnuFSMProperties() {
    if (m_doc == nullptr) {
        return;
    }
    {
        EditTransaction edit(*m_doc);
        editFsm();
    }
    RefreshButtons();
}

void frmDoc::mnuInsertaComentario() {
    if (m_doc == nullptr) {
        return;
    }
    m_rules->insertRemark();
    RefreshButtons();
}

void frmDoc::mnuEditFind() {
    if (!hooks().find || m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    deselectLinks(*m_doc);
    {
        EditTransaction edit(*m_doc);
        modal([&] { hooks().find(this, *m_doc); });
    }
    updateFromDocument();
    RefreshButtons();
}

void frmDoc::mnuFont(int command) {
    if (!hooks().font || m_doc == nullptr) {
        return;
    }
    // A comment edited in place is written back before its font changes.
    m_view->FocusDiagram();
    deselectLinks(*m_doc);
    {
        EditTransaction edit(*m_doc);
        modal([&] { hooks().font(this, *m_doc, command); });
    }
    RefreshButtons();
}

void frmDoc::mnuEditUndo() {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_rules->undo();
    updateFromDocument();
    RefreshButtons();
}

void frmDoc::mnuEditRedo() {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_rules->redo();
    updateFromDocument();
    RefreshButtons();
}

void frmDoc::mnuEditCopy() {
    if (m_doc == nullptr) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (m_text1->isVisible()) {
        QString selected = m_text1->textCursor().selectedText();
        selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        clipboard->setText(selected);
        return;
    }
    const Diagram& d = m_doc->diagram();
    auto* data = new QMimeData;
    const std::string comments = copySelectedComments(d);
    data->setData(QString::fromUtf8(COMMENTS_MIME_TYPE.data(),
                                    static_cast<qsizetype>(COMMENTS_MIME_TYPE.size())),
                  QByteArray::fromStdString(comments));
    const std::string text = selectedCommentsText(d);
    if (!text.empty()) {
        data->setText(qs(text));
    }
    s_copiedCommentsOnly = selectionIsCommentsOnly(d);
    if (hooks().addPictureToClipboard) {
        hooks().addPictureToClipboard(*m_doc, *data);
    }
    clipboard->setMimeData(data);
}

void frmDoc::mnuEditCut() {
    if (m_doc == nullptr) {
        return;
    }
    if (m_text1->isVisible()) {
        mnuEditCopy();
        m_text1->textCursor().removeSelectedText();
        return;
    }
    mnuEditCopy();
    if (s_copiedCommentsOnly) {
        m_rules->deleteSelection();
    }
    RefreshButtons();
}

void frmDoc::mnuEditPaste() {
    if (m_doc == nullptr) {
        return;
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (m_text1->isVisible()) {
        if (data != nullptr) {
            m_text1->textCursor().insertText(data->text());
        }
        return;
    }
    const QString format = QString::fromUtf8(COMMENTS_MIME_TYPE.data(),
                                             static_cast<qsizetype>(COMMENTS_MIME_TYPE.size()));
    if (data == nullptr || !data->hasFormat(format) || !s_copiedCommentsOnly ||
        m_doc->diagram().DiagramLocked()) {
        return;
    }
    {
        EditTransaction edit(*m_doc);
        pasteComments(m_doc->diagram(), data->data(format).toStdString(), PASTE_OFFSET);
    }
    RefreshButtons();
}

void frmDoc::mnuEditDelete() {
    if (m_doc == nullptr) {
        return;
    }
    if (m_text1->isVisible()) {
        m_text1->textCursor().removeSelectedText();
        return;
    }
    m_rules->deleteSelection();
    RefreshButtons();
}

void frmDoc::mnuEditSelectAll() {
    if (m_doc == nullptr) {
        return;
    }
    if (m_text1->isVisible()) {
        m_text1->selectAll();
        return;
    }
    m_rules->selectAll();
}

void frmDoc::mnuEditSelectMode() {
    if (m_doc != nullptr) {
        m_rules->toggleSelectMode();
    }
}

void frmDoc::mnuAutosizeNodes() {
    if (m_doc == nullptr) {
        return;
    }
    m_rules->toggleAutosize();
    syncChecks();
}

void frmDoc::mnuLocked() {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_rules->toggleLocked();
}

void frmDoc::mnuHideComments() {
    if (m_doc != nullptr) {
        m_rules->toggleHideComments();
    }
}

void frmDoc::mnuZoom(int item) {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_rules->setZoomItem(item);
}

void frmDoc::mnuViewZoomRectangleIsotropic() {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_rules->zoomWindow();
}

void frmDoc::mnuGridSize(int index) {
    if (m_doc != nullptr) {
        m_rules->setGridSizeIndex(index);
    }
}

void frmDoc::openParent() {
    if (m_doc != nullptr && !m_doc->parentPath.empty()) {
        workspace().FileOpen(m_doc->parentPath);
    }
}

void frmDoc::openChild(const std::string& entry) {
    if (m_doc == nullptr) {
        return;
    }
    const clsParientes hierarchy(m_doc->sFullDocname);
    workspace().FileOpen(hierarchy.RutaCompleta(entry));
}

void frmDoc::mnuPrintPreview() {
    if (hooks().printPreview && m_doc != nullptr) {
        m_previewShown = hooks().printPreview(m_main.frameWidget(), *m_doc, !m_previewShown);
    }
    syncChecks();
    if (isActive()) {
        m_main.button("Preview")->setChecked(m_previewShown);
    }
}

// ------------------------------------------------------------ closing

void frmDoc::closeEvent(QCloseEvent* event) {
    if (m_closing || m_doc == nullptr) {
        event->accept();
        return;
    }
    if (m_text1->isVisible()) {
        m_view->FocusDiagram();
        endCommentEdit();
    }
    if (m_doc->GraphHasChanged()) {
        std::string text;
        if (!m_doc->caption.empty()) {
            text = "The diagram in [" + m_doc->caption + "] has changed.\r\n";
        }
        text += "Do you want to save the changes?";
        const Answer answer =
            workspace().ui().ask(QCoreApplication::applicationName().toStdString(), text,
                                 MessageIcon::Exclamation, true, Answer::Yes);
        if (answer == Answer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == Answer::Yes) {
            m_doc->saved = false;
            deselectLinks(*m_doc);
            workspace().FileSave(*m_doc);
            if (!m_doc->saved) {
                updateFromDocument();
                event->ignore();
                return;
            }
        }
    }
    deactivated();
    m_closing = true;
    event->accept();
    workspace().close(m_doc);
}

void frmDoc::documentGone() {
    if (m_rules != nullptr) {
        m_rules->undRed().onRefreshButtons = nullptr;
    }
    m_view->detach();
    m_rules.reset();
    forgetDocument();
    m_text1->hide();
    if (!m_closing) {
        m_closing = true;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    }
}

}  // namespace tarvel
