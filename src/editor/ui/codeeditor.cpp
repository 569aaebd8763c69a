#include "editor/ui/codeeditor.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

#include "base/text.h"
#include "editor/ui/codeeditorlexer.h"
#include "editor/ui/frmrepositorio.h"
#include "editor/ui/optcmax.h"

namespace tarvel {

namespace {

QColor colourOf(int value, const QColor& fallback) {
    if (value < 0) {
        return fallback;
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

constexpr int LINE_NUMBER_MARGIN = 0;
constexpr int LEFT_MARGIN = 1;

}  // namespace

void setLockedLook(QWidget* box, bool locked) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setReadOnly(locked);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(box)) {
        text->setReadOnly(locked);
    }
    QPalette p = box->palette();
    const QColor paper = locked ? QColor::fromRgb(CodeEditor::LOCKED_PAPER) : QColor(Qt::white);
    p.setColor(QPalette::Active, QPalette::Base, paper);
    p.setColor(QPalette::Inactive, QPalette::Base, paper);
    box->setPalette(p);
}

CodeEditor::CodeEditor(QWidget* parent)
    : QsciScintilla(parent), m_lexer(new CodeEditorLexer(this)) {
    m_colours.fill(-1);
    setUtf8(true);
    setEolMode(EolWindows);
    setBraceMatching(SloppyBraceMatch);
    setScrollWidthTracking(true);
    setScrollWidth(1);
    setMarginType(LEFT_MARGIN, SymbolMarginColor);
    setLexer(m_lexer);
    clsLib_OptCMax::instance().GetConfig(*this);
}

CodeEditor::~CodeEditor() = default;

void CodeEditor::setRecordText(const std::string& text) {
    m_loadedBytes = text;
    m_loadedText = QString::fromStdString(text);
    setText(m_loadedText);
    setModified(false);
}

std::string CodeEditor::recordText() const {
    const QString current = text();
    if (current == m_loadedText) {
        return m_loadedBytes;
    }
    return toCrLf(current.toStdString());
}

void CodeEditor::replaceRecordText(const std::string& cleaned) {
    if (QString::fromStdString(cleaned) == text()) {
        return;
    }
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    setRecordText(cleaned);
    line = std::min(line, lines() - 1);
    setCursorPosition(line, std::min(index, static_cast<int>(text(line).size())));
}

void CodeEditor::setLocked(bool locked) {
    setReadOnly(locked);
    m_paper = locked ? QColor::fromRgb(LOCKED_PAPER) : QColor(Qt::white);
    applyLook();
}

void CodeEditor::setOptions(const EditorOptions& options) {
    m_options = options;
    applyLook();
}

void CodeEditor::setKeywordLists(const QString& keywords, const QString& scopeKeywords) {
    m_lexer->setKeywordLists(keywords, scopeKeywords);
    // The editor reads a lexer's keywords only when the lexer is attached.
    SendScintilla(SCI_SETKEYWORDS, 0UL, m_lexer->keywords(1));
    SendScintilla(SCI_SETKEYWORDS, 1UL, m_lexer->keywords(2));
    recolor();
}

void CodeEditor::applyLook() {
    const EditorOptions& o = m_options;
    QFont base(QString::fromStdString(o.fontName));
    base.setPointSize(o.fontSize > 0 ? o.fontSize : 10);
    base.setStyleHint(QFont::TypeWriter);

    using Role = CodeEditorLexer::Role;
    const struct {
        Role role;
        int fore;
        int back;
        int style;
    } roles[] = {
        {Role::Text, CS_TEXT, CS_TEXT_BK, SS_TEXT},
        {Role::Number, CS_NUMBER, CS_NUMBER_BK, SS_NUMBER},
        {Role::Keyword, CS_KEYWORD, CS_KEYWORD_BK, SS_KEYWORD},
        {Role::Operator, CS_OPERATOR, CS_OPERATOR_BK, SS_OPERATOR},
        {Role::Scope, CS_SCOPE, CS_SCOPE_BK, SS_SCOPE},
        {Role::Comment, CS_COMMENT, CS_COMMENT_BK, SS_COMMENT},
        {Role::String, CS_STRING, CS_STRING_BK, SS_STRING},
    };
    const QColor textColour = colourOf(colourSlot(CS_TEXT), Qt::black);
    m_lexer->setDefaultPaper(m_paper);
    m_lexer->setDefaultColor(textColour);
    m_lexer->setDefaultFont(base);
    for (const auto& r : roles) {
        // Without syntax colouring everything looks like plain text.
        const bool own = o.colorSyntax || r.role == Role::Text;
        m_lexer->applyRole(r.role, colourSlot(own ? r.fore : CS_TEXT),
                           colourSlot(own ? r.back : CS_TEXT_BK),
                           styleSlot(own ? r.style : SS_TEXT), base, m_paper);
    }
    setPaper(m_paper);
    setColor(textColour);

    QFont marginFont = base;
    marginFont.setBold((styleSlot(SS_LINE_NUMBER) & 1) != 0);
    marginFont.setItalic((styleSlot(SS_LINE_NUMBER) & 2) != 0);
    setMarginsFont(marginFont);
    setMarginsForegroundColor(colourOf(colourSlot(CS_LINE_NUMBER), QColor(0x10, 0x10, 0x10)));
    setMarginsBackgroundColor(colourOf(colourSlot(CS_LINE_NUMBER_BK), QColor(0xA0, 0xA0, 0xA0)));
    setMarginLineNumbers(LINE_NUMBER_MARGIN, o.lineNumbering);
    setMarginWidth(LINE_NUMBER_MARGIN, o.lineNumbering ? QStringLiteral("0000") : QString());
    if (!o.lineNumbering) {
        setMarginWidth(LINE_NUMBER_MARGIN, 0);
    }
    setMarginBackgroundColor(LEFT_MARGIN, colourOf(colourSlot(CS_LEFT_MARGIN), Qt::white));
    setMarginWidth(LEFT_MARGIN, o.displayLeftMargin ? 12 : 0);
    // A little room between the margins and the text.
    SendScintilla(SCI_SETMARGINLEFT, 0UL, 4L);

    setWhitespaceVisibility(o.displayWhiteSpace ? WsVisible : WsInvisible);
    setAutoIndent(o.autoIndentMode != 0);
    setTabWidth(o.tabSize > 0 ? o.tabSize : 4);
    setIndentationsUseTabs(!o.expandTabs);
    SendScintilla(SCI_SETHSCROLLBAR, static_cast<unsigned long>(o.hScrollVisible));
    SendScintilla(SCI_SETVSCROLLBAR, static_cast<unsigned long>(o.vScrollVisible));
    SendScintilla(SCI_SETMOUSESELECTIONRECTANGULARSWITCH,
                  static_cast<unsigned long>(o.enableColumnSel));
    viewport()->setAcceptDrops(o.enableDragDrop);
    SendScintilla(SCI_SETCARETSTYLE,
                  static_cast<unsigned long>(o.overtypeCaret && overwriteMode() ? CARETSTYLE_BLOCK
                                                                                : CARETSTYLE_LINE));
}

void CodeEditor::focusInEvent(QFocusEvent* e) {
    clsLib_OptCMax::instance().GetConfig(*this);
    QsciScintilla::focusInEvent(e);
}

void CodeEditor::focusOutEvent(QFocusEvent* e) {
    QsciScintilla::focusOutEvent(e);
    clsLib_OptCMax::instance().SetConfig(*this);
    // A menu or another window taking the focus for a while is no move to
    // another control of the dialog.
    if (m_repositoryOpen || e->reason() == Qt::PopupFocusReason ||
        e->reason() == Qt::ActiveWindowFocusReason) {
        return;
    }
    emit textTakenBack();
}

void CodeEditor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F2 && e->modifiers() == Qt::NoModifier) {
        e->accept();
        openRepository();
        return;
    }
    if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        e->accept();
        setOverwriteMode(!overwriteMode());
        applyLook();
        return;
    }
    QsciScintilla::keyPressEvent(e);
}

