// The identifiers and fixed texts of one diagram's code, formed once from
// its FSM properties, its name prefix and the generation style, so that the
// emitting code only formats.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

class DiagramAnalysis;

// The two styles of code: one machine with module-level variables, or a
// reentrant machine whose variables live in an instance passed as "this".
enum class Flavour { SwitchCase, Reentrant };

// The options one diagram is generated with: the first four come from its
// own document, the others from the root of the hierarchy.
struct DiagramOptions {
    bool functionInit = false;
    bool functionEnd = false;
    bool historyFsm = true;
    bool useMacros = true;
    bool debugInfo = false;
    bool printTextBoxes = false;
    bool useBitFields = false;
};

struct DiagramNames {
    std::string name;    // the FSM name (function name)
    std::string prefix;  // "" for the root, "_k" per level below it
    std::string parameters;
    std::string returnType;
    std::string indexVariable;  // the index variable, or its access through the instance
    std::string entryFlag;
    std::string debugTransition;
    std::string debugStateNames;
    std::string chainFlag;
    std::string chainCounter;
    std::string isInPrefix;
    std::string gotoPrefix;
    std::string initMacro;
    std::string endMacro;
    std::string constantCast;  // "(T_u8)" or "(T_u16)"
    std::string indexType;     // "T_u8" or "T_u16"
    int digits = 1;            // width of the constants' values
    // Position k - 1: the constant of the state of index k.
    std::vector<std::string> constants;

    // Reentrant style: the instance type and this diagram's members of it.
    std::string instanceType;
    std::string indexMember;
    std::string entryFlagMember;

    static DiagramNames form(const DiagramAnalysis& analysis, std::string_view prefix,
                             Flavour flavour, const DiagramOptions& options,
                             std::string_view rootName);

    // Return type, name and parameters of the FSM function, as its
    // definition, its prototypes and the banner name it.
    std::string signature() const { return returnType + " " + name + "(" + parameters + ")"; }

    const std::string& constant(int index) const {
        return constants[static_cast<std::size_t>(index - 1)];
    }
};

}  // namespace tarvel
