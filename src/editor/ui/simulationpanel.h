// The dockable panel of the Simulate mode: a check box per condition text of
// the hierarchy (checked: it holds during the next call), Step, Run and Pause
// at a chosen rate, Reset and Stop, the active state of every diagram and the
// trace of the calls run so far. It only shows and asks; the simulation
// itself belongs to SimulationMode.
#pragma once

#include <QDockWidget>
#include <QStringList>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSplitter;
class QVBoxLayout;

namespace tarvel {

class SimulationPanel final : public QDockWidget {
    Q_OBJECT
public:
    explicit SimulationPanel(QWidget* parent = nullptr);

    // A new machine: its name and condition texts, all unchecked, and an
    // empty trace.
    void setMachine(const QString& name, const std::vector<std::string>& conditions);
    // Which conditions are checked, by position.
    std::vector<bool> holds() const;
    QCheckBox* conditionBox(int index) const;

    void setRunning(bool running);
    bool runningShown() const;
    int rate() const;  // calls per second
    void setStepEnabled(bool enabled);

    void appendTrace(const QString& text);
    void clearTrace();
    QString traceText() const;
    void setActive(const QStringList& lines);
    QStringList activeLines() const;
    void setStatus(const QString& text, bool error);
    QString statusText() const;

signals:
    void stepRequested();
    void runToggled(bool run);
    void rateChanged(int callsPerSecond);
    void resetRequested();
    void leaveRequested();

private:
    QLabel* m_title = nullptr;
    QSplitter* m_split = nullptr;
    QVBoxLayout* m_conditionLayout = nullptr;
    std::vector<QCheckBox*> m_conditions;
    QPushButton* m_step = nullptr;
    QPushButton* m_run = nullptr;
    QSpinBox* m_rate = nullptr;
    QListWidget* m_active = nullptr;
    QPlainTextEdit* m_trace = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace tarvel
