#include "base/text.h"

#include <algorithm>
#include <climits>

namespace tarvel {

std::size_t skipBlanksAndSign(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

int lenientInt(std::string_view text) {
    bool negative = false;
    std::size_t i = skipBlanksAndSign(text, negative);
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view trimRightBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::size_t charCount(std::string_view text) {
    // Continuation bytes (10xxxxxx) do not start a character; any other byte does,
    // so invalid sequences still count one character per stray byte.
    std::size_t n = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {
            ++n;
        }
    }
    return n;
}

std::vector<std::string> splitLinesCR(std::string_view text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r') {
            lines.emplace_back();
        } else if (c != '\n') {
            lines.back() += c;
        }
    }
    return lines;
}

std::string indent(std::string_view text, int n, bool first) {
    if (text.empty()) {
        return {};
    }
    const std::string pad(static_cast<std::size_t>(std::max(n, 0)), ' ');
    std::string out;
    out.reserve(text.size() + pad.size() * 4);
    if (first) {
        out += pad;
    }
    for (char c : text) {
        if (c == '\r') {
            out += CRLF;
            out += pad;
        } else if (c != '\n') {
            out += c;
        }
    }
    out.erase(trimRightBlanks(out).size());
    return out;
}

std::string dropTrailingBreak(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::string padRight(std::string_view text, std::size_t n) {
    std::string out(text);
    const std::size_t count = charCount(text);
    if (count < n) {
        out.append(n - count, ' ');
    }
    return out;
}

std::string commentLines(std::string_view text) {
    std::string out;
    for (const auto& line : splitLinesCR(text)) {
        out += "// ";
        out += line;
        out += CRLF;
    }
    return out;
}

std::string neutraliseCommentMarks(std::string_view text) {
    if (text.find("*/") == std::string_view::npos && text.find("/*") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (i + 1 < text.size()) {
            const char a = text[i];
            const char b = text[i + 1];
            if ((a == '/' && b == '*') || (a == '*' && b == '/')) {
                out += ' ';
            }
        }
    }
    return out;
}

std::string baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

namespace {

void convertCommentLine(std::string_view line, std::size_t width, std::string& out) {
    const std::size_t p = line.find("//");
    if (p == 0) {
        const std::size_t start = out.size();
        out += "/*";
        out += line.substr(2);
        const std::size_t count = charCount(std::string_view(out).substr(start));
        if (count < width) {
            out.append(width - count, ' ');
        }
        out += "*/";
        return;
    }
    if (p != std::string_view::npos && line.find("*/", p) == std::string_view::npos) {
        out += line.substr(0, p);
        out += "/*";
        out += line.substr(p + 2);
        out += " */";
        return;
    }
    out += line;
}

}  // namespace

std::string lineCommentsToBlock(std::string_view text, std::size_t width, bool finalBreak) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t start = 0;
    std::string line;
    bool firstLine = true;
    while (true) {
        const std::size_t cr = text.find('\r', start);
        const std::string_view raw =
            text.substr(start, cr == std::string_view::npos ? std::string_view::npos : cr - start);
        line.clear();
        for (char c : raw) {
            if (c != '\n') {
                line += c;
            }
        }
        if (!firstLine) {
            out += CRLF;
        }
        firstLine = false;
        convertCommentLine(line, width, out);
        if (cr == std::string_view::npos) {
            break;
        }
        start = cr + 1;
    }
    if (finalBreak) {
        out += CRLF;
    }
    return out;
}

std::string expandTabs(std::string_view text, int tabWidth) {
    if (text.find('\t') == std::string_view::npos || tabWidth <= 0) {
        return std::string(text);
    }
    std::string out;
    int column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            out += CRLF;
            column = 0;
        } else if (c == '\n') {
            // Line feeds are dropped: the carriage return already ended the line.
            // A lone line feed still ends one so that the result is CR LF throughout.
            if (i == 0 || text[i - 1] != '\r') {
                out += CRLF;
                column = 0;
            }
        } else if (c == '\t') {
            const int spaces = tabWidth - column % tabWidth;
            out.append(static_cast<std::size_t>(spaces), ' ');
            column += spaces;
        } else {
            out += static_cast<char>(c);
            if ((c & 0xC0) != 0x80) {
                ++column;
            }
        }
    }
    return out;
}

std::string spacesToUnderscores(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), ' ', '_');
    return out;
}

std::string toCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += CRLF;
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += CRLF;
        } else {
            out += c;
        }
    }
    return out;
}

std::string escapeControlCharacters(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += hex[code >> 4];
            out += hex[code & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace tarvel
