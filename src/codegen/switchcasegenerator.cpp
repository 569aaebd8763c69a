#include "codegen/switchcasegenerator.h"

#include <set>
#include <string>

#include "base/codeprinter.h"
#include "base/text.h"
#include "codegen/codetext.h"
#include "model/diagram.h"
#include "model/fsmrecord.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

constexpr std::string_view DEBUG_IF = "#if defined(FSM_DEBUG)";
constexpr std::string_view DEBUG_ENDIF = "#endif";

// The number right-aligned in `width` characters.
std::string rightAligned(int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
    }
    return digits;
}

}  // namespace

SwitchCaseGenerator::SwitchCaseGenerator(const DiagramAnalysis& analysis, const DiagramNames& names,
                                         const DiagramOptions& options, Flavour flavour,
                                         bool isRoot)
    : m_analysis(analysis),
      m_names(names),
      m_options(options),
      m_flavour(flavour),
      m_isRoot(isRoot) {
    // The reentrant machine keeps its flags in the instance and offers only
    // macros, which need the instance in scope.
    if (reentrant()) {
        m_options.useMacros = true;
        m_options.useBitFields = false;
    }
}

DiagramPieces SwitchCaseGenerator::generate() const {
    DiagramPieces pieces;
    CodePrinter prototypes;
    pieces.top = topPiece();
    pieces.entryFlags = entryFlagsPiece();
    pieces.automaticInitialisation = automaticInitialisationPiece(prototypes);
    pieces.localChildFunction = localChildFunctionPiece();
    pieces.debugMacros = debugMacrosPiece();
    pieces.fsmFunction = fsmFunctionPiece();
    pieces.ending = endingPiece();
    pieces.header = headerPiece(prototypes.str());
    if (reentrant()) {
        pieces.headerAfterInstanceType = headerAfterInstanceType();
        instancePieces(pieces);
    }
    return pieces;
}

// ---------------------------------------------------------------------------
// Shared blocks

void SwitchCaseGenerator::banner(CodePrinter& out) const {
    out.line(PLUS_LINE);
    out.line("//  Automatic generated C-code by the application:");
    out.text("//     ").line(APP_TITLE);
    out.line(PLUS_LINE);
    out.text("// Methodology: Hierarchical Switch-case state. [")
        .text(METHODOLOGY_VERSION)
        .line("]");
    out.line(PLUS_LINE);
}

void SwitchCaseGenerator::moduleHeaderBlock(CodePrinter& out) const {
    const std::string_view header = m_analysis.fsmField(FF_MODULE_HEADER);
    if (header.empty()) {
        return;
    }
    out.line(PLUS_LINE);
    out.line("// Module header proposed by the user (Start).");
    out.line(DASH_LINE);
    out.text(commentLines(neutraliseCommentMarks(header)));
    out.line(DASH_LINE);
    out.line("// Module header proposed by the user (End).");
    out.line(PLUS_LINE);
    out.nl();
}

void SwitchCaseGenerator::functionHeaderBlock(CodePrinter& out) const {
    const std::string_view header = m_analysis.fsmField(FF_FUNCTION_HEADER);
    if (header.empty()) {
        return;
    }
    out.text(commentLines(neutraliseCommentMarks(header)));
    out.line(PLUS_LINE);
}

// ---------------------------------------------------------------------------
// Top

std::string SwitchCaseGenerator::topPiece() const {
    const std::string_view initialisation = m_analysis.fsmField(FF_INITIALISATION);
    CodePrinter out(1024 + initialisation.size());
    if (m_isRoot) {
        banner(out);
        out.text("// Exported function: ")
            .text(m_names.returnType)
            .text(" ")
            .text(m_names.name)
            .text("(")
            .text(m_names.parameters)
            .line(");");
        out.line(PLUS_LINE);
        out.nl();
        moduleHeaderBlock(out);
        out.line(PLUS_LINE);
        out.line("// Initialization proposed by the user (Start).");
        out.line(DASH_LINE);
    }
    out.indented(initialisation, 2).nl();
    return out.take();
}

