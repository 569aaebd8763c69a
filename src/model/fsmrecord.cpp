#include "model/fsmrecord.h"

#include <vector>

#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

std::string_view GetGraphField(int index, const Diagram& diagram) {
    return readField(diagram.DiagramRecord(), index);
}

void SetGraphInfo(std::string_view name, std::string_view parameters, std::string_view returnType,
                  std::string_view initialisation, std::string_view before,
                  std::string_view defaultActions, std::string_view after,
                  std::string_view finalCode, std::string_view signature,
                  std::string_view options, std::string_view moduleHeader,
                  std::string_view functionHeader, std::string_view maxLoops, Diagram& diagram) {
    std::vector<std::string> f(FSM_FIELD_COUNT);
    f[FF_SIGNATURE] = signature;
    f[FF_NAME] = trimBlanks(name);
    f[FF_INITIALISATION] = initialisation;
    f[FF_BEFORE] = before;
    f[FF_OPTIONS] = options;
    f[FF_PARAMETERS] = parameters;
    f[FF_AFTER] = after;
    f[FF_FINAL_CODE] = finalCode;
    f[FF_MODULE_HEADER] = moduleHeader;
    f[FF_FUNCTION_HEADER] = functionHeader;
    f[FF_DEFAULT_ACTIONS] = defaultActions;
    f[FF_MAX_LOOPS] = maxLoops;
    f[FF_RETURN_TYPE] = returnType;
    diagram.setDiagramRecord(joinFields(f));
}

std::vector<std::string> readFsmRecord(const Diagram& diagram) {
    return splitFields(diagram.DiagramRecord(), FSM_FIELD_COUNT);
}

void writeFsmRecord(Document& doc, std::vector<std::string> f) {
    f.resize(FSM_FIELD_COUNT);
    Diagram& d = doc.diagram();
    SetGraphInfo(f[FF_NAME], f[FF_PARAMETERS], f[FF_RETURN_TYPE], f[FF_INITIALISATION],
                 f[FF_BEFORE], f[FF_DEFAULT_ACTIONS], f[FF_AFTER], f[FF_FINAL_CODE], FSM_SIGNATURE,
                 f[FF_OPTIONS], f[FF_MODULE_HEADER], f[FF_FUNCTION_HEADER], f[FF_MAX_LOOPS], d);
    d.SetDiagramChanged(true);
    refreshInitialLook(doc, nullptr);
}

std::string optionsText(const Document& doc) {
    const GenerationOptions& o = doc.options;
    const struct {
        const char* token;
        bool on;
    } flags[] = {{"AS", doc.autosizeNodes},   {"FO", doc.fixedPitchOnly}, {"HC", doc.hideComments},
                 {"FI", o.FunctionInit},      {"FE", o.FunctionEnd},      {"DI", o.DebugInfo},
                 {"AC", o.AnsiComment},       {"PT", o.PrintTextBoxes},   {"HF", o.HistoryFsm},
                 {"BF", o.UseBitFields},      {"UM", o.UseMacros}};
    std::string text = doc.generatorCaption() + ";";
    for (const auto& f : flags) {
        text += f.token;
        text += f.on ? "_Y;" : "_N;";
    }
    return text;
}

void SaveGraphInfo(Document& doc, bool forSaving) {
    Diagram& d = doc.diagram();
    auto f = splitFields(d.DiagramRecord(), FSM_FIELD_COUNT);
    if (f[FF_SIGNATURE].empty()) {
        f[FF_SIGNATURE] = FSM_SIGNATURE;
    }
    std::string_view path = doc.sFullDocname;
    const std::size_t slash = path.rfind('/');
    std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    if (dot != std::string_view::npos) {
        file = file.substr(0, dot);
    }
    f[FF_NAME] = spacesToUnderscores(file);
    f[FF_OPTIONS] = optionsText(doc);
    // Refreshing the record for a file or a snapshot is not an edit.
    const bool changed = d.DiagramChanged();
    SetGraphInfo(f[FF_NAME], f[FF_PARAMETERS], f[FF_RETURN_TYPE], f[FF_INITIALISATION],
                 f[FF_BEFORE], f[FF_DEFAULT_ACTIONS], f[FF_AFTER], f[FF_FINAL_CODE],
                 f[FF_SIGNATURE], f[FF_OPTIONS], f[FF_MODULE_HEADER], f[FF_FUNCTION_HEADER],
                 f[FF_MAX_LOOPS], d);

    Node* info = d.AddNode(0, 0, 100, 100);
    info->setNodeKind(NK_INFO);
    info->setNodeData(d.DiagramRecord());
    info->setNodeFillColor(d.FillColor());
    info->setNodeForeColor(d.ForeColor());
    info->setNodeFont(d.DiagramFont());
    info->setNodeConnectable(false);
    d.SetDiagramChanged(changed);

    if (!forSaving) {
        return;
    }
    for (const auto& n : d.NodeList()) {
        if (n->hasKind(NK_ANY_OWN)) {
            n->setNodeText({});
            n->setNodeTip({});
        }
    }
}

