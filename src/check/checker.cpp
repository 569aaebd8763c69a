#include "check/checker.h"

#include <algorithm>
#include <filesystem>

#include "check/checkids.h"
#include "check/modelchecks.h"
#include "codegen/diagramanalysis.h"
#include "model/document.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"

namespace tarvel {

namespace {

using namespace check_id;

std::string fileBaseName(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

// A diagram file as another diagram's message names it: relative to that
// diagram's folder when it lies there or below.
std::string nameFrom(const std::string& file, const std::string& from) {
    const std::string folder = std::filesystem::path(from).parent_path().string();
    if (!folder.empty() && file.starts_with(folder + "/")) {
        return file.substr(folder.size() + 1);
    }
    return file;
}

}  // namespace

int CheckReport::errorCount() const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.severity == Severity::Error;
    }));
}

int CheckReport::warningCount() const {
    return static_cast<int>(findings.size()) - errorCount();
}

// A diagram whose children are being walked.
struct HierarchyCheck::Frame {
    std::string prefix;
    int depth = 0;
    std::string file;
    clsParientes family;
    int next = 1;  // the next child entry (1-based)
};

HierarchyCheck::HierarchyCheck(GenerationContext& context) : m_context(context) {}

bool HierarchyCheck::namesBroken() const {
    return std::any_of(m_findings.begin(), m_findings.end(), [](const Finding& f) {
        return f.severity == Severity::Error &&
               (f.check == INVALID_IDENTIFIER || f.check == RESERVED_IDENTIFIER ||
                f.check == CASE_CLASH || f.check == NON_ASCII_NAME);
    });
}

void HierarchyCheck::addHierarchyFinding(const std::string& file, std::string message,
                                         std::string_view check) {
    Finding f;
    f.file = file;
    f.field = Field::FsmName;
    f.message = std::move(message);
    f.check = check;
    m_findings.push_back(std::move(f));
}

void HierarchyCheck::run(Document& root) {
    m_root = &root;
    m_rootName = GetGraphField(FF_NAME, root.diagram());
    m_flavour = root.generatorCaption() == GEN_HIERARCHICAL_REENTRANT ? Flavour::Reentrant
                                                                       : Flavour::SwitchCase;
    m_generates = true;
    m_visited.clear();
    m_exitFunctionNames.clear();
    m_findings.clear();

    // The same walk as the generator's: depth first, root first, children in
    // the order the hierarchy lists them, each FSM name once.
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
        const std::string parent = frame.file;
        Document* child = m_context.openChild ? m_context.openChild(path) : nullptr;
        if (child == nullptr) {
            m_generates = false;
            Finding f;
            f.file = path;
            f.message = "the child diagram named by " + nameFrom(parent, path) + " cannot be read";
            f.check = CHILD_LOAD_ERROR;
            m_findings.push_back(std::move(f));
            continue;
        }
        const std::string name(GetGraphField(FF_NAME, child->diagram()));
        if (const auto it = m_visited.find(name); it != m_visited.end()) {
            if (it->second != child->sFullDocname) {
                addHierarchyFinding(child->sFullDocname,
                                    "the FSM name \"" + name + "\" is also the name of " +
                                        nameFrom(it->second, child->sFullDocname) +
                                        ", so the generator skips this diagram and its function "
                                        "is missing from the module",
                                    DUPLICATE_FSM_NAME);
            }
            continue;
        }
        visit(*child, prefix, depth, stack);  // may move `frame`: not used after this
    }
}

