// The list file: a plain-text dump of one diagram (not its children) made of
// bracketed keys, each followed by its value on the next lines, indented to
// show the nesting: the FSM properties, then every state in index order with
// its actions and its transitions in priority order.
#pragma once

#include <string>

namespace tarvel {

class Document;

// The whole text, without a line break after its last line (the caller
// writes one when it saves the file).
std::string listFileText(const Document& doc);

}  // namespace tarvel
