#include "check/modelchecks.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "check/checkids.h"
#include "check/ctext.h"
#include "codegen/diagramanalysis.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

using namespace check_id;

// C89 compilers must tell internal identifiers apart by this many characters.
constexpr std::size_t SIGNIFICANT_CHARACTERS = 31;

// The types and constants the generated code uses and the target defines.
constexpr std::array<std::string_view, 6> TARGET_NAMES = {"T_u8",   "T_u16", "T_bit",
                                                          "T_char", "TRUE",  "FALSE"};

int lineCount(std::string_view text) {
    return static_cast<int>(splitLinesCR(text).size());
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Why a name that is not an identifier is not one.
std::string identifierFault(std::string_view name) {
    if (name.front() >= '0' && name.front() <= '9') {
        return "starts with a digit";
    }
    for (const char c : name) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return c == ' ' ? std::string("contains a blank")
                            : "contains \"" + std::string(1, c) + "\"";
        }
    }
    return {};
}

bool reservedForImplementation(std::string_view name) {
    return name.size() >= 2 && name[0] == '_' &&
           (name[1] == '_' || (name[1] >= 'A' && name[1] <= 'Z'));
}

// The line-comment conversion the generator applies to a whole module when
// ANSI comments are on, applied to one line as it stands in the module: an
// indented user line never starts with "//" at column 0.
std::string ansiConverted(std::string_view line, bool columnZero) {
    if (columnZero) {
        return lineCommentsToBlock(line, 80, false);
    }
    return lineCommentsToBlock(" " + std::string(line), 80, false).substr(1);
}

// What a line leaves for the next: only a block comment goes on.
CScan::State carried(CScan::State end) {
    return end == CScan::State::BlockComment ? end : CScan::State::Code;
}

// The first word followed by "(" that is not a keyword: the call a
// superstate's actions make to its child.
std::string calledName(std::string_view text) {
    std::string found;
    forEachChildWord(text, [&](std::string_view word) {
        if (!found.empty() || isCKeyword(word)) {
            return;
        }
        const std::size_t end = word.data() + word.size() - text.data();
        std::size_t i = end;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        if (i < text.size() && text[i] == '(') {
            found = word;
        }
    });
    return found;
}

}  // namespace

DiagramChecks::DiagramChecks(const Document& doc, std::string path, std::vector<Finding>& out)
    : m_doc(doc), m_path(std::move(path)), m_out(out), m_refs(doc.diagram()) {}

void DiagramChecks::add(Severity severity, ElementRef element, Field field, int line,
                        std::string message, std::string_view check) const {
    Finding f;
    f.severity = severity;
    f.file = m_path;
    f.element = std::move(element);
    f.field = field;
    f.line = line;
    f.message = std::move(message);
    f.check = check;
    m_out.push_back(std::move(f));
}

void DiagramChecks::sortFindings(std::size_t from) const {
    const auto key = [](const Finding& f) {
        const long long node =
            f.element.node == ElementRef::NO_NODE ? -1 : static_cast<long long>(f.element.node);
        return std::tuple(node, static_cast<int>(f.field), f.line);
    };
    std::stable_sort(m_out.begin() + static_cast<std::ptrdiff_t>(from), m_out.end(),
                     [&](const Finding& a, const Finding& b) { return key(a) < key(b); });
}

// ---------------------------------------------------------------------------
// What the generator refuses