void CodeEditor::openRepository() {
    if (m_repositoryDoc == nullptr || isReadOnly()) {
        return;
    }
    m_repositoryOpen = true;
    frmRepositorio::Edita(this, nullptr, 2, *m_repositoryDoc);
    m_repositoryOpen = false;
}

void CodeEditor::contextMenuEvent(QContextMenuEvent* e) {
    QMenu* menu = createStandardContextMenu();
    if (menu == nullptr) {
        return;
    }
    menu->addSeparator();
    addOptionsMenu(*menu);
    menu->exec(e->globalPos());
    delete menu;
}

void CodeEditor::changeOption(const std::function<void(EditorOptions&)>& change) {
    EditorOptions o = m_options;
    change(o);
    setOptions(o);
    // Handed to the shared options at once: the menu took the focus, so the
    // editor's own read-back on leaving came before the change.
    clsLib_OptCMax::instance().SetConfig(*this);
}

void CodeEditor::addOptionsMenu(QMenu& menu) {
    QMenu* options = menu.addMenu(tr("Editor &Options"));
    const struct {
        const char* caption;
        bool EditorOptions::*member;
    } toggles[] = {
        {"Line &Numbers", &EditorOptions::lineNumbering},
        {"&Syntax Colouring", &EditorOptions::colorSyntax},
        {"Show &White Space", &EditorOptions::displayWhiteSpace},
        {"&Left Margin", &EditorOptions::displayLeftMargin},
        {"&Expand Tabs", &EditorOptions::expandTabs},
        {"&Drag and Drop", &EditorOptions::enableDragDrop},
        {"&Column Selection with Alt", &EditorOptions::enableColumnSel},
        {"Block Caret when &Overtyping", &EditorOptions::overtypeCaret},
        {"&Horizontal Scroll Bar", &EditorOptions::hScrollVisible},
        {"&Vertical Scroll Bar", &EditorOptions::vScrollVisible},
    };
    for (const auto& t : toggles) {
        QAction* a = options->addAction(tr(t.caption));
        a->setCheckable(true);
        a->setChecked(m_options.*(t.member));
        const auto member = t.member;
        connect(a, &QAction::toggled, this, [this, member](bool on) {
            changeOption([member, on](EditorOptions& o) { o.*member = on; });
        });
    }
    QAction* indent = options->addAction(tr("&Auto Indent"));
    indent->setCheckable(true);
    indent->setChecked(m_options.autoIndentMode != 0);
    connect(indent, &QAction::toggled, this, [this](bool on) {
        changeOption([on](EditorOptions& o) { o.autoIndentMode = on ? 1 : 0; });
    });
    QMenu* tabs = options->addMenu(tr("&Tab Size"));
    for (int size : {2, 4, 8}) {
        QAction* a = tabs->addAction(QString::number(size));
        a->setCheckable(true);
        a->setChecked(m_options.tabSize == size);
        connect(a, &QAction::triggered, this,
                [this, size] { changeOption([size](EditorOptions& o) { o.tabSize = size; }); });
    }
    options->addSeparator();
    QAction* font = options->addAction(tr("&Font..."));
    connect(font, &QAction::triggered, this, [this] {
        QFont current(QString::fromStdString(m_options.fontName), m_options.fontSize);
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, this, tr("Editor Font"),
                                                  QFontDialog::MonospacedFonts);
        if (!ok) {
            return;
        }
        changeOption([&chosen](EditorOptions& o) {
            o.fontName = chosen.family().toStdString();
            o.fontSize = chosen.pointSize() > 0 ? chosen.pointSize() : o.fontSize;
        });
    });
}

}  // namespace tarvel
