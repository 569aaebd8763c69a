#include "sim/actiontext.h"

#include <algorithm>

namespace tarvel {

namespace {

bool isIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isIdentifierChar(char c) {
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads C text one token-ish step at a time, stepping over comments and
// string and character literals as a whole, so that a name inside them is
// never taken for a call.
class CScanner {
public:
    explicit CScanner(std::string_view text) : m_text(text) {}

    std::size_t pos() const { return m_pos; }
    void seek(std::size_t pos) { m_pos = pos; }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    // Steps over a comment or literal starting here; false when there is none.
    bool skipCommentOrLiteral() {
        const char c = m_text[m_pos];
        const char next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0';
        if (c == '/' && next == '/') {
            while (!atEnd() && m_text[m_pos] != '\r' && m_text[m_pos] != '\n') {
                ++m_pos;
            }
            return true;
        }
        if (c == '/' && next == '*') {
            const std::size_t end = m_text.find("*/", m_pos + 2);
            m_pos = end == std::string_view::npos ? m_text.size() : end + 2;
            return true;
        }
        if (c == '"' || c == '\'') {
            ++m_pos;
            while (!atEnd() && m_text[m_pos] != c && m_text[m_pos] != '\r' &&
                   m_text[m_pos] != '\n') {
                m_pos += m_text[m_pos] == '\\' ? 2 : 1;
            }
            m_pos = std::min(m_pos + 1, m_text.size());
            return true;
        }
        return false;
    }

    // Steps over blanks, line breaks and comments.
    void skipSpaces() {
        while (!atEnd()) {
            if (isSpace(m_text[m_pos])) {
                ++m_pos;
            } else if (!startsComment() || !skipCommentOrLiteral()) {
                return;
            }
        }
    }

    // Steps over a parenthesised argument list starting at "(": to after its
    // ")", or to the end of the text when it is never closed.
    void skipArguments() {
        int depth = 0;
        while (!atEnd()) {
            if (skipCommentOrLiteral()) {
                continue;
            }
            const char c = m_text[m_pos++];
            if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                return;
            }
        }
    }

    std::string_view identifier() {
        const std::size_t start = m_pos;
        while (!atEnd() && isIdentifierChar(m_text[m_pos])) {
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }

private:
    bool startsComment() const {
        return m_text[m_pos] == '/' && m_pos + 1 < m_text.size() &&
               (m_text[m_pos + 1] == '/' || m_text[m_pos + 1] == '*');
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

std::string_view trimSpacesLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    return text.substr(i);
}

std::string_view trimSpacesRight(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && isSpace(text[n - 1])) {
        --n;
    }
    return text.substr(0, n);
}

}  // namespace

ActionText splitAtCalls(std::string_view text, const FunctionNames& functions) {
    ActionText pieces;
    if (text.empty()) {
        return pieces;
    }
    CScanner scan(text);
    std::size_t pieceStart = 0;
    bool cut = false;  // a call came before the current piece
    const auto addText = [&](std::size_t end) {
        std::string_view piece = text.substr(pieceStart, end - pieceStart);
        if (cut) {
            piece = trimSpacesLeft(piece);
        }
        piece = trimSpacesRight(piece);
        if (!piece.empty()) {
            pieces.push_back({std::string(piece), -1});
        }
    };

    while (!scan.atEnd()) {
        if (scan.skipCommentOrLiteral()) {
            continue;
        }
        if (!isIdentifierStart(scan.peek())) {
            // A name is only a whole word: skip the rest of a number too.
            const char c = scan.peek();
            scan.seek(scan.pos() + 1);
            if (c >= '0' && c <= '9') {
                scan.identifier();
            }
            continue;
        }
        const std::size_t nameStart = scan.pos();
        const auto it = functions.find(std::string(scan.identifier()));
        if (it == functions.end()) {
            continue;
        }
        const std::size_t afterName = scan.pos();
        scan.skipSpaces();
        if (scan.atEnd() || scan.peek() != '(') {
            scan.seek(afterName);
            continue;
        }
        scan.skipArguments();
        const std::size_t afterArguments = scan.pos();
        scan.skipSpaces();
        if (!scan.atEnd() && scan.peek() == ';') {
            scan.seek(scan.pos() + 1);
        } else {
            scan.seek(afterArguments);
        }
        addText(nameStart);
        pieces.push_back({std::string(), it->second});
        pieceStart = scan.pos();
        cut = true;
    }
    if (!cut) {
        pieces.push_back({std::string(text), -1});
        return pieces;
    }
    addText(text.size());
    return pieces;
}

}  // namespace tarvel
