// One problem the check found: where it lives (diagram file, element, field
// and line of the field's text), what it is, and the id of the check that
// found it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvel {

enum class Severity { Warning, Error };

// The element a finding belongs to.
enum class ElementKind { Fsm, State, Transition, Comment };

// The texts of the elements, as the property dialogs name them.
enum class Field {
    None,
    // State.
    StateName,
    Entry,
    During,
    Else,
    Exit,
    // Transition.
    Priority,
    Condition,
    Action,
    // FSM properties.
    FsmName,
    Parameters,
    ReturnType,
    Initialization,
    Before,
    DefaultCase,
    After,
    EndingCode,
    ModuleHeader,
    FunctionHeader,
    MaxLoops,
    // Comment.
    Text,
};

// "entry action", "condition", "initialization"...; empty for None.
std::string_view fieldLabel(Field field);

struct ElementRef {
    static constexpr std::size_t NO_NODE = static_cast<std::size_t>(-1);

    ElementKind kind = ElementKind::Fsm;
    std::string state;     // the state's name; a transition's source state
    std::string target;    // a transition's target state
    std::string priority;  // a transition's priority as written in its record
    // Position of the node in the diagram's node list, so that the editor can
    // find it again; NO_NODE for the FSM properties.
    std::size_t node = NO_NODE;

    static ElementRef fsm() { return {}; }
    // `state "IDLE"`, `transition "IDLE -> RUN" (priority 2)`, `comment` or
    // `FSM properties`.
    std::string label() const;
};

struct Finding {
    Severity severity = Severity::Error;
    std::string file;  // the diagram file the element lives in
    ElementRef element;
    Field field = Field::None;
    int line = 0;       // line in the field's text, from 1; 0: the whole field
    std::string quote;  // a generated line no user wrote, for compiler findings
    std::string message;
    std::string check;  // the check's id

    // "ELEMENT[, FIELD[, line N]]" or "FSM properties, generated line "...""
    std::string location() const;
};

std::string_view severityName(Severity severity);

// `FILE: error: ELEMENT, FIELD, line N: MESSAGE [check-id]`, without a line break.
std::string formatFinding(const Finding& finding, std::string_view displayPath);

}  // namespace tarvel
