// The one writer of generated text. Every line break of generated code is
// written by `nl()`, and the indent rule of generated text (blanks after each
// line break, line feeds dropped, trailing blanks removed) is applied while
// appending, so shaping a user text never builds a temporary copy.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvel {

class CodePrinter {
public:
    explicit CodePrinter(std::size_t reserve = 0) { m_out.reserve(reserve); }

    CodePrinter& text(std::string_view s) {
        m_out.append(s);
        return *this;
    }
    CodePrinter& blanks(int n) {
        if (n > 0) {
            m_out.append(static_cast<std::size_t>(n), ' ');
        }
        return *this;
    }
    // Carriage return and line feed, `count` times.
    CodePrinter& nl(int count = 1);
    // The text followed by a line break.
    CodePrinter& line(std::string_view s) { return text(s).nl(); }
    // n blanks, the text and a line break.
    CodePrinter& line(int n, std::string_view s) { return blanks(n).text(s).nl(); }

    // The indent rule: empty text adds nothing; otherwise n blanks first (when
    // `first`), every carriage return becomes a line break and n blanks, line
    // feeds are dropped, and the blanks that end what was appended are removed.
    CodePrinter& indented(std::string_view s, int n, bool first = true);

    // Removes the blanks that end the text, back to `since` at most.
    void trimTrailingBlanks(std::size_t since);

    std::size_t size() const { return m_out.size(); }
    bool empty() const { return m_out.empty(); }
    // Cuts the text back to `size` characters (bytes).
    void truncate(std::size_t size) { m_out.resize(size); }
    const std::string& str() const { return m_out; }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

// The position of the next carriage return or line feed at or after `from`;
// npos when there is none.
std::size_t findLineEnd(std::string_view text, std::size_t from);

}  // namespace tarvel

namespace tarvel {

// Writes an opening line now and its closing line when it goes out of scope,
// both at the same indentation, so paired output (#if/#endif, braces) cannot
// be left open.
class PrinterScope {
public:
    PrinterScope(CodePrinter& printer, int indent, std::string_view open, std::string_view close)
        : m_printer(printer), m_indent(indent), m_close(close) {
        m_printer.line(m_indent, open);
    }
    ~PrinterScope() { m_printer.line(m_indent, m_close); }
    PrinterScope(const PrinterScope&) = delete;
    PrinterScope& operator=(const PrinterScope&) = delete;

private:
    CodePrinter& m_printer;
    int m_indent;
    std::string_view m_close;
};

}  // namespace tarvel
