// How C reads a user text: where its comments and literals are. Enough of
// the language to tell whether a shaping of the text (the generator's
// comment conversion, the "){" after a condition) changes its code.
#pragma once

#include <string>
#include <string_view>

namespace tarvel {

struct CScan {
    enum class State { Code, LineComment, BlockComment, String, Char };

    // The text with every comment replaced by one blank; literals kept.
    std::string code;
    // Whether a "//" comment occurs anywhere.
    bool hasLineComment = false;
    // What the text ends inside.
    State end = State::Code;
};

// Scans `text` as C, starting in `start` (the state a previous line left).
// Without `collectCode` only `hasLineComment` and `end` are filled.
CScan scanC(std::string_view text, CScan::State start = CScan::State::Code,
            bool collectCode = true);

// `code` with every run of white space made one blank and the ends trimmed.
std::string collapseBlanks(std::string_view code);

// Letters, digits and "_", not starting with a digit (ASCII only).
bool isCIdentifier(std::string_view name);
// A keyword of C89, C99 or C11.
bool isCKeyword(std::string_view word);
bool isAscii(std::string_view text);

}  // namespace tarvel
