// An action text as the simulator runs it: the user's C, cut where it calls
// the FSM function of a diagram of the hierarchy. The simulator cannot run C;
// it reports the pieces as they are written and runs the called machine
// between them, as the generated module would.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvel {

// A piece of user text, or the call of a diagram's FSM function.
struct ActionPiece {
    std::string text;  // empty for a call
    int call = -1;     // the diagram called; -1 for text
};
using ActionText = std::vector<ActionPiece>;

// The FSM functions a text may call, by function name (the FSM name).
using FunctionNames = std::unordered_map<std::string, int>;

// Cuts `text` at every call of a function in `functions`: an identifier of
// that name followed by "(" outside comments and literals. The call takes
// its arguments and a ";" after them. Text around a call loses the blanks
// and line breaks next to the cut, and a piece left blank is dropped; a text
// without calls stays one piece exactly as written. An empty text gives no
// pieces.
ActionText splitAtCalls(std::string_view text, const FunctionNames& functions);

}  // namespace tarvel
