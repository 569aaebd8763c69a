#include "check/checkids.h"

#include <array>

namespace tarvel {

namespace {

using namespace check_id;

constexpr Severity E = Severity::Error;
constexpr Severity W = Severity::Warning;

constexpr std::array CHECKS = {
    CheckInfo{NO_FSM_NAME, E, "The FSM has no name; the generator refuses the diagram."},
    CheckInfo{NO_INITIAL_STATE, E,
              "No state is the initial state; the generator refuses the diagram."},
    CheckInfo{EXIT_WITHOUT_TRANSITION, E,
              "A state has exit actions but no transition leaves it; the generator refuses the "
              "diagram."},
    CheckInfo{BAD_STATE_INDEX, E,
              "A state index is repeated or outside 1..number of states; the generator refuses "
              "the diagram."},
    CheckInfo{CHILD_LOAD_ERROR, E, "A child diagram cannot be read; no code can be generated."},
    CheckInfo{INVALID_IDENTIFIER, E,
              "A state or FSM name is not a C identifier (letters, digits and \"_\", no digit "
              "first)."},
    CheckInfo{RESERVED_IDENTIFIER, E,
              "An FSM name is a C keyword, a name C reserves, or a name the generated code "
              "already uses."},
    CheckInfo{LONG_IDENTIFIER, W,
              "A generated identifier is longer than the 31 characters C89 compilers must tell "
              "apart."},
    CheckInfo{CASE_CLASH, E,
              "Two states have names that differ only in case; both give the same state "
              "constant."},
    CheckInfo{NON_ASCII_NAME, E,
              "A state or FSM name has letters outside ASCII, which C89 compilers reject."},
    CheckInfo{DUPLICATE_PRIORITY, E,
              "Two transitions of a state share a priority; only the first is generated."},
    CheckInfo{PRIORITY_OUT_OF_RANGE, E,
              "A priority is outside 1..number of the state's transitions; the transition is "
              "never generated."},
    CheckInfo{MUST_BE_LAST, E,
              "A transition marked must-be-last is not last in priority order; the code follows "
              "the priority."},
    CheckInfo{SHADOWED_TRANSITION, W,
              "A transition or the else actions follow an unconditional transition and never "
              "run."},
    CheckInfo{UNBOUNDED_CHAIN, E,
              "Continue-immediately transitions can cycle while the loop limit is 0: a call may "
              "never return."},
    CheckInfo{COMMENT_IN_CONDITION, E,
              "A condition ends inside a comment, which swallows the generated \"){\"."},
    CheckInfo{ANSI_COMMENT_IN_STRING, E,
              "With ANSI comments on, converting the \"//\" comments would change this line."},
    CheckInfo{ANSI_COMMENT_IN_TEXT_BOX, E,
              "With ANSI comments and text boxes in the code, a \"//\" ends the comment block "
              "early."},
    CheckInfo{DUPLICATE_FSM_NAME, E,
              "Two diagrams of the hierarchy have the same FSM name; the second is not "
              "generated."},
    CheckInfo{FSM_NAME_MISMATCH, E,
              "A child diagram's FSM name differs from its file name, which its parent calls."},
    CheckInfo{MISSING_CHILD, E, "A superstate names no child diagram that exists on disk."},
    CheckInfo{UNREACHABLE_STATE, W, "No path of transitions leads from the initial state here."},
    CheckInfo{DEAD_END_STATE, W, "A state that is not final has no transition to another state."},
    CheckInfo{UNDEFINED_TARGET_TYPES, E,
              "The target's types T_u8, T_u16, T_bit, T_char, TRUE, FALSE that the code uses "
              "are not defined."},
    CheckInfo{C_ERROR, E, "The C compiler reports an error."},
    CheckInfo{C_WARNING, W, "The C compiler reports a warning."},
    CheckInfo{C_COMPILER, E, "The C compiler could not be run."},
};

}  // namespace

std::span<const CheckInfo> allChecks() {
    return CHECKS;
}

const CheckInfo* findCheck(std::string_view id) {
    for (const CheckInfo& c : CHECKS) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace tarvel