void DiagramChecks::refusals() {
    const Diagram& d = m_doc.diagram();
    if (GetGraphField(FF_NAME, d).empty()) {
        add(Severity::Error, ElementRef::fsm(), Field::FsmName, 0,
            "the FSM has no name, which the generator needs for its function", NO_FSM_NAME);
    }
    std::vector<const Node*> states;
    for (const auto& node : d.NodeList()) {
        if (isState(*node)) {
            states.push_back(node.get());
        }
    }
    if (std::none_of(states.begin(), states.end(), [](const Node* n) { return isInitial(*n); })) {
        add(Severity::Error, ElementRef::fsm(), Field::None, 0,
            "no state is the initial state; mark one state as initial", NO_INITIAL_STATE);
    }
    for (const Node* s : states) {
        if (!readStateField(SF_EXIT, *s).empty() && s->NodeOutLinks().empty()) {
            add(Severity::Error, stateRef(*s), Field::Exit, 0,
                "the state has exit actions but no transition leaves it, so they can never run",
                EXIT_WITHOUT_TRANSITION);
        }
    }
    // Constants, cases and tables are laid out by index: every index must
    // name exactly one state.
    const int n = static_cast<int>(states.size());
    std::vector<const Node*> owner(states.size(), nullptr);
    for (const Node* s : states) {
        const std::string_view text = readStateField(SF_INDEX, *s);
        const int k = lenientInt(text);
        if (k < 1 || k > n) {
            add(Severity::Error, stateRef(*s), Field::None, 0,
                "the state index " + inQuotes(text) + " is outside 1.." + std::to_string(n),
                BAD_STATE_INDEX);
            continue;
        }
        const Node*& first = owner[static_cast<std::size_t>(k - 1)];
        if (first != nullptr) {
            add(Severity::Error, stateRef(*s), Field::None, 0,
                "the state index " + std::to_string(k) + " is also the index of state " +
                    inQuotes(readStateField(SF_NAME, *first)),
                BAD_STATE_INDEX);
            continue;
        }
        first = s;
    }
}

// ---------------------------------------------------------------------------
// Names

void DiagramChecks::fsmNameChecks(std::string_view name) {
    const ElementRef fsm = ElementRef::fsm();
    if (!isAscii(name)) {
        add(Severity::Error, fsm, Field::FsmName, 0,
            "the FSM name " + inQuotes(name) +
                " has letters outside ASCII; C compilers before C99 reject it in identifiers",
            NON_ASCII_NAME);
        return;
    }
    if (!isCIdentifier(name)) {
        add(Severity::Error, fsm, Field::FsmName, 0,
            "the FSM name " + inQuotes(name) + " is not a C identifier (it " +
                identifierFault(name) + "); it names the FSM function",
            INVALID_IDENTIFIER);
        return;
    }
    if (isCKeyword(name)) {
        add(Severity::Error, fsm, Field::FsmName, 0,
            "the FSM name " + inQuotes(name) + " is a C keyword; it names the FSM function",
            RESERVED_IDENTIFIER);
    } else if (name == "main") {
        add(Severity::Error, fsm, Field::FsmName, 0,
            "the FSM name \"main\" makes the FSM function the program's main function",
            RESERVED_IDENTIFIER);
    } else if (std::find(TARGET_NAMES.begin(), TARGET_NAMES.end(), name) != TARGET_NAMES.end()) {
        add(Severity::Error, fsm, Field::FsmName, 0,
            "the FSM name " + inQuotes(name) +
                " is one of the target's types the generated code uses",
            RESERVED_IDENTIFIER);
    } else if (reservedForImplementation(name)) {
        add(Severity::Warning, fsm, Field::FsmName, 0,
            "the FSM name " + inQuotes(name) +
                " starts with \"_\" and a capital letter or with \"__\"; C reserves such names",
            RESERVED_IDENTIFIER);
    }
}

void DiagramChecks::names() {
    const std::string_view fsmName = GetGraphField(FF_NAME, m_doc.diagram());
    if (!fsmName.empty()) {
        fsmNameChecks(fsmName);
    }
    // Each state becomes the constant "i" + prefix + "_" + its name in upper
    // case (ASCII letters only), so names equal but for case clash.
    std::unordered_map<std::string, const Node*> byConstant;
    byConstant.reserve(m_doc.diagram().NodeList().size());
    for (const auto& node : m_doc.diagram().NodeList()) {
        if (!isState(*node)) {
            continue;
        }
        const std::string_view name = readStateField(SF_NAME, *node);
        if (name.empty()) {
            add(Severity::Error, stateRef(*node), Field::StateName, 0, "the state has no name",
                INVALID_IDENTIFIER);
            continue;
        }
        if (!isAscii(name)) {
            add(Severity::Error, stateRef(*node), Field::StateName, 0,
                "the name has letters outside ASCII; it becomes the constant \"i_" +
                    upperAscii(name) + "\", which C compilers before C99 reject",
                NON_ASCII_NAME);
        } else if (!isCIdentifier(name)) {
            add(Severity::Error, stateRef(*node), Field::StateName, 0,
                "the name is not a C identifier (it " + identifierFault(name) +
                    "); it becomes part of the state constant \"i_" + upperAscii(name) + "\"",
                INVALID_IDENTIFIER);
        }
        const auto [it, inserted] = byConstant.emplace(upperAscii(name), node.get());
        if (!inserted) {
            const std::string_view other = readStateField(SF_NAME, *it->second);
            add(Severity::Error, stateRef(*node), Field::StateName, 0,
                (other == name
                     ? "state " + inQuotes(other) + " has the same name"
                     : "the name differs from state " + inQuotes(other) + " only in case") +
                    "; both give the state constant \"i_" + it->first + "\"",
                CASE_CLASH);
        }
    }
}

