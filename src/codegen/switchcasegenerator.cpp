#include "codegen/switchcasegenerator.h"

#include <optional>
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

// The further conditions of the final-state test stand this many blanks
// deeper than the first.
constexpr int FINAL_CONDITION_SHIFT = 7;

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
        out.text("// Exported function: ").text(m_names.signature()).line(";");
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
        PrinterScope debug(out, DEBUG_IF, DEBUG_ENDIF);
        out.text("static T_u8 ").text(m_names.debugTransition).line(" = (T_u8)0;");
        out.text("static const T_char* ").text(m_names.debugStateNames).line("[] = {");
        {
            IndentScope names(out);
            for (const StateInfo& s : m_analysis.states()) {
                out.text("\"").text(s.name).line("\",");
            }
        }
        out.line("};");
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
    out.line(comment);
    forcingMacro(out, m_names.initMacro, m_analysis.initialIndex(), "}");
    out.nl();
    wrappingFunction(out, prototypes, comment, "void " + m_names.name + "_Init(void)",
                     m_names.initMacro + ";");
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
    out.line("// This is not a history FSM.");
    out.text("#define _")
        .text(m_names.name)
        .text("_Init()")
        .text("  {")
        .text(m_names.name)
        .text("_Init()")
        .text("; /* Children: */ ");
    const char* separator = "";
    for (const std::string& child : m_analysis.childMachines()) {
        out.text(separator).text("_").text(child).text("_Init();");
        separator = " ";
    }
    out.text("}");
    out.nl(2);
}

void SwitchCaseGenerator::finalStateMacro(CodePrinter& out, CodePrinter& prototypes) const {
    if (!m_options.functionEnd) {
        return;
    }
    const std::string_view comment = "// Confirm that the FSM has reached a final state.";
    out.line(comment);
    out.text("#define ").text(m_names.endMacro).line(" (\\");
    {
        IndentScope conditions(out);
        if (m_analysis.finalStates().empty()) {
            out.text("0");
        }
        bool first = true;
        for (int index : m_analysis.finalStates()) {
            if (!first) {
                out.line(" ||\\").blanks(FINAL_CONDITION_SHIFT);
            }
            first = false;
            out.text("(")
                .text(m_names.indexVariable)
                .text(" == ")
                .text(m_names.constant(index))
                .text(")");
        }
        out.line(")").nl();
    }
    wrappingFunction(out, prototypes, comment, "T_u8 " + m_names.name + "_End(void)",
                     "return(" + m_names.endMacro + ");");
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
        wrappingFunction(out, prototypes, comment,
                         "T_u8 " + m_names.name + "_IsIn_" + std::string(s.name) + "(void)",
                         "return(" + m_names.isInPrefix + std::string(s.name) + "());");
    }
}

void SwitchCaseGenerator::gotoMacros(CodePrinter& out, CodePrinter& prototypes) const {
    for (int index : m_analysis.nodeOrder()) {
        const StateInfo& s = m_analysis.state(index);
        if (!s.goTo) {
            continue;
        }
        const std::string comment = "// Force the FSM to the state:[" + std::string(s.name) + "].";
        const std::string macro = m_names.gotoPrefix + std::string(s.name) + "()";
        out.line(comment);
        forcingMacro(out, macro, index, " }");
        out.nl();
        wrappingFunction(out, prototypes, comment,
                         "void " + m_names.name + "_Goto_" + std::string(s.name) + "(void)",
                         macro + ";");
    }
}

template <typename Debug, typename Plain>
void SwitchCaseGenerator::debugAlternatives(CodePrinter& out, Debug debug, Plain plain) const {
    if (!m_options.debugInfo) {
        plain();
        return;
    }
    PrinterScope alternatives(out, DEBUG_IF, DEBUG_ENDIF);
    debug();
    alternatives.divide("#else");
    plain();
}

void SwitchCaseGenerator::forcingMacro(CodePrinter& out, const std::string& macro, int index,
                                       std::string_view debugEnd) const {
    const std::string head =
        "#define " + macro + " { " + m_names.indexVariable + " = " + m_names.constant(index) + "; ";
    const auto plain = [&] {
        out.text(head);
        entryFlagReset(out);
        out.line("}");
    };
    debugAlternatives(
        out,
        [&] {
            out.text(head);
            entryFlagReset(out);
            out.text(m_names.debugTransition).text(" = (T_u8)0U;").line(debugEnd);
        },
        plain);
}

