// The target's own types and constants: the generated code uses T_u8, T_u16,
// T_bit, T_char, TRUE and FALSE and leaves their definition to the user's
// initialisation text, because their right size depends on the target.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct TargetType {
    std::string_view name;
    // A definition that suits most 8- and 16-bit targets.
    std::string_view definition;
    bool isType;  // a type (typedef), or a constant (#define)
};

std::span<const TargetType> targetTypes();

// The target names a text does not mention (as whole words).
std::vector<const TargetType*> unmentionedTargetTypes(std::string_view text);

// The initialisation with the definitions of the target names it lacks in
// front, under a comment that asks to adapt them; unchanged when it lacks none.
std::string withStandardTypes(std::string_view initialisation);

// Whether `text` holds `word` with no letter, digit or "_" on either side.
bool mentionsWord(std::string_view text, std::string_view word);

}  // namespace tarvel