// ---------------------------------------------------------------------------
// The machine's structure

void DiagramChecks::structure(const DiagramAnalysis& analysis, const DiagramNames& names,
                              const HierarchyOptions& options) {
    longIdentifiers(analysis, names);
    priorities(analysis);
    chains(analysis);
    reachability(analysis);
    missingChildren(analysis);
    comments(analysis, options);
}

void DiagramChecks::longIdentifiers(const DiagramAnalysis& analysis, const DiagramNames& names) {
    // Reports the longest of an element's identifiers when it is too long.
    const auto report = [&](const auto& element, Field field,
                            std::initializer_list<std::string_view> ids) {
        std::string_view longest;
        for (const std::string_view id : ids) {
            if (id.size() > longest.size()) {
                longest = id;
            }
        }
        if (longest.size() <= SIGNIFICANT_CHARACTERS) {
            return;
        }
        add(Severity::Warning, element(), field, 0,
            "the generated identifier " + inQuotes(longest) + " has " +
                std::to_string(longest.size()) +
                " characters; C89 compilers need to tell identifiers apart only by their first 31",
            LONG_IDENTIFIER);
    };
    const auto withoutCall = [](std::string_view macro) {
        return macro.ends_with("()") ? macro.substr(0, macro.size() - 2) : macro;
    };
    const bool reentrant = !names.instanceType.empty();
    const bool chains = analysis.chainPresent();
    const std::string history = "_" + names.name + "_Init";
    report([] { return ElementRef::fsm(); }, Field::FsmName,
           {names.name, history, reentrant ? names.indexMember : names.indexVariable,
            withoutCall(names.initMacro), withoutCall(names.endMacro), names.instanceType,
            chains ? names.chainFlag : std::string_view(),
            chains ? names.chainCounter : std::string_view()});

    std::string isIn;
    std::string goTo;
    for (const int index : analysis.nodeOrder()) {
        const StateInfo& s = analysis.state(index);
        isIn = s.isIn ? names.isInPrefix + std::string(s.name) : std::string();
        goTo = s.goTo ? names.gotoPrefix + std::string(s.name) : std::string();
        // The exit function, when the exit actions became one: every
        // transition then calls it.
        std::string_view call;
        bool disabled = false;
        for (int p = 1; p <= s.outLinks && call.empty(); ++p) {
            analysis.entryExit().ExistExitInThisTrans(index, p, call, disabled);
        }
        std::string_view function;
        if (call.starts_with(s.name) && call.substr(s.name.size()).starts_with("_OnExit")) {
            function = call.substr(0, call.find('('));
        }
        report([&] { return stateRef(*s.node); }, Field::StateName,
               {names.constant(index), isIn, goTo, function});
    }
}

