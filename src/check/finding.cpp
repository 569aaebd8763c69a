#include "check/finding.h"

namespace tarvel {

std::string_view fieldLabel(Field field) {
    switch (field) {
        case Field::None:
            return {};
        case Field::StateName:
        case Field::FsmName:
            return "name";
        case Field::Entry:
            return "entry action";
        case Field::During:
            return "during action";
        case Field::Else:
            return "else action";
        case Field::Exit:
            return "exit action";
        case Field::Priority:
            return "priority";
        case Field::Condition:
            return "condition";
        case Field::Action:
            return "action";
        case Field::Parameters:
            return "parameters";
        case Field::ReturnType:
            return "return type";
        case Field::Initialization:
            return "initialization";
        case Field::Before:
            return "actions before";
        case Field::DefaultCase:
            return "default case";
        case Field::After:
            return "actions after";
        case Field::EndingCode:
            return "ending code";
        case Field::ModuleHeader:
            return "module header";
        case Field::FunctionHeader:
            return "function header";
        case Field::MaxLoops:
            return "maximum loops";
        case Field::Text:
            return "text";
    }
    return {};
}

std::string ElementRef::label() const {
    switch (kind) {
        case ElementKind::Fsm:
            return "FSM properties";
        case ElementKind::State:
            return "state \"" + state + "\"";
        case ElementKind::Transition:
            return "transition \"" + state + " -> " + target + "\" (priority " + priority + ")";
        case ElementKind::Comment:
            return "comment";
    }
    return {};
}

std::string Finding::location() const {
    std::string out = element.label();
    if (!quote.empty()) {
        out += ", generated line \"" + quote + "\"";
        return out;
    }
    const std::string_view f = fieldLabel(field);
    if (!f.empty()) {
        out += ", ";
        out += f;
    }
    if (line > 0) {
        out += ", line " + std::to_string(line);
    }
    return out;
}

std::string_view severityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::string formatFinding(const Finding& finding, std::string_view displayPath) {
    std::string out(displayPath);
    out += ": ";
    out += severityName(finding.severity);
    out += ": ";
    out += finding.location();
    out += ": ";
    out += finding.message;
    out += " [";
    out += finding.check;
    out += "]";
    return out;
}

}  // namespace tarvel
