// The options shared by every code editor, with the keys and defaults under
// which the settings store keeps them (section "cMax"). A missing or unusable
// stored value gives the default.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarvel {

struct EditorOptions {
    bool displayWhiteSpace = false;
    std::string fontName = "Courier New";
    int fontSize = 10;
    int autoIndentMode = 1;
    int tabSize = 4;
    bool expandTabs = true;
    bool normalizeCase = false;
    bool smoothScrolling = false;
    bool displayLeftMargin = false;
    bool lineToolTips = false;
    bool enableDragDrop = true;
    bool enableColumnSel = false;
    bool overtypeCaret = true;
    bool colorSyntax = true;
    bool hScrollVisible = true;
    bool vScrollVisible = true;
    bool enableHSplitter = true;
    bool enableVSplitter = true;
    bool lineNumbering = true;
    friend bool operator==(const EditorOptions&, const EditorOptions&) = default;

    static constexpr std::string_view SECTION = "cMax";

    // Reads one stored value by key; nothing when the key is missing.
    using Reader = std::function<std::optional<std::string>(std::string_view key)>;
    using Writer = std::function<void(std::string_view key, const std::string& value)>;

    static EditorOptions read(const Reader& reader);
    // Every option, booleans as "True" or "False", numbers in decimal.
    void write(const Writer& writer) const;
};

}  // namespace tarvel
