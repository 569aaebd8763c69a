#include "codegen/codeprinter.h"

#include "model/text.h"

namespace tarvel {

CodePrinter& CodePrinter::nl(int count) {
    for (int i = 0; i < count; ++i) {
        m_out.append(CRLF);
    }
    return *this;
}

CodePrinter& CodePrinter::indented(std::string_view s, int n, bool first) {
    if (s.empty()) {
        return *this;
    }
    const std::size_t start = m_out.size();
    if (first) {
        blanks(n);
    }
    // Copy runs between line ends in one go; only the breaks need work.
    std::size_t from = 0;
    while (from < s.size()) {
        const std::size_t end = s.find_first_of("\r\n", from);
        if (end == std::string_view::npos) {
            m_out.append(s.substr(from));
            break;
        }
        m_out.append(s.substr(from, end - from));
        if (s[end] == '\r') {
            nl();
            blanks(n);
        }
        from = end + 1;
    }
    std::size_t keep = m_out.size();
    while (keep > start && m_out[keep - 1] == ' ') {
        --keep;
    }
    m_out.resize(keep);
    return *this;
}

}  // namespace tarvel
