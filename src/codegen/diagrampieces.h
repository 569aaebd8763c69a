// The texts one diagram contributes to the module and the header; the driver
// places each of them in its section.
#pragma once

#include <string>

namespace tarvel {

struct DiagramPieces {
    // Root: banner, exported function, module header, start of the user
    // initialisation. Child: its user initialisation only.
    std::string top;
    // State constants, index variable, debug tables, macros and functions,
    // exit function prototypes.
    std::string automaticInitialisation;
    // Child only: the prototype of its (static) FSM function.
    std::string localChildFunction;
    // The entry flag declaration, when any state has entry actions.
    std::string entryFlags;
    // The customised debug macros and the illegal-state macro.
    std::string debugMacros;
    // The FSM function and the exit functions.
    std::string fsmFunction;
    // User ending code and the diagram's comment boxes.
    std::string ending;
    // Root: banner, module header, FSM function prototype and the prototypes of
    // the generated functions. Child: those prototypes only.
    std::string header;

    // Reentrant style only. The root's header continues after the instance
    // type with this text; the four pieces below build the instance type and
    // its reset function over the whole hierarchy.
    std::string headerAfterInstanceType;
    std::string indexMembers;
    std::string entryFlagMembers;
    std::string indexResets;
    std::string entryFlagResets;
};

}  // namespace tarvel
