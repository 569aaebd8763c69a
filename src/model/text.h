// The record text rules: every record of a state, a transition or the FSM
// properties is a list of fields, each ended by FIELD_SEP. The generic text
// helpers live in base/text.h, which this header brings along.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace tarvel {

// Terminates every field of every record: middle dot, space, middle dot.
inline constexpr std::string_view FIELD_SEP = "\xC2\xB7 \xC2\xB7";
inline constexpr std::string_view MIDDLE_DOT = "\xC2\xB7";

// Field i (from 0) of a record; empty when the record has fewer fields.
std::string_view readField(std::string_view record, int index);
// The first `count` fields of a record, missing ones empty.
std::vector<std::string> splitFields(std::string_view record, int count);
// Joins fields, each followed by FIELD_SEP (the last one included).
std::string joinFields(const std::vector<std::string>& fields);

// Not empty, none of * ? + - | & ! ; , / and no leading digit.
bool isValidRepositoryName(std::string_view text);

}  // namespace tarvel
