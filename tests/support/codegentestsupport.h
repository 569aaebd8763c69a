// Helpers shared by the generator tests: opening fixture diagrams (and their
// children) as documents, running a generator with the messages collected,
// and comparing output with golden files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codegen/generator.h"
#include "model/document.h"
#include "model/documentio.h"
#include "model/nodekind.h"
#include "model/text.h"

namespace tarvel::test {

inline std::string fixturePath(const std::string& name) {
    return std::string(TARVEL_FIXTURES_DIR) + "/codegen/" + name;
}
inline std::string goldenPath(const std::string& name) {
    return std::string(TARVEL_GOLDEN_DIR) + "/codegen/" + name;
}

// The documents of one generation run, opened on demand like the editor
// opens child diagrams, and the messages the run reported.
class Session {
public:
    Session() {
        m_context.openChild = [this](const std::string& path) { return open(path); };
        m_context.report = [this](const std::string& text) { messages.push_back(text); };
    }

    // The document at `path`, loaded once; nullptr when it cannot be loaded.
    Document* open(const std::string& path) {
        auto it = m_documents.find(path);
        if (it != m_documents.end()) {
            return it->second.get();
        }
        auto doc = std::make_unique<Document>();
        std::string error;
        if (!loadDocument(*doc, path, OptionOverrides{}, error)) {
            return nullptr;
        }
        return m_documents.emplace(path, std::move(doc)).first->second.get();
    }
    Document& root(const std::string& path) {
        Document* doc = open(path);
        EXPECT_NE(doc, nullptr) << path;
        return *doc;
    }

    std::string generate(Document& root, bool reentrant = false) {
        return reentrant ? generateHierarchicalSwitchCaseReentrant(root, m_context)
                         : generateHierarchicalSwitchCase(root, m_context);
    }

    GenerationContext& context() { return m_context; }
    std::vector<std::string> messages;

private:
    GenerationContext m_context;
    std::map<std::string, std::unique_ptr<Document>> m_documents;
};

// The module and the header of a generator's result.
struct CFiles {
    std::string module;
    std::string header;
};

inline CFiles splitResult(const std::string& text) {
    const std::vector<std::string> parts = splitFields(text, 2);
    return {parts[0], parts[1]};
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A line as the failure message shows it: carriage returns and tabs written
// as escapes, so that a difference in line ends or white space is visible.
inline std::string visibleLine(std::string_view line) {
    std::string shown;
    for (const char c : line) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else {
            shown += c;
        }
    }
    return shown;
}

// The line of `text` that holds byte `at`, without its line feed; "(end of
// file)" when the text ends before it.
inline std::string lineAround(const std::string& text, std::size_t at) {
    if (at >= text.size()) {
        return "(end of file)";
    }
    const std::size_t start = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;
    const std::size_t end = text.find('\n', at);
    return "\"" + visibleLine(std::string_view(text).substr(start, end - start)) + "\"";
}

// Where `actual` first departs from `expected`: the line number and both
// lines; empty when the texts are equal.
inline std::string firstDifferingLine(const std::string& expected, const std::string& actual) {
    const auto [e, a] =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (e == expected.end() && a == actual.end()) {
        return {};
    }
    const std::size_t at = static_cast<std::size_t>(e - expected.begin());
    const auto line = std::count(expected.begin(), e, '\n') + 1;
    return "first difference in line " + std::to_string(line) +
           "\n  expected: " + lineAround(expected, at) + "\n  actual:   " + lineAround(actual, at);
}

// The command that rewrites the golden files of the tests `filter` selects.
inline std::string regenerateCommand(const std::string& filter) {
    return "TARVEL_UPDATE_GOLDEN=1 ./build/tests/tarvel_core_tests --gtest_filter='" + filter + "'";
}

// Fails, naming the golden file, the first differing line and the command
// that regenerates the golden files, when `actual` is not `expected`.
// `actual` is kept in the test's temporary folder for a full diff.
inline void expectSameAsGolden(const std::string& name, const std::string& expected,
                               const std::string& actual, const std::string& regenerate) {
    const std::string difference = firstDifferingLine(expected, actual);
    if (difference.empty()) {
        return;
    }
    const std::string path = goldenPath(name);
    const std::string actualPath = ::testing::TempDir() + name;
    writeText(actualPath, actual);
    ADD_FAILURE() << "Output differs from " << path << "\n  " << difference
                  << "\n  actual output: " << actualPath << "\n  compare: diff " << path << " "
                  << actualPath << "\n  after checking the difference, regenerate with:\n  "
                  << regenerate;
}

// Compares `actual` with the golden file byte for byte. With
// TARVEL_UPDATE_GOLDEN=1 the golden file is rewritten instead: check the diff
// by eye before committing it.
inline void expectGolden(const std::string& name, const std::string& actual) {
    const char* update = std::getenv("TARVEL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        writeText(goldenPath(name), actual);
        return;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    expectSameAsGolden(
        name, readText(goldenPath(name)), actual,
        regenerateCommand(std::string(test->test_suite_name()) + "." + test->name()));
}

}  // namespace tarvel::test

namespace tarvel::test {

// Builds a diagram in memory the way a loaded file holds it: records in the
// nodes, a transition node between two links. Cheap enough for thousands of
// states.
class DiagramBuilder {
public:
    explicit DiagramBuilder(Document& doc) : m_doc(doc) {}

    // The FSM properties: the name, the options and any other fields.
    DiagramBuilder& fsm(const std::string& name, std::map<int, std::string> fields = {}) {
        std::vector<std::string> f(13);
        f[0] = "FSM_V000.006a";
        f[1] = name;
        for (auto& [index, value] : fields) {
            f[static_cast<std::size_t>(index)] = value;
        }
        m_doc.diagram().setDiagramRecord(joinFields(f));
        return *this;
    }

    // Fill with designated initialisers: {.name = "A", .kind = NK_INITIAL}.
    struct State {
        std::string name{};
        std::string moore{};
        std::string entry{};
        std::string exit{};
        std::string elseActions{};
        std::uint32_t kind = NK_STATE;
        std::string index{};  // empty: the next one
    };
    Node* state(const State& s) {
        Node* n = m_doc.diagram().AddNode(0, 0, 1500, 1000);
        n->setNodeKind(s.kind);
        const std::string index = s.index.empty() ? std::to_string(++m_states) : s.index;
        n->setNodeData(
            joinFields({s.name, s.moore, index, s.entry, s.exit, "N", "N", s.elseActions}));
        return n;
    }

    struct Transition {
        std::string priority = "1";
        std::string condition{};
        std::string actions{};
        std::string entryExit = "Y";
        std::string continueImmediately = "N";
    };
    Node* transition(Node* from, Node* to, const Transition& t) {
        Node* n = m_doc.diagram().AddNode(0, 0, 150, 100);
        n->setNodeKind(NK_TRANSITION);
        n->setNodeData(joinFields(
            {t.priority, t.condition, t.actions, t.entryExit, "N", t.continueImmediately}));
        m_doc.diagram().AddLink(from, n);
        m_doc.diagram().AddLink(n, to);
        return n;
    }

private:
    Document& m_doc;
    int m_states = 0;
};

}  // namespace tarvel::test
