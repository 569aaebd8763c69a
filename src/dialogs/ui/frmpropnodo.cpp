#include "dialogs/ui/frmpropnodo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/ui/dialogparts.h"
#include "dialogs/ui/focuswatcher.h"
#include "dialogs/ui/qtconvert.h"
#include "editor/ui/codeeditor.h"
#include "model/text.h"

namespace tarvel {

namespace {

constexpr int DEFAULT_HEIGHT = 7545;
constexpr int DEFAULT_WIDTH = 8505;
constexpr int TAB_DURING = 1;

}  // namespace

const QString frmPropNodo::SETTINGS_SECTION = QStringLiteral("PropNode");

frmPropNodo::frmPropNodo(Document& doc, Node& state, DialogPrompter& prompter, QWidget* parent)
    : PropertyDialog(tr("Node properties"), {SETTINGS_SECTION, DEFAULT_HEIGHT, DEFAULT_WIDTH},
                     tr("Ok"), parent) {
    build(doc);

    m_props = std::make_unique<StateProperties>(doc, state, prompter);
    m_chkGenFunctionIsIn->setText(toQString(m_props->isInCaption()));
    m_chkGenFunctionGoto->setText(toQString(m_props->gotoCaption()));
    const StateValues& v = m_props->values();
    m_txtIndice->setText(toQString(v.index));
    m_txtNombre->setText(toQString(v.name));
    m_txtAccionInput->setRecordText(v.entry);
    m_txtAccionMoore->setRecordText(v.moore);
    m_txtAccionElse->setRecordText(v.elseActions);
    m_txtAccionOutput->setRecordText(v.exit);
    push();
    applyLock();
    showChildren();
}

frmPropNodo::~frmPropNodo() = default;

void frmPropNodo::build(Document& doc) {
    m_watcher = new FocusWatcher(this);
    const QFont courier = DialogParts::courier();

    m_txtIndice = new QLineEdit(this);
    m_txtIndice->setObjectName(QStringLiteral("txtIndice"));
    m_txtIndice->setFont(courier);
    m_txtIndice->setToolTip(tr("Index of the state in the C-code"));
    m_txtIndice->setMaximumWidth(DialogParts::widthForChars(*m_txtIndice, 6));
    m_txtNombre = new QLineEdit(this);
    m_txtNombre->setObjectName(QStringLiteral("txtNombre"));
    m_txtNombre->setFont(courier);
    m_txtNombre->setToolTip(tr("Name of the state"));
    auto* lblIndice = new QLabel(tr("Index:"), this);
    lblIndice->setBuddy(m_txtIndice);
    lblIndice->setToolTip(m_txtIndice->toolTip());
    auto* lblNombre = new QLabel(tr("State name:"), this);
    lblNombre->setBuddy(m_txtNombre);
    lblNombre->setToolTip(m_txtNombre->toolTip());
    auto* top = new QHBoxLayout;
    top->addWidget(lblIndice);
    top->addWidget(m_txtIndice);
    top->addSpacing(12);
    top->addWidget(lblNombre);
    top->addWidget(m_txtNombre, 1);

    auto makeEditor = [this, &doc](const char* name) {
        return DialogParts::codeEditor(this, doc, name,
                                       [this](CodeEditor* e) { editor_LostFocus(e); });
    };
    m_txtAccionInput = makeEditor("txtAccionInput");
    m_txtAccionMoore = makeEditor("txtAccionMoore");
    m_txtAccionElse = makeEditor("txtAccionElse");
    m_txtAccionOutput = makeEditor("txtAccionOutput");

    m_SSTab1->addTab(DialogParts::editorPage(tr("Actions to be done one time when entry:"),
                                             tr("Actions to be done only when entry to this state"),
                                             m_txtAccionInput),
                     tr("Entry"));
    m_SSTab1->addTab(
        DialogParts::editorPage(tr("Actions (Moore style):"),
                                tr("Actions to be done every time that this state is analyzed"),
                                m_txtAccionMoore),
        tr("During"));
    m_SSTab1->addTab(
        DialogParts::editorPage(tr("Actions to be done if no transition:"),
                                tr("Actions to be done if all transition conditions are false"),
                                m_txtAccionElse),
        tr("Else"));
    m_SSTab1->addTab(DialogParts::editorPage(tr("Actions to be done one time when exit:"),
                                             tr("Actions to be done only when leaves this state"),
                                             m_txtAccionOutput),
                     tr("Exit"));
    auto* options = new QWidget;
    m_chkGenFunctionIsIn = new QCheckBox(options);
    m_chkGenFunctionIsIn->setObjectName(QStringLiteral("chkGenFunctionIsIn"));
    m_chkGenFunctionIsIn->setToolTip(
        tr("Exported function that confirm if this is the selected state"));
    m_chkGenFunctionGoto = new QCheckBox(options);
    m_chkGenFunctionGoto->setObjectName(QStringLiteral("chkGenFunctionGoto"));
    m_chkGenFunctionGoto->setToolTip(tr("Exported function that change the pointed state"));
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(m_chkGenFunctionIsIn);
    optionsLayout->addWidget(m_chkGenFunctionGoto);
    optionsLayout->addStretch();
    m_SSTab1->addTab(options, tr("Options"));

    auto* fraModo = new QGroupBox(tr("Node mode"), this);
    m_optNodoNormal = new QRadioButton(tr("Standard"), fraModo);
    m_optNodoInicial = new QRadioButton(tr("Initial"), fraModo);
    m_optNodoFinal = new QRadioButton(tr("Final"), fraModo);
    m_optNodoNormal->setObjectName(QStringLiteral("optNodoNormal"));
    m_optNodoInicial->setObjectName(QStringLiteral("optNodoInicial"));
    m_optNodoFinal->setObjectName(QStringLiteral("optNodoFinal"));
    auto* modeLayout = new QHBoxLayout(fraModo);
    modeLayout->addWidget(m_optNodoNormal);
    modeLayout->addWidget(m_optNodoInicial);
    modeLayout->addWidget(m_optNodoFinal);

    const DialogParts::ChildLinks links = DialogParts::childLinks(this);
    m_fraEnlaces = links.frame;
    m_cmbEnlaces = links.list;
    m_cmdEnlace = links.open;

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fraModo);
    bottom->addWidget(m_fraEnlaces, 1);
    arrange(top, bottom, TAB_DURING);

