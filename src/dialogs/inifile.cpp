#include "dialogs/inifile.h"

#include <iterator>

#include "base/text.h"

namespace tarvel {

namespace {

std::string_view trimSpace(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Cuts a UTF-8 text to at most `limit` bytes without splitting a character.
std::string_view cutUtf8(std::string_view s, std::size_t limit) {
    if (s.size() <= limit) {
        return s;
    }
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) {
        --end;
    }
    return s.substr(0, end);
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    ini.m_sections.push_back({});
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        if (raw.ends_with('\r')) {
            raw.remove_suffix(1);
        }
        const std::string_view line = trimSpace(raw);
        if (line.starts_with('[') && line.find(']') != std::string_view::npos) {
            ini.m_sections.push_back(
                {std::string(trimSpace(line.substr(1, line.find(']') - 1))), {}});
            continue;
        }
        Line l;
        const std::size_t eq = line.find('=');
        if (!line.starts_with(';') && eq != std::string_view::npos && eq > 0) {
            l.entry = true;
            l.key = trimSpace(line.substr(0, eq));
            l.value = trimSpace(line.substr(eq + 1));
        } else {
            l.raw = raw;
        }
        ini.m_sections.back().lines.push_back(std::move(l));
    }
    return ini;
}

std::size_t IniFile::sectionIndex(std::string_view name) const {
    for (std::size_t i = 1; i < m_sections.size(); ++i) {
        if (equalsIgnoreCaseAscii(m_sections[i].name, name)) {
            return i;
        }
    }
    return 0;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const std::size_t at = sectionIndex(section);
    if (at == 0) {
        return std::nullopt;
    }
    for (const Line& l : m_sections[at].lines) {
        if (l.entry && equalsIgnoreCaseAscii(l.key, key)) {
            std::string_view v = l.value;
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
                v = v.substr(1, v.size() - 2);
            }
            return std::string(cutUtf8(v, VALUE_LIMIT));
        }
    }
    return std::nullopt;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t index = sectionIndex(section);
    if (index == 0) {
        m_sections.push_back({std::string(section), {}, true});
        index = m_sections.size() - 1;
    }
    Section* s = &m_sections[index];
    for (Line& l : s->lines) {
        if (l.entry && equalsIgnoreCaseAscii(l.key, key)) {
            l.value = value;
            return;
        }
    }
    // A new key goes after the last entry, before any blank lines that end the section.
    auto at = s->lines.end();
    while (at != s->lines.begin() && !std::prev(at)->entry &&
           trimSpace(std::prev(at)->raw).empty()) {
        --at;
    }
    Line l;
    l.entry = true;
    l.key = key;
    l.value = value;
    s->lines.insert(at, std::move(l));
}

std::string IniFile::text() const {
    std::string out;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (i > 0) {
            // A new section is set off from the one before by an empty line.
            if (s.added && !out.empty() && !out.ends_with("\r\n\r\n")) {
                out += CRLF;
            }
            out += "[" + s.name + "]";
            out += CRLF;
        }
        for (const Line& l : s.lines) {
            out += l.entry ? l.key + "=" + l.value : l.raw;
            out += CRLF;
        }
    }
    return out;
}

}  // namespace tarvel
