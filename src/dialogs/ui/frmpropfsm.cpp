#include "dialogs/ui/frmpropfsm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "check/targettypes.h"
#include "dialogs/ui/dialogparts.h"
#include "dialogs/ui/qtconvert.h"
#include "editor/ui/codeeditor.h"

namespace tarvel {

namespace {

constexpr int DEFAULT_HEIGHT = 7575;
constexpr int DEFAULT_WIDTH = 8505;
constexpr int TAB_INITIALIZATION = 1;

frmPropFSM::ColourChooser& colourChooser() {
    static frmPropFSM::ColourChooser chooser = [](QWidget* parent, const QColor& preset) {
        return QColorDialog::getColor(preset, parent, QString(), QColorDialog::DontUseNativeDialog);
    };
    return chooser;
}

QIcon swatch(const QColor& c) {
    QPixmap p(14, 14);
    p.fill(c);
    QPainter painter(&p);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(p);
}

}  // namespace

const QString frmPropFSM::SETTINGS_SECTION = QStringLiteral("PropFSM");

const std::array<frmPropFSM::OptionBox, 8> frmPropFSM::OPTION_BOXES = {{
    {&frmPropFSM::m_chkGenFuncInit, "chkGenFuncInit", nullptr, &GenerationOptions::FunctionInit},
    {&frmPropFSM::m_chkGenFuncEnd, "chkGenFuncEnd", nullptr, &GenerationOptions::FunctionEnd},
    {&frmPropFSM::m_chkGenDebugInfo, "chkGenDebugInfo",
     QT_TR_NOOP("Generate debug Info: \"FSM_NAME(), FSM_STATE_NAME()  and  FSM_TRANS_NUMBER()\""),
     &GenerationOptions::DebugInfo},
    {&frmPropFSM::m_chkAnsiComment, "chkAnsiComment",
     QT_TR_NOOP("Generate comments in ANSI-C style (/* */)"), &GenerationOptions::AnsiComment},
    {&frmPropFSM::m_chkTextBoxesInCode, "chkTextBoxesInCode",
     QT_TR_NOOP("Print text boxes into the code"), &GenerationOptions::PrintTextBoxes},
    {&frmPropFSM::m_chkHistoryFsm, "chkHistoryFsm", QT_TR_NOOP("History FSM"),
     &GenerationOptions::HistoryFsm},
    {&frmPropFSM::m_chkUseBitFields, "chkUseBitFields",
     QT_TR_NOOP("Use bitfields to save RAM (to codify entry flags)"),
     &GenerationOptions::UseBitFields},
    {&frmPropFSM::m_chkUseMacros, "chkUseMacros",
     QT_TR_NOOP("Generate the functions: '_Init()', '_End()', '_IsIn_()' "
                "&& '_Goto_()'  as private macros "),
     &GenerationOptions::UseMacros},
}};

void frmPropFSM::setColourChooser(ColourChooser chooser) {
    colourChooser() = std::move(chooser);
}

frmPropFSM::frmPropFSM(Document& doc, DialogPrompter& prompter, QWidget* parent)
    : PropertyDialog(tr("FSM properties"), {SETTINGS_SECTION, DEFAULT_HEIGHT, DEFAULT_WIDTH},
                     tr("Ok"), parent),
      m_doc(doc) {
    build(doc);

    m_props = std::make_unique<FsmProperties>(doc, prompter);
    applyLock();
    const FsmValues& v = m_props->values();
    m_txtNombreFSM->setText(toQString(v.name));
    m_txtParametrosFSM->setText(toQString(v.parameters));
    m_txtReturnTypeFSM->setText(toQString(v.returnType));
    m_txtMaxLoops->setText(toQString(v.maxLoops));
    m_txtInicializacion->setRecordText(v.initialisation);
    m_txtBeforeAction->setRecordText(v.before);
    m_txtDefault->setRecordText(v.defaultActions);
    m_txtAfterAction->setRecordText(v.after);
    m_txtFinalAction->setRecordText(v.finalCode);
    m_txtHeader->setRecordText(m_props->shownHeader());
    m_lblVersion->setText(toQString(m_props->signatureLabel()));
    m_chkGenFuncInit->setText(toQString(m_props->funcInitCaption()));
    m_chkGenFuncEnd->setText(toQString(m_props->funcEndCaption()));
    push();
    showStandardTypes();
    connect(m_txtInicializacion, &QsciScintilla::textChanged, this, &frmPropFSM::showStandardTypes);
    connect(m_cmdStandardTypes, &QPushButton::clicked, this, &frmPropFSM::cmdStandardTypes_Click);

    for (const std::string& c : m_props->children()) {
        m_cmbEnlaces->addItem(toQString(c));
    }
    m_cmbEnlaces->setCurrentIndex(0);
    const bool children = !m_props->children().empty();
    m_cmbEnlaces->setVisible(children);
    m_cmdEnlace->setVisible(children);
    m_fraEnlaces->setVisible(children);
}

frmPropFSM::~frmPropFSM() = default;

void frmPropFSM::build(Document& doc) {
    const QFont courier = DialogParts::courier();
    auto lineEdit = [this, &courier](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setFont(courier);
        return box;
    };
    m_txtNombreFSM = lineEdit("txtNombreFSM");
    m_txtParametrosFSM = lineEdit("txtParametrosFSM");
    m_txtReturnTypeFSM = lineEdit("txtReturnTypeFSM");
    m_txtReturnTypeFSM->setToolTip(tr("By default void"));
    m_lblVersion = new QLabel(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setToolTip(tr("Format version of the FSM file"));
    m_lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto label = [this](const QString& text, const QString& tip, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        l->setToolTip(tip);
        if (!tip.isEmpty()) {
            buddy->setToolTip(tip);
        }
        return l;
    };
    auto* top = new QGridLayout;
    top->addWidget(label(tr("Name:"), tr("Name of the FSM visible function"), m_txtNombreFSM), 0,
                   0);
    top->addWidget(m_txtNombreFSM, 0, 1);
    top->addWidget(m_lblVersion, 0, 2);
    top->addWidget(
        label(tr("Parameters:"), tr("Parameters of the FSM visible function"), m_txtParametrosFSM),
        1, 0);
    top->addWidget(m_txtParametrosFSM, 1, 1, 1, 2);
    top->addWidget(label(tr("Return type:"), QString(), m_txtReturnTypeFSM), 2, 0);
    top->addWidget(m_txtReturnTypeFSM, 2, 1, 1, 2);
    top->setColumnStretch(1, 1);

    auto makeEditor = [this, &doc](const char* name) {
        return DialogParts::codeEditor(this, doc, name,
                                       [this](CodeEditor* e) { editor_LostFocus(e); });
    };
    m_txtHeader = makeEditor("txtHeader");
    m_txtInicializacion = makeEditor("txtInicializacion");
    m_txtBeforeAction = makeEditor("txtBeforeAction");
    m_txtDefault = makeEditor("txtDefault");
    m_txtAfterAction = makeEditor("txtAfterAction");
    m_txtFinalAction = makeEditor("txtFinalAction");

    auto* headers = new QWidget;
    m_cmdSelectComments = new QPushButton(headers);
    m_cmdSelectComments->setObjectName(QStringLiteral("cmdSelectComments"));
    m_cmdSelectComments->setToolTip(tr("Comments of the file or function"));
    auto* headersLayout = new QVBoxLayout(headers);
    headersLayout->setContentsMargins(6, 6, 6, 6);
    auto* switchRow = new QHBoxLayout;
    switchRow->addWidget(m_cmdSelectComments);
    switchRow->addStretch();
    headersLayout->addLayout(switchRow);
    headersLayout->addWidget(m_txtHeader, 1);
    m_SSTab1->addTab(headers, tr("Headers"));
    QWidget* initialization = DialogParts::editorPage(
        tr("Module initializations (definition and external declarations to the function):"),
        QString(), m_txtInicializacion);
    // Offered while the initialisation lacks the target's types that the
    // generated code uses.
    m_cmdStandardTypes = new QPushButton(tr("Insert standard types"), initialization);
    m_cmdStandardTypes->setObjectName(QStringLiteral("cmdStandardTypes"));
    m_cmdStandardTypes->setToolTip(
        tr("Define T_u8, T_u16, T_bit, T_char, TRUE and FALSE, which the generated code uses"));
    initialization->layout()->addWidget(m_cmdStandardTypes);
    initialization->layout()->setAlignment(m_cmdStandardTypes, Qt::AlignLeft);
    m_SSTab1->addTab(initialization, tr("Initialization"));
    m_SSTab1->addTab(
        DialogParts::editorPage(tr("Actions to be executed before to process a state."), QString(),
                                m_txtBeforeAction),
        tr("PreProcess"));
    m_SSTab1->addTab(DialogParts::editorPage(
                         tr("Executed in the case that the dispatcher points to a invalid state. "
                            "(included to be MISRA compliance)."),
                         QString(), m_txtDefault),
                     tr("DefaultCase"));
    m_SSTab1->addTab(DialogParts::editorPage(tr("Actions to be executed after process a state."),
                                             QString(), m_txtAfterAction),
                     tr("PostProcess"));
    m_SSTab1->addTab(
        DialogParts::editorPage(
            tr("Code area located in the bottom of the module (outside of the FSM-Function)"),
            QString(), m_txtFinalAction),
        tr("ExtraCode"));

    auto* options = new QWidget;
    m_txtMaxLoops = new QLineEdit(options);
    m_txtMaxLoops->setObjectName(QStringLiteral("txtMaxLoops"));
    m_txtMaxLoops->setFont(courier);
    m_txtMaxLoops->setMaximumWidth(DialogParts::widthForChars(*m_txtMaxLoops, 5));
    auto* loops = new QHBoxLayout;
    auto* lblLoops =
        new QLabel(tr("Loops allowed if the code use loops [0..255] (0-->infinite)"), options);
    lblLoops->setBuddy(m_txtMaxLoops);
    loops->addWidget(lblLoops);
    loops->addWidget(m_txtMaxLoops);
    loops->addStretch();

    auto* generation =
        new QGroupBox(tr("Optimization parameters for hierarchical generation:"), options);
    auto* generationLayout = new QVBoxLayout(generation);
    for (const OptionBox& o : OPTION_BOXES) {
        auto* c = new QCheckBox(o.caption ? tr(o.caption) : QString(), generation);
        c->setObjectName(QString::fromLatin1(o.name));
        generationLayout->addWidget(c);
        this->*o.box = c;
    }

    m_cmdFillColor = new QPushButton(tr("State Fill Color"), options);
    m_cmdForeColor = new QPushButton(tr("State Fore Color"), options);
    m_cmdResetColor = new QPushButton(tr("Reset Colors"), options);
    m_cmdFillColor->setObjectName(QStringLiteral("cmdFillColor"));
    m_cmdForeColor->setObjectName(QStringLiteral("cmdForeColor"));
    m_cmdResetColor->setObjectName(QStringLiteral("cmdResetColor"));
    auto* colours = new QHBoxLayout;
    colours->addWidget(m_cmdFillColor);
    colours->addWidget(m_cmdForeColor);
    colours->addWidget(m_cmdResetColor);
    colours->addStretch();

    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addLayout(loops);
    optionsLayout->addWidget(generation);
    optionsLayout->addLayout(colours);
    optionsLayout->addStretch();
    m_SSTab1->addTab(options, tr("Options"));

    const DialogParts::ChildLinks links = DialogParts::childLinks(this);
    m_fraEnlaces = links.frame;
    m_cmbEnlaces = links.list;
    m_cmdEnlace = links.open;

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_fraEnlaces, 1);
    arrange(top, bottom, TAB_INITIALIZATION);

    setTabOrder(m_txtParametrosFSM, m_txtReturnTypeFSM);
    setTabOrder(m_txtReturnTypeFSM, m_SSTab1);
    setTabOrder(m_SSTab1, m_cmbEnlaces);
    setTabOrder(m_cmbEnlaces, m_cmdEnlace);
    setTabOrder(m_cmdEnlace, m_cmdValidar);
    setTabOrder(m_cmdValidar, m_cmdCancelar);
    m_txtNombreFSM->setFocusPolicy(Qt::ClickFocus);

    connect(m_txtMaxLoops, &QLineEdit::textEdited, this, &frmPropFSM::txtMaxLoops_Change);
    connect(m_cmdSelectComments, &QPushButton::clicked, this, &frmPropFSM::cmdSelectComments_Click);
    connect(m_cmdFillColor, &QPushButton::clicked, this, &frmPropFSM::cmdFillColor_Click);
    connect(m_cmdForeColor, &QPushButton::clicked, this, &frmPropFSM::cmdForeColor_Click);
    connect(m_cmdResetColor, &QPushButton::clicked, this, &frmPropFSM::cmdResetColor_Click);
    connect(m_cmdEnlace, &QPushButton::clicked, this, &frmPropFSM::cmdEnlace_Click);
    connect(m_cmdValidar, &QPushButton::clicked, this, &frmPropFSM::cmdValidar_Click);
}

void frmPropFSM::applyLock() {
    const bool locked = m_props->locked();
    setLockedLook(m_txtNombreFSM, true);
    m_cmdValidar->setEnabled(!locked);
    for (QLineEdit* box : {m_txtParametrosFSM, m_txtReturnTypeFSM, m_txtMaxLoops}) {
        setLockedLook(box, locked);
    }
    for (CodeEditor* e : {m_txtHeader, m_txtInicializacion, m_txtBeforeAction, m_txtDefault,
                          m_txtAfterAction, m_txtFinalAction}) {
        e->setLocked(locked);
    }
    for (const OptionBox& o : OPTION_BOXES) {
        (this->*o.box)->setEnabled(!locked);
    }
    for (QPushButton* b : {m_cmdFillColor, m_cmdForeColor, m_cmdResetColor}) {
        b->setEnabled(!locked);
    }
}

void frmPropFSM::pull() {
    FsmValues& v = m_props->values();
    v.name = toStd(m_txtNombreFSM->text());
    v.parameters = toStd(m_txtParametrosFSM->text());
    v.returnType = toStd(m_txtReturnTypeFSM->text());
    v.maxLoops = toStd(m_txtMaxLoops->text());
    v.initialisation = m_txtInicializacion->recordText();
    v.before = m_txtBeforeAction->recordText();
    v.defaultActions = m_txtDefault->recordText();
    v.after = m_txtAfterAction->recordText();
    v.finalCode = m_txtFinalAction->recordText();
    m_props->shownHeader() = m_txtHeader->recordText();
    for (const OptionBox& o : OPTION_BOXES) {
        v.options.*o.option = (this->*o.box)->isChecked();
    }
}

void frmPropFSM::push() {
    const FsmValues& v = m_props->values();
    setTextIfDifferent(m_txtNombreFSM, v.name);
    setTextIfDifferent(m_txtParametrosFSM, v.parameters);
    setTextIfDifferent(m_txtReturnTypeFSM, v.returnType);
    setTextIfDifferent(m_txtMaxLoops, v.maxLoops);
    m_txtInicializacion->replaceRecordText(v.initialisation);
    m_txtBeforeAction->replaceRecordText(v.before);
    m_txtDefault->replaceRecordText(v.defaultActions);
    m_txtAfterAction->replaceRecordText(v.after);
    m_txtFinalAction->replaceRecordText(v.finalCode);
    m_txtHeader->replaceRecordText(m_props->shownHeader());
    m_cmdSelectComments->setText(toQString(m_props->headerCaption()));
    for (const OptionBox& o : OPTION_BOXES) {
        (this->*o.box)->setChecked(v.options.*o.option);
    }
    m_cmdFillColor->setIcon(swatch(toQColor(m_doc.diagram().FillColor())));
    m_cmdForeColor->setIcon(swatch(toQColor(m_doc.diagram().ForeColor())));
}

void frmPropFSM::editor_LostFocus(CodeEditor* editor) {
    if (closing() || m_props->locked()) {
        return;
    }
    pull();
    FsmValues& v = m_props->values();
    std::string& text = editor == m_txtHeader           ? m_props->shownHeader()
                        : editor == m_txtInicializacion ? v.initialisation
                        : editor == m_txtBeforeAction   ? v.before
                        : editor == m_txtDefault        ? v.defaultActions
                        : editor == m_txtAfterAction    ? v.after
                                                        : v.finalCode;
    text = FsmProperties::cleanCode(text);
    push();
}

void frmPropFSM::takeBackFocused() {
    if (auto* editor = qobject_cast<CodeEditor*>(focusWidget())) {
        editor_LostFocus(editor);
    }
}

void frmPropFSM::cmdSelectComments_Click() {
    if (!m_props->locked()) {
        editor_LostFocus(m_txtHeader);
    }
    pull();
    m_props->switchHeader();
    m_txtHeader->setRecordText(m_props->shownHeader());
    push();
}

void frmPropFSM::showStandardTypes() {
    m_cmdStandardTypes->setVisible(
        !m_props->locked() && !unmentionedTargetTypes(m_txtInicializacion->recordText()).empty());
}

void frmPropFSM::cmdStandardTypes_Click() {
    pull();
    std::string& initialisation = m_props->values().initialisation;
    initialisation = withStandardTypes(initialisation);
    push();
    m_txtInicializacion->setFocus();
}

void frmPropFSM::txtMaxLoops_Change() {
    m_props->values().maxLoops = toStd(m_txtMaxLoops->text());
    m_props->maxLoopsEdited();
    setTextIfDifferent(m_txtMaxLoops, m_props->values().maxLoops);
}

QColor frmPropFSM::chooseColour(const QColor& preset) {
    const QColor chosen = colourChooser()(this, preset);
    // The dialog shows next what it showed last, also after a cancel.
    m_lastColour = chosen.isValid() ? chosen : preset;
    return chosen;
}

void frmPropFSM::cmdFillColor_Click() {
    pull();
    const QColor c = chooseColour(toQColor(m_doc.diagram().FillColor()));
    if (c.isValid()) {
        m_props->setFillColour(toColor(c));
        push();
    }
}

void frmPropFSM::cmdForeColor_Click() {
    pull();
    const QColor preset =
        m_lastColour.isValid() ? m_lastColour : toQColor(m_doc.diagram().ForeColor());
    const QColor c = chooseColour(preset);
    if (c.isValid()) {
        m_props->setForeColour(toColor(c));
        push();
    }
}

void frmPropFSM::cmdResetColor_Click() {
    pull();
    m_props->resetColours();
    push();
}

void frmPropFSM::cmdValidar_Click() {
    takeBackFocused();
    pull();
    m_props->accept();
    accept();
}

void frmPropFSM::cmdEnlace_Click() {
    takeBackFocused();
    pull();
    if (m_props->openChild(toStd(m_cmbEnlaces->currentText()), m_pendingChildPath)) {
        accept();
    }
}

}  // namespace tarvel
