#include "export/listfile.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/codeprinter.h"
#include "base/text.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

constexpr std::string_view LIST_VERSION = "v1.5r1";
constexpr std::string_view CONFIG_LEGEND =
    "[formatCompilacion][AutoSizeNodes][FixedOnlyFont][HideComments][FunctionInit]"
    "[FunctionEnd][DebugInfo][AnsiComment][PrintTextBoxes][HistoryFsm][UseBitFields]";

// A key and its value; an empty value writes nothing (a value of blanks
// still gives its empty line).
void entry(CodePrinter& out, std::string_view key, std::string_view value, int indent) {
    out.line(key);
    if (!value.empty()) {
        out.indented(value, indent).nl();
    }
}

// A key whose value line is written even when the value is empty.
void alwaysEntry(CodePrinter& out, std::string_view key, std::string_view value, int indent) {
    out.line(key).indented(value, indent).nl();
}

void fsmProperties(CodePrinter& out, const Diagram& d) {
    alwaysEntry(out, "[FSM name]", GetGraphField(FF_NAME, d), 4);
    entry(out, "[List version]", LIST_VERSION, 4);
    entry(out, "[Parameters]", GetGraphField(FF_PARAMETERS, d), 4);
    entry(out, "[ReturnType]", GetGraphField(FF_RETURN_TYPE, d), 4);
    alwaysEntry(out, "[Config]", CONFIG_LEGEND, 2);
    out.indented(GetGraphField(FF_OPTIONS, d), 4).nl();
    alwaysEntry(out, "[Signature]", GetGraphField(FF_SIGNATURE, d), 4);
    entry(out, "[Module header]", GetGraphField(FF_MODULE_HEADER, d), 4);
    entry(out, "[Initialization]", GetGraphField(FF_INITIALISATION, d), 4);
    entry(out, "[Function header]", GetGraphField(FF_FUNCTION_HEADER, d), 4);
    entry(out, "[Global actions before dispatcher]", GetGraphField(FF_BEFORE, d), 4);
    entry(out, "[Global actions after dispatcher]", GetGraphField(FF_AFTER, d), 4);
    entry(out, "[Global ending actions]", GetGraphField(FF_FINAL_CODE, d), 4);
}

void initialAndFinalStates(CodePrinter& out, const Diagram& d) {
    out.line("[Init state]");
    for (const auto& n : d.NodeList()) {
        if (isState(*n) && isInitial(*n)) {
            const std::string_view name = readStateField(SF_NAME, *n);
            if (!name.empty()) {
                out.indented(name, 4).nl();
            }
            break;
        }
    }
    out.line("[Final states]");
    for (const auto& n : d.NodeList()) {
        const std::string_view name = isState(*n) && isFinal(*n) ? readStateField(SF_NAME, *n) : "";
        if (!name.empty()) {
            out.indented(name, 4).nl();
        }
    }
}

void transitionBlock(CodePrinter& out, const Node& state, const Node& t) {
    const Node* target = targetState(t);
    entry(out, "      [Priority]", trimBlanks(readTransitionField(TF_PRIORITY, t)), 10);
    entry(out, "      [Condition]", readTransitionField(TF_CONDITION, t), 10);
    entry(out, "        [Meally actions]", readTransitionField(TF_ACTIONS, t), 12);
    entry(out, "        [Next state]", target ? readStateField(SF_NAME, *target) : "", 12);
    if (target == &state) {
        entry(out, "          [EntryExitOnSelfTrans]", readTransitionField(TF_ENTRY_EXIT, t), 14);
    }
    entry(out, "          [ContinueImmediately]", readTransitionField(TF_CONTINUE, t), 14);
}

void stateBlock(CodePrinter& out, const Node& s) {
    // The index as the record holds it, like every other value.
    entry(out, "  [Index]", readStateField(SF_INDEX, s), 6);
    entry(out, "    [Nombre]", readStateField(SF_NAME, s), 8);
    entry(out, "    [Generate Goto]", readStateField(SF_GOTO, s), 8);
    entry(out, "    [Generate IsIn]", readStateField(SF_ISIN, s), 8);
    entry(out, "    [Entry actions]", readStateField(SF_ENTRY, s), 8);
    entry(out, "    [Moore actions]", readStateField(SF_MOORE, s), 8);
    entry(out, "    [Else actions]", readStateField(SF_ELSE, s), 8);
    entry(out, "    [Exit actions]", readStateField(SF_EXIT, s), 8);
    out.line("    [Transitions]");
    // The transitions the generators emit, in the order they test them.
    for (const Node* t : transitionsByPriority(s)) {
        if (t != nullptr) {
            transitionBlock(out, s, *t);
        }
    }
}

void states(CodePrinter& out, const Diagram& d) {
    out.line("[Nodes]");
    // In index order. Every state is listed: two states sharing an index
    // both appear (in diagram order), so nothing is lost from the dump.
    struct Indexed {
        int index;
        const Node* node;
    };
    std::vector<Indexed> list;
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            list.push_back({lenientInt(readStateField(SF_INDEX, *n)), n.get()});
        }
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Indexed& a, const Indexed& b) { return a.index < b.index; });
    for (const Indexed& s : list) {
        stateBlock(out, *s.node);
    }
}

}  // namespace

std::string listFileText(const Document& doc) {
    const Diagram& d = doc.diagram();
    CodePrinter out(4096 + d.nodeCount() * 256);
    out.line("[FSM LIST FILE START]");
    fsmProperties(out, d);
    initialAndFinalStates(out, d);
    states(out, d);
    out.text("[FSM LIST FILE END]");
    return out.take();
}

}  // namespace tarvel
