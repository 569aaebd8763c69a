#include "editor/ui/simulationmode.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "codegen/generationcontext.h"
#include "editor/ui/commenteditor.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/frmdoc.h"
#include "editor/ui/simulationpanel.h"
#include "export/diagrampainter.h"
#include "model/document.h"
#include "model/documentio.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"
#include "base/paths.h"
#include "shell/userinterface.h"
#include "shell/workspace.h"
#include "sim/simmachine.h"
#include "sim/simulator.h"

namespace tarvel {

namespace {

// How long the transitions of the last call stay highlighted.
constexpr int FLASH_MS = 1200;

const QColor ACTIVE_LINE(22, 140, 60);
const QColor ACTIVE_FILL(22, 160, 70, 48);
const QColor FIRED_LINE(235, 120, 0);

// The toolbar buttons that would change a diagram.
const char* const EDITING_BUTTONS[] = {
    "Cut",        "Copy",       "Paste",       "Find",       "Undo",     "Redo",       "ReduceFont",
    "AdjustFont", "AmpliaFont", "Lock_Unlock", "InsertMode", "AutoSize", "Properties", "Remark"};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The state of that index, as the generators number states.
const Node* stateNode(const Diagram& diagram, int index) {
    for (const auto& node : diagram.NodeList()) {
        if (isState(*node) && lenientInt(readStateField(SF_INDEX, *node)) == index) {
            return node.get();
        }
    }
    return nullptr;
}

// The transition the generated code tries at that priority: the first of
// the state's transitions (in out-link order) that has it.
const Node* transitionNode(const Diagram& diagram, int from, int priority) {
    const Node* state = stateNode(diagram, from);
    if (state == nullptr) {
        return nullptr;
    }
    for (const Node* t : transitionsOf(*state)) {
        if (lenientInt(readTransitionField(TF_PRIORITY, *t)) == priority) {
            return t;
        }
    }
    return nullptr;
}

// Every action and menu item of a menu, its sub-menus included.
void collectActions(QMenu* menu, std::vector<QAction*>& out) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            continue;
        }
        out.push_back(a);
        if (QMenu* sub = a->menu()) {
            collectActions(sub, out);
        }
    }
}

// One call as the panel's trace shows it: what ran and fired, in order.
QString describeCall(const Simulator& sim) {
    const auto& diagrams = sim.machine().diagrams();
    QString text = QStringLiteral("Call %1").arg(sim.calls());
    for (const SimEvent& e : sim.events()) {
        const SimDiagram& d = diagrams[static_cast<std::size_t>(e.diagram)];
        if (e.kind == SimEvent::Kind::Fired) {
            text += QStringLiteral("\n  \u2192 %1: %2 \u2192 %3 [%4]")
                        .arg(qs(d.path), qs(d.state(e.from).name), qs(d.state(e.to).name))
                        .arg(e.priority);
            continue;
        }
        QString action = qs(*e.text).remove(QLatin1Char('\r'));
        action.replace(QLatin1Char('\n'), QStringLiteral("\n      "));
        text += QStringLiteral("\n      ") + action;
    }
    if (sim.events().empty()) {
        text += QStringLiteral("\n      (nothing ran)");
    }
    return text;
}

}  // namespace

// A window of the hierarchy in simulation: its menu items that were enabled
// before, to give them back when it leaves.
struct SimulationMode::Attached {
    QPointer<frmDoc> window;
    QMetaObject::Connection gone;
    std::vector<std::pair<QPointer<QAction>, bool>> actions;
};

SimulationMode::SimulationMode(QMainWindow& frame, Workspace& workspace)
    : QObject(&frame), m_frame(frame), m_workspace(workspace) {
    setObjectName(QStringLiteral("simulationMode"));
    connect(&m_runTimer, &QTimer::timeout, this, &SimulationMode::step);
    m_flashTimer.setSingleShot(true);
    connect(&m_flashTimer, &QTimer::timeout, this, [this] {
        m_flash = false;
        repaintWindows();
    });
}

SimulationMode::~SimulationMode() = default;

SimulationMode* SimulationMode::find(const QWidget& frame) {
    return frame.findChild<SimulationMode*>(QStringLiteral("simulationMode"),
                                            Qt::FindDirectChildrenOnly);
}

SimulationMode& SimulationMode::of(QMainWindow& frame, Workspace& workspace) {
    if (SimulationMode* mode = find(frame)) {
        return *mode;
    }
    return *new SimulationMode(frame, workspace);
}

