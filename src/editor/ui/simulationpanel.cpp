#include "editor/ui/simulationpanel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <algorithm>

namespace tarvel {

namespace {

// The trace keeps this many lines; older calls scroll away.
constexpr int TRACE_LINES = 20000;

// A condition as a check box shows it: its lines as they are, and every "&"
// shown (not taken for a keyboard accelerator).
QString caption(const std::string& text) {
    return QString::fromStdString(text)
        .remove(QLatin1Char('\r'))
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

SimulationPanel::SimulationPanel(QWidget* parent)
    : QDockWidget(QStringLiteral("Simulation"), parent) {
    setObjectName(QStringLiteral("simulationPanel"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 6, 6, 6);

    m_title = new QLabel(body);
    m_title->setObjectName(QStringLiteral("simulationTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    layout->addWidget(m_title);

    auto* buttons = new QHBoxLayout;
    m_step = new QPushButton(QStringLiteral("&Step"), body);
    m_step->setObjectName(QStringLiteral("simulationStep"));
    m_step->setToolTip(QStringLiteral("Run one call with the checked conditions (F10)"));
    m_run = new QPushButton(QStringLiteral("&Run"), body);
    m_run->setObjectName(QStringLiteral("simulationRun"));
    m_run->setCheckable(true);
    m_run->setToolTip(QStringLiteral("Step repeatedly at the rate beside it"));
    m_rate = new QSpinBox(body);
    m_rate->setObjectName(QStringLiteral("simulationRate"));
    m_rate->setRange(1, 100);
    m_rate->setValue(2);
    m_rate->setSuffix(QStringLiteral(" calls/s"));
    auto* reset = new QPushButton(QStringLiteral("R&eset"), body);
    reset->setObjectName(QStringLiteral("simulationReset"));
    reset->setToolTip(QStringLiteral("Every diagram back to its initial state"));
    auto* stop = new QPushButton(QStringLiteral("Sto&p"), body);
    stop->setObjectName(QStringLiteral("simulationStop"));
    stop->setToolTip(QStringLiteral("Leave the simulation (Esc)"));
    buttons->addWidget(m_step);
    buttons->addWidget(m_run);
    buttons->addWidget(m_rate);
    buttons->addWidget(reset);
    buttons->addWidget(stop);
    layout->addLayout(buttons);

    auto* split = new QSplitter(Qt::Vertical, body);
    m_split = split;
    split->setChildrenCollapsible(false);

    auto* conditions = new QGroupBox(QStringLiteral("Conditions that hold"), split);
    auto* conditionsLayout = new QVBoxLayout(conditions);
    conditionsLayout->setContentsMargins(2, 2, 2, 2);
    auto* scroll = new QScrollArea(conditions);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* list = new QWidget(scroll);
    m_conditionLayout = new QVBoxLayout(list);
    m_conditionLayout->setContentsMargins(2, 2, 2, 2);
    m_conditionLayout->addStretch(1);
    scroll->setWidget(list);
    conditionsLayout->addWidget(scroll);

    auto* active = new QGroupBox(QStringLiteral("Active states"), body);
    auto* activeLayout = new QVBoxLayout(active);
    activeLayout->setContentsMargins(2, 2, 2, 2);
    m_active = new QListWidget(active);
    m_active->setObjectName(QStringLiteral("simulationActive"));
    m_active->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    activeLayout->addWidget(m_active);

    auto* trace = new QGroupBox(QStringLiteral("Trace"), split);
    auto* traceLayout = new QVBoxLayout(trace);
    traceLayout->setContentsMargins(2, 2, 2, 2);
    m_trace = new QPlainTextEdit(trace);
    m_trace->setObjectName(QStringLiteral("simulationTrace"));
    m_trace->setReadOnly(true);
    m_trace->setMaximumBlockCount(TRACE_LINES);
    m_trace->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    m_trace->setFont(fixed);
    traceLayout->addWidget(m_trace);

    split->addWidget(conditions);
    split->addWidget(trace);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    layout->addWidget(active);
    layout->addWidget(split, 1);

    m_status = new QLabel(body);
    m_status->setObjectName(QStringLiteral("simulationStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    setWidget(body);

    connect(m_step, &QPushButton::clicked, this, &SimulationPanel::stepRequested);
    connect(m_run, &QPushButton::toggled, this, &SimulationPanel::runToggled);
    connect(m_rate, &QSpinBox::valueChanged, this, &SimulationPanel::rateChanged);
    connect(reset, &QPushButton::clicked, this, &SimulationPanel::resetRequested);
    connect(stop, &QPushButton::clicked, this, &SimulationPanel::leaveRequested);
}

void SimulationPanel::setMachine(const QString& name, const std::vector<std::string>& conditions) {
    m_title->setText(QStringLiteral("Simulating ") + name);
    for (QCheckBox* box : m_conditions) {
        delete box;
    }
    m_conditions.clear();
    for (const std::string& text : conditions) {
        auto* box = new QCheckBox(caption(text), m_conditionLayout->parentWidget());
        box->setToolTip(QString::fromStdString(text).remove(QLatin1Char('\r')));
        box->setProperty("condition", QString::fromStdString(text));
        m_conditionLayout->insertWidget(m_conditionLayout->count() - 1, box);
        m_conditions.push_back(box);
    }
    if (conditions.empty()) {
        auto* none = new QCheckBox(QStringLiteral("(no conditions: every transition is blank)"),
                                   m_conditionLayout->parentWidget());
        none->setEnabled(false);
        m_conditionLayout->insertWidget(0, none);
        m_conditions.push_back(none);
    }
    clearTrace();
    setRunning(false);
    setStatus({}, false);
    // The conditions get the room they need, up to half of the panel.
    int wanted = 24;
    for (const QCheckBox* box : m_conditions) {
        wanted += box->sizeHint().height() + m_conditionLayout->spacing();
    }
    const int total = std::max(200, m_split->height());
    const int top = std::min(wanted + 20, total / 2);
    m_split->setSizes({top, total - top});
}

std::vector<bool> SimulationPanel::holds() const {
    std::vector<bool> out;
    for (const QCheckBox* box : m_conditions) {
        out.push_back(box->isEnabled() && box->isChecked());
    }
    return out;
}

QCheckBox* SimulationPanel::conditionBox(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < m_conditions.size()
               ? m_conditions[static_cast<std::size_t>(index)]
               : nullptr;
}

void SimulationPanel::setRunning(bool running) {
    const QSignalBlocker quiet(m_run);
    m_run->setChecked(running);
    m_run->setText(running ? QStringLiteral("&Pause") : QStringLiteral("&Run"));
}

bool SimulationPanel::runningShown() const {
    return m_run->isChecked();
}

int SimulationPanel::rate() const {
    return m_rate->value();
}

void SimulationPanel::setStepEnabled(bool enabled) {
    m_step->setEnabled(enabled);
    m_run->setEnabled(enabled);
}

void SimulationPanel::appendTrace(const QString& text) {
    m_trace->appendPlainText(text);
}

void SimulationPanel::clearTrace() {
    m_trace->clear();
}

QString SimulationPanel::traceText() const {
    return m_trace->toPlainText();
}

void SimulationPanel::setActive(const QStringList& lines) {
    m_active->clear();
    m_active->addItems(lines);
    // As tall as its lines, up to eight of them.
    const int rows = std::clamp(static_cast<int>(lines.size()), 1, 8);
    m_active->setFixedHeight(rows * m_active->sizeHintForRow(0) + 2 * m_active->frameWidth() + 4);
}

QStringList SimulationPanel::activeLines() const {
    QStringList out;
    for (int i = 0; i < m_active->count(); ++i) {
        out << m_active->item(i)->text();
    }
    return out;
}

void SimulationPanel::setStatus(const QString& text, bool error) {
    m_status->setText(text);
    m_status->setStyleSheet(error ? QStringLiteral("color: #b00020;") : QString());
}

QString SimulationPanel::statusText() const {
    return m_status->text();
}

}  // namespace tarvel
