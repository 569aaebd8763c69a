#include "codegen/diagramnames.h"

#include "base/text.h"
#include "codegen/diagramanalysis.h"
#include "model/fsmrecord.h"

namespace tarvel {

namespace {

// The instance parameter of every function of a reentrant machine.
constexpr std::string_view INSTANCE = "this";

std::string orVoid(std::string_view text) {
    const std::string_view trimmed = trimBlanks(text);
    return trimmed.empty() ? std::string("void") : std::string(trimmed);
}

int digitsFor(int stateCount) {
    if (stateCount < 10) {
        return 1;
    }
    if (stateCount < 100) {
        return 2;
    }
    return stateCount < 1000 ? 3 : 4;
}

}  // namespace

DiagramNames DiagramNames::form(const DiagramAnalysis& analysis, std::string_view prefix,
                                Flavour flavour, const DiagramOptions& options,
                                std::string_view rootName) {
    DiagramNames n;
    const std::string name(analysis.fsmField(FF_NAME));
    const std::string p(prefix);
    n.name = name;
    n.prefix = p;
    n.returnType = orVoid(analysis.fsmField(FF_RETURN_TYPE));
    n.debugTransition = "debug_transNumber" + p;
    n.debugStateNames = "debug_stateNames" + p;
    n.chainFlag = "fsm_chainTransition" + p;
    n.chainCounter = "fsm_chainMaxLoops" + p;

    const int count = analysis.stateCount();
    const bool wide = count >= 256;
    n.constantCast = wide ? "(T_u16)" : "(T_u8)";
    n.indexType = wide ? "T_u16" : "T_u8";
    n.digits = digitsFor(count);
    n.constants.reserve(analysis.states().size());
    for (const StateInfo& s : analysis.states()) {
        n.constants.push_back("i" + p + "_" + upperAscii(s.name));
    }

    if (flavour == Flavour::Reentrant) {
        const std::string instance(INSTANCE);
        n.instanceType = "T_" + std::string(rootName);
        n.indexMember = "ind" + p + "_" + name;
        n.entryFlagMember = "entryFsmFlg" + p;
        n.indexVariable = instance + "->" + n.indexMember;
        n.entryFlag = instance + "->" + n.entryFlagMember;
        n.parameters = n.instanceType + " *" + instance;
        const std::string_view user = trimBlanks(analysis.fsmField(FF_PARAMETERS));
        if (!user.empty()) {
            n.parameters += ", ";
            n.parameters += user;
        }
        n.isInPrefix = name + "_IsIn_";
        n.gotoPrefix = name + "_Goto_";
        n.initMacro = name + "_Init()";
        n.endMacro = name + "_End()";
        return n;
    }

    n.parameters = orVoid(analysis.fsmField(FF_PARAMETERS));
    n.indexVariable = "ind" + p + "_" + name;
    n.entryFlag = (options.useBitFields ? "entryFsm.flg" : "entryFsmFlg") + p;
    // Without macros the plain names belong to the wrapping functions and the
    // macros take a double underscore.
    const std::string sep = options.useMacros ? "_" : "__";
    n.isInPrefix = name + sep + "IsIn_";
    n.gotoPrefix = name + sep + "Goto_";
    n.initMacro = name + sep + "Init()";
    n.endMacro = name + sep + "End()";
    return n;
}

}  // namespace tarvel