void DiagramChecks::priorities(const DiagramAnalysis& analysis) {
    for (const int index : analysis.nodeOrder()) {
        const StateInfo& s = analysis.state(index);
        // Every transition of the state: the generator keeps the first of
        // each priority 1..out-links and drops the others.
        for (const Link* out : s.node->NodeOutLinks()) {
            const Node* t = out->LinkTarget();
            if (!isTransition(*t)) {
                continue;
            }
            const std::string_view text = readTransitionField(TF_PRIORITY, *t);
            const int p = lenientInt(text);
            if (p < 1 || p > s.outLinks) {
                add(Severity::Error, transitionRef(*t), Field::Priority, 0,
                    "the priority " + inQuotes(text) + " is outside 1.." +
                        std::to_string(s.outLinks) + " (the transitions of " + inQuotes(s.name) +
                        "), so the transition is never generated",
                    PRIORITY_OUT_OF_RANGE);
                continue;
            }
            const Node* kept = s.byPriority[static_cast<std::size_t>(p - 1)];
            if (kept != t) {
                add(Severity::Error, transitionRef(*t), Field::Priority, 0,
                    "transition " +
                        inQuotes(transitionRef(*kept).state + " -> " +
                                 transitionRef(*kept).target) +
                        " has the same priority and comes first, so this one is never generated",
                    DUPLICATE_PRIORITY);
            }
        }

        int last = 0;
        for (int p = 1; p <= s.outLinks; ++p) {
            if (s.byPriority[static_cast<std::size_t>(p - 1)] != nullptr) {
                last = p;
            }
        }
        const Node* unconditional = nullptr;
        for (int p = 1; p <= s.outLinks; ++p) {
            const Node* t = s.byPriority[static_cast<std::size_t>(p - 1)];
            if (t == nullptr) {
                continue;
            }
            if (readTransitionField(TF_MUST_BE_LAST, *t) == "Y" && p < last) {
                const ElementRef after =
                    transitionRef(*s.byPriority[static_cast<std::size_t>(last - 1)]);
                add(Severity::Error, transitionRef(*t), Field::Priority, 0,
                    "the transition must be last, but transition " +
                        inQuotes(after.state + " -> " + after.target) + " (priority " +
                        after.priority + ") is analysed after it",
                    MUST_BE_LAST);
            }
            if (unconditional != nullptr) {
                const ElementRef first = transitionRef(*unconditional);
                add(Severity::Warning, transitionRef(*t), Field::Condition, 0,
                    "the transition can never fire: transition " +
                        inQuotes(first.state + " -> " + first.target) + " (priority " +
                        first.priority + ") before it has no condition",
                    SHADOWED_TRANSITION);
            }
            const std::string_view condition = readTransitionField(TF_CONDITION, *t);
            if (unconditional == nullptr && isBlank(condition)) {
                unconditional = t;
            }
            if (isBlank(condition)) {
                continue;
            }
            const CScan scan = scanC(condition, CScan::State::Code, false);
            if (scan.end == CScan::State::LineComment || scan.end == CScan::State::BlockComment) {
                add(Severity::Error, transitionRef(*t), Field::Condition, lineCount(condition),
                    scan.end == CScan::State::LineComment
                        ? "the condition ends in a \"//\" comment, which swallows the \"){\" "
                          "that the generator puts after it"
                        : "the condition ends inside an unclosed \"/*\" comment, which swallows "
                          "the \"){\" that the generator puts after it",
                    COMMENT_IN_CONDITION);
            }
        }
        if (unconditional != nullptr && !s.elseActions.empty()) {
            const ElementRef first = transitionRef(*unconditional);
            add(Severity::Warning, stateRef(*s.node), Field::Else, 0,
                "the else actions never run: transition " +
                    inQuotes(first.state + " -> " + first.target) + " (priority " + first.priority +
                    ") has no condition",
                SHADOWED_TRANSITION);
        }
    }
}

