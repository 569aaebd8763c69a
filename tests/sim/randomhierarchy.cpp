#include "randomhierarchy.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "model/nodekind.h"
#include "model/text.h"

namespace tarvel::test {

namespace {

// One statement of an action text.
struct Statement {
    enum class Kind { Action, Call, LineComment, BlockComment };
    Kind kind = Kind::Action;
    int number = 0;  // Action: T(number); Call and comments: the diagram named
};

struct TextPlan {
    std::vector<Statement> statements;
    bool lineBreaks = false;  // statements on lines of their own, else joined by a blank
};

struct TransitionPlan {
    std::string priority;
    std::string condition;
    TextPlan mealy;
    std::string entryExit;
    std::string mustBeLast;
    std::string continueImmediately;
    int target = 0;  // position of the target state
};

struct StatePlan {
    std::string name;
    std::string index;
    std::uint32_t kind = NK_STATE;
    TextPlan entry, moore, exit, elseActions;
    std::vector<TransitionPlan> transitions;
};

struct DiagramPlan {
    std::string name;
    std::string home;              // folder relative to the hierarchy's folder, "" or ending in "/"
    bool copyInSubfolder = false;  // a second copy in the parent's sub-folder
    int level = 0;
    int parent = -1;
    std::vector<StatePlan> states;
    TextPlan before, after;
    std::string maxLoops;
    GenerationOptions options;
};

}  // namespace

struct RandomHierarchyPlan::Plan {
    std::vector<DiagramPlan> diagrams;
    int conditions = 0;
};

namespace {

class Drawer {
public:
    Drawer(std::mt19937& rng, const RandomHierarchySettings& settings,
           RandomHierarchyPlan::Plan& plan)
        : m_rng(rng), m_settings(settings), m_plan(plan) {}

    void drawAll() {
        m_plan.conditions = uniform(2, std::max(2, m_settings.conditions));
        m_plan.diagrams.emplace_back();
        // Children, level by level.
        for (std::size_t i = 0; i < m_plan.diagrams.size(); ++i) {
            const DiagramPlan parent = m_plan.diagrams[i];
            const std::string parentFolder = parent.home + std::to_string(i) + "/";
            if (parent.level >= m_settings.maxDepth) {
                continue;
            }
            const int count = parent.level == 0 ? pick({15, 40, 30, 15}) : pick({45, 35, 20});
            for (int c = 0; c < count; ++c) {
                DiagramPlan child;
                child.level = parent.level + 1;
                child.parent = static_cast<int>(i);
                child.home = chance(25) ? parentFolder : parent.home;
                m_plan.diagrams.push_back(child);
            }
        }
        for (std::size_t i = 0; i < m_plan.diagrams.size(); ++i) {
            drawDiagram(static_cast<int>(i));
        }
    }

private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool chance(int percent) { return uniform(1, 100) <= percent; }
    // An index drawn with the given weights.
    int pick(std::initializer_list<double> weights) {
        std::discrete_distribution<int> d(weights);
        return d(m_rng);
    }

    int stateCount() {
        switch (pick({55, 32, 13})) {
            case 0:
                return uniform(1, 6);
            case 1:
                return uniform(7, 15);
            default:
                return uniform(16, m_settings.maxStates);
        }
    }

    TextPlan actions(int maxStatements) {
        TextPlan t;
        t.lineBreaks = chance(50);
        const int n = uniform(1, maxStatements);
        for (int i = 0; i < n; ++i) {
            t.statements.push_back({Statement::Kind::Action, ++m_numbers});
        }
        return t;
    }
    TextPlan maybeActions(int percent, int maxStatements) {
        return chance(percent) ? actions(maxStatements) : TextPlan{};
    }