void SwitchCaseGenerator::wrappingFunction(CodePrinter& out, CodePrinter& prototypes,
                                           std::string_view comment, const std::string& head,
                                           const std::string& statement) const {
    if (m_options.useMacros) {
        return;
    }
    out.line(head);
    {
        PrinterScope body(out, "{", "}");
        out.line(statement);
    }
    out.nl();
    prototypes.line(comment).text(head).line(";").nl();
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
    return "static " + m_names.signature() + ";";
}

// ---------------------------------------------------------------------------
// Debug macros

std::string SwitchCaseGenerator::debugMacrosPiece() const {
    CodePrinter out;
    if (m_options.debugInfo) {
        out.nl().line(PLUS_LINE).line("// Debug customized macros.").line(PLUS_LINE);
        PrinterScope debug(out, DEBUG_IF, DEBUG_ENDIF);
        if (!m_isRoot) {
            // The root defined them first; each child redefines them for its
            // own function, which follows.
            out.line("#undef  FSM_STATE_NAME");
            out.line("#undef  FSM_TRANS_NUMBER");
            out.line("#undef  FSM_NAME");
        }
        out.text("#define FSM_STATE_NAME()   ")
            .text(m_names.debugStateNames)
            .text("[")
            .text(m_names.indexVariable)
            .line("]");
        out.text("#define FSM_TRANS_NUMBER() ").line(m_names.debugTransition);
        out.text("#define FSM_NAME()         \"").text(m_names.name).line("\"");
        if (m_isRoot) {
            debug.divide("#else");
            out.line("#define FSM_STATE_NAME()");
            out.line("#define FSM_TRANS_NUMBER()");
            out.line("#define FSM_NAME()");
        }
    }
    if (m_analysis.usesIllegalStateTest()) {
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
    out.nl().line(PLUS_LINE).line("// FSM dispatcher function to be called by the O.S.");
    out.line(PLUS_LINE);
    functionHeaderBlock(out);
    out.text(m_isRoot ? "" : "static ").line(m_names.signature());
    {
        PrinterScope body(out, "{", "}");
        chainLocals(out);
        actionsBeforeAnalysis(out);
        if (m_options.debugInfo) {
            PrinterScope debug(out, DEBUG_IF, DEBUG_ENDIF);
            out.text(m_names.debugTransition).line(" = (T_u8)0U;");
        }
        std::optional<PrinterScope> chainLoop;
        if (m_analysis.chainPresent()) {
            out.line("// Chain transition loop.");
            chainLoop.emplace(out, "do{", chainLoopEnd());
            out.text(m_names.chainFlag).line(" = FALSE;");
        }
        out.line("// Next state analyser.");
        {
            PrinterScope sw(out, "switch(" + m_names.indexVariable + "){", "}");
            for (const StateInfo& s : m_analysis.states()) {
                stateCase(out, s);
            }
            defaultCase(out);
        }
        if (m_analysis.chainPresent() && m_analysis.maxLoops() > 0) {
            out.text(m_names.chainCounter).line("--;");
        }
        chainLoop.reset();
        actionsAfterAnalysis(out);
    }
    out.nl();
    exitFunctionBodies(out);
    return out.take();
}

void SwitchCaseGenerator::chainLocals(CodePrinter& out) const {
    if (!m_analysis.chainPresent()) {
        return;
    }
    out.line("// Chain transition flag.");
    out.text("T_bit ").text(m_names.chainFlag).line(";");
    if (m_analysis.maxLoops() > 0) {
        out.text("T_u8 ")
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
    out.line("// User actions to be executed before analyse the state.");
    out.indented(before).nl(2);
}

void SwitchCaseGenerator::stateCase(CodePrinter& out, const StateInfo& s) const {
    out.text("case ").text(m_names.constant(s.index)).line(":");
    {
        IndentScope body(out);
        entryCheck(out, s);
        if (!s.moore.empty()) {
            out.line("// State actions (Moore).").indented(s.moore).nl();
        }
        const bool hasElse = !s.elseActions.empty();
        if (s.hasTransitions()) {
            // Each transition closes the one before it with "}else "; the
            // last is closed by the else block or by its brace alone.
            out.line("// Next state selection.");
            bool first = true;
            for (int p = 1; p <= s.outLinks; ++p) {
                if (s.byPriority[static_cast<std::size_t>(p - 1)] == nullptr) {
                    continue;
                }
                if (!first) {
                    out.text("}else ");
                }
                first = false;
                transition(out, s, p, !hasElse);
            }
            if (hasElse) {
                out.text("}else ");
            } else {
                out.line("}");
            }
        }
        if (hasElse) {
            PrinterScope elseBlock(out, "{ // Else actions.", "}");
            out.indented(s.elseActions).nl();
        }
    }
    out.line("break;");
}

void SwitchCaseGenerator::entryCheck(CodePrinter& out, const StateInfo& s) const {
    std::string_view entry;
    if (!m_analysis.entryExit().ExisteEntryAccion(s.index, entry)) {
        return;
    }
    out.line("// Entry check");
    PrinterScope check(out, "if(!((T_bit)" + m_names.entryFlag + ")){", "}");
    out.text(m_names.entryFlag).line(reentrant() ? " = (T_bit)1U;" : " = (T_bit)1;");
    out.line("// Entry actions").indented(entry).nl();
}

void SwitchCaseGenerator::transition(CodePrinter& out, const StateInfo& s, int p,
                                     bool noElse) const {
    const auto& fields = s.transitionFields[static_cast<std::size_t>(p - 1)];
    const std::string_view condition = fields[TF_CONDITION];
    if (!isBlank(condition)) {
        // Continuation lines of the condition stand under its first line.
        m_opening.assign(condition).append("){");
        out.text("if(").hanging(m_opening);
    } else {
        out.text(p < s.outLinks || !noElse ? "if(1){" : "{");
    }
    if (s.outLinks > 1) {
        out.text("\t// [").text(fields[TF_PRIORITY]).text("].");
    }
    out.nl();

    IndentScope body(out);
    const bool disabled = m_analysis.entryExitDisabled(s, p);
    if (!disabled) {
        childInitialisation(out, s);
    }
    std::string_view exitText;
    bool exitDisabled = false;
    if (m_analysis.entryExit().ExistExitInThisTrans(s.index, p, exitText, exitDisabled)) {
        out.line("// Exit actions.").indented(exitText).nl();
    }
    const std::string_view actions = fields[TF_ACTIONS];
    if (!actions.empty()) {
        out.line("// Transition actions (Meally).").indented(actions).nl();
    }
    const int target = s.targetOf[static_cast<std::size_t>(p - 1)];
    if (target != 0 && target != s.index) {
        out.line("// Pointing to the next state.");
        out.text(m_names.indexVariable).text(" = ").text(m_names.constant(target)).line(";");
    }
    if (m_options.debugInfo) {
        PrinterScope debug(out, DEBUG_IF, DEBUG_ENDIF);
        out.text(m_names.debugTransition)
            .text(" = (T_u8)")
            .text(fields[TF_PRIORITY])
            .line(";");
    }
    if (!s.entry.empty() && !disabled) {
        out.line("// Reset entry flag");
        out.text(m_names.entryFlag).line(" = 0U;");
    }
    if (m_analysis.chainPresent() && m_analysis.chains().ExistInThisTrans(s.index, p)) {
        out.line("// Chain transition.");
        out.text(m_names.chainFlag).line(" = TRUE;");
    }
}

void SwitchCaseGenerator::childInitialisation(CodePrinter& out, const StateInfo& s) const {
    if (s.children.empty()) {
        return;
    }
    // One line per child entry: a child found beside the diagram and in its
    // sub-folder is restarted twice, which is harmless.
    out.line("// Child Initialization.");
    for (const std::string& entry : s.children) {
        out.text("_").text(baseName(entry)).line("_Init();");
    }
}

void SwitchCaseGenerator::defaultCase(CodePrinter& out) const {
    const std::string_view actions = m_analysis.fsmField(FF_DEFAULT_ACTIONS);
    if (actions.empty()) {
        return;
    }
    out.line("default:");
    {
        IndentScope body(out);
        out.line("// State index error trap (MISRA requiremment).");
        out.indented(actions).nl();
    }
    out.line("break;");
}

std::string SwitchCaseGenerator::chainLoopEnd() const {
    if (m_analysis.maxLoops() < 1) {
        return "}while(" + m_names.chainFlag + ");";
    }
    return "}while(" + m_names.chainFlag + " && (" + m_names.chainCounter + " > (T_u8)0));";
}

void SwitchCaseGenerator::actionsAfterAnalysis(CodePrinter& out) const {
    const std::string_view after = m_analysis.fsmField(FF_AFTER);
    if (after.empty()) {
        return;
    }
    out.nl().line("// User actions to be executed after analyse the state.");
    out.indented(after).nl();
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
    out.text(m_names.signature()).text(";").nl(2);
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
    out.text(m_names.signature()).line(";").nl();
    return out.take();
}

void SwitchCaseGenerator::instancePieces(DiagramPieces& pieces) const {
    const std::string& initial = m_names.constant(m_analysis.initialIndex());
    CodePrinter members;
    {
        IndentScope member(members);
        members.text(m_names.indexType == "T_u8" ? "T_u8  " : "T_u16 ")
            .text(m_names.indexMember)
            .line(";");
    }
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
