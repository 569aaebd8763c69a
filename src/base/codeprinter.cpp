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

int CodePrinter::column() const {
    const std::size_t lineStart = m_out.rfind('\n');
    return static_cast<int>(lineStart == std::string::npos ? m_out.size()
                                                           : m_out.size() - lineStart - 1);
}

CodePrinter& CodePrinter::indented(std::string_view s, int n, bool first) {
    const int blanksAfterBreak = m_indent + n;
    if (!first) {
        return indentRule(s, 0, blanksAfterBreak);
    }
    return indentRule(s, atLineStart() ? blanksAfterBreak : n, blanksAfterBreak);
}

CodePrinter& CodePrinter::hanging(std::string_view s) {
    if (s.empty()) {
        return *this;
    }
    startLine();
    return indentRule(s, 0, column());
}

CodePrinter& CodePrinter::indentRule(std::string_view s, int firstBlanks, int column) {
    if (s.empty()) {
        return *this;
    }
    const std::size_t start = m_out.size();
    m_out.append(static_cast<std::size_t>(firstBlanks), ' ');
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
            m_out.append(static_cast<std::size_t>(column), ' ');
        }
        from = end + 1;
    }
    trimTrailingBlanks(start);
    return *this;
}

}  // namespace tarvel
