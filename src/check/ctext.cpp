#include "check/ctext.h"

#include <algorithm>
#include <array>

namespace tarvel {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// A backslash that ends a line joins the next line to it (also inside
// comments and literals); returns the position after the line break, or npos.
std::size_t spliceAt(std::string_view text, std::size_t i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
        return std::string_view::npos;
    }
    if (text[i + 1] == '\n') {
        return i + 2;
    }
    if (text[i + 1] == '\r') {
        return i + 2 < text.size() && text[i + 2] == '\n' ? i + 3 : i + 2;
    }
    return std::string_view::npos;
}

}  // namespace

CScan scanC(std::string_view text, CScan::State start, bool collectCode) {
    using State = CScan::State;
    CScan scan;
    if (collectCode) {
        scan.code.reserve(text.size());
    }
    const auto keep = [&](char c) {
        if (collectCode) {
            scan.code += c;
        }
    };
    State state = start;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        switch (state) {
            case State::Code:
                if (c == '/' && next == '/') {
                    state = State::LineComment;
                    scan.hasLineComment = true;
                    keep(' ');
                    i += 2;
                    continue;
                }
                if (c == '/' && next == '*') {
                    state = State::BlockComment;
                    keep(' ');
                    i += 2;
                    continue;
                }
                if (c == '"') {
                    state = State::String;
                } else if (c == '\'') {
                    state = State::Char;
                }
                keep(c);
                ++i;
                continue;
            case State::LineComment:
                if (const std::size_t after = spliceAt(text, i); after != std::string_view::npos) {
                    i = after;
                    continue;
                }
                if (isLineEnd(c)) {
                    state = State::Code;
                    keep(c);
                }
                ++i;
                continue;
            case State::BlockComment:
                if (c == '*' && next == '/') {
                    state = State::Code;
                    i += 2;
                    continue;
                }
                ++i;
                continue;
            case State::String:
            case State::Char: {
                const char quote = state == State::String ? '"' : '\'';
                if (c == '\\' && i + 1 < text.size() && !isLineEnd(next)) {
                    keep(c);
                    keep(next);
                    i += 2;
                    continue;
                }
                if (const std::size_t after = spliceAt(text, i); after != std::string_view::npos) {
                    i = after;
                    continue;
                }
                // A literal ends at its quote; one left open ends at the line
                // end, as compilers report it.
                if (c == quote || isLineEnd(c)) {
                    state = State::Code;
                }
                keep(c);
                ++i;
                continue;
            }
        }
    }
    scan.end = state;
    return scan;
}

std::string collapseBlanks(std::string_view code) {
    std::string out;
    out.reserve(code.size());
    bool blank = false;
    for (const char c : code) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) {
            out += ' ';
        }
        blank = false;
        out += c;
    }
    return out;
}

bool isCIdentifier(std::string_view name) {
    if (name.empty() || (name.front() >= '0' && name.front() <= '9')) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
}

bool isCKeyword(std::string_view word) {
    static constexpr std::array<std::string_view, 44> KEYWORDS = {
        "auto",       "break",     "case",           "char",
        "const",      "continue",  "default",        "do",
        "double",     "else",      "enum",           "extern",
        "float",      "for",       "goto",           "if",
        "inline",     "int",       "long",           "register",
        "restrict",   "return",    "short",          "signed",
        "sizeof",     "static",    "struct",         "switch",
        "typedef",    "union",     "unsigned",       "void",
        "volatile",   "while",     "_Alignas",       "_Alignof",
        "_Atomic",    "_Bool",     "_Complex",       "_Generic",
        "_Imaginary", "_Noreturn", "_Static_assert", "_Thread_local",
    };
    return std::find(KEYWORDS.begin(), KEYWORDS.end(), word) != KEYWORDS.end();
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace tarvel