QMenu* SimulationMode::buildMenu(frmDoc& window, Workspace& workspace) {
    auto* menu = new QMenu(QStringLiteral("&Simulate"), &window);
    menu->setObjectName(QStringLiteral("mnuSimulation"));
    // The window has no frame yet while its menus are built: the items find
    // the frame's simulation when they are used.
    QPointer<frmDoc> w(&window);
    const auto mode = [w, &workspace]() -> SimulationMode* {
        auto* frame = w ? qobject_cast<QMainWindow*>(w->window()) : nullptr;
        return frame != nullptr ? &of(*frame, workspace) : nullptr;
    };
    const auto item = [&](const char* name, const QString& caption, const QKeySequence& key,
                          bool checkable, auto run) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromUtf8(name));
        a->setShortcut(key);
        a->setCheckable(checkable);
        connect(a, &QAction::triggered, menu, [mode, run](bool checked) {
            if (SimulationMode* m = mode()) {
                run(*m, checked);
            }
        });
    };
    item("mnuSimulate", QStringLiteral("&Simulate"), Qt::Key_F5, true,
         [w](SimulationMode& m, bool) {
             if (w) {
                 m.toggle(*w);
             }
         });
    menu->addSeparator();
    item("mnuSimulateStep", QStringLiteral("S&tep"), Qt::Key_F10, false,
         [](SimulationMode& m, bool) { m.step(); });
    item("mnuSimulateRun", QStringLiteral("&Run"), QKeySequence(Qt::CTRL | Qt::Key_F10), true,
         [](SimulationMode& m, bool run) { m.setRunning(run); });
    item("mnuSimulateReset", QStringLiteral("R&eset"), {}, false,
         [](SimulationMode& m, bool) { m.reset(); });
    item("mnuSimulateStop", QStringLiteral("St&op Simulating"), Qt::Key_Escape, false,
         [](SimulationMode& m, bool) { m.leave(); });
    // No simulation runs in a window that is being made.
    for (QAction* a : menu->actions()) {
        a->setEnabled(a->objectName() == QStringLiteral("mnuSimulate"));
    }
    return menu;
}

void SimulationMode::windowActivated(frmDoc& window) {
    if (SimulationMode* mode = find(*window.window())) {
        mode->activated(window);
    }
}

std::vector<frmDoc*> SimulationMode::docWindows() const {
    std::vector<frmDoc*> out;
    for (frmDoc* w : m_frame.findChildren<frmDoc*>()) {
        if (w->document() != nullptr) {
            out.push_back(w);
        }
    }
    return out;
}

frmDoc* SimulationMode::activeDocWindow() const {
    const Document* active = m_workspace.active();
    for (frmDoc* w : docWindows()) {
        if (w->document() == active) {
            return w;
        }
    }
    return nullptr;
}

QAction* SimulationMode::button(const char* key) const {
    return m_frame.findChild<QAction*>(QString::fromUtf8(key), Qt::FindDirectChildrenOnly);
}

SimulationPanel* SimulationMode::panel() const {
    return m_panel;
}

