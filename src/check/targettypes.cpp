#include "check/targettypes.h"

#include <array>

namespace tarvel {

namespace {

constexpr std::array<TargetType, 6> TYPES = {{
    {"T_u8", "typedef unsigned char  T_u8;", true},
    {"T_u16", "typedef unsigned short T_u16;", true},
    {"T_bit", "typedef unsigned char  T_bit;", true},
    {"T_char", "typedef char           T_char;", true},
    {"TRUE", "#define TRUE  1", false},
    {"FALSE", "#define FALSE 0", false},
}};

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::span<const TargetType> targetTypes() {
    return TYPES;
}

bool mentionsWord(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !isWordChar(text[at - 1])) &&
            (end == text.size() || !isWordChar(text[end]))) {
            return true;
        }
    }
    return false;
}

std::vector<const TargetType*> unmentionedTargetTypes(std::string_view text) {
    std::vector<const TargetType*> out;
    for (const TargetType& t : TYPES) {
        if (!mentionsWord(text, t.name)) {
            out.push_back(&t);
        }
    }
    return out;
}

std::string withStandardTypes(std::string_view initialisation) {
    const std::vector<const TargetType*> missing = unmentionedTargetTypes(initialisation);
    if (missing.empty()) {
        return std::string(initialisation);
    }
    std::string out =
        "// Types of the target, used by the generated code: adapt them to the\r\n"
        "// compiler and the word sizes of your target.\r\n";
    for (std::size_t i = 0; i < missing.size(); ++i) {
        out += missing[i]->definition;
        if (i + 1 < missing.size() || !initialisation.empty()) {
            out += "\r\n";
        }
    }
    if (!initialisation.empty()) {
        out += "\r\n";
        out += initialisation;
    }
    return out;
}

}  // namespace tarvel
