#include "codegen/hierarchywalk.h"

#include "codegen/diagramanalysis.h"
#include "codegen/switchcasegenerator.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"

namespace tarvel {

namespace {

// A diagram whose children are being walked.
struct Frame {
    std::string prefix;
    int depth = 0;
    int position = 0;  // its visit number
    clsParientes family;
    int next = 1;  // the next child entry to walk (1-based)
};

}  // namespace

bool walkHierarchy(Document& root, GenerationContext& context,
                   const std::function<bool(const WalkVisit&)>& visit) {
    bool failed = false;
    int visits = 0;
    std::unordered_set<std::string> visited;
    std::vector<Frame> stack;

    const auto enter = [&](Document& doc, std::string prefix, int depth, int parent) {
        Frame frame{std::move(prefix), depth, visits++, clsParientes(doc.sFullDocname), 1};
        frame.family.BuscaTodosEnlaces(doc.diagram());
        if (!visit({doc, frame.family.children(), frame.prefix, depth, parent, failed})) {
            failed = true;
        }
        visited.insert(std::string(GetGraphField(FF_NAME, doc.diagram())));
        stack.push_back(std::move(frame));
    };

    enter(root, "", 0, -1);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next > frame.family.DimeNumeroHijos()) {
            stack.pop_back();
            continue;
        }
        const int k = frame.next++;
        const std::string path = frame.family.RutaCompleta(frame.family.DimeHijo(k));
        std::string prefix = frame.prefix + "_" + std::to_string(k);
        const int depth = frame.depth + 1;
        const int parent = frame.position;
        Document* child = context.openChild ? context.openChild(path) : nullptr;
        if (child == nullptr) {
            // A child that cannot be read must never be left out silently.
            if (context.report) {
                context.report("Fsm error loading:[" + path + "]");
            }
            failed = true;
            continue;
        }
        if (visited.contains(std::string(GetGraphField(FF_NAME, child->diagram())))) {
            continue;
        }
        enter(*child, std::move(prefix), depth, parent);  // may move `frame`: not used after this
    }
    return !failed;
}

DiagramSetup diagramSetup(const Document& doc, const Document& root, const std::string& prefix,
                          Flavour flavour, std::unordered_set<std::string>& exitNames) {
    DiagramSetup setup;
    DiagramOptions& options = setup.options;
    options.functionInit = doc.options.FunctionInit;
    options.functionEnd = doc.options.FunctionEnd;
    options.historyFsm = doc.options.HistoryFsm;
    options.useMacros = doc.options.UseMacros;
    options.debugInfo = root.options.DebugInfo;
    options.printTextBoxes = root.options.PrintTextBoxes;
    options.useBitFields = root.options.UseBitFields;

    ExitFunctionStyle& exitStyle = setup.exitStyle;
    exitStyle.suffix = prefix;
    exitStyle.usedNames = &exitNames;
    if (flavour == Flavour::Reentrant) {
        exitStyle.parameters =
            "T_" + std::string(GetGraphField(FF_NAME, root.diagram())) + " *this";
        exitStyle.arguments = "this";
    }
    return setup;
}

HierarchyWalk::HierarchyWalk(GenerationContext& context, Flavour flavour)
    : m_context(context), m_flavour(flavour) {}

bool HierarchyWalk::run(Document& root) {
    m_root = &root;
    m_rootName = std::string(GetGraphField(FF_NAME, root.diagram()));
    m_diagrams.clear();
    const bool ok = walkHierarchy(root, m_context, [this](const WalkVisit& v) {
        DiagramPieces pieces;
        const bool generated =
            generateOne(v.document, v.children, v.prefix, v.depth == 0, v.failed, pieces);
        if (!generated || v.failed) {
            m_diagrams.clear();  // no code will be produced; keep only the messages coming
        } else {
            m_diagrams.push_back({v.depth, v.document.caption, std::move(pieces)});
        }
        return generated;
    });
    if (!ok) {
        m_diagrams.clear();
    }
    return ok;
}

bool HierarchyWalk::generateOne(Document& doc, const std::vector<std::string>& children,
                                const std::string& prefix, bool isRoot, bool failed,
                                DiagramPieces& pieces) {
    DiagramSetup setup = diagramSetup(doc, *m_root, prefix, m_flavour, m_exitFunctionNames);
    const DiagramOptions& options = setup.options;
    DiagramAnalysis analysis(doc.diagram(), children, std::move(setup.exitStyle));
    if (!analysis.analyse(m_context.report)) {
        return false;
    }
    if (failed) {
        return true;  // checked and reported; its code would be thrown away
    }
    const DiagramNames names = DiagramNames::form(analysis, prefix, m_flavour, options, m_rootName);
    pieces = SwitchCaseGenerator(analysis, names, options, m_flavour, isRoot).generate();
    return true;
}

}  // namespace tarvel