// ---------------------------------------------------------------------------
// Entry flags

std::string SwitchCaseGenerator::entryFlagsPiece() const {
    if (!m_analysis.hasEntry() || reentrant()) {
        return {};
    }
    CodePrinter out;
    if (m_options.useBitFields) {
        // One member of the structure the driver wraps around all members.
        out.text(padRight("    T_bit flg" + m_names.prefix, 24)).line(" :1;");
    } else {
        out.text("static T_bit ").text(m_names.entryFlag).line(" = 0U;");
    }
    return out.take();
}

// ---------------------------------------------------------------------------
// Automatic initialisation

std::string SwitchCaseGenerator::automaticInitialisationPiece(CodePrinter& prototypes) const {
    CodePrinter out(static_cast<std::size_t>(m_analysis.stateCount()) * 160 + 1024);
    stateConstants(out);
    indexVariable(out);
    debugTables(out);
    out.nl().line("// Macros & functions.");
    initialStateMacro(out, prototypes);
    historyMacro(out);
    finalStateMacro(out, prototypes);
    isInMacros(out, prototypes);
    gotoMacros(out, prototypes);
    exitFunctionPrototypes(out);
    return out.take();
}

void SwitchCaseGenerator::stateConstants(CodePrinter& out) const {
    out.line(" // States index.");
    const std::string lead = "  #define  i" + m_names.prefix + "_";
    // Names are padded so that the values line up two blanks after the
    // longest constant.
    const std::size_t width = m_analysis.longestName() + charCount(lead) + 2;
    for (const StateInfo& s : m_analysis.states()) {
        out.text(padRight("  #define  " + m_names.constant(s.index), width))
            .text("(")
            .text(m_names.constantCast)
            .text(rightAligned(s.index - 1, m_names.digits))
            .line(")");
    }
}

void SwitchCaseGenerator::indexVariable(CodePrinter& out) const {
    // The reentrant machine keeps its index in the instance instead.
    if (reentrant()) {
        return;
    }
    out.nl().line(" // Index variable.");
    out.text("static ")
        .text(m_names.indexType)
        .text(" ")
        .text(m_names.indexVariable)
        .text(" = ")
        .text(m_names.constant(m_analysis.initialIndex()))
        .line(";");
}

void SwitchCaseGenerator::debugTables(CodePrinter& out) const {
    if (!m_options.debugInfo) {
        return;
    }
    out.nl();
    {
        PrinterScope debug(out, 0, DEBUG_IF, DEBUG_ENDIF);
        out.blanks(4).text("static T_u8 ").text(m_names.debugTransition).line(" = (T_u8)0;");
        out.blanks(4).text("static const T_char* ").text(m_names.debugStateNames).line("[] = {");
        for (const StateInfo& s : m_analysis.states()) {
            out.blanks(8).text("\"").text(s.name).line("\",");
        }
        out.line(4, "};");
    }
    out.nl();
}

void SwitchCaseGenerator::entryFlagReset(CodePrinter& out) const {
    if (m_analysis.hasEntry()) {
        out.text(m_names.entryFlag).text(" = 0U; ");
    }
}

void SwitchCaseGenerator::initialStateMacro(CodePrinter& out, CodePrinter& prototypes) const {
    if (!m_options.functionInit && m_options.historyFsm) {
        return;
    }
    const std::string_view comment = "// Force the FSM to the initial state.";
    const std::string macro = "#define " + m_names.initMacro + " { " + m_names.indexVariable +
                              " = " + m_names.constant(m_analysis.initialIndex()) + "; ";
    out.line(comment);
    if (m_options.debugInfo) {
        out.line(DEBUG_IF).blanks(4).text(macro);
        entryFlagReset(out);
        out.text(m_names.debugTransition).text(" = (T_u8)0U;").line("}");
        out.line("#else").blanks(4);
    }
    out.text(macro);
    entryFlagReset(out);
    out.line("}");
    if (m_options.debugInfo) {
        out.line(DEBUG_ENDIF);
    }
    out.nl();
    if (m_options.useMacros) {
        return;
    }
    const std::string head = "void " + m_names.name + "_Init(void)";
    out.line(head).line("{").blanks(4).text(m_names.initMacro).line(";").line("}").nl();
    prototypes.line(comment).text(head).line(";").nl();
}

