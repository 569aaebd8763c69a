#include "dialogs/coderini.h"

#include <cstdint>
#include <utility>

namespace tarvel {

namespace {

constexpr std::string_view COLORS = "Colors";

struct ListKey {
    std::string_view section;
    std::string_view prefix;
};

constexpr std::array<ListKey, LANGUAGE_LIST_COUNT> LIST_KEYS{{
    {"keywords", "k"},
    {"operators", "o"},
    {"singleLineComments", "c"},
    {"multiLineCommentsStart", "c"},
    {"multiLineCommentsEnd", "c"},
    {"scopeKeywordsStart", "s"},
    {"scopeKeywordsEnd", "s"},
    {"stringDelims", "d"},
    {"escapeChar", "c"},
    {"terminatorChar", "c"},
    {"tagAttributeNames", "a"},
    {"tagElementNames", "e"},
    {"tagEntities", "e"},
}};

std::string colourKey(std::size_t entry, std::string_view part) {
    return "clr" + std::to_string(entry) + std::string(part);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

const ColourTable& CoderIni::defaultColours() {
    static const ColourTable table{{
        {-1, -1, 0},
        {-1, 0x8000, 2},
        {0, 0xFFFFFF, 0},
        {0, 0xFFFFFF, 0},
        {0, 0xFFFF, 0},
        {-1, 0xFF0000, 1},
        {0, 0xFFFFFF, 0},
        {0xA0A0A0, 0x101010, 0},
        {-1, 0, 0},
        {-1, 0xFF, 0},
        {-1, 0xFF0000, 0},
        {-1, 0x800080, 0},
        {-1, 0x80, 0},
        {-1, 0xFF, 0},
        {-1, 0xFF0000, 0},
        {-1, 0, 1},
        {-1, 0, 0},
        {0, 0xFFFFFF, 0},
    }};
    return table;
}

std::optional<std::int32_t> CoderIni::parseNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        const std::string_view digits = text.substr(2);
        if (digits.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (char c : digits) {
            const int d = hexDigit(c);
            if (d < 0) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        return static_cast<std::int32_t>(value);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<ColourTable> CoderIni::readColours(const IniFile& ini) {
    ColourTable table;
    for (std::size_t i = 0; i < COLOUR_ENTRIES; ++i) {
        for (auto [part, target] : {std::pair{"bg", &table[i].bg}, std::pair{"fr", &table[i].fr},
                                    std::pair{"fnt", &table[i].fnt}}) {
            const auto text = ini.value(COLORS, colourKey(i, part));
            const auto number = text ? parseNumber(*text) : std::nullopt;
            if (!number) {
                return std::nullopt;
            }
            *target = *number;
        }
    }
    return table;
}

void CoderIni::writeColours(IniFile& ini, const ColourTable& table) {
    for (std::size_t i = 0; i < COLOUR_ENTRIES; ++i) {
        ini.setValue(COLORS, colourKey(i, "bg"), std::to_string(table[i].bg));
        ini.setValue(COLORS, colourKey(i, "fr"), std::to_string(table[i].fr));
        ini.setValue(COLORS, colourKey(i, "fnt"), std::to_string(table[i].fnt));
    }
}

CoderLanguage CoderIni::readLanguage(const IniFile& ini) {
    CoderLanguage language;
    for (std::size_t list = 0; list < LANGUAGE_LIST_COUNT; ++list) {
        const ListKey& key = LIST_KEYS[list];
        std::string joined;
        for (int n = 1;; ++n) {
            const auto value = ini.value(key.section, std::string(key.prefix) + std::to_string(n));
            if (!value || value->empty()) {
                break;
            }
            if (n > 1) {
                joined += '\n';
            }
            joined += *value;
        }
        language[list] = std::move(joined);
    }
    return language;
}

CoderIni::Loaded CoderIni::load(const std::optional<std::string>& fileText,
                                std::string_view defaultFileText) {
    Loaded out;
    IniFile ini = IniFile::parse(fileText ? std::string_view(*fileText) : defaultFileText);
    const auto colours = fileText ? readColours(ini) : std::nullopt;
    if (colours) {
        out.colours = *colours;
    } else {
        out.damaged = true;
        out.colours = defaultColours();
        writeColours(ini, out.colours);
        out.repairedText = ini.text();
    }
    out.language = readLanguage(ini);
    return out;
}

}  // namespace tarvel
