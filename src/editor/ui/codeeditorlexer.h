// The C lexer of the code editors, registered as "my_C": its keywords come
// from the word lists of "Coder.ini", its colours and font styles from the
// editor's colour and style slots.
#pragma once

#include <Qsci/qscilexercpp.h>

#include <QByteArray>
#include <QColor>
#include <QFont>

namespace tarvel {

class CodeEditorLexer : public QsciLexerCPP {
    Q_OBJECT
public:
    explicit CodeEditorLexer(QObject* parent = nullptr);

    const char* language() const override { return "my_C"; }
    const char* keywords(int set) const override;

    // Keywords as the lists hold them: words separated by line feeds or blanks.
    void setKeywordLists(const QString& keywords, const QString& scopeKeywords);

    // The lexer styles a colour pair and a font style of the editor apply to.
    enum class Role { Text, Number, Keyword, Operator, Scope, Comment, String };
    // Colours of -1 fall back: a background to the editor's paper, a text
    // colour to black. Font styles: 1 bold, 2 italic, 4 underline.
    void applyRole(Role role, int foreground, int background, int fontStyle, const QFont& base,
                   const QColor& paper);

private:
    QByteArray m_keywords;
    QByteArray m_scopeKeywords;
};

}  // namespace tarvel