void SwitchCaseGenerator::historyMacro(CodePrinter& out) const {
    if (m_options.historyFsm) {
        out.line("// This is a history FSM.");
        out.text("#define _").text(m_names.name).text("_Init()").text("  {}");
        out.nl(2);
        return;
    }
    // Leaving the machine restarts it and, through their own history macros,
    // every child its states name (each child once).
    std::string children;
    std::set<std::string> listed;
    for (int index : m_analysis.nodeOrder()) {
        for (const std::string& entry : m_analysis.state(index).children) {
            std::string child = baseName(entry);
            if (listed.insert(child).second) {
                children += "_" + child + "_Init(); ";
            }
        }
    }
    out.line("// This is not a history FSM.");
    out.text("#define _")
        .text(m_names.name)
        .text("_Init()")
        .text("  {")
        .text(m_names.name)
        .text("_Init()")
        .text("; /* Children: */ ")
        .text(trimRightBlanks(children))
        .text("}");
    out.nl(2);
}

void SwitchCaseGenerator::finalStateMacro(CodePrinter& out, CodePrinter& prototypes) const {
    if (!m_options.functionEnd) {
        return;
    }
    const std::string_view comment = "// Confirm that the FSM has reached a final state.";
    out.line(comment);
    out.text("#define ").text(m_names.endMacro).line(" (\\").blanks(4);
    if (m_analysis.finalStates().empty()) {
        out.text("0");
    }
    bool first = true;
    for (int index : m_analysis.finalStates()) {
        if (!first) {
            out.line(" ||\\").blanks(11);
        }
        first = false;
        out.text("(")
            .text(m_names.indexVariable)
            .text(" == ")
            .text(m_names.constant(index))
            .text(")");
    }
    out.line(")").nl();
    if (m_options.useMacros) {
        return;
    }
    const std::string head = "T_u8 " + m_names.name + "_End(void)";
    out.line(head).line("{").blanks(4).text("return(").text(m_names.endMacro).line(");");
    out.line("}").nl();
    prototypes.line(comment).text(head).line(";").nl();
}

void SwitchCaseGenerator::isInMacros(CodePrinter& out, CodePrinter& prototypes) const {
    for (int index : m_analysis.nodeOrder()) {
        const StateInfo& s = m_analysis.state(index);
        if (!s.isIn) {
            continue;
        }
        const std::string comment =
            "// Confirm that the FSM has reached the state:[" + std::string(s.name) + "].";
        out.line(comment);
        out.text("#define ")
            .text(m_names.isInPrefix)
            .text(s.name)
            .text("() (")
            .text(m_names.indexVariable)
            .text(" == ")
            .text(m_names.constant(index))
            .text(")")
            .nl(2);
        if (m_options.useMacros) {
            continue;
        }
        const std::string head = "T_u8 " + m_names.name + "_IsIn_" + std::string(s.name) + "(void)";
        out.line(head).line("{");
        out.blanks(4).text("return(").text(m_names.isInPrefix).text(s.name).line("());");
        out.line("}").nl();
        prototypes.line(comment).text(head).line(";").nl();
    }
}

void SwitchCaseGenerator::gotoMacros(CodePrinter& out, CodePrinter& prototypes) const {
    for (int index : m_analysis.nodeOrder()) {
        const StateInfo& s = m_analysis.state(index);
        if (!s.goTo) {
            continue;
        }
        const std::string comment = "// Force the FSM to the state:[" + std::string(s.name) + "].";
        const std::string macro = "#define " + m_names.gotoPrefix + std::string(s.name) + "() { " +
                                  m_names.indexVariable + " = " + m_names.constant(index) + "; ";
        out.line(comment);
        if (m_options.debugInfo) {
            out.line(DEBUG_IF).blanks(4).text(macro);
            entryFlagReset(out);
            out.text(m_names.debugTransition).line(" = (T_u8)0U; }");
            out.line("#else").blanks(4);
        }
        out.text(macro);
        entryFlagReset(out);
        out.line("}");
        if (m_options.debugInfo) {
            out.line(DEBUG_ENDIF);
        }
        out.nl();
        if (m_options.useMacros) {
            continue;
        }
        const std::string head = "void " + m_names.name + "_Goto_" + std::string(s.name) + "(void)";
        out.line(head).line("{");
        out.blanks(4).text(m_names.gotoPrefix).text(s.name).line("();");
        out.line("}").nl();
        prototypes.line(comment).text(head).line(";").nl();
    }
}

