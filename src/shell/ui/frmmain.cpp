#include "shell/ui/frmmain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "base/logs.h"
#include "base/paths.h"
#include "editor/ui/dialoghooks.h"
#include "editor/ui/frmdoc.h"
#include "editor/ui/problemspanel.h"
#include "model/document.h"
#include "shell/commandline.h"
#include "shell/manual.h"
#include "shell/ui/frmabout.h"
#include "shell/ui/frmlib_linkinstance.h"
#include "shell/ui/icons.h"
#include "shell/ui/qtuserinterface.h"
#include "shell/ui/recentfiles.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

struct ButtonSpec {
    const char* key;
    const char* tip;
    const char* image;
    bool separatorBefore;
    // What a click does: a command of the frame, or one of the active
    // document window (nothing without one). "GoDown1Level" has neither: only
    // its drop-down opens something.
    void (*frameCommand)(frmMain&);
    void (*windowCommand)(frmDoc&);
};

// The toolbar: key, tool tip, starting picture, the groups and the commands.
const ButtonSpec BUTTONS[] = {
    {"New", "New", "New", false, [](frmMain& m) { m.mnuFileNew(); }, nullptr},
    {"Open", "Open", "Open", false, [](frmMain& m) { m.mnuFileOpen(); }, nullptr},
    {"Save", "Save", "Save", false, nullptr, [](frmDoc& d) { d.mnuFileSave(); }},
    {"GeneraCode", "Generate C-Code", "Compila", true, nullptr,
     [](frmDoc& d) { d.mnuGenerate_C_code_Default(); }},
    {"Check", "Check the diagram (F7)", "Check", false, nullptr, [](frmDoc& d) { d.mnuCheck(); }},
    {"Print", "Print", "Print", true, nullptr, [](frmDoc& d) { d.action("mnuPrint")->trigger(); }},
    {"Preview", "Print Preview", "Preview", false, nullptr, [](frmDoc& d) { d.mnuPrintPreview(); }},
    {"Cut", "Cut", "Cut", true, nullptr, [](frmDoc& d) { d.mnuEditCut(); }},
    {"Copy", "Copy", "Copy", false, nullptr, [](frmDoc& d) { d.mnuEditCopy(); }},
    {"Paste", "Paste", "Paste", false, nullptr, [](frmDoc& d) { d.mnuEditPaste(); }},
    {"Find", "Find Text", "Find", true, nullptr, [](frmDoc& d) { d.mnuEditFind(); }},
    {"Undo", "Undo last action", "Undo", true, nullptr, [](frmDoc& d) { d.mnuEditUndo(); }},
    {"Redo", "Redo last undo", "Redo", false, nullptr, [](frmDoc& d) { d.mnuEditRedo(); }},
    {"ReduceFont", "Reduce Font", "ReduceFont", true, nullptr,
     [](frmDoc& d) { d.mnuFont(FONT_REDUCE); }},
    {"AdjustFont", "Change Font", "CambiaFont", false, nullptr,
     [](frmDoc& d) { d.mnuFont(FONT_CHANGE); }},
    {"AmpliaFont", "Enlarge Font", "AmpliaFont", false, nullptr,
     [](frmDoc& d) { d.mnuFont(FONT_ENLARGE); }},
    {"Lock_Unlock", "Lock && Unlock the diagram", "Unlock", true, nullptr,
     [](frmDoc& d) { d.mnuLocked(); }},
    {"InsertMode", "Insert mode <--> Select mode", "InsertMode", false, nullptr,
     [](frmDoc& d) { d.mnuEditSelectMode(); }},
    {"AutoSize", "Autosize Nodes", "Autosize", false, nullptr,
     [](frmDoc& d) { d.mnuAutosizeNodes(); }},
    {"Properties", "FSM Properties", "Properties", true, nullptr,
     [](frmDoc& d) { d.mnuFSMProperties(); }},
    {"Remark", "Insert Remark", "Label", false, nullptr,
     [](frmDoc& d) { d.mnuInsertaComentario(); }},
    {"GoUp1Level", "Open Parent", "GoUp", true, nullptr, [](frmDoc& d) { d.openParent(); }},
    {"GoDown1Level", "Open child", "GoDown", false, nullptr, nullptr},
    {"Simulate", "Simulate (F5)", "Simulate", true, nullptr,
     [](frmDoc& d) { d.findChild<QAction*>(QStringLiteral("mnuSimulate"))->trigger(); }},
};

