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
#include "editor/transitionlayout.h"
#include "editor/ui/commenteditor.h"
#include "editor/ui/dialoghooks.h"
#include "editor/ui/docframe.h"
#include "editor/ui/problemspanel.h"
#include "editor/ui/simulationmode.h"
#include "editor/undoredo.h"
#include "export/ui/qtcanvas.h"
#include "model/document.h"
#include "model/edittransaction.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "shell/documentexport.h"
#include "shell/generation.h"
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
                                         "mnuAutosizeNodes",
                                         "mnuEditDuplicate",
                                         "mnuArrangeLabels",
                                         "ctxEditText",
                                         "ctxStraighten",
                                         "ctxNewState",
                                         "ctxInsertRemark"};
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

namespace {

// Flags of a menu row.
constexpr unsigned CHECKABLE = 1;
constexpr unsigned SEPARATOR_BEFORE = 2;
constexpr unsigned HIDDEN = 4;        // shown when the program fills it (recent files)
constexpr unsigned CONTEXT_ONLY = 8;  // only in the right-click menus

// Where a row appears in the right-click menus.
constexpr unsigned ON_STATE = 1;
constexpr unsigned ON_TRANSITION = 2;
constexpr unsigned ON_COMMENT = 4;
constexpr unsigned ON_CANVAS = 8;

// The menus of the menu bar and their sub-menus, by path, in order.
struct MenuSpec {
    const char* path;
    const char* name;
    const char* caption;
    bool separatorBefore;
};
const MenuSpec MENUS[] = {
    {"File", "mnuFile", "&File", false},
    {"File/Generate", "mnuGenerate_C_code", "&Generate C-code", true},
    {"Edit", "mnuEdit", "&Edit", false},
    {"Edit/Font", "mnuFont", "F&ont", false},
    {"View", "mnuView", "&View", false},
    {"View/Grid", "mnuGrid", "&Grid", false},
    {"View/GridSize", "mnuGridSize", "&Grid Size", false},
    {"View/Zoom", "mnuZoom", "&Zoom", false},
    {"Window", "mnuWindow", "&Window", false},
    {"Help", "mnuHelp", "&Help", false},
};

void closeWindowOf(frmDoc& w) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w.parentWidget())) {
        sub->close();
    } else {
        w.close();
    }
}

// Ctrl+= zooms in as Ctrl++ does: on most keyboards "+" needs Shift.
QKeySequence zoomInKeys() {
    return QKeySequence(Qt::CTRL | Qt::Key_Plus);
}

}  // namespace

std::function<void(frmDoc&)> frmDoc::modalHook(DocumentHook hook) {
    return [hook](frmDoc& w) {
        if ((w.hooks().*hook) && w.m_doc != nullptr) {
            w.modal([&] { (w.hooks().*hook)(&w, *w.m_doc); });
        }
    };
}

