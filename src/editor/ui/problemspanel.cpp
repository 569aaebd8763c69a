#include "editor/ui/problemspanel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QStyle>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "base/paths.h"
#include "check/checkids.h"
#include "check/checkreport.h"
#include "editor/ui/fieldfocus.h"
#include "editor/ui/frmdoc.h"
#include "model/document.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

enum Column { SEVERITY, ELEMENT, MESSAGE, CHECK };

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString fileName(const std::string& path) {
    return qs(std::filesystem::path(path).filename().string());
}

// The compiler of the C check: "CheckCompiler" in the settings, else the default.
std::string compilerCommand() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    const QString command = settings.value(QStringLiteral("CheckCompiler")).toString();
    return command.isEmpty() ? std::string(DEFAULT_COMPILER) : command.toStdString();
}

// The property dialog field of a finding, by its object name; the function
// header shares its editor with the module header and needs its switch.
struct DialogField {
    QString name;
    QString pressFirst;
};

DialogField dialogField(Field field) {
    switch (field) {
        case Field::None:
        case Field::Text:
            return {};
        case Field::StateName:
            return {QStringLiteral("txtNombre"), {}};
        case Field::Entry:
            return {QStringLiteral("txtAccionInput"), {}};
        case Field::During:
            return {QStringLiteral("txtAccionMoore"), {}};
        case Field::Else:
            return {QStringLiteral("txtAccionElse"), {}};
        case Field::Exit:
            return {QStringLiteral("txtAccionOutput"), {}};
        case Field::Priority:
            return {QStringLiteral("txtPrioridad"), {}};
        case Field::Condition:
            return {QStringLiteral("txtCondicion"), {}};
        case Field::Action:
            return {QStringLiteral("txtAccion"), {}};
        case Field::FsmName:
            return {QStringLiteral("txtNombreFSM"), {}};
        case Field::Parameters:
            return {QStringLiteral("txtParametrosFSM"), {}};
        case Field::ReturnType:
            return {QStringLiteral("txtReturnTypeFSM"), {}};
        case Field::Initialization:
            return {QStringLiteral("txtInicializacion"), {}};
        case Field::Before:
            return {QStringLiteral("txtBeforeAction"), {}};
        case Field::DefaultCase:
            return {QStringLiteral("txtDefault"), {}};
        case Field::After:
            return {QStringLiteral("txtAfterAction"), {}};
        case Field::EndingCode:
            return {QStringLiteral("txtFinalAction"), {}};
        case Field::ModuleHeader:
            return {QStringLiteral("txtHeader"), {}};
        case Field::FunctionHeader:
            return {QStringLiteral("txtHeader"), QStringLiteral("cmdSelectComments")};
        case Field::MaxLoops:
            return {QStringLiteral("txtMaxLoops"), {}};
    }
    return {};
}

// Whether the node is still the element the finding names.
bool matches(const Node& node, const ElementRef& e) {
    switch (e.kind) {
        case ElementKind::Fsm:
            return false;
        case ElementKind::State:
            return isState(node) && readStateField(SF_NAME, node) == e.state;
        case ElementKind::Transition: {
            if (!isTransition(node) || readTransitionField(TF_PRIORITY, node) != e.priority) {
                return false;
            }
            const Node* source = sourceState(node);
            const Node* target = targetState(node);
            return source && target && readStateField(SF_NAME, *source) == e.state &&
                   readStateField(SF_NAME, *target) == e.target;
        }
        case ElementKind::Comment:
            return node.hasKind(NK_COMMENT);
    }
    return false;
}

// The node of the element: where it was when checked, or (after edits) the
// first node that still matches it.
Node* locate(Document& doc, const ElementRef& e) {
    const auto& nodes = doc.diagram().NodeList();
    if (e.node < nodes.size() && matches(*nodes[e.node], e)) {
        return nodes[e.node].get();
    }
    for (const auto& n : nodes) {
        if (matches(*n, e) && e.kind != ElementKind::Comment) {
            return n.get();
        }
    }
    return nullptr;
}

}  // namespace