void SwitchCaseGenerator::exitFunctionPrototypes(CodePrinter& out) const {
    const std::string prototypes = m_analysis.entryExit().DimeDefinicionExitFunc();
    if (prototypes.empty()) {
        return;
    }
    out.nl().line(" // Definition of Exit_functions.").indented(prototypes, 2).nl();
}

// ---------------------------------------------------------------------------
// Local child function

std::string SwitchCaseGenerator::localChildFunctionPiece() const {
    if (m_isRoot) {
        return {};
    }
    CodePrinter out;
    out.text("static ")
        .text(m_names.returnType)
        .text(" ")
        .text(m_names.name)
        .text("(")
        .text(m_names.parameters)
        .text(");");
    return out.take();
}

// ---------------------------------------------------------------------------
// Debug macros

std::string SwitchCaseGenerator::debugMacrosPiece() const {
    CodePrinter out;
    if (m_options.debugInfo) {
        out.nl().line(PLUS_LINE).line("// Debug customized macros.").line(PLUS_LINE);
        out.line(DEBUG_IF);
        if (!m_isRoot) {
            // The root defined them first; each child redefines them for its
            // own function, which follows.
            out.line(4, "#undef  FSM_STATE_NAME");
            out.line(4, "#undef  FSM_TRANS_NUMBER");
            out.line(4, "#undef  FSM_NAME");
        }
        out.blanks(4)
            .text("#define FSM_STATE_NAME()   ")
            .text(m_names.debugStateNames)
            .text("[")
            .text(m_names.indexVariable)
            .line("]");
        out.blanks(4).text("#define FSM_TRANS_NUMBER() ").line(m_names.debugTransition);
        out.blanks(4).text("#define FSM_NAME()         \"").text(m_names.name).line("\"");
        if (m_isRoot) {
            out.line("#else");
            out.line(4, "#define FSM_STATE_NAME()");
            out.line(4, "#define FSM_TRANS_NUMBER()");
            out.line(4, "#define FSM_NAME()");
        }
        out.line(DEBUG_ENDIF);
    }
    std::string userCode;
    for (int field : {FF_INITIALISATION, FF_BEFORE, FF_AFTER, FF_FINAL_CODE}) {
        userCode += m_analysis.fsmField(field);
    }
    if (userCode.find("Is_Next_State_Illegal()") != std::string::npos) {
        out.line("#undef Is_Next_State_Illegal");
        out.text("#define Is_Next_State_Illegal() (")
            .text(m_names.indexVariable)
            .text(" > ")
            .text(m_names.constant(m_analysis.stateCount()))
            .line(")");
    }
    return out.take();
}

// ---------------------------------------------------------------------------
// FSM function