std::vector<frmDoc::MenuRow> frmDoc::menuRows() {
    using W = frmDoc;
    std::vector<MenuRow> rows = {
        {"File", "mnuFileNew", "&New", QKeySequence::New, 0, 0,
         [](W& w) { w.m_main.mnuFileNew(); }},
        {"File", "mnuFileOpen", "&Open", QKeySequence::Open, 0, 0,
         [](W& w) { w.m_main.mnuFileOpen(); }},
        {"File", "mnuFileSave", "&Save", QKeySequence::Save, 0, 0, &W::mnuFileSave},
        {"File", "mnuFileSaveAs", "Save &As...", {}, 0, 0, &W::mnuFileSaveAs},
        {"File", "mnuFileSaveAll", "Save A&ll", {}, 0, 0, [](W& w) { w.m_main.mnuFileSaveAll(); }},
        {"File", "mnuFileClose", "&Close", {}, 0, 0, closeWindowOf},
        {"File",
         "mnuFileNewChild",
         "Ne&w Child",
         {},
         SEPARATOR_BEFORE,
         ON_STATE,
         &W::mnuFileNewChild},
    };
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
        std::function<void(W&)> run = [](W& w) { w.syncChecks(); };  // no generator behind it
        if (i == 3) {
            run = [](W& w) { w.generate(false); };
        } else if (i == 4) {
            run = [](W& w) { w.generate(true); };
        }
        rows.push_back({"File/Generate",
                        generators[i].name,
                        qs(std::string(generators[i].caption)),
                        {},
                        CHECKABLE,
                        0,
                        run});
    }
    const std::vector<MenuRow> more = {
        {"File", "mnuGenerateList", "Generate Lis&t...", {}, 0, 0, &W::mnuGenerateList},
        {"File", "mnuCheck", "Chec&k", QKeySequence(Qt::Key_F7), 0, 0, &W::mnuCheck},
        {"File",
         "mnuSaveAsHTML",
         "Save As &HTML File...",
         {},
         0,
         0,
         modalHook(&DialogHooks::saveAsHtml)},
        {"File",
         "mnuSaveAsEMF",
         "Save As &enhanced metafile...",
         {},
         0,
         0,
         modalHook(&DialogHooks::saveAsPicture)},
        {"File",
         "mnuPrinterSetup",
         "Printer Set&up...",
         {},
         SEPARATOR_BEFORE,
         0,
         [](W& w) {
             if (w.hooks().printerSetup) {
                 w.modal([&] { w.hooks().printerSetup(&w); });
             }
         }},
        {"File", "mnuPrintPreview", "&Print Pre&view", {}, CHECKABLE, 0, &W::mnuPrintPreview},
        {"File", "mnuPrint", "&Print...", QKeySequence::Print, 0, 0,
         modalHook(&DialogHooks::print)},
    };
    rows.insert(rows.end(), more.begin(), more.end());
    for (int i = 0; i < 6; ++i) {
        rows.push_back({"File",
                        "mnuFileMRU" + std::to_string(i),
                        QString(),
                        {},
                        HIDDEN | (i == 0 ? SEPARATOR_BEFORE : 0u),
                        0,
                        [i](W& w) { w.m_main.OpenRecent(i); }});
    }
    const std::vector<MenuRow> edit = {
        {"File", "mnuFileExit", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q), SEPARATOR_BEFORE, 0,
         [](W& w) { w.m_main.mnuFileExit(); }},

        {"",
         "ctxProperties",
         "&Properties...",
         {},
         CONTEXT_ONLY,
         ON_STATE | ON_TRANSITION,
         &W::contextProperties},
        {"", "ctxOpenChild", "Open &Child", {}, CONTEXT_ONLY, ON_STATE, nullptr},
        {"", "ctxEditText", "&Edit Text", {}, CONTEXT_ONLY, ON_COMMENT, &W::contextEditText},
        {"",
         "ctxStraighten",
         "S&traighten Links",
         {},
         CONTEXT_ONLY,
         ON_TRANSITION,
         &W::contextStraighten},
        {"", "ctxNewState", "New &State Here", {}, CONTEXT_ONLY, ON_CANVAS, &W::contextNewState},
        {"",
         "ctxInsertRemark",
         "Insert &Remark Here",
         {},
         CONTEXT_ONLY,
         ON_CANVAS,
         &W::contextInsertRemark},
        {"Edit", "mnuFSMProperties", "FS&M Properties", {}, 0, ON_CANVAS, &W::mnuFSMProperties},
        {"Edit", "mnuInsertaComentario", "&Insert Remark", {}, 0, 0, &W::mnuInsertaComentario},
        {"Edit/Font", "mnuChangeFont", "&Change", {}, 0, 0, [](W& w) { w.mnuFont(FONT_CHANGE); }},
        {"Edit/Font",
         "mnuFixedPitchOnly",
         "&Fixed Pitch",
         {},
         CHECKABLE,
         0,
         [](W& w) {
             w.m_rules->toggleFixedPitch();
             w.syncChecks();
         }},
        {"Edit", "mnuEditFind", "&Find", QKeySequence::Find, 0, 0, &W::mnuEditFind},
        {"Edit", "mnuEditUndo", "&Undo", QKeySequence::Undo, SEPARATOR_BEFORE, 0, &W::mnuEditUndo},
        {"Edit", "mnuEditRedo", "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y), 0, 0, &W::mnuEditRedo},
        {"Edit", "mnuEditCut", "Cu&t", QKeySequence::Cut, SEPARATOR_BEFORE, ON_COMMENT,
         &W::mnuEditCut},
        {"Edit", "mnuEditCopy", "&Copy", QKeySequence::Copy, 0, ON_COMMENT, &W::mnuEditCopy},
        {"Edit", "mnuEditPaste", "&Paste", QKeySequence::Paste, 0, ON_CANVAS, &W::mnuEditPaste},
        // The Delete key reaches the canvas (and the in-place editor) itself.
        {"Edit",
         "mnuEditDelete",
         "&Delete",
         {},
         0,
         ON_STATE | ON_TRANSITION | ON_COMMENT,
         &W::mnuEditDelete},
        {"Edit", "mnuEditDuplicate", "D&uplicate", QKeySequence(Qt::CTRL | Qt::Key_D), 0,
         ON_STATE | ON_COMMENT, &W::mnuEditDuplicate},
        {"Edit",
         "mnuExportEMF",
         "&Export as Enhanced Metafile",
         {},
         SEPARATOR_BEFORE,
         0,
         [](W& w) {
             if (w.hooks().addPictureToClipboard && w.m_doc) {
                 auto* data = new QMimeData;
                 w.hooks().addPictureToClipboard(*w.m_doc, *data);
                 QGuiApplication::clipboard()->setMimeData(data);
             }
         }},
        {"Edit", "mnuEditSelectAll", "Select &All", QKeySequence::SelectAll, SEPARATOR_BEFORE,
         ON_STATE | ON_TRANSITION | ON_COMMENT | ON_CANVAS, &W::mnuEditSelectAll},
        {"Edit", "mnuEditSelectMode", "&Select Mode", {}, CHECKABLE, 0, &W::mnuEditSelectMode},
        {"Edit", "mnuAutosizeNodes", "Autosize &Nodes", {}, CHECKABLE, 0, &W::mnuAutosizeNodes},
        {"Edit",
         "mnuArrangeLabels",
         "Arrange &Transition Labels",
         {},
         0,
         ON_STATE | ON_TRANSITION | ON_CANVAS,
         &W::mnuArrangeLabels},
        {"Edit", "mnuLocked", "&Locked", QKeySequence(Qt::CTRL | Qt::Key_L), CHECKABLE, 0,
         &W::mnuLocked},

        {"View",
         "mnuViewToolbar",
         "&Toolbar",
         {},
         CHECKABLE,
         0,
         [](W& w) { w.m_main.mnuViewToolbar(); }},
        {"View",
         "mnuViewStatusBar",
         "&Status Bar",
         {},
         CHECKABLE,
         0,
         [](W& w) { w.m_main.mnuViewStatusBar(); }},
        {"View", "mnuViewTabs", "T&abs", {}, CHECKABLE, 0, [](W& w) { w.m_main.mnuViewTabs(); }},
        {"View",
         "mnuHideComments",
         "&Hide Comments: '//'",
         {},
         CHECKABLE | SEPARATOR_BEFORE,
         0,
         &W::mnuHideComments},
        {"View/Grid",
         "mnuGridShow",
         "&Show grid",
         {},
         CHECKABLE,
         0,
         [](W& w) { w.m_rules->toggleGridVisible(); }},
        {"View/Grid",
         "mnuGridSnap",
         "S&nap to grid",
         {},
         CHECKABLE,
         0,
         [](W& w) { w.m_rules->toggleSnapToGrid(); }},
    };
    rows.insert(rows.end(), edit.begin(), edit.end());
    for (int i = 0; i < GRID_SIZE_COUNT; ++i) {
        rows.push_back({"View/GridSize",
                        "mnuGridSize" + std::to_string(i),
                        QString::number((i + 1) * 60),
                        {},
                        CHECKABLE,
                        0,
                        [i](W& w) { w.mnuGridSize(i); }});
    }
    rows.push_back({"View/Zoom", "mnuZoomIn", "Zoom &In", zoomInKeys(), 0, ON_CANVAS,
                    [](W& w) { w.mnuZoomBy(1); }});
    rows.push_back({"View/Zoom", "mnuZoomOut", "Zoom &Out", QKeySequence(Qt::CTRL | Qt::Key_Minus),
                    0, ON_CANVAS, [](W& w) { w.mnuZoomBy(-1); }});
    const char* const zoomCaptions[] = {"&150%", "100% (&Normal)", "&75%",
                                        "&50%",  "&25%",           "&Fit in Window"};
    for (int i = 0; i < 6; ++i) {
        rows.push_back({"View/Zoom", "mnuZoom" + std::to_string(i),
                        QString::fromUtf8(zoomCaptions[i]),
                        i == 1 ? QKeySequence(Qt::CTRL | Qt::Key_0) : QKeySequence(),
                        CHECKABLE | (i == 0 ? SEPARATOR_BEFORE : 0u),
                        i == 1 || i == 5 ? ON_CANVAS : 0u, [i](W& w) { w.mnuZoom(i); }});
    }
    rows.push_back({"View",
                    "mnuViewZoomRectangleIsotropic",
                    "Zoom &Window",
                    {},
                    CHECKABLE,
                    0,
                    &W::mnuViewZoomRectangleIsotropic});
    const char* const arrangements[] = {"&Cascade", "Tile &Horizontally", "&Tile Vertically",
                                        "&Reorganise"};
    for (int i = 0; i < 4; ++i) {
        rows.push_back({"Window",
                        "mnuWindowArrange" + std::to_string(i),
                        QString::fromUtf8(arrangements[i]),
                        {},
                        0,
                        0,
                        [i](W& w) { w.m_main.arrange(i); }});
    }
    rows.push_back({"Help", "mnuHelpContents", "&Contents", QKeySequence::HelpContents, 0, 0,
                    [](W& w) { w.m_main.mnuHelpContents(); }});
    rows.push_back(
        {"Help", "mnuHelpAbout", "&About...", {}, 0, 0, [](W& w) { w.m_main.mnuHelpAbout(); }});
    return rows;
}

