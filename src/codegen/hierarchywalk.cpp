#include "codegen/hierarchywalk.h"

#include "codegen/diagramanalysis.h"
#include "codegen/switchcasegenerator.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"

namespace tarvel {

// A diagram whose children are being walked.
struct HierarchyWalk::Frame {
    std::string prefix;
    int depth = 0;
    clsParientes family;
    int next = 1;  // the next child entry to walk (1-based)
};

HierarchyWalk::HierarchyWalk(GenerationContext& context, Flavour flavour)
    : m_context(context), m_flavour(flavour) {}

void HierarchyWalk::report(const std::string& message) const {
    if (m_context.report) {
        m_context.report(message);
    }
}

bool HierarchyWalk::run(Document& root) {
    m_root = &root;
    m_rootName = std::string(GetGraphField(FF_NAME, root.diagram()));
    m_failed = false;
    m_visited.clear();
    m_diagrams.clear();

    std::vector<Frame> stack;
    visit(root, "", 0, stack);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next > frame.family.DimeNumeroHijos()) {
            stack.pop_back();
            continue;
        }
        const int k = frame.next++;
        const std::string path = frame.family.RutaCompleta(frame.family.DimeHijo(k));
        const std::string prefix = frame.prefix + "_" + std::to_string(k);
        const int depth = frame.depth + 1;
        Document* child = m_context.openChild ? m_context.openChild(path) : nullptr;
        if (child == nullptr) {
            // A child that cannot be read must never be left out silently.
            report("Fsm error loading:[" + path + "]");
            m_failed = true;
            m_diagrams.clear();
            continue;
        }
        if (m_visited.contains(std::string(GetGraphField(FF_NAME, child->diagram())))) {
            continue;
        }
        visit(*child, prefix, depth, stack);  // may move `frame`: not used after this
    }
    return !m_failed;
}

void HierarchyWalk::visit(Document& doc, const std::string& prefix, int depth,
                          std::vector<Frame>& stack) {
    Frame frame{prefix, depth, clsParientes(doc.sFullDocname), 1};
    frame.family.BuscaTodosEnlaces(doc.diagram());

    DiagramPieces pieces;
    if (!generateOne(doc, frame.family.children(), prefix, depth == 0, pieces)) {
        m_failed = true;
    }
    if (m_failed) {
        m_diagrams.clear();  // no code will be produced; keep only the messages coming
    } else {
        m_diagrams.push_back({depth, doc.caption, std::move(pieces)});
    }
    m_visited.insert(std::string(GetGraphField(FF_NAME, doc.diagram())));
    stack.push_back(std::move(frame));
}

bool HierarchyWalk::generateOne(Document& doc, const std::vector<std::string>& children,
                                const std::string& prefix, bool isRoot, DiagramPieces& pieces) {
    // A diagram's own document decides the four per-diagram options; the root
    // decides the others for the whole hierarchy.
    const GenerationOptions& own = doc.options;
    const GenerationOptions& root = m_root->options;
    DiagramOptions options;
    options.functionInit = own.FunctionInit;
    options.functionEnd = own.FunctionEnd;
    options.historyFsm = own.HistoryFsm;
    options.useMacros = own.UseMacros;
    options.debugInfo = root.DebugInfo;
    options.printTextBoxes = root.PrintTextBoxes;
    options.useBitFields = root.UseBitFields;

    ExitFunctionStyle exitStyle;
    exitStyle.suffix = prefix;
    exitStyle.usedNames = &m_exitFunctionNames;
    if (m_flavour == Flavour::Reentrant) {
        exitStyle.parameters = "T_" + m_rootName + " *this";
        exitStyle.arguments = "this";
    }
    DiagramAnalysis analysis(doc.diagram(), children, std::move(exitStyle));
    if (!analysis.analyse(m_context.report)) {
        return false;
    }
    if (m_failed) {
        return true;  // checked and reported; its code would be thrown away
    }
    const DiagramNames names = DiagramNames::form(analysis, prefix, m_flavour, options, m_rootName);
    pieces = SwitchCaseGenerator(analysis, names, options, m_flavour, isRoot).generate();
    return true;
}

}  // namespace tarvel