std::string SwitchCaseGenerator::fsmFunctionPiece() const {
    std::size_t estimate = 4096;
    for (const StateInfo& s : m_analysis.states()) {
        const std::size_t texts = s.moore.size() + s.entry.size() + s.elseActions.size();
        estimate += 200 + texts +
                    static_cast<std::size_t>(s.outLinks) *
                        (420 + m_analysis.entryExit().ExitAction(s.index).size());
    }
    CodePrinter out(estimate);
    const int b = loopIndent();
    out.nl().line(PLUS_LINE).line("// FSM dispatcher function to be called by the O.S.");
    out.line(PLUS_LINE);
    functionHeaderBlock(out);
    functionHead(out);
    {
        PrinterScope body(out, 0, "{", "}");
        chainLocals(out);
        actionsBeforeAnalysis(out);
        if (m_options.debugInfo) {
            PrinterScope debug(out, 4, DEBUG_IF, DEBUG_ENDIF);
            out.blanks(8).text(m_names.debugTransition).line(" = (T_u8)0U;");
        }
        if (m_analysis.chainPresent()) {
            out.line(4, "// Chain transition loop.").line(4, "do{");
            out.blanks(8).text(m_names.chainFlag).line(" = FALSE;");
        }
        out.line(b + 4, "// Next state analyser.");
        {
            PrinterScope sw(out, b + 4, "switch(" + m_names.indexVariable + "){", "}");
            for (const StateInfo& s : m_analysis.states()) {
                stateCase(out, s);
            }
            defaultCase(out);
        }
        chainLoopEnd(out);
        actionsAfterAnalysis(out);
    }
    out.nl();
    exitFunctionBodies(out);
    return out.take();
}

void SwitchCaseGenerator::functionHead(CodePrinter& out) const {
    if (!m_isRoot) {
        out.text("static ");
    }
    out.text(m_names.returnType)
        .text(" ")
        .text(m_names.name)
        .text("(")
        .text(m_names.parameters)
        .line(")");
}

void SwitchCaseGenerator::chainLocals(CodePrinter& out) const {
    if (!m_analysis.chainPresent()) {
        return;
    }
    out.line(4, "// Chain transition flag.");
    out.blanks(4).text("T_bit ").text(m_names.chainFlag).line(";");
    if (m_analysis.maxLoops() > 0) {
        out.blanks(4)
            .text("T_u8 ")
            .text(m_names.chainCounter)
            .text(" = (T_u8)")
            .text(std::to_string(m_analysis.maxLoops()))
            .line(";");
    }
    out.nl();
}

void SwitchCaseGenerator::actionsBeforeAnalysis(CodePrinter& out) const {
    const std::string_view before = m_analysis.fsmField(FF_BEFORE);
    if (before.empty()) {
        return;
    }
    out.line(4, "// User actions to be executed before analyse the state.");
    out.indented(before, 4).nl(2);
}

void SwitchCaseGenerator::stateCase(CodePrinter& out, const StateInfo& s) const {
    const int b = loopIndent();
    out.blanks(b + 8).text("case ").text(m_names.constant(s.index)).line(":");
    entryCheck(out, s);
    if (!s.moore.empty()) {
        out.line(b + 12, "// State actions (Moore).").indented(s.moore, b + 12).nl();
    }

    const bool hasElse = !s.elseActions.empty();
    bool hasTransitions = false;
    for (const Node* t : s.byPriority) {
        hasTransitions = hasTransitions || t != nullptr;
    }
    if (hasTransitions) {
        out.line(b + 12, "// Next state selection.").blanks(b + 12);
        for (int p = 1; p <= s.outLinks; ++p) {
            if (s.byPriority[static_cast<std::size_t>(p - 1)] != nullptr) {
                transition(out, s, p, !hasElse);
            }
        }
        // Every transition ends in "}else "; without else actions the last
        // one keeps only its closing brace.
        if (!hasElse) {
            out.truncate(out.size() - 5);
        }
    } else if (hasElse) {
        out.blanks(b + 12);
    }
    if (hasElse) {
        out.line("{ // Else actions.").indented(s.elseActions, b + 16).nl();
        out.blanks(b + 12).text("}");
    }
    if (hasTransitions || hasElse) {
        out.nl();
    }
    out.line(b + 8, "break;");
}

void SwitchCaseGenerator::entryCheck(CodePrinter& out, const StateInfo& s) const {
    std::string_view entry;
    if (!m_analysis.entryExit().ExisteEntryAccion(s.index, entry)) {
        return;
    }
    const int b = loopIndent();
    out.line(b + 12, "// Entry check");
    out.blanks(b + 12).text("if(!((T_bit)").text(m_names.entryFlag).line(")){");
    out.blanks(b + 16).text(m_names.entryFlag).line(reentrant() ? " = (T_bit)1U;" : " = (T_bit)1;");
    out.line(b + 16, "// Entry actions").indented(entry, b + 16).nl();
    out.line(b + 12, "}");
}