int SimulationMode::diagramOf(const frmDoc& window) const {
    const Document* doc = window.document();
    if (!m_machine || doc == nullptr) {
        return -1;
    }
    if (doc == m_root) {
        return 0;
    }
    const auto& diagrams = m_machine->diagrams();
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        if (!doc->sFullDocname.empty() && diagrams[i].file == doc->sFullDocname) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SimulationMode::covers(const frmDoc& window) const {
    return diagramOf(window) >= 0;
}

void SimulationMode::toggle(frmDoc& window) {
    if (active()) {
        leave();
    } else {
        start(window);
    }
}

void SimulationMode::start(frmDoc& window) {
    leave();
    Document* root = window.document();
    if (root == nullptr) {
        return;
    }
    // Children already open are simulated as they are shown; the others are
    // read from their files for the time of the load, without a window.
    Workspace& ws = m_workspace;
    std::vector<std::unique_ptr<Document>> loaded;
    std::string problems;
    GenerationContext context;
    context.openChild = [&](const std::string& path) -> Document* {
        const std::string full = MakeFullPath(path);
        if (Document* open = ws.findOpen(full)) {
            return open;
        }
        auto doc = std::make_unique<Document>();
        std::string error;
        if (!loadDocument(*doc, full, OptionOverrides{}, error)) {
            return nullptr;
        }
        doc->sFullDocname = full;
        return loaded.emplace_back(std::move(doc)).get();
    };
    context.report = [&](const std::string& text) { problems += text + "\r\n"; };
    auto machine = std::make_unique<SimMachine>();
    if (!machine->load(*root, context)) {
        ws.ui().showMessage("Simulate", "The machine cannot be simulated:\r\n" + problems,
                            MessageIcon::Exclamation);
        syncActions();
        return;
    }
    m_machine = std::move(machine);
    m_sim = std::make_unique<Simulator>(*m_machine);
    m_root = root;
    m_rootGone = connect(&window, &QObject::destroyed, this, [this] { leave(); });

    if (!m_panel) {
        m_panel = new SimulationPanel(&m_frame);
        m_panel->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
        m_frame.addDockWidget(Qt::RightDockWidgetArea, m_panel);
        connect(m_panel, &SimulationPanel::stepRequested, this, &SimulationMode::step);
        connect(m_panel, &SimulationPanel::runToggled, this, &SimulationMode::setRunning);
        connect(m_panel, &SimulationPanel::resetRequested, this, &SimulationMode::reset);
        connect(m_panel, &SimulationPanel::leaveRequested, this, &SimulationMode::leave);
        connect(m_panel, &SimulationPanel::rateChanged, this,
                [this](int rate) { m_runTimer.setInterval(1000 / std::max(1, rate)); });
    }
    m_panel->show();
    m_panel->setMachine(qs(m_machine->diagrams().front().name), m_machine->conditions());
    m_runTimer.setInterval(1000 / std::max(1, m_panel->rate()));
    for (frmDoc* w : docWindows()) {
        if (covers(*w)) {
            attach(*w);
        }
    }
    showState();
    syncActions();
}

void SimulationMode::leave() {
    m_runTimer.stop();
    m_flashTimer.stop();
    m_flash = false;
    const bool wasActive = active();
    for (auto& a : m_windows) {
        detach(*a);
    }
    m_windows.clear();
    m_sim.reset();
    m_machine.reset();
    m_root = nullptr;
    disconnect(m_rootGone);
    if (m_panel) {
        m_panel->setRunning(false);
        m_panel->hide();
    }
    if (wasActive) {
        // The active window gives its buttons their own states again.
        if (frmDoc* w = activeDocWindow(); w != nullptr && w->document() != nullptr) {
            w->activated();
        }
        if (QAction* lock = button("Lock_Unlock")) {
            lock->setEnabled(activeDocWindow() != nullptr);
        }
    }
    syncActions();
}

void SimulationMode::attach(frmDoc& window) {
    for (const auto& a : m_windows) {
        if (a->window == &window) {
            return;
        }
    }
    auto a = std::make_unique<Attached>();
    a->window = &window;
    // A comment being edited in place is finished before editing stops.
    if (window.Text1() != nullptr && window.Text1()->isVisible()) {
        window.AddFlow1()->FocusDiagram();
    }
    DiagramView* view = window.AddFlow1();
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    QPointer<frmDoc> w(&window);
    view->setDecoration([this, w](QPainter& painter) {
        if (w) {
            paint(*w, painter);
        }
    });
    for (QMenu* menu : window.menus()) {
        if (menu->objectName() != QStringLiteral("mnuEdit")) {
            continue;
        }
        std::vector<QAction*> actions;
        collectActions(menu, actions);
        for (QAction* action : actions) {
            a->actions.emplace_back(action, action->isEnabled());
        }
    }
    if (QAction* hide = window.action("mnuHideComments")) {
        a->actions.emplace_back(hide, hide->isEnabled());
    }
    a->gone = connect(&window, &QObject::destroyed, this, [this, raw = a.get()] {
        std::erase_if(m_windows, [raw](const auto& p) { return p.get() == raw; });
    });
    m_windows.push_back(std::move(a));
    lockEditing(window);
}

void SimulationMode::detach(Attached& a) {
    disconnect(a.gone);
    if (!a.window) {
        return;
    }
    DiagramView* view = a.window->AddFlow1();
    view->removeEventFilter(this);
    view->viewport()->removeEventFilter(this);
    view->setDecoration({});
    for (auto& [action, enabled] : a.actions) {
        if (action) {
            action->setEnabled(enabled);
        }
    }
    a.window->RefreshButtons(true);
}

void SimulationMode::lockEditing(frmDoc& window) {
    for (const auto& a : m_windows) {
        if (a->window != &window) {
            continue;
        }
        for (auto& [action, enabled] : a->actions) {
            if (action) {
                action->setEnabled(false);
            }
        }
    }
    if (activeDocWindow() != &window) {
        return;
    }
    for (const char* key : EDITING_BUTTONS) {
        if (QAction* b = button(key)) {
            b->setEnabled(false);
        }
    }
}

void SimulationMode::activated(frmDoc& window) {
    if (!active()) {
        return;
    }
    if (covers(window)) {
        attach(window);  // a child opened while simulating shows its state too
        lockEditing(window);
    } else if (QAction* lock = button("Lock_Unlock")) {
        lock->setEnabled(true);
    }
    syncActions();
}

bool SimulationMode::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                leave();
            }
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::ContextMenu:
            // The canvas only shows while simulating: nothing is drawn,
            // moved, selected or opened from it.
            return true;
        default:
            return QObject::eventFilter(watched, event);
    }
}

