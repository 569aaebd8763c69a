// Writing JSON text by hand: the one string escaper every JSON writer uses.
#pragma once

#include <string>
#include <string_view>

namespace tarvel {

// Appends `text` to `out` as a JSON string, quotes included. A double quote and
// a backslash are escaped; of the control characters, line feed, carriage
// return, tab, backspace and form feed by name ("\n", "\r", "\t", "\b", "\f"),
// the others as "\u00XX". Every other byte, UTF-8 sequences included, is
// copied as it is.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace tarvel