ProblemsPanel::ProblemsPanel(Workspace& workspace, Frame frame, QWidget* parent)
    : QDockWidget(tr("Problems"), parent), m_workspace(workspace), m_frame(std::move(frame)) {
    setObjectName(QStringLiteral("Problems"));
    auto* body = new QWidget(this);
    m_summary = new QLabel(tr("Check (F7) lists the problems of the active diagram here."), body);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_list = new QTreeWidget(body);
    m_list->setObjectName(QStringLiteral("lstProblems"));
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({tr("Severity"), tr("Element"), tr("Message"), tr("Check")});
    m_list->header()->setSectionResizeMode(SEVERITY, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(ELEMENT, QHeaderView::Interactive);
    m_list->header()->setSectionResizeMode(MESSAGE, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(CHECK, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(ELEMENT, 320);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    setWidget(body);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openFinding(m_list->indexOfTopLevelItem(item)); });
}

ProblemsPanel::~ProblemsPanel() {
    if (m_cancel) {
        m_cancel->store(true);
    }
    for (QThread* t : m_threads) {
        t->wait();
        delete t;
    }
}

ProblemsPanel* ProblemsPanel::of(const QWidget* widget) {
    const QWidget* top = widget != nullptr ? widget->window() : nullptr;
    return top != nullptr ? top->findChild<ProblemsPanel*>() : nullptr;
}

void ProblemsPanel::check(Document& root, bool showPanel) {
    const int run = ++m_run;
    // The hierarchy as the user sees it: open documents with their unsaved
    // changes, the others read from disk without opening a window.
    CheckDocuments documents(
        [this](const std::string& path) { return m_workspace.findOpen(MakeFullPath(path)); });
    GenerationContext context = documents.context();
    CheckOptions options;
    options.compiler = compilerCommand();
    std::optional<CCheckJob> job;
    m_report = checkModel(root, context, options, job);
    if (showPanel) {
        show();
        raise();
    }
    if (!job) {
        showReport();
        return;
    }
    m_summary->setText(tr("Checking %1: compiling...").arg(fileName(m_report.rootFile)));
    m_frame.setStatusText(m_summary->text());
    ++m_running;
    if (m_cancel) {
        m_cancel->store(true);
    }
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    QThread* thread = QThread::create([this, run, cancel = m_cancel, job = std::move(*job)] {
        std::vector<Finding> found = runCCheck(job, cancel.get());
        QMetaObject::invokeMethod(
            this,
            [this, run, found = std::move(found)]() mutable { compiled(run, std::move(found)); },
            Qt::QueuedConnection);
    });
    m_threads.push_back(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        std::erase(m_threads, thread);
        thread->deleteLater();
    });
    thread->start();
}

void ProblemsPanel::compiled(int run, std::vector<Finding> findings) {
    --m_running;
    if (run != m_run) {
        return;  // a newer check has started since
    }
    m_report.findings.insert(m_report.findings.end(), std::make_move_iterator(findings.begin()),
                             std::make_move_iterator(findings.end()));
    showReport();
}

QString ProblemsPanel::summary() const {
    const int errors = m_report.errorCount();
    const int warnings = m_report.warningCount();
    const QString name = fileName(m_report.rootFile);
    if (errors == 0 && warnings == 0) {
        return tr("Check of %1: no problems").arg(name);
    }
    return tr("Check of %1: %2 error(s), %3 warning(s)").arg(name).arg(errors).arg(warnings);
}

void ProblemsPanel::showReport() {
    m_list->clear();
    const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const Finding& f : m_report.findings) {
        auto* item = new QTreeWidgetItem(m_list);
        const bool isError = f.severity == Severity::Error;
        item->setIcon(SEVERITY, isError ? error : warning);
        item->setText(SEVERITY, isError ? tr("error") : tr("warning"));
        QString element = qs(f.location());
        if (f.file != m_report.rootFile) {
            element = fileName(f.file) + QStringLiteral(": ") + element;
        }
        item->setText(ELEMENT, element);
        item->setText(MESSAGE, qs(f.message));
        item->setText(CHECK, qs(f.check));
        const CheckInfo* info = findCheck(f.check);
        item->setToolTip(CHECK, info ? qs(info->help) : QString());
        item->setToolTip(ELEMENT, qs(f.file));
        item->setToolTip(MESSAGE, qs(f.message));
    }
    m_summary->setText(summary());
    const bool listed = isVisible() || m_report.findings.empty();
    m_frame.setStatusText(listed ? summary() : summary() + tr(" (F7 lists them)"));
    emit checked();
}

void ProblemsPanel::openFinding(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_report.findings.size()) {
        return;
    }
    const Finding f = m_report.findings[static_cast<std::size_t>(row)];
    frmDoc* window = m_frame.showDocument ? m_frame.showDocument(f.file) : nullptr;
    if (window == nullptr || window->document() == nullptr) {
        return;
    }
    Node* node = nullptr;
    if (f.element.kind != ElementKind::Fsm) {
        node = locate(*window->document(), f.element);
        if (node == nullptr) {
            m_frame.setStatusText(
                tr("%1 is no longer in the diagram; check again (F7)").arg(qs(f.element.label())));
            return;
        }
    }
    const DialogField field = dialogField(f.field);
    FieldFocus focus(field.name, f.line, field.pressFirst);
    window->showElement(node);
}

void checkDocumentWindow(frmDoc& window, bool showPanel) {
    ProblemsPanel* panel = ProblemsPanel::of(&window);
    if (panel != nullptr && window.document() != nullptr) {
        panel->check(*window.document(), showPanel);
    }
}

}  // namespace tarvel