void DiagramChecks::chains(const DiagramAnalysis& analysis) {
    // Without a loop limit the dispatcher repeats its switch as long as a
    // chain transition fires; a cycle of them may never end.
    if (!analysis.chainPresent() || analysis.maxLoops() != 0) {
        return;
    }
    struct Edge {
        int to;
        const Node* transition;
    };
    const int n = analysis.stateCount();
    std::vector<std::vector<Edge>> edges(static_cast<std::size_t>(n) + 1);
    for (const StateInfo& s : analysis.states()) {
        for (int p = 1; p <= s.outLinks; ++p) {
            const Node* t = s.byPriority[static_cast<std::size_t>(p - 1)];
            const int to = s.targetOf[static_cast<std::size_t>(p - 1)];
            if (t != nullptr && to != 0 && analysis.chains().ExistInThisTrans(s.index, p)) {
                edges[static_cast<std::size_t>(s.index)].push_back({to, t});
            }
        }
    }
    // Depth first with an explicit stack; every edge back into the stack
    // closes a cycle.
    enum Colour : char { White, Grey, Black };
    std::vector<Colour> colour(edges.size(), White);
    struct Frame {
        int state;
        std::size_t next;
    };
    std::vector<Frame> stack;
    for (const int start : analysis.nodeOrder()) {
        if (colour[static_cast<std::size_t>(start)] != White) {
            continue;
        }
        stack.push_back({start, 0});
        colour[static_cast<std::size_t>(start)] = Grey;
        while (!stack.empty()) {
            Frame& f = stack.back();
            const auto& out = edges[static_cast<std::size_t>(f.state)];
            if (f.next == out.size()) {
                colour[static_cast<std::size_t>(f.state)] = Black;
                stack.pop_back();
                continue;
            }
            const Edge e = out[f.next++];
            const Colour c = colour[static_cast<std::size_t>(e.to)];
            if (c == White) {
                colour[static_cast<std::size_t>(e.to)] = Grey;
                stack.push_back({e.to, 0});
                continue;
            }
            if (c != Grey) {
                continue;
            }
            std::string cycle;
            bool inCycle = false;
            for (const Frame& g : stack) {
                inCycle = inCycle || g.state == e.to;
                if (inCycle) {
                    cycle += std::string(analysis.state(g.state).name) + " -> ";
                }
            }
            cycle += analysis.state(e.to).name;
            add(Severity::Error, transitionRef(*e.transition), Field::None, 0,
                "the transitions that continue immediately can cycle (" + cycle +
                    ") and the loop limit is 0 (none): one call of the machine may never "
                    "return; set a loop limit in the FSM properties",
                UNBOUNDED_CHAIN);
        }
    }
}

void DiagramChecks::reachability(const DiagramAnalysis& analysis) {
    const int n = analysis.stateCount();
    std::vector<bool> reached(static_cast<std::size_t>(n) + 1, false);
    std::vector<int> queue = {analysis.initialIndex()};
    reached[static_cast<std::size_t>(analysis.initialIndex())] = true;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        for (const int to : analysis.state(queue[i]).targetOf) {
            if (to != 0 && !reached[static_cast<std::size_t>(to)]) {
                reached[static_cast<std::size_t>(to)] = true;
                queue.push_back(to);
            }
        }
    }
    const std::string_view initial = analysis.state(analysis.initialIndex()).name;
    for (const int index : analysis.nodeOrder()) {
        const StateInfo& s = analysis.state(index);
        // A state forced by its go-to macro is entered from outside.
        if (!reached[static_cast<std::size_t>(index)] && !s.goTo) {
            add(Severity::Warning, stateRef(*s.node), Field::None, 0,
                "no path of transitions leads here from the initial state " + inQuotes(initial),
                UNREACHABLE_STATE);
        }
        const bool leaves = std::any_of(s.targetOf.begin(), s.targetOf.end(),
                                        [&](int to) { return to != 0 && to != index; });
        if (!leaves && !isFinal(*s.node)) {
            add(Severity::Warning, stateRef(*s.node), Field::None, 0,
                "no transition leads out of this state and it is not a final state",
                DEAD_END_STATE);
        }
    }
}

void DiagramChecks::missingChildren(const DiagramAnalysis& analysis) {
    for (const int index : analysis.nodeOrder()) {
        const StateInfo& s = analysis.state(index);
        if (!s.node->hasKind(NK_SUPERSTATE) || !s.children.empty()) {
            continue;
        }
        const clsParientes family(m_path);
        std::string name = calledName(s.moore);
        const Field field = !name.empty() || s.elseActions.empty() ? Field::During : Field::Else;
        if (name.empty()) {
            name = calledName(s.elseActions);
        }
        // The sub-folder named after the diagram, as the user sees it beside the file.
        const std::string folder =
            std::filesystem::path(family.subDirectory()).filename().string() + "/";
        add(Severity::Error, stateRef(*s.node), field, 0,
            name.empty()
                ? "the state is a superstate, but its actions name no child diagram that "
                  "exists beside the diagram or in its folder " +
                      folder
                : "the state is a superstate, but its child diagram " + inQuotes(name + ".fsm") +
                      " exists neither beside the diagram nor in its folder " + folder,
            MISSING_CHILD);
    }
}