    // Diagrams that `d` may call: deeper ones it can find on disk, so that
    // calls never come back to a machine that is running.
    std::vector<int> reachable(int d) const {
        const DiagramPlan& self = m_plan.diagrams[static_cast<std::size_t>(d)];
        std::vector<int> found;
        for (std::size_t i = 0; i < m_plan.diagrams.size(); ++i) {
            const DiagramPlan& other = m_plan.diagrams[i];
            if (other.level > self.level &&
                (other.home == self.home || other.home == self.home + std::to_string(d) + "/")) {
                found.push_back(static_cast<int>(i));
            }
        }
        return found;
    }

    void insertCall(TextPlan& text, int child) {
        Statement call{Statement::Kind::Call, child};
        const auto at =
            text.statements.begin() + uniform(0, static_cast<int>(text.statements.size()));
        text.statements.insert(at, call);
        if (chance(15)) {
            text.statements.push_back(call);  // called twice in one text
        }
    }

    std::string priorityText(int p, int count) {
        switch (pick({80, 6, 6, 4, 4})) {
            case 0:
                return std::to_string(p);
            case 1:
                return std::to_string(uniform(1, count));  // shares a priority
            case 2:
                return chance(50) ? "0" : std::to_string(count + 1);  // never generated
            case 3:
                return "  " + std::to_string(p);  // read leniently
            default:
                return std::to_string(p) + (chance(50) ? "abc" : ".5");
        }
    }

    std::string condition() {
        switch (pick({18, 4, 68, 10})) {
            case 0:
                return "";
            case 1:
                return "   ";  // blank too
            case 2:
                return "in[" + std::to_string(uniform(0, m_plan.conditions - 1)) + "]";
            default:
                return " in[" + std::to_string(uniform(0, m_plan.conditions - 1)) + "] ";
        }
    }

    void drawDiagram(int d) {
        DiagramPlan& plan = m_plan.diagrams[static_cast<std::size_t>(d)];
        const int n = stateCount();
        std::vector<int> indices(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            indices[static_cast<std::size_t>(i)] = i + 1;
        }
        std::shuffle(indices.begin(), indices.end(), m_rng);
        const int initial = uniform(0, n - 1);
        for (int i = 0; i < n; ++i) {
            StatePlan s;
            s.name = "S" + std::to_string(i + 1);
            s.index = std::to_string(indices[static_cast<std::size_t>(i)]);
            s.kind = i == initial ? NK_INITIAL : chance(10) ? NK_FINAL : NK_STATE;
            s.entry = maybeActions(40, 2);
            s.moore = maybeActions(45, 2);
            s.elseActions = maybeActions(30, 2);
            const int out = pick({15, 30, 25, 15, 10, 5});
            for (int t = 0; t < out; ++t) {
                TransitionPlan tr;
                tr.priority = priorityText(t + 1, out);
                tr.condition = condition();
                tr.mealy = maybeActions(40, 2);
                static const char* const ENTRY_EXIT[] = {"Y", "N", ""};
                tr.entryExit = ENTRY_EXIT[pick({45, 45, 10})];
                tr.mustBeLast = chance(10) ? "Y" : "N";
                tr.continueImmediately = chance(25) ? "Y" : "N";
                tr.target = chance(15) ? i : uniform(0, n - 1);
                s.transitions.push_back(tr);
            }
            // Exit actions need a way out; three statements and two ways out
            // make them a function of their own.
            if (out > 0 && chance(30)) {
                s.exit = actions(4);
            }
            plan.states.push_back(std::move(s));
        }
        // Priorities are tried in order, whatever the order of the out-links.
        for (StatePlan& s : plan.states) {
            std::shuffle(s.transitions.begin(), s.transitions.end(), m_rng);
        }

        plan.before = maybeActions(20, 1);
        plan.after = maybeActions(20, 1);

        // Every child is named by a state or two, mostly called from its
        // Moore actions, sometimes from its else actions or only mentioned.
        for (std::size_t c = 0; c < m_plan.diagrams.size(); ++c) {
            if (m_plan.diagrams[c].parent != d) {
                continue;
            }
            const int namers = chance(25) ? 2 : 1;
            for (int k = 0; k < namers; ++k) {
                name(plan.states[static_cast<std::size_t>(uniform(0, n - 1))], static_cast<int>(c));
            }
        }
        // Sometimes a state uses a machine another diagram owns, or calls
        // one from another text.
        const std::vector<int> others = reachable(d);
        if (!others.empty() && chance(20)) {
            const int other =
                others[static_cast<std::size_t>(uniform(0, static_cast<int>(others.size()) - 1))];
            name(plan.states[static_cast<std::size_t>(uniform(0, n - 1))], other);
            if (chance(50)) {
                // Any text of the function may call it: entry, exit and
                // transition actions, the actions before and after the switch.
                StatePlan& s = plan.states[static_cast<std::size_t>(uniform(0, n - 1))];
                const bool leaves = !s.transitions.empty();
                const int where = leaves ? pick({1, 1, 1, 1, 1}) : pick({1, 0, 0, 1, 1});
                TextPlan* texts[] = {&s.entry, &s.exit,
                                     leaves ? &s.transitions.front().mealy : &s.entry, &plan.before,
                                     &plan.after};
                insertCall(*texts[where], other);
            }
        }

        static const char* const LIMITS[] = {"",  "0",   "0",   "1",  "2",  "3",
                                             "5", "255", "300", "-4", "abc"};
        plan.maxLoops = LIMITS[uniform(0, static_cast<int>(std::size(LIMITS)) - 1)];
        plan.options.HistoryFsm = chance(50);
        plan.options.FunctionInit = chance(30);
        plan.options.FunctionEnd = chance(30);
        plan.options.UseMacros = chance(80);
        plan.options.DebugInfo = d == 0 && chance(30);
        plan.options.UseBitFields = d == 0 && chance(30);
        if (d != 0 && plan.home == m_plan.diagrams[static_cast<std::size_t>(plan.parent)].home &&
            chance(5)) {
            plan.copyInSubfolder = true;
        }
    }

