#include "check/checker.h"

#include <algorithm>
#include <filesystem>

#include "check/checkids.h"
#include "check/modelchecks.h"
#include "codegen/diagramanalysis.h"
#include "codegen/hierarchywalk.h"
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
    m_visited.clear();
    m_exitFunctionNames.clear();
    m_findings.clear();
    std::vector<Reached> reached;
    m_generates = walkHierarchy(root, m_context, [&](const WalkVisit& v) {
        reached.push_back({v.document.sFullDocname, v.children});
        return check(v.document, v.children, v.prefix, v.depth);
    });
    childrenLeftOut(reached);
}

bool HierarchyCheck::check(Document& doc, const std::vector<std::string>& children,
                           const std::string& prefix, int depth) {
    const std::string file = doc.sFullDocname;
    const std::size_t start = m_findings.size();
    DiagramChecks checks(doc, file, m_findings);
    checks.refusals();
    checks.names();

    const std::string name(GetGraphField(FF_NAME, doc.diagram()));
    m_visited.emplace(name, file);
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
    DiagramSetup setup = diagramSetup(doc, *m_root, prefix, m_flavour, m_exitFunctionNames);
    DiagramAnalysis analysis(doc.diagram(), children, std::move(setup.exitStyle));
    const bool accepted = analysis.analyse({});
    if (accepted) {
        const DiagramOptions& options = setup.options;
        const GenerationOptions& root = m_root->options;
        const DiagramNames names =
            DiagramNames::form(analysis, prefix, m_flavour, options, m_rootName);
        HierarchyOptions hierarchy;
        hierarchy.ansiComment = root.AnsiComment;
        hierarchy.printTextBoxes = root.PrintTextBoxes;
        hierarchy.isRoot = depth == 0;
        checks.structure(analysis, names, hierarchy);
    }
    checks.sortFindings(start);
    return accepted;
}

// The children the walk did not enter: those that cannot be read, and those
// whose FSM name an earlier diagram of another file already had, which the
// generator skips.
void HierarchyCheck::childrenLeftOut(const std::vector<Reached>& reached) {
    std::unordered_set<std::string> reported;
    for (const Reached& parent : reached) {
        const clsParientes family(parent.file);
        for (const std::string& entry : parent.children) {
            const std::string path = family.RutaCompleta(entry);
            if (reported.contains(path)) {
                continue;
            }
            Document* child = m_context.openChild ? m_context.openChild(path) : nullptr;
            if (child == nullptr) {
                reported.insert(path);
                Finding f;
                f.file = path;
                f.message =
                    "the child diagram named by " + nameFrom(parent.file, path) + " cannot be read";
                f.check = CHILD_LOAD_ERROR;
                m_findings.push_back(std::move(f));
                continue;
            }
            const std::string name(GetGraphField(FF_NAME, child->diagram()));
            const auto first = m_visited.find(name);
            if (first != m_visited.end() && first->second != child->sFullDocname) {
                reported.insert(path);
                addHierarchyFinding(child->sFullDocname,
                                    "the FSM name \"" + name + "\" is also the name of " +
                                        nameFrom(first->second, child->sFullDocname) +
                                        ", so the generator skips this diagram and its function "
                                        "is missing from the module",
                                    DUPLICATE_FSM_NAME);
            }
        }
    }
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
