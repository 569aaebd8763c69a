#include "dialogs/editoroptions.h"

#include <cstdint>
#include <limits>
#include <variant>
#include <vector>

#include "base/text.h"

namespace tarvel {

namespace {

using Member =
    std::variant<bool EditorOptions::*, int EditorOptions::*, std::string EditorOptions::*>;

struct Key {
    std::string_view name;
    Member member;
};

const std::vector<Key>& keys() {
    static const std::vector<Key> table{
        {"displayWhiteSpace", &EditorOptions::displayWhiteSpace},
        {"fontName", &EditorOptions::fontName},
        {"fontSize", &EditorOptions::fontSize},
        {"autoIndentMode", &EditorOptions::autoIndentMode},
        {"tabSize", &EditorOptions::tabSize},
        {"expandTabs", &EditorOptions::expandTabs},
        {"normalizeCase", &EditorOptions::normalizeCase},
        {"smoothScrolling", &EditorOptions::smoothScrolling},
        {"displayLeftMargin", &EditorOptions::displayLeftMargin},
        {"lineToolTips", &EditorOptions::lineToolTips},
        {"enableDragDrop", &EditorOptions::enableDragDrop},
        {"enableColumnSel", &EditorOptions::enableColumnSel},
        {"overtypeCaret", &EditorOptions::overtypeCaret},
        {"colorSyntax", &EditorOptions::colorSyntax},
        {"hScrollVisible", &EditorOptions::hScrollVisible},
        {"vScrollVisible", &EditorOptions::vScrollVisible},
        {"enableHSplitter", &EditorOptions::enableHSplitter},
        {"enableVSplitter", &EditorOptions::enableVSplitter},
        {"lineNumbering", &EditorOptions::lineNumbering},
    };
    return table;
}

// "True" and "False" in any case, and the numbers 0 (false) and any other
// (true), as older stores wrote them.
std::optional<bool> parseBool(std::string_view text) {
    text = trimBlanks(text);
    if (equalsIgnoreCaseAscii(text, "true")) {
        return true;
    }
    if (equalsIgnoreCaseAscii(text, "false")) {
        return false;
    }
    if (!text.empty() && text.find_first_not_of("-0123456789") == std::string_view::npos) {
        return lenientInt(text) != 0;
    }
    return std::nullopt;
}

// A 16-bit signed number.
std::optional<int> parseShort(std::string_view text) {
    text = trimBlanks(text);
    std::string_view digits = text;
    if (digits.starts_with('-') || digits.starts_with('+')) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 6 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int value = lenientInt(text);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

EditorOptions EditorOptions::read(const Reader& reader) {
    EditorOptions o;
    for (const Key& key : keys()) {
        const auto stored = reader(key.name);
        if (!stored) {
            continue;
        }
        if (auto* b = std::get_if<bool EditorOptions::*>(&key.member)) {
            if (auto v = parseBool(*stored)) {
                o.** b = *v;
            }
        } else if (auto* i = std::get_if<int EditorOptions::*>(&key.member)) {
            if (auto v = parseShort(*stored)) {
                o.** i = *v;
            }
        } else if (auto* s = std::get_if<std::string EditorOptions::*>(&key.member)) {
            o.** s = *stored;
        }
    }
    return o;
}

void EditorOptions::write(const Writer& writer) const {
    for (const Key& key : keys()) {
        if (auto* b = std::get_if<bool EditorOptions::*>(&key.member)) {
            writer(key.name, this->**b ? "True" : "False");
        } else if (auto* i = std::get_if<int EditorOptions::*>(&key.member)) {
            writer(key.name, std::to_string(this->**i));
        } else if (auto* s = std::get_if<std::string EditorOptions::*>(&key.member)) {
            writer(key.name, this->**s);
        }
    }
}

}  // namespace tarvel