void SimulationMode::step() {
    if (!m_sim || m_sim->stopped()) {
        return;
    }
    std::vector<bool> holds = m_panel->holds();
    holds.resize(m_machine->conditions().size(), false);
    m_sim->step(holds);
    m_panel->appendTrace(describeCall(*m_sim));
    m_flash = true;
    m_flashTimer.start(FLASH_MS);
    showState();
}

void SimulationMode::setRunning(bool run) {
    if (!m_sim || m_sim->stopped()) {
        run = false;
    }
    if (run) {
        m_runTimer.start();
    } else {
        m_runTimer.stop();
    }
    if (m_panel) {
        m_panel->setRunning(run);
    }
    syncActions();
}

void SimulationMode::reset() {
    if (!m_sim) {
        return;
    }
    m_sim->reset();
    m_flash = false;
    m_panel->clearTrace();
    showState();
}

// The panel and the windows after a call (or a reset).
void SimulationMode::showState() {
    QStringList lines;
    const auto& diagrams = m_machine->diagrams();
    for (std::size_t d = 0; d < diagrams.size(); ++d) {
        lines << qs(diagrams[d].path) + QStringLiteral(": ") +
                     qs(diagrams[d].state(m_sim->activeState(static_cast<int>(d))).name);
    }
    m_panel->setActive(lines);
    if (m_sim->stopped()) {
        setRunning(false);
        m_panel->setStatus(QStringLiteral("Stopped at call %1: %2. Reset to start again.")
                               .arg(m_sim->calls())
                               .arg(qs(m_sim->stopReason())),
                           true);
    } else {
        m_panel->setStatus(m_sim->calls() == 1 ? QStringLiteral("1 call")
                                               : QStringLiteral("%1 calls").arg(m_sim->calls()),
                           false);
    }
    m_panel->setStepEnabled(!m_sim->stopped());
    repaintWindows();
    syncActions();
}

void SimulationMode::repaintWindows() {
    for (const auto& a : m_windows) {
        if (a->window) {
            a->window->AddFlow1()->viewport()->update();
        }
    }
}

void SimulationMode::syncActions(QObject& holder) const {
    const bool on = active();
    const bool canStep = on && !m_sim->stopped();
    const bool running = m_runTimer.isActive();
    const auto set = [&holder](const char* name, bool enabled, bool checked) {
        if (auto* a = holder.findChild<QAction*>(QString::fromUtf8(name))) {
            a->setEnabled(enabled);
            a->setChecked(checked);
        }
    };
    set("mnuSimulate", true, on);
    set("mnuSimulateStep", canStep, false);
    set("mnuSimulateRun", canStep, running);
    set("mnuSimulateReset", on, false);
    set("mnuSimulateStop", on, false);
}

void SimulationMode::syncActions() {
    for (frmDoc* w : docWindows()) {
        syncActions(*w);
    }
    if (QAction* simulate = button("Simulate")) {
        simulate->setCheckable(true);
        simulate->setChecked(active());
    }
}

void SimulationMode::paint(const frmDoc& window, QPainter& painter) const {
    const int d = diagramOf(window);
    if (d < 0 || !m_sim) {
        return;
    }
    const Diagram& diagram = window.document()->diagram();
    const DiagramView* view = window.AddFlow1();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (const Node* state = stateNode(diagram, m_sim->activeState(d))) {
        const QRectF r = view->toView(state->rect()).adjusted(-4, -4, 4, 4);
        painter.setPen(QPen(ACTIVE_LINE, 3));
        painter.setBrush(ACTIVE_FILL);
        painter.drawRoundedRect(r, 8, 8);
    }
    if (!m_flash) {
        return;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FIRED_LINE, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const SimEvent& e : m_sim->events()) {
        if (e.kind != SimEvent::Kind::Fired || e.diagram != d) {
            continue;
        }
        const Node* t = transitionNode(diagram, e.from, e.priority);
        if (t == nullptr) {
            continue;
        }
        std::vector<const Link*> links(t->NodeInLinks().begin(), t->NodeInLinks().end());
        links.insert(links.end(), t->NodeOutLinks().begin(), t->NodeOutLinks().end());
        for (const Link* link : links) {
            QPolygonF line;
            for (const PointF& p : visibleLinkPoints(*link)) {
                line << view->toView(p);
            }
            painter.drawPolyline(line);
        }
        painter.drawRoundedRect(view->toView(t->rect()).adjusted(-3, -3, 3, 3), 5, 5);
    }
}

}  // namespace tarvel
