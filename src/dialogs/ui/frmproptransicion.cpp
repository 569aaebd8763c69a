#include "dialogs/ui/frmproptransicion.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/ui/dialogparts.h"
#include "dialogs/ui/focuswatcher.h"
#include "dialogs/ui/qtconvert.h"
#include "editor/ui/codeeditor.h"

namespace tarvel {

namespace {

constexpr int DEFAULT_HEIGHT = 6735;
constexpr int DEFAULT_WIDTH = 8505;

}  // namespace

const QString frmPropTransicion::SETTINGS_SECTION = QStringLiteral("PropTrans");

frmPropTransicion::frmPropTransicion(Document& doc, Node& transition, DialogPrompter& prompter,
                                     QWidget* parent)
    : PropertyDialog(tr("Transition properties"), {SETTINGS_SECTION, DEFAULT_HEIGHT, DEFAULT_WIDTH},
                     tr("OK"), parent) {
    build(doc);

    m_props = std::make_unique<TransitionProperties>(doc, transition, prompter);
    const TransitionValues& v = m_props->values();
    m_txtPrioridad->setText(toQString(v.priority));
    m_txtCondicion->setRecordText(v.condition);
    m_txtAccion->setRecordText(v.actions);
    push();

    const bool locked = m_props->locked();
    m_cmdValidar->setEnabled(!locked);
    setLockedLook(m_txtPrioridad, locked);
    m_txtCondicion->setLocked(locked);
    m_txtAccion->setLocked(locked);
    m_chkSelfTransition->setEnabled(!locked);
    m_chkMustBeLast->setEnabled(m_props->mustBeLastEnabled());
    m_chkContinueImmediately->setEnabled(!locked);
    m_chkSelfTransition->setVisible(m_props->selfTransitionVisible());
}

frmPropTransicion::~frmPropTransicion() = default;

void frmPropTransicion::build(Document& doc) {
    m_watcher = new FocusWatcher(this);
    m_txtPrioridad = new QLineEdit(this);
    m_txtPrioridad->setObjectName(QStringLiteral("txtPrioridad"));
    m_txtPrioridad->setFont(DialogParts::courier());
    m_txtPrioridad->setToolTip(tr("Priority in the analysis of the transition"));
    m_txtPrioridad->setMaximumWidth(DialogParts::widthForChars(*m_txtPrioridad, 6));
    auto* lblPrioridad = new QLabel(tr("Transition priority:"), this);
    lblPrioridad->setBuddy(m_txtPrioridad);
    lblPrioridad->setToolTip(m_txtPrioridad->toolTip());
    auto* top = new QHBoxLayout;
    top->addWidget(lblPrioridad);
    top->addWidget(m_txtPrioridad);
    top->addStretch();

    auto makeEditor = [this, &doc](const char* name) {
        return DialogParts::codeEditor(this, doc, name,
                                       [this](CodeEditor* e) { editor_LostFocus(e); });
    };
    m_txtCondicion = makeEditor("txtCondicion");
    m_txtAccion = makeEditor("txtAccion");
    m_SSTab1->addTab(
        DialogParts::editorPage(tr("Transition condition:"),
                                tr("Condition that permit the transition"), m_txtCondicion),
        tr("Condition"));
    m_SSTab1->addTab(
        DialogParts::editorPage(tr("Transition actions (Meally Style):"),
                                tr("Actions to be done when the condition is true"), m_txtAccion),
        tr("Action"));

    m_chkSelfTransition =
        new QCheckBox(tr("This SelfTransition can cause entry && exit actions"), this);
    m_chkMustBeLast = new QCheckBox(tr("This must be the last transition"), this);
    m_chkContinueImmediately = new QCheckBox(tr("Continue immediately"), this);
    m_chkSelfTransition->setObjectName(QStringLiteral("chkSelfTransition"));
    m_chkMustBeLast->setObjectName(QStringLiteral("chkMustBeLast"));
    m_chkContinueImmediately->setObjectName(QStringLiteral("chkContinueImmediately"));

    auto* checks = new QVBoxLayout;
    checks->addWidget(m_chkSelfTransition);
    checks->addWidget(m_chkMustBeLast);
    checks->addWidget(m_chkContinueImmediately);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(checks);
    bottom->addStretch();
    arrange(top, bottom, 0);

    setTabOrder(m_txtPrioridad, m_SSTab1);
    setTabOrder(m_SSTab1, m_chkSelfTransition);
    setTabOrder(m_chkSelfTransition, m_chkMustBeLast);
    setTabOrder(m_chkMustBeLast, m_chkContinueImmediately);
    setTabOrder(m_chkContinueImmediately, m_cmdValidar);
    setTabOrder(m_cmdValidar, m_cmdCancelar);

    m_watcher->watch(m_txtPrioridad);
    connect(m_watcher, &FocusWatcher::lostFocus, this, [this](QWidget*) {
        QMetaObject::invokeMethod(
            this, [this] { txtPrioridad_LostFocus(); }, Qt::QueuedConnection);
    });
    connect(m_watcher, &FocusWatcher::enterPressed, this, [this](QWidget*) {
        m_SSTab1->setCurrentIndex(0);
        m_txtCondicion->setFocus(Qt::TabFocusReason);
    });
    connect(m_chkMustBeLast, &QCheckBox::clicked, this, &frmPropTransicion::chkMustBeLast_Click);
    connect(m_cmdValidar, &QPushButton::clicked, this, &frmPropTransicion::cmdValidar_Click);
}

void frmPropTransicion::pull() {
    TransitionValues& v = m_props->values();
    v.priority = toStd(m_txtPrioridad->text());
    v.condition = m_txtCondicion->recordText();
    v.actions = m_txtAccion->recordText();
    v.selfTransition = m_chkSelfTransition->isChecked();
    v.mustBeLast = m_chkMustBeLast->isChecked();
    v.continueImmediately = m_chkContinueImmediately->isChecked();
}

void frmPropTransicion::push() {
    const TransitionValues& v = m_props->values();
    setTextIfDifferent(m_txtPrioridad, v.priority);
    m_txtCondicion->replaceRecordText(v.condition);
    m_txtAccion->replaceRecordText(v.actions);
    const QSignalBlocker block(m_chkMustBeLast);
    m_chkSelfTransition->setChecked(v.selfTransition);
    m_chkMustBeLast->setChecked(v.mustBeLast);
    m_chkContinueImmediately->setChecked(v.continueImmediately);
}

void frmPropTransicion::txtPrioridad_LostFocus() {
    if (closing() || m_props->locked()) {
        return;
    }
    pull();
    const auto result = m_props->priorityEdited();
    push();
    if (result == TransitionProperties::PriorityResult::Illegal) {
        m_txtPrioridad->setFocus(Qt::OtherFocusReason);
    }
}

void frmPropTransicion::editor_LostFocus(CodeEditor* editor) {
    if (closing() || m_props->locked()) {
        return;
    }
    pull();
    TransitionValues& v = m_props->values();
    if (editor == m_txtCondicion) {
        v.condition = TransitionProperties::cleanCondition(v.condition);
    } else {
        v.actions = TransitionProperties::cleanActions(v.actions);
    }
    push();
}

void frmPropTransicion::chkMustBeLast_Click() {
    pull();
    m_props->mustBeLastToggled(m_chkMustBeLast->isChecked());
    push();
}

void frmPropTransicion::takeBackFocused() {
    if (auto* editor = qobject_cast<CodeEditor*>(focusWidget())) {
        editor_LostFocus(editor);
    }
}

void frmPropTransicion::cmdValidar_Click() {
    takeBackFocused();
    pull();
    const bool close = m_props->accept();
    push();
    if (close) {
        accept();
    } else {
        m_txtPrioridad->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace tarvel