// Menu captions show "&" as an access key; a path keeps its own.
QString menuText(const std::string& path) {
    return QString::fromStdString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

qreal twipsPerPixel(const QWidget* w) {
    const qreal dpi = w->logicalDpiX() > 0 ? w->logicalDpiX() : 96;
    return 1440.0 / dpi;
}

}  // namespace

const std::vector<std::string>& frmMain::buttonKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (const ButtonSpec& b : BUTTONS) {
            k.emplace_back(b.key);
        }
        return k;
    }();
    return keys;
}

frmMain::frmMain(Workspace& workspace, QtUserInterface& ui, frmLib_LinkInstance* handoff,
                 const DialogHooks& hooks, QWidget* parent)
    : QMainWindow(parent), m_workspace(workspace), m_ui(ui), m_hooks(hooks), m_handoff(handoff) {
    initEditorResources();
    setObjectName(QStringLiteral("frmMain"));
    setProperty("tag", frmDoc::FILE_FSM_EXT);
    setWindowTitle(QString::fromStdString(VersionText()));
    setWindowIcon(applicationIcon());
    setAcceptDrops(true);
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The print preview area sits beside the document windows, hidden until
    // a document shows its preview there.
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    split->addWidget(m_mdi);
    m_picPrint = new QWidget(split);
    m_picPrint->setObjectName(QStringLiteral("picPrint"));
    auto* previewLayout = new QVBoxLayout(m_picPrint);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    split->addWidget(m_picPrint);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    m_picPrint->hide();
    setCentralWidget(split);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frmMain::onSubWindowActivated);
    buildMenus();
    buildToolBar();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("sbStatusPanel1"));
    statusBar()->addWidget(m_status, 1);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("sbStatusHint"));
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    statusBar()->addWidget(m_hint, 2);
    m_lock = new QToolButton(this);
    m_lock->setObjectName(QStringLiteral("sbLock"));
    m_lock->setAutoRaise(true);
    m_lock->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_lock->setToolTip(QStringLiteral("Lock && Unlock the diagram (Ctrl+L)")
                           .replace(QStringLiteral("&&"), QStringLiteral("&")));
    connect(m_lock, &QToolButton::clicked, this, [this] {
        if (frmDoc* d = activeDocWindow()) {
            d->mnuLocked();
        }
    });
    statusBar()->addPermanentWidget(m_lock);
    m_lock->hide();
    {
        QSettings settings;
        settings.beginGroup(QStringLiteral("Settings"));
        showTabs(settings.value(QStringLiteral("TabbedView"))
                     .toString()
                     .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0);
    }
    addProblemsPanel();
    enableDocumentButtons(false);
    GetRecentFiles();
}

frmMain::~frmMain() = default;

void frmMain::addProblemsPanel() {
    ProblemsPanel::Frame frame;
    frame.showDocument = [this](const std::string& path) -> frmDoc* {
        Document* doc = m_workspace.FileOpen(path);
        return doc != nullptr ? docWindow(*doc) : nullptr;
    };
    frame.setStatusText = [this](const QString& text) { setStatusText(text); };
    auto* panel = new ProblemsPanel(m_workspace, std::move(frame), this);
    addDockWidget(Qt::BottomDockWidgetArea, panel);
    panel->hide();
}

// ------------------------------------------------------------------ load

