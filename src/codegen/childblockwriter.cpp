#include "codegen/childblockwriter.h"

namespace tarvel {

void ChildBlockWriter::openChild(int depth) {
    closeTo(depth > 0 ? static_cast<std::size_t>(depth - 1) : 0);
    lineBreak();
    write("// [Child:");
    m_starts.push_back(m_out.size());
    m_out.blanks(2);
}

void ChildBlockWriter::lineBreak() {
    m_out.nl().blanks(pad());
}

void ChildBlockWriter::write(std::string_view text) {
    if (m_starts.empty()) {
        m_out.text(text);
        return;
    }
    // Inside a block every line break carries the indentation of all open
    // blocks; line feeds of the text are dropped as the indent rule does.
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = findLineEnd(text, from);
        if (end == std::string_view::npos) {
            m_out.text(text.substr(from));
            return;
        }
        m_out.text(text.substr(from, end - from));
        if (text[end] == '\r') {
            lineBreak();
        }
        from = end + 1;
    }
}

void ChildBlockWriter::closeTo(std::size_t depth) {
    while (m_starts.size() > depth) {
        const std::size_t start = m_starts.back();
        m_starts.pop_back();
        // A block loses its trailing blanks; when it then ends with a line
        // break, the enclosing blocks' indentation follows that break again.
        m_out.trimTrailingBlanks(start);
        if (m_out.size() > start && m_out.str().back() == '\n') {
            m_out.blanks(pad());
        }
    }
}

}  // namespace tarvel
