#include "base/codeprinter.h"

#include "base/text.h"

namespace tarvel {

CodePrinter& CodePrinter::nl(int count) {
    for (int i = 0; i < count; ++i) {
        m_out.append(CRLF);
    }
    return *this;
}

std::size_t findLineEnd(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            return i;
        }
    }
    return std::string_view::npos;
}

void CodePrinter::trimTrailingBlanks(std::size_t since) {
    std::size_t keep = m_out.size();
    while (keep > since && m_out[keep - 1] == ' ') {
        --keep;
    }
    m_out.resize(keep);
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
        const std::size_t end = findLineEnd(s, from);
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
    trimTrailingBlanks(start);
    return *this;
}

}  // namespace tarvel