// ---------------------------------------------------------------------------
// Comment conversion

void DiagramChecks::ansiText(const ElementRef& element, Field field, std::string_view text,
                             bool columnZero) const {
    if (text.empty()) {
        return;
    }
    CScan::State state = CScan::State::Code;
    int number = 0;
    for (const std::string& line : splitLinesCR(text)) {
        ++number;
        const CScan before = scanC(line, state);
        const CScan::State next = carried(before.end);
        if (line.find("//") == std::string::npos) {
            state = next;
            continue;
        }
        const std::string converted = ansiConverted(line, columnZero);
        const CScan after = scanC(converted, state);
        const bool changed = collapseBlanks(before.code) != collapseBlanks(after.code) ||
                             carried(before.end) != carried(after.end);
        if (changed) {
            const std::size_t p = line.find("//");
            const CScan::State at = scanC(std::string_view(line).substr(0, p), state).end;
            const bool inLiteral = at == CScan::State::String || at == CScan::State::Char;
            add(Severity::Error, element, field, number,
                inLiteral ? "with ANSI comments on, the \"//\" inside a literal on this line is "
                            "turned into a comment, which breaks the literal"
                          : "with ANSI comments on, turning the \"//\" on this line into a block "
                            "comment changes the code around it",
                ANSI_COMMENT_IN_STRING);
        } else if (after.hasLineComment) {
            add(Severity::Error, element, field, number,
                "with ANSI comments on, the \"//\" comment on this line is left as it is (a "
                "\"*/\" follows it), which C89 compilers reject",
                ANSI_COMMENT_IN_STRING);
        }
        state = next;
    }
}

void DiagramChecks::comments(const DiagramAnalysis& analysis, const HierarchyOptions& options) {
    if (!options.ansiComment) {
        return;
    }
    for (const int index : analysis.nodeOrder()) {
        const StateInfo& s = analysis.state(index);
        const ElementRef ref = stateRef(*s.node);
        ansiText(ref, Field::Entry, s.entry, false);
        ansiText(ref, Field::During, s.moore, false);
        ansiText(ref, Field::Else, s.elseActions, false);
        ansiText(ref, Field::Exit, readStateField(SF_EXIT, *s.node), false);
        for (const Node* t : s.byPriority) {
            if (t == nullptr) {
                continue;
            }
            const ElementRef tr = transitionRef(*t);
            ansiText(tr, Field::Condition, readTransitionField(TF_CONDITION, *t), false);
            ansiText(tr, Field::Action, readTransitionField(TF_ACTIONS, *t), false);
        }
    }
    const ElementRef fsm = ElementRef::fsm();
    ansiText(fsm, Field::Initialization, analysis.fsmField(FF_INITIALISATION), false);
    ansiText(fsm, Field::Before, analysis.fsmField(FF_BEFORE), false);
    ansiText(fsm, Field::DefaultCase, analysis.fsmField(FF_DEFAULT_ACTIONS), false);
    ansiText(fsm, Field::After, analysis.fsmField(FF_AFTER), false);
    // The root's ending code stands at the start of its lines.
    ansiText(fsm, Field::EndingCode, analysis.fsmField(FF_FINAL_CODE), options.isRoot);

    if (!options.printTextBoxes) {
        return;
    }
    // Text boxes are copied into one block comment; a "//" in them becomes a
    // comment whose "*/" closes that block.
    for (const Node* comment : analysis.comments()) {
        int number = 0;
        for (const std::string& line : splitLinesCR(neutraliseCommentMarks(comment->NodeText()))) {
            ++number;
            if (line.find("//") == std::string::npos) {
                continue;
            }
            add(Severity::Error, m_refs.comment(*comment), Field::Text, number,
                "with ANSI comments on, the \"//\" on this line ends the comment block the text "
                "boxes are copied into, and the rest of the box becomes code",
                ANSI_COMMENT_IN_TEXT_BOX);
        }
    }
}

}  // namespace tarvel