void HierarchyCheck::visit(Document& doc, const std::string& prefix, int depth,
                           std::vector<Frame>& stack) {
    const std::string file = doc.sFullDocname;
    Frame frame{prefix, depth, file, clsParientes(file), 1};
    frame.family.BuscaTodosEnlaces(doc.diagram());

    const std::size_t start = m_findings.size();
    DiagramChecks checks(doc, file, m_findings);
    checks.refusals();
    checks.names();

    const std::string name(GetGraphField(FF_NAME, doc.diagram()));
    // The parent calls a child by its file name ("Sub();" and "_Sub_Init()"),
    // the child's code is named after its FSM name.
    if (depth > 0 && !name.empty() && name != fileBaseName(file)) {
        addHierarchyFinding(file,
                            "the FSM name \"" + name + "\" differs from the file name \"" +
                                fileBaseName(file) + "\"; the parent calls " + fileBaseName(file) +
                                "(), which the generated module does not define",
                            FSM_NAME_MISMATCH);
    }

    // The generator's own analysis, with the options this diagram is
    // generated with.
    ExitFunctionStyle exitStyle;
    exitStyle.suffix = prefix;
    exitStyle.usedNames = &m_exitFunctionNames;
    if (m_flavour == Flavour::Reentrant) {
        exitStyle.parameters = "T_" + m_rootName + " *this";
        exitStyle.arguments = "this";
    }
    DiagramAnalysis analysis(doc.diagram(), frame.family.children(), std::move(exitStyle));
    if (analysis.analyse({})) {
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
        const DiagramNames names =
            DiagramNames::form(analysis, prefix, m_flavour, options, m_rootName);
        HierarchyOptions hierarchy;
        hierarchy.ansiComment = root.AnsiComment;
        hierarchy.printTextBoxes = root.PrintTextBoxes;
        hierarchy.isRoot = depth == 0;
        checks.structure(analysis, names, hierarchy);
    } else {
        m_generates = false;
    }
    checks.sortFindings(start);

    m_visited.emplace(name, file);
    stack.push_back(std::move(frame));
}

CheckDocuments::CheckDocuments(Finder alreadyOpen) : m_alreadyOpen(std::move(alreadyOpen)) {}

CheckDocuments::~CheckDocuments() = default;

Document* CheckDocuments::open(const std::string& path, std::string* error) {
    if (m_alreadyOpen) {
        if (Document* doc = m_alreadyOpen(path)) {
            return doc;
        }
    }
    if (const auto it = m_loaded.find(path); it != m_loaded.end()) {
        return it->second.get();
    }
    // Read as a batch generation reads it: records only, no display texts.
    auto doc = std::make_unique<Document>();
    std::string reason;
    if (!LoadFromFile(doc->diagram(), path, reason)) {
        if (error != nullptr) {
            *error = reason;
        }
        return nullptr;
    }
    doc->sFullDocname = path;
    doc->caption = fileBaseName(path);
    RestoreGraphInfo(doc->diagram(), true);
    GetGrafoConfig(*doc, OptionOverrides{});
    RefreshNodeRecords(*doc, false);
    doc->diagram().SetDiagramChanged(false);
    return m_loaded.emplace(path, std::move(doc)).first->second.get();
}

GenerationContext CheckDocuments::context() {
    GenerationContext ctx;
    ctx.openChild = [this](const std::string& path) { return open(path); };
    ctx.report = [](const std::string&) {};
    return ctx;
}

CheckReport checkModel(Document& root, GenerationContext& context, const CheckOptions& options,
                       std::optional<CCheckJob>& job) {
    CheckReport report;
    report.rootFile = root.sFullDocname;
    HierarchyCheck model(context);
    model.run(root);
    const bool namesBroken = model.namesBroken();
    report.findings = std::move(model.findings());
    job.reset();
    if (model.generatesCode()) {
        job = prepareCCheck(root, context, options.compiler, namesBroken, report.findings);
    }
    return report;
}

CheckReport runCheck(Document& root, GenerationContext& context, const CheckOptions& options) {
    std::optional<CCheckJob> job;
    CheckReport report = checkModel(root, context, options, job);
    if (job) {
        std::vector<Finding> c = runCCheck(*job);
        report.findings.insert(report.findings.end(), c.begin(), c.end());
    }
    return report;
}

}  // namespace tarvel