    void name(StatePlan& s, int child) {
        s.kind = s.kind == NK_STATE ? NK_SUPERSTATE : s.kind;
        switch (pick({70, 20, 10})) {
            case 0:
                if (s.moore.statements.empty()) {
                    s.moore.lineBreaks = true;
                }
                insertCall(s.moore, child);
                break;
            case 1:
                insertCall(s.elseActions, child);
                break;
            default: {
                // Named in a comment: a child of the state, restarted by its
                // transitions, but not called.
                const auto kind =
                    chance(50) ? Statement::Kind::LineComment : Statement::Kind::BlockComment;
                s.moore.statements.push_back({kind, child});
                s.moore.lineBreaks = true;
                break;
            }
        }
    }

    std::mt19937& m_rng;
    const RandomHierarchySettings& m_settings;
    RandomHierarchyPlan::Plan& m_plan;
    int m_numbers = 0;
};

std::string render(const TextPlan& text, const std::vector<DiagramPlan>& diagrams, bool reentrant) {
    std::string out;
    for (std::size_t i = 0; i < text.statements.size(); ++i) {
        const Statement& s = text.statements[i];
        if (i > 0) {
            out += text.lineBreaks ? "\r\n" : " ";
        }
        const auto name = [&]() -> const std::string& {
            return diagrams[static_cast<std::size_t>(s.number)].name;
        };
        switch (s.kind) {
            case Statement::Kind::Action:
                out += "T(" + std::to_string(s.number) + ");";
                break;
            case Statement::Kind::Call:
                out += name() + (reentrant ? "(this);" : "();");
                break;
            case Statement::Kind::LineComment:
                out += "// " + name() + "() is restarted here";
                if (i + 1 < text.statements.size() && !text.lineBreaks) {
                    out += "\r\n";
                }
                break;
            case Statement::Kind::BlockComment:
                out += "/* not " + name() + "(); */";
                break;
        }
    }
    return out;
}

void writeDiagram(const DiagramPlan& plan, const std::vector<DiagramPlan>& diagrams,
                  const std::string& path, bool reentrant, const std::string& initialisation) {
    Document doc;
    doc.sFullDocname = path;
    doc.options = plan.options;
    doc.selectGenerator(reentrant ? GEN_HIERARCHICAL_REENTRANT : GEN_HIERARCHICAL);
    Diagram& d = doc.diagram();
    std::vector<std::string> fields(FSM_FIELD_COUNT);
    fields[FF_NAME] = plan.name;
    fields[FF_INITIALISATION] = initialisation;
    fields[FF_BEFORE] = render(plan.before, diagrams, reentrant);
    fields[FF_AFTER] = render(plan.after, diagrams, reentrant);
    fields[FF_MAX_LOOPS] = plan.maxLoops;
    d.setDiagramRecord(joinFields(fields));

    std::vector<Node*> nodes;
    float x = 0;
    for (const StatePlan& s : plan.states) {
        Node* n = d.AddNode(x += 2000, 1000, 1500, 1000);
        n->setNodeKind(s.kind);
        n->setNodeData(
            joinFields({s.name, render(s.moore, diagrams, reentrant), s.index,
                        render(s.entry, diagrams, reentrant), render(s.exit, diagrams, reentrant),
                        "N", "N", render(s.elseActions, diagrams, reentrant)}));
        nodes.push_back(n);
    }
    for (std::size_t i = 0; i < plan.states.size(); ++i) {
        for (const TransitionPlan& t : plan.states[i].transitions) {
            Node* n = d.AddNode(0, 3000, 150, 100);
            n->setNodeKind(NK_TRANSITION);
            n->setNodeData(
                joinFields({t.priority, t.condition, render(t.mealy, diagrams, reentrant),
                            t.entryExit, t.mustBeLast, t.continueImmediately}));
            d.AddLink(nodes[i], n);
            d.AddLink(n, nodes[static_cast<std::size_t>(t.target)]);
        }
    }
    SaveGraphInfo(doc, true);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string error;
    if (!SaveToFile(d, path, error)) {
        throw std::runtime_error("cannot write " + path + ": " + error);
    }
}

}  // namespace

RandomHierarchyPlan::RandomHierarchyPlan(std::mt19937& rng, const RandomHierarchySettings& settings)
    : m_plan(std::make_unique<Plan>()) {
    Drawer(rng, settings, *m_plan).drawAll();
}

RandomHierarchyPlan::~RandomHierarchyPlan() = default;
RandomHierarchyPlan::RandomHierarchyPlan(RandomHierarchyPlan&&) noexcept = default;

int RandomHierarchyPlan::conditions() const {
    return m_plan->conditions;
}

RandomHierarchy RandomHierarchyPlan::write(const std::string& folder, const std::string& rootName,
                                           bool reentrant,
                                           const std::string& rootInitialisation) const {
    // Folders are planned by diagram number: "3/" is the sub-folder of
    // diagram 3, which is named after its file.
    std::vector<DiagramPlan> diagrams = m_plan->diagrams;
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        diagrams[i].name = i == 0 ? rootName : rootName + "c" + std::to_string(i);
    }
    const auto realFolder = [&](std::string home) {
        std::string out;
        std::size_t start = 0;
        for (std::size_t slash = home.find('/'); slash != std::string::npos;
             start = slash + 1, slash = home.find('/', start)) {
            out += diagrams[static_cast<std::size_t>(std::stoi(home.substr(start, slash - start)))]
                       .name +
                   "/";
        }
        return out;
    };
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        const DiagramPlan& plan = diagrams[i];
        const std::string file = plan.name + ".fsm";
        const std::string init = i == 0 ? rootInitialisation : std::string();
        writeDiagram(plan, diagrams, folder + "/" + realFolder(plan.home) + file, reentrant, init);
        if (plan.copyInSubfolder) {
            const std::string sub = plan.home + std::to_string(plan.parent) + "/";
            writeDiagram(plan, diagrams, folder + "/" + realFolder(sub) + file, reentrant, init);
        }
    }
    return {folder + "/" + rootName + ".fsm", m_plan->conditions};
}

}  // namespace tarvel::test
