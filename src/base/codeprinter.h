// The one writer of generated text. Every line break of generated code is
// written by `nl()`, and the indent rule of generated text (blanks after each
// line break, line feeds dropped, trailing blanks removed) is applied while
// appending, so shaping a user text never builds a temporary copy.
//
// The printer owns indentation: text that starts a line is preceded by the
// current indentation, which an `IndentScope` or a `PrinterScope` deepens
// for as long as it lives. Empty lines stay empty. Without a scope the
// indentation is 0 and every write is exactly what it names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvel {

class CodePrinter {
public:
    // The step of one indentation level.
    static constexpr int INDENT = 4;

    explicit CodePrinter(std::size_t reserve = 0) { m_out.reserve(reserve); }

    CodePrinter& text(std::string_view s) {
        if (!s.empty()) {
            startLine();
            m_out.append(s);
        }
        return *this;
    }
    CodePrinter& blanks(int n) {
        if (n > 0) {
            startLine();
            m_out.append(static_cast<std::size_t>(n), ' ');
        }
        return *this;
    }
    // Carriage return and line feed, `count` times.
    CodePrinter& nl(int count = 1);
    // The text followed by a line break.
    CodePrinter& line(std::string_view s) { return text(s).nl(); }

    // The indent rule, n blanks deeper than the current indentation: empty
    // text adds nothing; otherwise the blanks first (when `first`), every
    // carriage return becomes a line break and the blanks, line feeds are
    // dropped, and the blanks that end what was appended are removed.
    CodePrinter& indented(std::string_view s, int n = 0, bool first = true);
    // The indent rule for a text that starts inside a line: its further lines
    // stand under its first character.
    CodePrinter& hanging(std::string_view s);

    // Removes the blanks that end the text, back to `since` at most.
    void trimTrailingBlanks(std::size_t since);

    std::size_t size() const { return m_out.size(); }
    bool empty() const { return m_out.empty(); }
    const std::string& str() const { return m_out; }
    std::string take() { return std::move(m_out); }

private:
    friend class IndentScope;

    bool atLineStart() const { return m_out.empty() || m_out.back() == '\n'; }
    void startLine() {
        if (m_indent > 0 && atLineStart()) {
            m_out.append(static_cast<std::size_t>(m_indent), ' ');
        }
    }
    // Characters since the last line break.
    int column() const;
    CodePrinter& indentRule(std::string_view s, int firstBlanks, int column);

    std::string m_out;
    int m_indent = 0;
};

// The position of the next carriage return or line feed at or after `from`;
// npos when there is none.
std::size_t findLineEnd(std::string_view text, std::size_t from);

// Deepens the printer's indentation by `step` while it lives.
class IndentScope {
public:
    explicit IndentScope(CodePrinter& printer, int step = CodePrinter::INDENT)
        : m_printer(printer), m_step(step) {
        m_printer.m_indent += m_step;
    }
    ~IndentScope() { m_printer.m_indent -= m_step; }
    IndentScope(const IndentScope&) = delete;
    IndentScope& operator=(const IndentScope&) = delete;

private:
    CodePrinter& m_printer;
    int m_step;
};

// Paired output (braces, #if/#endif): writes the opening line now and the
// closing line when it goes out of scope, both at the indentation the scope
// started at, with what lies between `step` deeper (one level unless told).
class PrinterScope {
public:
    PrinterScope(CodePrinter& printer, std::string_view open, std::string_view close,
                 int step = CodePrinter::INDENT)
        : m_printer(printer), m_close(close), m_step(step) {
        m_printer.line(open);
        m_body.emplace(m_printer, m_step);
    }
    ~PrinterScope() {
        m_body.reset();
        m_printer.line(m_close);
    }
    PrinterScope(const PrinterScope&) = delete;
    PrinterScope& operator=(const PrinterScope&) = delete;

    // A line between the two halves of the pair ("#else"), at the scope's
    // own indentation.
    void divide(std::string_view middle) {
        m_body.reset();
        m_printer.line(middle);
        m_body.emplace(m_printer, m_step);
    }

private:
    CodePrinter& m_printer;
    std::string m_close;
    int m_step;
    std::optional<IndentScope> m_body;
};

}  // namespace tarvel
