// The Simulate mode of the editor (F5, the toolbar's play button, the
// Simulate menu): the machine of a document window and its child diagrams
// run one call at a time (Step, F10) or repeatedly (Run); the panel chooses
// the conditions that hold and shows the trace. Every open window of the
// hierarchy shows its diagram's active state and, for a moment, the
// transitions that fired last. While it runs those windows cannot be edited;
// the simulation never changes a diagram. Escape, F5 or the same button
// leave it. One simulation runs at a time in the frame.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QPainter;
class QWidget;

namespace tarvel {

class Document;
class SimMachine;
class SimulationPanel;
class Simulator;
class Workspace;
class frmDoc;

class SimulationMode final : public QObject {
    Q_OBJECT
public:
    // The simulation of the frame that holds the document windows, made on
    // first use.
    static SimulationMode& of(QMainWindow& frame, Workspace& workspace);
    // The Simulate menu of a document window.
    static QMenu* buildMenu(frmDoc& window, Workspace& workspace);
    // A window became the active one and has refreshed its buttons: a
    // window of the hierarchy (a child opened while simulating, too) shows
    // its state and cannot be edited.
    static void windowActivated(frmDoc& window);

    bool active() const { return m_sim != nullptr; }
    // The window shows a diagram of the hierarchy being simulated.
    bool covers(const frmDoc& window) const;

    // Starts simulating the window's hierarchy, or leaves the simulation
    // when one runs.
    void toggle(frmDoc& window);
    void start(frmDoc& window);
    void leave();
    void step();
    void setRunning(bool run);
    void reset();

    SimulationPanel* panel() const;
    const Simulator* simulator() const { return m_sim.get(); }
    // The diagram (position in the machine) a window shows; -1 when none.
    int diagramOf(const frmDoc& window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SimulationMode(QMainWindow& frame, Workspace& workspace);
    static SimulationMode* find(const QWidget& frame);
    void activated(frmDoc& window);
    // What the frame holds: its document windows, the active one, a toolbar button.
    std::vector<frmDoc*> docWindows() const;
    frmDoc* activeDocWindow() const;
    QAction* button(const char* key) const;
    ~SimulationMode() override;

    struct Attached;
    void attach(frmDoc& window);
    void detach(Attached& a);
    void lockEditing(frmDoc& window);
    void paint(const frmDoc& window, QPainter& painter) const;
    void showState();
    void repaintWindows();
    // The Simulate menu items of every window (or of one) and the button.
    void syncActions();
    void syncActions(QObject& holder) const;

    QMainWindow& m_frame;
    Workspace& m_workspace;
    std::unique_ptr<SimMachine> m_machine;
    std::unique_ptr<Simulator> m_sim;
    const Document* m_root = nullptr;
    QMetaObject::Connection m_rootGone;
    std::vector<std::unique_ptr<Attached>> m_windows;
    QPointer<SimulationPanel> m_panel;
    QTimer m_runTimer;
    QTimer m_flashTimer;
    bool m_flash = false;
};

}  // namespace tarvel