void SwitchCaseGenerator::transition(CodePrinter& out, const StateInfo& s, int p,
                                     bool noElse) const {
    const int b = loopIndent();
    const Node& t = *s.byPriority[static_cast<std::size_t>(p - 1)];
    const std::string_view condition = readTransitionField(TF_CONDITION, t);
    if (!isBlank(condition)) {
        // Continuation lines of the condition stand under its first line:
        // after "if(" for the first priority, after "}else if(" for the others.
        std::string opening(condition);
        opening += "){";
        out.text("if(").indented(opening, b + (p == 1 ? 15 : 21), false);
    } else {
        out.text(p < s.outLinks || !noElse ? "if(1){" : "{");
    }
    if (s.outLinks > 1) {
        out.text("\t// [").text(readTransitionField(TF_PRIORITY, t)).text("].");
    }
    out.nl();

    const bool disabled = m_analysis.entryExitDisabled(s, p);
    if (!disabled) {
        childInitialisation(out, s);
    }
    std::string_view exitText;
    bool exitDisabled = false;
    if (m_analysis.entryExit().ExistExitInThisTrans(s.index, p, exitText, exitDisabled)) {
        out.line(b + 16, "// Exit actions.").indented(exitText, b + 16).nl();
    }
    const std::string_view actions = readTransitionField(TF_ACTIONS, t);
    if (!actions.empty()) {
        out.line(b + 16, "// Transition actions (Meally).").indented(actions, b + 16).nl();
    }
    const int target = s.targetOf[static_cast<std::size_t>(p - 1)];
    if (target != 0 && target != s.index) {
        out.line(b + 16, "// Pointing to the next state.");
        out.blanks(b + 16)
            .text(m_names.indexVariable)
            .text(" = ")
            .text(m_names.constant(target))
            .line(";");
    }
    if (m_options.debugInfo) {
        PrinterScope debug(out, b + 16, DEBUG_IF, DEBUG_ENDIF);
        out.blanks(b + 20)
            .text(m_names.debugTransition)
            .text(" = (T_u8)")
            .text(readTransitionField(TF_PRIORITY, t))
            .line(";");
    }
    if (!s.entry.empty() && !disabled) {
        out.line(b + 16, "// Reset entry flag");
        out.blanks(b + 16).text(m_names.entryFlag).line(" = 0U;");
    }
    if (m_analysis.chainPresent() && m_analysis.chains().ExistInThisTrans(s.index, p)) {
        out.line(b + 16, "// Chain transition.");
        out.blanks(b + 16).text(m_names.chainFlag).line(" = TRUE;");
    }
    out.blanks(b + 12).text("}else ");
}

void SwitchCaseGenerator::childInitialisation(CodePrinter& out, const StateInfo& s) const {
    if (s.children.empty()) {
        return;
    }
    const int b = loopIndent();
    // One line per child entry: a child found beside the diagram and in its
    // sub-folder is restarted twice, which is harmless.
    CodePrinter calls;
    for (const std::string& entry : s.children) {
        calls.text("_").text(baseName(entry)).line("_Init();");
    }
    out.line(b + 16, "// Child Initialization.").indented(calls.str(), b + 16);
}

void SwitchCaseGenerator::defaultCase(CodePrinter& out) const {
    const std::string_view actions = m_analysis.fsmField(FF_DEFAULT_ACTIONS);
    if (actions.empty()) {
        return;
    }
    const int b = loopIndent();
    out.line(b + 8, "default:");
    out.line(b + 12, "// State index error trap (MISRA requiremment).");
    out.indented(actions, b + 12).nl();
    out.line(b + 8, "break;");
}

void SwitchCaseGenerator::chainLoopEnd(CodePrinter& out) const {
    if (!m_analysis.chainPresent()) {
        return;
    }
    if (m_analysis.maxLoops() < 1) {
        out.blanks(4).text("}while(").text(m_names.chainFlag).line(");");
        return;
    }
    out.blanks(8).text(m_names.chainCounter).line("--;");
    out.blanks(4)
        .text("}while(")
        .text(m_names.chainFlag)
        .text(" && (")
        .text(m_names.chainCounter)
        .line(" > (T_u8)0));");
}

