// The check of a diagram and its child diagrams: the model checks of every
// diagram the generator would walk, in the order it walks them, and the C
// check of the module it would write. It never changes a document or a file.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "check/ccheck.h"
#include "check/finding.h"
#include "codegen/diagramnames.h"
#include "codegen/generationcontext.h"

namespace tarvel {

class Document;

// The compiler of the C check unless another is given.
inline constexpr std::string_view DEFAULT_COMPILER = "cc -fsyntax-only -std=c99 -Wall -Wextra";

struct CheckOptions {
    // The C check's compiler command; empty or "none" skips the compile.
    std::string compiler{DEFAULT_COMPILER};
};

struct CheckReport {
    std::string rootFile;
    std::vector<Finding> findings;

    int errorCount() const;
    int warningCount() const;
};

// The model checks of a hierarchy, on the generator's own walk: children are
// opened through the context as the generator opens them, in its order.
class HierarchyCheck {
public:
    explicit HierarchyCheck(GenerationContext& context);

    void run(Document& root);

    std::vector<Finding>& findings() { return m_findings; }
    // Whether the generator would write code for the hierarchy.
    bool generatesCode() const { return m_generates; }
    // Whether a name check found an error: the compiler then mostly repeats it.
    bool namesBroken() const;

private:
    // A diagram the walk reached, with its child entries.
    struct Reached {
        std::string file;
        std::vector<std::string> children;
    };
    bool check(Document& doc, const std::vector<std::string>& children, const std::string& prefix,
               int depth);
    void childrenLeftOut(const std::vector<Reached>& reached);
    void addHierarchyFinding(const std::string& file, std::string message, std::string_view check);

    GenerationContext& m_context;
    Document* m_root = nullptr;
    std::string m_rootName;
    Flavour m_flavour = Flavour::SwitchCase;
    bool m_generates = true;
    // FSM name -> the file that first carried it; the generator skips later ones.
    std::unordered_map<std::string, std::string> m_visited;
    std::unordered_set<std::string> m_exitFunctionNames;
    std::vector<Finding> m_findings;
};

// The documents of one check, each read once: the ones already open where
// the check runs (the editor's, with their unsaved changes) or else loaded
// from disk privately, so that checking opens no window.
class CheckDocuments {
public:
    using Finder = std::function<Document*(const std::string& path)>;
    explicit CheckDocuments(Finder alreadyOpen = {});
    ~CheckDocuments();

    // The document of the diagram file; nullptr when it cannot be read
    // (`error` then says why).
    Document* open(const std::string& path, std::string* error = nullptr);
    // A context that opens children through `open`.
    GenerationContext context();

private:
    Finder m_alreadyOpen;
    std::map<std::string, std::unique_ptr<Document>> m_loaded;
};

// The whole check: the model checks, then the C check unless the options
// skip it or the generator would write no code.
CheckReport runCheck(Document& root, GenerationContext& context, const CheckOptions& options);

// The part of `runCheck` that reads the documents: the model checks' report
// and the C check's job, when there is one to run (`runCCheck`, in any thread).
CheckReport checkModel(Document& root, GenerationContext& context, const CheckOptions& options,
                       std::optional<CCheckJob>& job);

}  // namespace tarvel
