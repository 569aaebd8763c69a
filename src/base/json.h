// Writing JSON text: the one string escaper every JSON writer of the program uses.
#pragma once

#include <string>
#include <string_view>

namespace tarvel {

// Appends `text` to `out` as a JSON string literal, quotes included. `"` and
// `\` are escaped, the control characters below 0x20 become `\n`, `\r`, `\t`,
// `\b`, `\f` or `\u00XX`; every other byte (UTF-8 included) is copied as it is.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace tarvel