void frmDoc::buildMenus() {
    // The menu bar's menus in their order; a sub-menu goes into its menu
    // where its first command comes.
    std::map<std::string, QMenu*> menus;
    for (const MenuSpec& spec : MENUS) {
        if (std::string_view(spec.path).find('/') == std::string_view::npos) {
            QMenu* menu = new QMenu(QString::fromUtf8(spec.caption), this);
            menu->setObjectName(QString::fromUtf8(spec.name));
            m_menus.push_back(menu);
            menus[spec.path] = menu;
        }
    }
    auto menuOf = [&](const std::string& path) {
        if (const auto it = menus.find(path); it != menus.end()) {
            return it->second;
        }
        const MenuSpec& spec = *std::find_if(std::begin(MENUS), std::end(MENUS),
                                             [&](const MenuSpec& m) { return m.path == path; });
        QMenu* parent = menus.at(path.substr(0, path.rfind('/')));
        if (spec.separatorBefore) {
            parent->addSeparator();
        }
        QMenu* menu = parent->addMenu(QString::fromUtf8(spec.caption));
        menu->setObjectName(QString::fromUtf8(spec.name));
        m_actions[spec.name] = menu->menuAction();
        menus[path] = menu;
        return menu;
    };
    m_menuRows = menuRows();
    for (const MenuRow& row : m_menuRows) {
        QAction* a = nullptr;
        if ((row.flags & CONTEXT_ONLY) != 0) {
            a = new QAction(row.caption, this);
        } else {
            QMenu* menu = menuOf(row.path);
            if ((row.flags & SEPARATOR_BEFORE) != 0) {
                menu->addSeparator();
            }
            a = menu->addAction(row.caption);
        }
        a->setObjectName(qs(row.name));
        a->setCheckable((row.flags & CHECKABLE) != 0);
        a->setVisible((row.flags & HIDDEN) == 0);
        if (!row.shortcut.isEmpty()) {
            a->setShortcut(row.shortcut);
        }
        if (row.name == "mnuZoomIn") {
            a->setShortcuts({zoomInKeys(), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
        }
        if (row.run) {
            const auto run = row.run;
            connect(a, &QAction::triggered, this, [this, run] { run(*this); });
        }
        m_actions[row.name] = a;
    }
    // The recent files sit before the separator that precedes Exit.
    action("mnuFileExit")->setObjectName(QStringLiteral("mnuFileExit"));
    for (int i = 0; i < 6; ++i) {
        m_mru[static_cast<std::size_t>(i)] = action("mnuFileMRU" + std::to_string(i));
        m_zoomItems[static_cast<std::size_t>(i)] = action("mnuZoom" + std::to_string(i));
        m_gridSizes[static_cast<std::size_t>(i)] = action("mnuGridSize" + std::to_string(i));
    }
    for (std::size_t i = 0; i < 5; ++i) {
        static const char* const names[] = {
            "mnuGenerate_C_code_TablaPoint", "mnuGenerate_C_code_Pointers",
            "mnuGenerate_C_code_SwitchCase", "mnuGenerate_C_code_Hierarchical",
            "mnuGenerate_C_code_HierarchicalReentrant"};
        m_generators[i] = action(names[i]);
    }
    // The Simulate menu of simulation mode goes between View and Window.
    m_menus.insert(m_menus.begin() + 3, SimulationMode::buildMenu(*this, workspace()));
    for (const auto& [name, act] : m_actions) {
        if (!hookSet(hooks(), name)) {
            act->setEnabled(false);
        }
    }
}

// ------------------------------------------------------------ right-click menus

void frmDoc::viewContextMenu(Node* node, Link* link, QPoint globalPos, PointF at) {
    if (m_doc == nullptr) {
        return;
    }
    endCommentEdit();
    // A link stands for the transition it belongs to.
    if (node == nullptr && link != nullptr) {
        for (Node* end : {link->LinkOrigin(), link->LinkTarget()}) {
            if (isTransition(*end)) {
                node = end;
            }
        }
    }
    unsigned context = ON_CANVAS;
    if (node != nullptr) {
        context = isState(*node) ? ON_STATE : isTransition(*node) ? ON_TRANSITION : ON_COMMENT;
    }
    m_contextNode = node;
    m_contextAt = at;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("contextMenu"));
    // Sections: what opens or edits the item, then what changes the
    // diagram, then the commands of the whole diagram and the view.
    static const char* const sectionStarts[] = {"mnuEditCut", "mnuEditPaste", "mnuEditSelectAll",
                                                "mnuZoomIn", "mnuFSMProperties"};
    std::vector<std::string> order = {
        "ctxProperties",    "ctxEditText",      "ctxOpenChild",    "mnuFileNewChild",
        "ctxNewState",      "ctxInsertRemark",  "mnuEditCut",      "mnuEditCopy",
        "mnuEditPaste",     "mnuEditDuplicate", "ctxStraighten",   "mnuEditDelete",
        "mnuEditSelectAll", "mnuArrangeLabels", "mnuZoomIn",       "mnuZoomOut",
        "mnuZoom1",         "mnuZoom5",         "mnuFSMProperties"};
    // Rows of other parts of the program go after the window's own.
    for (const MenuRow& row : m_menuRows) {
        if (row.context != 0 && std::find(order.begin(), order.end(), row.name) == order.end()) {
            order.push_back(row.name);
        }
    }
    bool anyInSection = false;
    for (const std::string& name : order) {
        const auto row = std::find_if(m_menuRows.begin(), m_menuRows.end(),
                                      [&](const MenuRow& r) { return r.name == name; });
        if (row == m_menuRows.end() || (row->context & context) == 0) {
            continue;
        }
        if (std::find(std::begin(sectionStarts), std::end(sectionStarts), name) !=
                std::end(sectionStarts) &&
            anyInSection) {
            menu.addSeparator();
            anyInSection = false;
        }
        if (name == "ctxOpenChild") {
            addChildMenu(menu, node);
        } else {
            menu.addAction(action(name));
        }
        anyInSection = true;
    }
    menu.exec(globalPos);
    m_contextNode = nullptr;
}

void frmDoc::addChildMenu(QMenu& menu, Node* state) {
    QMenu* children = menu.addMenu(action("ctxOpenChild")->text());
    children->setObjectName(QStringLiteral("ctxOpenChild"));
    if (state != nullptr) {
        clsParientes hierarchy(m_doc->sFullDocname);
        hierarchy.BuscaEnlaces(readStateField(SF_MOORE, *state));
        hierarchy.BuscaEnlaces(readStateField(SF_ELSE, *state));
        for (const std::string& entry : hierarchy.children()) {
            QAction* a = children->addAction(
                QString::fromStdString(entry).replace(QLatin1Char('&'), QStringLiteral("&&")));
            connect(a, &QAction::triggered, this, [this, entry] { openChild(entry); });
        }
    }
    children->setEnabled(!children->isEmpty());
}

void frmDoc::contextProperties() {
    Node* node = m_contextNode;
    if (m_doc == nullptr || node == nullptr) {
        return;
    }
    if (m_doc->diagram().DiagramLocked()) {
        m_main.showStatusMessage(QString::fromUtf8(LOCKED_MESSAGE.data(), LOCKED_MESSAGE.size()));
    }
    {
        EditTransaction edit(*m_doc);
        if (isTransition(*node)) {
            editTransition(*node);
        } else if (isState(*node)) {
            editState(*node);
        }
    }
    RefreshButtons();
}

void frmDoc::contextEditText() {
    if (m_doc != nullptr && m_contextNode != nullptr) {
        m_rules->DoubleClick(m_contextNode, nullptr);
        RefreshButtons();
    }
}

void frmDoc::contextStraighten() {
    if (m_doc != nullptr && m_contextNode != nullptr) {
        m_rules->straightenLinks(*m_contextNode);
        RefreshButtons();
    }
}

void frmDoc::contextNewState() {
    if (m_doc != nullptr) {
        m_rules->addStateAt(m_contextAt);
        RefreshButtons();
    }
}

void frmDoc::contextInsertRemark() {
    if (m_doc != nullptr) {
        m_rules->insertRemark(m_contextAt);
        RefreshButtons();
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
    action("mnuViewTabs")->setChecked(m_main.tabsShown());
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
    // "[*]" shows where the platform marks unsaved changes.
    setWindowTitle(qs(m_doc->caption) + QStringLiteral("[*]"));
    setWindowModified(m_doc->GraphHasChanged());
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
    setWindowModified(m_doc->GraphHasChanged());
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
            m_main.setLockIndicator(true, s.locked);
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
    // The drawing itself changes only with the comment edited in place,
    // whose text is left out while it is edited.
    if (m_rules->editedComment() != m_shownEditedComment) {
        m_shownEditedComment = m_rules->editedComment();
        m_view->invalidate();
    } else {
        m_view->viewport()->update();
    }
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
    // The dialogs open read-only and nothing else happens: say why.
    if (m_doc != nullptr && m_doc->diagram().DiagramLocked()) {
        viewLockRefused();
    }
    m_rules->DoubleClick(node, link);
    RefreshButtons();
}

void frmDoc::viewKeyDown(int keyCode) {
    if (keyCode == 46) {
        mnuEditDelete();
    }
}

void frmDoc::viewHint(const std::string& hint) {
    if (isActive()) {
        m_main.setHintText(qs(hint));
    }
}

void frmDoc::viewLockRefused() {
    m_main.showStatusMessage(QString::fromUtf8(LOCKED_MESSAGE.data(), LOCKED_MESSAGE.size()));
}

void frmDoc::viewNudgeStarted() {
    m_rules->KeyMoveStart();
}

void frmDoc::viewNudged() {
    m_rules->KeyMoveEnd();
    RefreshButtons();
}

void frmDoc::viewZoomed() {
    syncChecks();
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
    if (modal([&] { return hooks().editState(this, *m_doc, node, pending); })) {
        // A state that grew keeps clear of the transition labels around it.
        arrangeTransitionLabels(m_doc->diagram(), transitionsAround(m_doc->diagram(), node));
    }
    openPendingChild(pending);
}

void frmDoc::editTransition(Node& node) {
    if (!hooks().editTransition || m_doc == nullptr) {
        return;
    }
    deselectLinks(*m_doc);
    if (modal([&] { return hooks().editTransition(this, *m_doc, node); })) {
        // A label that grew moves to where it covers nothing, with the others
        // of its states, whose priority marks may have changed.
        arrangeTransitionLabels(m_doc->diagram(), transitionsAround(m_doc->diagram(), node));
    }
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
    std::string code = generateCode(ws, root, kind, [&ws](const std::string& text) {
        ws.ui().showMessage(QCoreApplication::applicationName().toStdString(), text,
                            MessageIcon::Exclamation);
    });
    if (!self || m_doc == nullptr) {
        return;
    }
    ws.SaveCFiles(root, std::move(code));
    // The status bar tells what the check finds, without holding up the work.
    checkDocumentWindow(*this, false);
}

void frmDoc::mnuCheck() {
    checkDocumentWindow(*this, true);
}

void frmDoc::showElement(Node* node) {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_doc->diagram().clearSelection();
    if (node != nullptr) {
        node->setNodeSelected(true);
        // The node in the middle of the window.
        const double scale = m_view->scale() > 0 ? m_view->scale() : 1.0;
        const PointF c = node->centre();
        m_view->scrollToModel(
            {static_cast<float>(c.x - m_view->viewport()->width() / 2.0 / scale),
             static_cast<float>(c.y - m_view->viewport()->height() / 2.0 / scale)});
    }
    viewDoubleClick(node, nullptr);
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
    // What the lock refused is no longer news.
    if (m_main.statusMessage() == QString::fromUtf8(LOCKED_MESSAGE.data(), LOCKED_MESSAGE.size())) {
        m_main.showStatusMessage({});
    }
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

void frmDoc::mnuZoomBy(int steps) {
    if (m_doc == nullptr) {
        return;
    }
    m_view->FocusDiagram();
    m_view->zoomBy(steps);
}

void frmDoc::mnuEditDuplicate() {
    if (m_doc == nullptr) {
        return;
    }
    endCommentEdit();
    const std::size_t made = m_rules->duplicateSelection().size();
    if (made == 0 && !m_doc->diagram().DiagramLocked()) {
        m_main.showStatusMessage(QStringLiteral("Select the states to duplicate first"));
    }
    RefreshButtons();
}

void frmDoc::mnuArrangeLabels() {
    if (m_doc == nullptr) {
        return;
    }
    const int moved = m_rules->arrangeLabels();
    if (!m_doc->diagram().DiagramLocked()) {
        m_main.showStatusMessage(
            moved == 0 ? QStringLiteral("No transition label covers anything: nothing moved")
                       : QStringLiteral("%1 transition label(s) moved to a free spot").arg(moved));
    }
    RefreshButtons();
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
