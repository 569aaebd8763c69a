// The record text rules: every record of a state, a transition or the FSM
// properties is a list of fields, each ended by FIELD_SEP. The generic text
// helpers live in base/text.h, which this header brings along.
#pragma once

#include <array>
#include <cstddef>
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
// The first `count` fields of a record, found in one pass, into `fields`;
// missing ones empty. The views point into `record`.
void readFields(std::string_view record, std::string_view* fields, std::size_t count);
template <std::size_t N>
std::array<std::string_view, N> readFields(std::string_view record) {
    std::array<std::string_view, N> fields;
    readFields(record, fields.data(), N);
    return fields;
}
// Joins fields, each followed by FIELD_SEP (the last one included).
std::string joinFields(const std::vector<std::string>& fields);

// The members of a record struct by field number: member k holds field k.
// Records read and write their text through their table, so the field
// numbers of a record kind are written down once.
template <typename Record, std::size_t N>
using RecordFields = std::array<std::string Record::*, N>;

// A record struct from its text; missing fields read as empty.
template <typename Record, std::size_t N>
Record readRecord(std::string_view text, const RecordFields<Record, N>& members) {
    std::vector<std::string> fields = splitFields(text, static_cast<int>(N));
    Record r;
    for (std::size_t k = 0; k < N; ++k) {
        r.*members[k] = std::move(fields[k]);
    }
    return r;
}

// The text of a record struct: its fields in number order, each followed by
// FIELD_SEP.
template <typename Record, std::size_t N>
std::string recordText(const Record& r, const RecordFields<Record, N>& members) {
    std::string text;
    for (const auto member : members) {
        text += r.*member;
        text += FIELD_SEP;
    }
    return text;
}

// The text of a yes/no field: "Y" or "N".
inline const char* recordFlag(bool on) {
    return on ? "Y" : "N";
}

// Not empty, none of * ? + - | & ! ; , / and no leading digit.
bool isValidRepositoryName(std::string_view text);

}  // namespace tarvel