void SwitchCaseGenerator::actionsAfterAnalysis(CodePrinter& out) const {
    const std::string_view after = m_analysis.fsmField(FF_AFTER);
    if (after.empty()) {
        return;
    }
    out.nl().line(4, "// User actions to be executed after analyse the state.");
    out.indented(after, 4).nl();
}

void SwitchCaseGenerator::exitFunctionBodies(CodePrinter& out) const {
    const std::string bodies = m_analysis.entryExit().DimeImplementacionExitFunc();
    if (bodies.empty()) {
        return;
    }
    out.nl().line(" // Implementation of Exit_functions.").text(bodies).nl();
}

// ---------------------------------------------------------------------------
// Ending

std::string SwitchCaseGenerator::endingPiece() const {
    CodePrinter out;
    const std::string_view code = m_analysis.fsmField(FF_FINAL_CODE);
    if (!code.empty()) {
        out.line(code);
    }
    if (!m_options.printTextBoxes) {
        return out.take();
    }
    out.line(PLUS_LINE).line("// Diagram comments (Start).").line(DASH_LINE);
    if (!m_analysis.comments().empty()) {
        out.line("/*");
        for (const Node* comment : m_analysis.comments()) {
            out.nl().line(neutraliseCommentMarks(comment->NodeText()));
        }
        out.nl().line("*/");
    }
    out.line(DASH_LINE).line("// Diagram comments (End).").line(PLUS_LINE).nl();
    return out.take();
}

// ---------------------------------------------------------------------------
// Header

std::string SwitchCaseGenerator::headerPiece(const std::string& prototypes) const {
    if (!m_isRoot) {
        return prototypes;
    }
    CodePrinter out(2048 + prototypes.size());
    banner(out);
    out.nl();
    moduleHeaderBlock(out);
    out.nl();
    out.line(PLUS_LINE);
    if (reentrant()) {
        // The driver adds the instance type, known only once the whole
        // hierarchy is walked, and the rest of the header.
        out.line("// FSM instance type.").line(PLUS_LINE);
        return out.take();
    }
    out.line("// FSM function.").line(PLUS_LINE);
    functionHeaderBlock(out);
    out.text(m_names.returnType)
        .text(" ")
        .text(m_names.name)
        .text("(")
        .text(m_names.parameters)
        .text(");")
        .nl(2);
    out.text(prototypes);
    return out.take();
}

std::string SwitchCaseGenerator::headerAfterInstanceType() const {
    if (!m_isRoot) {
        return {};
    }
    CodePrinter out;
    out.nl().line(PLUS_LINE).line("// FSM function.").line(PLUS_LINE);
    functionHeaderBlock(out);
    out.text(m_names.returnType)
        .text(" ")
        .text(m_names.name)
        .text("(")
        .text(m_names.parameters)
        .line(");")
        .nl();
    return out.take();
}

void SwitchCaseGenerator::instancePieces(DiagramPieces& pieces) const {
    const std::string& initial = m_names.constant(m_analysis.initialIndex());
    CodePrinter members;
    members.blanks(4)
        .text(m_names.indexType == "T_u8" ? "T_u8  " : "T_u16 ")
        .text(m_names.indexMember)
        .line(";");
    pieces.indexMembers = members.take();
    CodePrinter resets;
    resets.text(m_names.indexVariable).text(" = ").text(initial).line(";");
    pieces.indexResets = resets.take();
    if (!m_analysis.hasEntry()) {
        return;
    }
    CodePrinter flag;
    flag.text(padRight("    T_bit " + m_names.entryFlagMember, 28)).line(" :1;");
    pieces.entryFlagMembers = flag.take();
    CodePrinter flagReset;
    flagReset.text(m_names.entryFlag).line(" = 0U;");
    pieces.entryFlagResets = flagReset.take();
}

}  // namespace tarvel
