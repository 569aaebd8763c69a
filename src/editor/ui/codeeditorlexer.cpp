#include "editor/ui/codeeditorlexer.h"

#include <QRegularExpression>
#include <QStringList>
#include <vector>

namespace tarvel {

namespace {

QColor colourOf(int value, const QColor& fallback) {
    if (value < 0) {
        return fallback;
    }
    // Colours are kept with red in the low byte.
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Only words the lexer can recognise: a scope keyword such as "{" is an
// operator to a C lexer and is coloured as one.
QByteArray wordList(const QString& list) {
    static const QRegularExpression separators(QStringLiteral("[\\s]+"));
    static const QRegularExpression word(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    QStringList words;
    for (const QString& w : list.split(separators, Qt::SkipEmptyParts)) {
        if (word.match(w).hasMatch()) {
            words << w;
        }
    }
    return words.join(QLatin1Char(' ')).toUtf8();
}

std::vector<int> stylesOf(CodeEditorLexer::Role role) {
    using L = QsciLexerCPP;
    switch (role) {
        case CodeEditorLexer::Role::Text:
            return {L::Default,     L::Identifier, L::GlobalClass,
                    L::UserLiteral, L::TaskMarker, L::EscapeSequence};
        case CodeEditorLexer::Role::Number:
            return {L::Number, L::UUID};
        case CodeEditorLexer::Role::Keyword:
            return {L::Keyword};
        case CodeEditorLexer::Role::Operator:
            return {L::Operator};
        case CodeEditorLexer::Role::Scope:
            return {L::KeywordSet2, L::PreProcessor};
        case CodeEditorLexer::Role::Comment:
            return {L::Comment,
                    L::CommentLine,
                    L::CommentDoc,
                    L::CommentLineDoc,
                    L::CommentDocKeyword,
                    L::CommentDocKeywordError,
                    L::PreProcessorComment,
                    L::PreProcessorCommentLineDoc};
        case CodeEditorLexer::Role::String:
            return {L::DoubleQuotedString,
                    L::SingleQuotedString,
                    L::UnclosedString,
                    L::VerbatimString,
                    L::Regex,
                    L::RawString,
                    L::TripleQuotedVerbatimString,
                    L::HashQuotedString};
    }
    return {};
}

}  // namespace

CodeEditorLexer::CodeEditorLexer(QObject* parent) : QsciLexerCPP(parent) {}

const char* CodeEditorLexer::keywords(int set) const {
    switch (set) {
        case 1:
            return m_keywords.constData();
        case 2:
            return m_scopeKeywords.constData();
        default:
            return nullptr;
    }
}

void CodeEditorLexer::setKeywordLists(const QString& keywords, const QString& scopeKeywords) {
    m_keywords = wordList(keywords);
    m_scopeKeywords = wordList(scopeKeywords);
}

void CodeEditorLexer::applyRole(Role role, int foreground, int background, int fontStyle,
                                const QFont& base, const QColor& paper) {
    QFont font = base;
    font.setBold((fontStyle & 1) != 0);
    font.setItalic((fontStyle & 2) != 0);
    font.setUnderline((fontStyle & 4) != 0);
    const QColor fore = colourOf(foreground, Qt::black);
    const QColor back = colourOf(background, paper);
    for (int style : stylesOf(role)) {
        // The same look for code inside an inactive "#if" block (style + 64).
        for (int s : {style, style + 64}) {
            setColor(fore, s);
            setPaper(back, s);
            setFont(font, s);
        }
    }
}

}  // namespace tarvel