    setTabOrder(m_txtIndice, m_txtNombre);
    setTabOrder(m_txtNombre, m_SSTab1);
    setTabOrder(m_SSTab1, m_optNodoNormal);
    setTabOrder(m_optNodoNormal, m_cmbEnlaces);
    setTabOrder(m_cmbEnlaces, m_cmdEnlace);
    setTabOrder(m_cmdEnlace, m_cmdValidar);
    setTabOrder(m_cmdValidar, m_cmdCancelar);

    m_watcher->watch(m_txtIndice);
    m_watcher->watch(m_txtNombre);
    connect(m_watcher, &FocusWatcher::lostFocus, this, [this](QWidget* box) {
        QMetaObject::invokeMethod(
            this,
            [this, box] {
                if (box == m_txtIndice) {
                    txtIndice_LostFocus();
                } else {
                    txtNombre_LostFocus();
                }
            },
            Qt::QueuedConnection);
    });
    connect(m_watcher, &FocusWatcher::enterPressed, this, [this](QWidget* box) {
        if (box == m_txtIndice) {
            m_txtNombre->setFocus(Qt::TabFocusReason);
        } else {
            m_SSTab1->setCurrentIndex(TAB_DURING);
            m_txtAccionMoore->setFocus(Qt::TabFocusReason);
        }
    });
    connect(m_cmdValidar, &QPushButton::clicked, this, &frmPropNodo::cmdValidar_Click);
    connect(m_cmdEnlace, &QPushButton::clicked, this, &frmPropNodo::cmdEnlace_Click);
}

void frmPropNodo::applyLock() {
    const bool locked = m_props->locked();
    m_cmdValidar->setEnabled(!locked);
    setLockedLook(m_txtIndice, locked);
    setLockedLook(m_txtNombre, locked);
    for (CodeEditor* e : {m_txtAccionInput, m_txtAccionMoore, m_txtAccionElse, m_txtAccionOutput}) {
        e->setLocked(locked);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_optNodoNormal, m_optNodoInicial, m_optNodoFinal,
                                         m_chkGenFunctionIsIn, m_chkGenFunctionGoto}) {
        w->setEnabled(!locked);
    }
}