void RestoreGraphInfo(Diagram& d, bool fromFile) {
    const bool changed = d.DiagramChanged();
    d.setEditTracking(false);
    std::vector<Node*> infoNodes;
    for (const auto& n : d.NodeList()) {
        n->setNodeSelected(false);
        if (!n->hasKind(NK_ANY_OWN)) {
            n->setNodeConnectable(false);
        }
        if (n->hasKind(NK_INFO)) {
            if (fromFile) {
                d.setDiagramRecord(n->NodeData());
                d.setDiagramFont(n->NodeFont());
                d.setFillColor(n->NodeFillColor());
                d.setForeColor(n->NodeForeColor());
            }
            infoNodes.push_back(n.get());
        }
    }
    // Only the information nodes go: a link the user has selected stays.
    for (Node* info : infoNodes) {
        d.removeNode(info);
    }
    d.setEditTracking(true);
    d.SetDiagramChanged(changed);
}

namespace {

// The parts of a state rewrite that reach the record and the kind: a generated
// name for an unnamed state, the kind reduced to its one state flag, and one
// initial state per diagram (a later initial state demotes the first other one).
void refreshStateRecordOnly(Document& doc, Node& n) {
    Diagram& d = doc.diagram();
    if (readStateField(SF_NAME, n).empty()) {
        // Rare: a full write generates the name exactly as the editor would.
        StateRecord r = StateRecord::read(n);
        writeState(doc, r, stateKindOf(n.NodeKind()), n);
        return;
    }
    const std::uint32_t kind = stateKindOf(n.NodeKind());
    n.setNodeKind(kind);
    if (kind != NK_INITIAL) {
        return;
    }
    for (const auto& other : d.NodeList()) {
        if (other.get() != &n && isInitial(*other)) {
            other->setNodeKind(NK_STATE);
            break;
        }
    }
}

}  // namespace

void RefreshNodeRecords(Document& doc, bool displayTexts) {
    Diagram& d = doc.diagram();
    d.setRepaintEnabled(false);
    std::vector<Node*> nodes;
    nodes.reserve(d.nodeCount());
    for (const auto& n : d.NodeList()) {
        nodes.push_back(n.get());
    }
    for (Node* n : nodes) {
        if (isState(*n)) {
            if (!displayTexts) {
                refreshStateRecordOnly(doc, *n);
                continue;
            }
            // The kind as it is now: a state demoted earlier in this pass is
            // written as a plain state.
            StateRecord r = StateRecord::read(*n);
            writeState(doc, r, stateKindOf(n->NodeKind()), *n);
        } else if (isTransition(*n) && displayTexts) {
            writeTransition(doc, TransitionRecord::read(*n), *n);
        }
    }
    d.setRepaintEnabled(true);
}

void GetGrafoConfig(Document& doc, const OptionOverrides& overrides) {
    const std::string_view options = GetGraphField(FF_OPTIONS, doc.diagram());
    std::string_view caption;
    for (std::string_view known : {GEN_DIRECT_POINTERS, GEN_SWITCH_CASE, GEN_POINTER_ARRAY,
                                   GEN_HIERARCHICAL, GEN_HIERARCHICAL_REENTRANT}) {
        if (options.find(known) != std::string_view::npos) {
            caption = known;
            break;
        }
    }
    doc.selectGenerator(caption);

    auto has = [&](std::string_view token) { return options.find(token) != std::string_view::npos; };
    doc.autosizeNodes = !has("AS_N");
    doc.fixedPitchOnly = !has("FO_N");
    doc.hideComments = has("HC_Y");
    GenerationOptions& o = doc.options;
    o.FunctionInit = has("FI_Y");
    o.FunctionEnd = has("FE_Y");
    o.DebugInfo = overrides.debugInfo.value_or(has("DI_Y"));
    o.AnsiComment = overrides.ansiComment.value_or(has("AC_Y"));
    o.PrintTextBoxes = overrides.printTextBoxes.value_or(has("PT_Y"));
    o.HistoryFsm = !has("HF_N");
    o.UseBitFields = overrides.bitFields.value_or(has("BF_Y"));
    o.UseMacros = !has("UM_N");
}

bool isNewerSignature(std::string_view signature) { return signature > FSM_SIGNATURE; }

}  // namespace tarvel