bool frmMain::load(StartupState& startup) {
    if (startup.bModeCommand) {
        showMinimized();
    } else {
        QSettings settings;
        settings.beginGroup(QStringLiteral("Settings"));
        const qreal tpp = twipsPerPixel(this);
        auto read = [&](const char* key, double fallback) {
            bool ok = false;
            const double v = settings.value(QLatin1String(key)).toString().toDouble(&ok);
            return ok ? v : fallback;
        };
        const int left = static_cast<int>(read("MainLeft", 1000) / tpp);
        const int top = static_cast<int>(read("MainTop", 1000) / tpp);
        const int width = static_cast<int>(read("MainWidth", 6500) / tpp);
        const int height = static_cast<int>(read("MainHeight", 6500) / tpp);
        move(left, top);
        resize(std::max(width, 200), std::max(height, 150));
        if (settings.value(QStringLiteral("MainMaximized"))
                .toString()
                .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            showMaximized();
        }
    }
    setWindowTitle(QString::fromStdString(startup.sVersion));
    bool result = true;
    if (startup.sCommandLine.empty()) {
        mnuFileNew();
    } else {
        result = m_workspace.FileOpen(startup.sCommandLine) != nullptr;
        if (QMdiSubWindow* active = m_mdi->activeSubWindow()) {
            active->showMaximized();
        }
        startup.sCommandLine.clear();
    }
    return result;
}

void frmMain::savePlacement() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    // The place and size the frame had, and whether it was maximised: a
    // frame closed maximised opens maximised again. (The normal geometry of a
    // frame that was never shown normal is only the size it was made with.)
    const QPoint at = pos();
    const QSize size = this->size();
    const qreal tpp = twipsPerPixel(this);
    settings.setValue(QStringLiteral("MainLeft"), QString::number(at.x() * tpp));
    settings.setValue(QStringLiteral("MainTop"), QString::number(at.y() * tpp));
    settings.setValue(QStringLiteral("MainWidth"), QString::number(size.width() * tpp));
    settings.setValue(QStringLiteral("MainHeight"), QString::number(size.height() * tpp));
    settings.setValue(QStringLiteral("MainMaximized"), isMaximized() || isFullScreen()
                                                           ? QStringLiteral("True")
                                                           : QStringLiteral("False"));
    settings.setValue(QStringLiteral("TabbedView"),
                      tabsShown() ? QStringLiteral("True") : QStringLiteral("False"));
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Every document window runs its own closing rules; one that is kept
    // open keeps the frame open.
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    m_closing = true;
    if (m_handoff != nullptr) {
        m_handoff->close();
    }
    if (!isMinimized()) {
        savePlacement();
    }
    // Find and replace keeps its case switch in the store as it goes; the
    // frame writes it back as "True" or "False" whatever was there.
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    const bool caseSensitive = settings.value(QStringLiteral("FindCaseSens"))
                                   .toString()
                                   .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    settings.setValue(QStringLiteral("FindCaseSens"),
                      caseSensitive ? QStringLiteral("True") : QStringLiteral("False"));
    event->accept();
}

// ------------------------------------------------------------ menus and bars

