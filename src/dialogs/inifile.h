// A small INI file: "[section]" lines, "key=value" entries, comment lines
// starting with ";". Section and key names compare ignoring ASCII case; the
// first of two equal keys counts. Writing keeps every other line as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

class IniFile {
public:
    // Values are read through a buffer of 255 characters: at most 254 bytes
    // come back (never half a character).
    static constexpr std::size_t VALUE_LIMIT = 254;

    static IniFile parse(std::string_view text);

    // The value with blanks around it removed and one pair of enclosing
    // quotes taken off; nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces the key's value, or appends the key (and its section).
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // The whole file, lines ended by CR LF.
    std::string text() const;

private:
    struct Line {
        bool entry = false;
        std::string key;    // entries only
        std::string value;  // entries only
        std::string raw;    // anything else, kept as it was
    };
    struct Section {
        std::string name;  // empty for the lines before the first section
        std::vector<Line> lines;
        bool added = false;  // appended by setValue, not read from the text
    };

    // Position of the named section in m_sections; 0 (the unnamed head) when missing.
    std::size_t sectionIndex(std::string_view name) const;

    std::vector<Section> m_sections;
};

}  // namespace tarvel