void frmPropNodo::pull() {
    StateValues& v = m_props->values();
    v.index = toStd(m_txtIndice->text());
    v.name = toStd(m_txtNombre->text());
    v.entry = m_txtAccionInput->recordText();
    v.moore = m_txtAccionMoore->recordText();
    v.elseActions = m_txtAccionElse->recordText();
    v.exit = m_txtAccionOutput->recordText();
    v.mode = m_optNodoInicial->isChecked() ? StateMode::Initial
             : m_optNodoFinal->isChecked() ? StateMode::Final
                                           : StateMode::Standard;
    v.isIn = recordFlag(m_chkGenFunctionIsIn->isChecked());
    v.goTo = recordFlag(m_chkGenFunctionGoto->isChecked());
}

void frmPropNodo::push() {
    const StateValues& v = m_props->values();
    setTextIfDifferent(m_txtIndice, v.index);
    setTextIfDifferent(m_txtNombre, v.name);
    m_txtAccionInput->replaceRecordText(v.entry);
    m_txtAccionMoore->replaceRecordText(v.moore);
    m_txtAccionElse->replaceRecordText(v.elseActions);
    m_txtAccionOutput->replaceRecordText(v.exit);
    switch (v.mode) {
        case StateMode::Standard:
            m_optNodoNormal->setChecked(true);
            break;
        case StateMode::Initial:
            m_optNodoInicial->setChecked(true);
            break;
        case StateMode::Final:
            m_optNodoFinal->setChecked(true);
            break;
    }
    m_chkGenFunctionIsIn->setChecked(v.isIn == "Y");
    m_chkGenFunctionGoto->setChecked(v.goTo == "Y");
}

void frmPropNodo::showChildren() {
    const auto& children = m_props->children();
    const QString shown = m_cmbEnlaces->currentText();
    m_cmbEnlaces->clear();
    for (const std::string& c : children) {
        m_cmbEnlaces->addItem(toQString(c));
    }
    const int keep = m_cmbEnlaces->findText(shown);
    m_cmbEnlaces->setCurrentIndex(keep >= 0 ? keep : 0);
    m_cmbEnlaces->setVisible(!children.empty());
    m_cmdEnlace->setVisible(!children.empty());
    // An empty frame is no use either.
    m_fraEnlaces->setVisible(!children.empty());
}

void frmPropNodo::txtIndice_LostFocus() {
    if (closing() || m_props->locked()) {
        return;
    }
    pull();
    const auto result = m_props->indexEdited();
    push();
    if (result == StateProperties::IndexResult::Illegal) {
        m_txtIndice->setFocus(Qt::OtherFocusReason);
    }
}

void frmPropNodo::txtNombre_LostFocus() {
    if (closing() || m_props->locked()) {
        return;
    }
    pull();
    m_props->nameEdited();
    push();
}

void frmPropNodo::editor_LostFocus(CodeEditor* editor) {
    if (closing() || m_props->locked()) {
        return;
    }
    pull();
    StateValues& v = m_props->values();
    std::string& text = editor == m_txtAccionInput   ? v.entry
                        : editor == m_txtAccionMoore ? v.moore
                        : editor == m_txtAccionElse  ? v.elseActions
                                                     : v.exit;
    m_props->actionEdited(text);
    push();
    showChildren();
}

void frmPropNodo::takeBackFocused() {
    QWidget* focused = focusWidget();
    if (focused == m_txtNombre) {
        txtNombre_LostFocus();
    } else if (auto* editor = qobject_cast<CodeEditor*>(focused)) {
        editor_LostFocus(editor);
    }
}

void frmPropNodo::cmdValidar_Click() {
    takeBackFocused();
    pull();
    const bool close = m_props->accept();
    push();
    if (close) {
        accept();
    } else if (m_txtIndice->text().isEmpty()) {
        m_txtIndice->setFocus(Qt::OtherFocusReason);
    }
}

void frmPropNodo::cmdEnlace_Click() {
    takeBackFocused();
    pull();
    const bool close = m_props->openChild(toStd(m_cmbEnlaces->currentText()), m_pendingChildPath);
    push();
    if (close) {
        accept();
    } else {
        // The child is opened only when the dialog closed to open it.
        m_pendingChildPath.clear();
    }
}

}  // namespace tarvel
