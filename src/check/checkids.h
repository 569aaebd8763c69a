// The checks: a stable id, the severity of what it finds and one line of
// help each. Ids never change once published: build scripts and code-scanning
// systems filter on them.
#pragma once

#include <span>
#include <string_view>

#include "check/finding.h"

namespace tarvel {

struct CheckInfo {
    std::string_view id;
    Severity severity;  // of most of its findings; a few may be milder
    std::string_view help;
};

// Every check in the order `--check --list` prints them.
std::span<const CheckInfo> allChecks();
// The check with this id; nullptr when there is none.
const CheckInfo* findCheck(std::string_view id);

namespace check_id {
inline constexpr std::string_view NO_FSM_NAME = "no-fsm-name";
inline constexpr std::string_view NO_INITIAL_STATE = "no-initial-state";
inline constexpr std::string_view EXIT_WITHOUT_TRANSITION = "exit-without-transition";
inline constexpr std::string_view BAD_STATE_INDEX = "bad-state-index";
inline constexpr std::string_view CHILD_LOAD_ERROR = "child-load-error";
inline constexpr std::string_view INVALID_IDENTIFIER = "invalid-identifier";
inline constexpr std::string_view RESERVED_IDENTIFIER = "reserved-identifier";
inline constexpr std::string_view LONG_IDENTIFIER = "long-identifier";
inline constexpr std::string_view CASE_CLASH = "case-clash";
inline constexpr std::string_view NON_ASCII_NAME = "non-ascii-name";
inline constexpr std::string_view DUPLICATE_PRIORITY = "duplicate-priority";
inline constexpr std::string_view PRIORITY_OUT_OF_RANGE = "priority-out-of-range";
inline constexpr std::string_view MUST_BE_LAST = "must-be-last";
inline constexpr std::string_view SHADOWED_TRANSITION = "shadowed-transition";
inline constexpr std::string_view UNBOUNDED_CHAIN = "unbounded-chain";
inline constexpr std::string_view COMMENT_IN_CONDITION = "comment-in-condition";
inline constexpr std::string_view ANSI_COMMENT_IN_STRING = "ansi-comment-in-string";
inline constexpr std::string_view ANSI_COMMENT_IN_TEXT_BOX = "ansi-comment-in-text-box";
inline constexpr std::string_view DUPLICATE_FSM_NAME = "duplicate-fsm-name";
inline constexpr std::string_view FSM_NAME_MISMATCH = "fsm-name-mismatch";
inline constexpr std::string_view MISSING_CHILD = "missing-child";
inline constexpr std::string_view UNREACHABLE_STATE = "unreachable-state";
inline constexpr std::string_view DEAD_END_STATE = "dead-end-state";
inline constexpr std::string_view UNDEFINED_TARGET_TYPES = "undefined-target-types";
inline constexpr std::string_view C_ERROR = "c-error";
inline constexpr std::string_view C_WARNING = "c-warning";
inline constexpr std::string_view C_COMPILER = "c-compiler";
}  // namespace check_id

}  // namespace tarvel
