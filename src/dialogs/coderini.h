// "Coder.ini": the colour table of the code editors and the word lists of
// their language "my_C".
//
// The colour table has 18 entries of background, foreground and font style
// (colours with red in the low byte, -1 for none), kept in section "Colors"
// under "clr" + entry + "bg" / "fr" / "fnt". A table with any value missing
// or not a number is damaged: the defaults are used and written back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/inifile.h"

namespace tarvel {

struct ColourEntry {
    std::int32_t bg = -1;
    std::int32_t fr = -1;
    std::int32_t fnt = 0;
    friend bool operator==(const ColourEntry&, const ColourEntry&) = default;
};

inline constexpr std::size_t COLOUR_ENTRIES = 18;
using ColourTable = std::array<ColourEntry, COLOUR_ENTRIES>;

// The language's lists, in the order of their sections.
enum LanguageList {
    LL_KEYWORDS,
    LL_OPERATORS,
    LL_SINGLE_LINE_COMMENTS,
    LL_MULTI_LINE_COMMENTS_START,
    LL_MULTI_LINE_COMMENTS_END,
    LL_SCOPE_KEYWORDS_START,
    LL_SCOPE_KEYWORDS_END,
    LL_STRING_DELIMS,
    LL_ESCAPE_CHAR,
    LL_TERMINATOR_CHAR,
    LL_TAG_ATTRIBUTE_NAMES,
    LL_TAG_ELEMENT_NAMES,
    LL_TAG_ENTITIES,
    LANGUAGE_LIST_COUNT
};

// Each list is its values joined by a line feed.
using CoderLanguage = std::array<std::string, LANGUAGE_LIST_COUNT>;

class CoderIni {
public:
    static constexpr std::string_view FILE_NAME = "Coder.ini";
    static constexpr std::string_view DAMAGED_MESSAGE =
        "Application INI File was damaged. Working default values.";

    static const ColourTable& defaultColours();

    // The whole table; nothing when any value is missing or not a number.
    static std::optional<ColourTable> readColours(const IniFile& ini);
    static void writeColours(IniFile& ini, const ColourTable& table);
    // Each list: the values under its prefix + 1, + 2, ... up to the first
    // missing or empty one. A missing section gives an empty list.
    static CoderLanguage readLanguage(const IniFile& ini);

    struct Loaded {
        ColourTable colours;
        CoderLanguage language;
        bool damaged = false;
        std::string repairedText;  // what to write back when damaged
    };
    // Reads the file's text (nothing when there is no file). A missing file
    // is replaced by the shipped defaults (`defaultFileText`, colours and
    // lists); a damaged colour table by the default table, the rest of the
    // file kept.
    static Loaded load(const std::optional<std::string>& fileText,
                       std::string_view defaultFileText);

    // A number as the file may hold it: decimal with an optional sign, or
    // hexadecimal written "&H..."; blanks around it are allowed.
    static std::optional<std::int32_t> parseNumber(std::string_view text);
};

}  // namespace tarvel