void frmMain::buildMenus() {
    QMenu* file = new QMenu(QStringLiteral("&File"), this);
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* a = file->addAction(QStringLiteral("&New"), this, &frmMain::mnuFileNew);
    a->setObjectName(QStringLiteral("mnuFileNew"));
    a->setShortcut(QKeySequence::New);
    a = file->addAction(QStringLiteral("&Open"), this, &frmMain::mnuFileOpen);
    a->setObjectName(QStringLiteral("mnuFileOpen"));
    a->setShortcut(QKeySequence::Open);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar0"));
    for (int i = 0; i < 6; ++i) {
        a = file->addAction(QString(), this, [this, i] { OpenRecent(i); });
        a->setObjectName(QStringLiteral("mnuFileMRU") + QString::number(i));
        a->setVisible(false);
        m_mru[static_cast<std::size_t>(i)] = a;
    }
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar4"));
    a = file->addAction(QStringLiteral("E&xit"), this, &frmMain::mnuFileExit);
    a->setObjectName(QStringLiteral("mnuFileExit"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* view = new QMenu(QStringLiteral("&View"), this);
    view->setObjectName(QStringLiteral("mnuView"));
    m_viewToolbar = view->addAction(QStringLiteral("&Toolbar"), this, &frmMain::mnuViewToolbar);
    m_viewToolbar->setObjectName(QStringLiteral("mnuViewToolbar"));
    m_viewToolbar->setCheckable(true);
    m_viewToolbar->setChecked(true);
    m_viewStatusBar =
        view->addAction(QStringLiteral("&Status Bar"), this, &frmMain::mnuViewStatusBar);
    m_viewStatusBar->setObjectName(QStringLiteral("mnuViewStatusBar"));
    m_viewStatusBar->setCheckable(true);
    m_viewStatusBar->setChecked(true);
    m_viewTabs = view->addAction(QStringLiteral("T&abs"), this, &frmMain::mnuViewTabs);
    m_viewTabs->setObjectName(QStringLiteral("mnuViewTabs"));
    m_viewTabs->setCheckable(true);

    QMenu* help = new QMenu(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("mnuHelp"));
    a = help->addAction(QStringLiteral("&Contents"), this, &frmMain::mnuHelpContents);
    a->setObjectName(QStringLiteral("mnuHelpContents"));
    a->setShortcut(QKeySequence::HelpContents);
    a = help->addAction(QStringLiteral("&About..."), this, &frmMain::mnuHelpAbout);
    a->setObjectName(QStringLiteral("mnuHelpAbout"));

    m_ownMenus = {file, view, help};
    showMenusOf(nullptr);
}

void frmMain::buildToolBar() {
    m_toolbar = addToolBar(QStringLiteral("tbToolBar"));
    m_toolbar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    for (const ButtonSpec& b : BUTTONS) {
        if (b.separatorBefore) {
            m_toolbar->addSeparator();
        }
        const std::string key = b.key;
        QAction* a = new QAction(toolbarIcon(b.image), QString::fromUtf8(b.key), this);
        a->setObjectName(QString::fromUtf8(b.key));
        a->setToolTip(QString::fromUtf8(b.tip).replace(QStringLiteral("&&"), QStringLiteral("&")));
        a->setData(QString::fromUtf8(b.image));
        connect(a, &QAction::triggered, this, [this, key] { onButton(key); });
        m_buttons[key] = a;
        if (key == "GoDown1Level") {
            // Its drop-down lists the child diagrams; the button itself does nothing.
            m_childMenu = new QMenu(this);
            m_childButton = new QToolButton(m_toolbar);
            m_childButton->setDefaultAction(a);
            m_childButton->setMenu(m_childMenu);
            m_childButton->setPopupMode(QToolButton::MenuButtonPopup);
            m_toolbar->addWidget(m_childButton);
        } else {
            m_toolbar->addAction(a);
        }
    }
    m_buttons["Preview"]->setCheckable(true);
}

QAction* frmMain::button(const std::string& key) const {
    const auto it = m_buttons.find(key);
    return it == m_buttons.end() ? nullptr : it->second;
}

void frmMain::setButtonImage(const std::string& key, const std::string& imageKey) {
    if (QAction* a = button(key)) {
        a->setIcon(toolbarIcon(imageKey));
        a->setData(QString::fromStdString(imageKey));
    }
}

void frmMain::setChildEntries(const std::vector<std::string>& entries) {
    m_childMenu->clear();
    for (const std::string& entry : entries) {
        QAction* a = m_childMenu->addAction(menuText(entry));
        a->setData(QString::fromStdString(entry));
        connect(a, &QAction::triggered, this, [this, entry] {
            if (frmDoc* d = activeDocWindow()) {
                d->openChild(entry);
            }
        });
    }
}

void frmMain::setStatusText(const QString& text) {
    m_status->setText(text);
}

QString frmMain::statusText() const {
    return m_status->text();
}

void frmMain::setHintText(const QString& text) {
    m_hint->setText(text);
}

QString frmMain::hintText() const {
    return m_hint->text();
}

void frmMain::showStatusMessage(const QString& text, int milliseconds) {
    statusBar()->showMessage(text, milliseconds);
}

QString frmMain::statusMessage() const {
    return statusBar()->currentMessage();
}

void frmMain::setLockIndicator(bool visible, bool locked) {
    m_lock->setVisible(visible);
    m_lock->setIcon(toolbarIcon(locked ? "Lock" : "Unlock"));
    m_lock->setText(locked ? QStringLiteral("Locked") : QStringLiteral("Editable"));
}

void frmMain::enableDocumentButtons(bool enable) {
    // Everything from "Save" on acts on a document window.
    const auto& keys = buttonKeys();
    for (std::size_t i = 2; i < keys.size(); ++i) {
        button(keys[i])->setEnabled(enable);
    }
}

void frmMain::showMenusOf(frmDoc* doc) {
    menuBar()->clear();
    if (doc != nullptr) {
        for (QMenu* m : doc->menus()) {
            menuBar()->addMenu(m);
        }
    } else {
        for (QMenu* m : m_ownMenus) {
            menuBar()->addMenu(m);
        }
    }
    m_menusOf = doc;
}

void frmMain::onButton(const std::string& key) {
    const auto button = std::find_if(std::begin(BUTTONS), std::end(BUTTONS),
                                     [&key](const ButtonSpec& b) { return key == b.key; });
    if (button == std::end(BUTTONS)) {
        return;
    }
    if (button->frameCommand != nullptr) {
        button->frameCommand(*this);
        return;
    }
    frmDoc* d = activeDocWindow();
    if (button->windowCommand != nullptr && d != nullptr && d->document() != nullptr) {
        button->windowCommand(*d);
    }
}

// ------------------------------------------------------------ document windows

frmDoc* frmMain::createDocWindow(Document& doc) {
    const bool first = docWindows().empty();
    auto* w = new frmDoc(*this, doc);
    QMdiSubWindow* sub = m_mdi->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(toolbarIcon("application-x-tarvel-fsm"));
    if (first) {
        enableDocumentButtons(true);
    }
    w->setBarChecks(toolbarShown(), statusBarShown());
    // A new window fits in the frame's working area.
    const QSize area = m_mdi->viewport()->size();
    sub->resize(std::max(200, std::min(640, area.width() * 9 / 10)),
                std::max(150, std::min(420, area.height() * 9 / 10)));
    sub->show();
    GetRecentFiles();
    return w;
}

void frmMain::activateDocWindow(Document& doc) {
    frmDoc* w = docWindow(doc);
    if (w == nullptr) {
        return;
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    if (sub != nullptr && m_mdi->activeSubWindow() != sub) {
        if (sub->isMinimized()) {
            sub->showNormal();
        }
        m_mdi->setActiveSubWindow(sub);
    }
    if (m_active != w) {
        onSubWindowActivated(sub);
    }
    // A document that shows a file fills the work area from its first
    // activation; a new untitled one starts as a normal window.
    const bool known = doc.untitled || !doc.sFullDocname.empty();  // not while still loading
    if (sub != nullptr && known &&
        std::find(m_placed.begin(), m_placed.end(), w) == m_placed.end()) {
        m_placed.push_back(w);
        if (!doc.untitled) {
            sub->showMaximized();
        }
    }
    // Opening a file fills the window after it was activated empty.
    w->updateFromDocument();
    w->activated();
}

void frmMain::closeDocWindow(Document& doc) {
    frmDoc* w = docWindow(doc);
    if (w == nullptr) {
        return;
    }
    const bool last = docWindows().size() == 1;
    if (m_active == w) {
        m_active = nullptr;
    }
    if (m_menusOf == w) {
        showMenusOf(nullptr);
    }
    w->documentGone();
    std::erase(m_placed, w);
    // Nothing the status bar says is about the closed window any more.
    setStatusText({});
    setHintText({});
    if (last) {
        enableDocumentButtons(false);
        setChildEntries({});
        setLockIndicator(false, false);
    }
    GetRecentFiles();
}

frmDoc* frmMain::docWindow(const Document& doc) const {
    for (frmDoc* w : docWindows()) {
        if (w->document() == &doc) {
            return w;
        }
    }
    return nullptr;
}

frmDoc* frmMain::activeDocWindow() const {
    return m_active;
}

std::vector<frmDoc*> frmMain::docWindows() const {
    std::vector<frmDoc*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (auto* w = qobject_cast<frmDoc*>(sub->widget()); w != nullptr && w->document()) {
            out.push_back(w);
        }
    }
    return out;
}

void frmMain::onSubWindowActivated(QMdiSubWindow* window) {
    if (window == nullptr) {
        // The frame itself got the focus (or the last window went): the
        // active document stays what it was.
        if (docWindows().empty()) {
            m_active = nullptr;
            showMenusOf(nullptr);
        }
        return;
    }
    auto* w = qobject_cast<frmDoc*>(window->widget());
    if (w == nullptr || w->document() == nullptr || w == m_active) {
        return;
    }
    if (m_active != nullptr) {
        m_active->deactivated();
    }
    m_active = w;
    setStatusText({});
    setHintText({});
    showMenusOf(w);
    if (m_workspace.active() != w->document()) {
        m_workspace.activate(w->document());
    }
    w->activated();
}

// ------------------------------------------------------------ recent files

void frmMain::AddRecentFile(const std::string& path) {
    std::vector<std::string> shown;
    for (int i = 0; i < 6; ++i) {
        shown.push_back(recentItemCaption(i).toStdString());
    }
    writeRecentFiles(recentFilesAfterSave(path, shown, readRecentFiles(),
                                          [](const std::string& p) { return FileExists(p); }));
    GetRecentFiles();
}

void frmMain::GetRecentFiles() {
    const auto items =
        recentFileItems(readRecentFiles(), [](const std::string& p) { return FileExists(p); });
    const std::vector<frmDoc*> docs = docWindows();
    for (int i = 0; i < 6; ++i) {
        const auto& item = items[static_cast<std::size_t>(i)];
        if (!item) {
            continue;  // its file is missing: the item stays as it was
        }
        QAction* a = m_mru[static_cast<std::size_t>(i)];
        a->setData(QString::fromStdString(*item));
        a->setText(menuText(*item));
        a->setVisible(!item->empty());
        for (frmDoc* d : docs) {
            d->setRecentItem(i, QString::fromStdString(*item), !item->empty());
        }
    }
}

QString frmMain::recentItemCaption(int index) const {
    return index >= 0 && index < 6 ? m_mru[static_cast<std::size_t>(index)]->data().toString()
                                   : QString();
}

bool frmMain::recentItemVisible(int index) const {
    return index >= 0 && index < 6 && m_mru[static_cast<std::size_t>(index)]->isVisible();
}

void frmMain::OpenRecent(int index) {
    const QString path = recentItemCaption(index);
    if (!path.isEmpty()) {
        m_workspace.FileOpen(path.toStdString());
    }
    GetRecentFiles();
}

// ------------------------------------------------------------ commands

void frmMain::mnuFileNew() {
    if (Document* doc = m_workspace.FileNew(true)) {
        // A new diagram has nothing to save until it is edited.
        doc->ClearGraphChanges();
    }
}

void frmMain::mnuFileOpen() {
    m_workspace.FileOpen({});
}

void frmMain::mnuFileSaveAll() {
    for (frmDoc* d : docWindows()) {
        for (const auto& l : d->document()->diagram().Links()) {
            l->setLinkSelected(false);
        }
    }
    m_workspace.FileSaveAll();
    for (frmDoc* d : docWindows()) {
        d->updateFromDocument();
        d->RefreshButtons();
    }
}

void frmMain::mnuFileExit() {
    close();
}

bool frmMain::toolbarShown() const {
    return m_viewToolbar->isChecked();
}

bool frmMain::statusBarShown() const {
    return m_viewStatusBar->isChecked();
}

void frmMain::mnuViewToolbar() {
    const bool show = !toolbarShown();
    m_viewToolbar->setChecked(show);
    m_toolbar->setVisible(show);
    for (frmDoc* d : docWindows()) {
        d->setBarChecks(toolbarShown(), statusBarShown());
    }
}

void frmMain::mnuViewStatusBar() {
    const bool show = !statusBarShown();
    m_viewStatusBar->setChecked(show);
    statusBar()->setVisible(show);
    for (frmDoc* d : docWindows()) {
        d->setBarChecks(toolbarShown(), statusBarShown());
    }
}

bool frmMain::tabsShown() const {
    return m_mdi->viewMode() == QMdiArea::TabbedView;
}

void frmMain::showTabs(bool tabs) {
    m_mdi->setViewMode(tabs ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
    m_mdi->setTabsClosable(true);
    m_mdi->setTabsMovable(true);
    m_mdi->setDocumentMode(true);
    if (m_viewTabs != nullptr) {
        m_viewTabs->setChecked(tabs);
    }
    for (frmDoc* d : docWindows()) {
        d->setBarChecks(toolbarShown(), statusBarShown());
    }
}

void frmMain::mnuViewTabs() {
    showTabs(!tabsShown());
}

void frmMain::arrange(int how) {
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) {
        return;
    }
    switch (how) {
        case 0:
            m_mdi->cascadeSubWindows();
            return;
        case 1:
        case 2: {
            // Horizontally: one above the other, full width; vertically: side by side.
            QList<QMdiSubWindow*> shown;
            for (QMdiSubWindow* w : windows) {
                if (!w->isMinimized()) {
                    shown << w;
                }
            }
            if (shown.isEmpty()) {
                return;
            }
            const QRect area = m_mdi->viewport()->rect();
            const int n = static_cast<int>(shown.size());
            for (int i = 0; i < n; ++i) {
                QMdiSubWindow* w = shown[i];
                w->showNormal();
                if (how == 1) {
                    const int h = area.height() / n;
                    w->setGeometry(0, i * h, area.width(), h);
                } else {
                    const int wd = area.width() / n;
                    w->setGeometry(i * wd, 0, wd, area.height());
                }
            }
            return;
        }
        case 3: {
            // Minimised windows in a row along the bottom.
            const QRect area = m_mdi->viewport()->rect();
            int x = 0;
            for (QMdiSubWindow* w : windows) {
                if (w->isMinimized()) {
                    const QSize s = w->size();
                    w->move(x, area.height() - s.height());
                    x += s.width();
                }
            }
            return;
        }
        default:
            return;
    }
}

// The manual shipped with the program, in the desktop's browser.
void frmMain::mnuHelpContents() {
    const QString folder = QCoreApplication::applicationDirPath();
    const QString manual = QString::fromStdString(FindManual(folder.toStdString()));
    if (manual.isEmpty()) {
        QMessageBox::warning(
            this, QStringLiteral("Help"),
            QStringLiteral("The manual is not installed: neither %1 nor %2 exists.")
                .arg(folder + QStringLiteral("/doc/index.html"),
                     QDir::cleanPath(folder + QStringLiteral("/../share/doc/tarvel/index.html"))));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(manual))) {
        QMessageBox::warning(this, QStringLiteral("Help"),
                             QStringLiteral("No browser could open the manual %1.").arg(manual));
    }
}

void frmMain::mnuHelpAbout() {
    suspendHandoff(true);
    frmAbout about(this);
    about.exec();
    suspendHandoff(false);
}

void frmMain::suspendHandoff(bool suspend) {
    if (m_handoff == nullptr) {
        return;
    }
    if (suspend) {
        m_handoff->Stopped();
    } else {
        m_handoff->Running();
    }
}

// ------------------------------------------------------------ drag and drop

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) {
        return;
    }
    const std::string path = urls.front().toLocalFile().toStdString();
    if (!IsFsmPath(path)) {
        return;  // only diagrams are taken, and only the first one dropped
    }
    event->acceptProposedAction();
    if (m_handoff != nullptr) {
        m_handoff->cmdPrevInstance_Click(path);
    } else {
        m_workspace.FileOpen(path);
    }
}

}  // namespace tarvel
