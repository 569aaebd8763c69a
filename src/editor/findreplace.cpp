#include "editor/findreplace.h"

#include <algorithm>

#include "editor/dialogprompter.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The nodes of the diagram that pass the test, in `NodeList` order, taken
// before any of them is rewritten.
template <typename Test>
std::vector<Node*> nodesWhere(Diagram& d, Test test) {
    std::vector<Node*> out;
    for (const auto& n : d.NodeList()) {
        if (test(*n)) {
            out.push_back(n.get());
        }
    }
    return out;
}

// Comment texts are changed with edit tracking and repainting off, and both
// are switched on again however the group ends.
class QuietEdits {
public:
    explicit QuietEdits(Diagram& d) : m_d(d) {
        m_d.setEditTracking(false);
        m_d.setRepaintEnabled(false);
    }
    ~QuietEdits() {
        m_d.setEditTracking(true);
        m_d.setRepaintEnabled(true);
    }
    QuietEdits(const QuietEdits&) = delete;
    QuietEdits& operator=(const QuietEdits&) = delete;

private:
    Diagram& m_d;
};

}  // namespace

FindReplace::FindReplace(FindStep step, std::string search, std::string replace, bool caseSensitive)
    : m_step(std::move(step)),
      m_search(std::move(search)),
      m_replace(std::move(replace)),
      m_caseSensitive(caseSensitive) {}

std::size_t FindReplace::findInText(std::string_view text, std::string_view search,
                                    bool caseSensitive, std::size_t from) {
    if (search.empty() || from > text.size()) {
        return std::string_view::npos;
    }
    if (caseSensitive) {
        return text.find(search, from);
    }
    const auto it =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), search.begin(),
                    search.end(), [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
    return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

bool FindReplace::offer(std::string_view title, std::string& text, bool readOnly) {
    FindRequest request{std::string(title), text, m_search, m_replace, m_caseSensitive, readOnly};
    FindAnswer answer = m_step(request);
    if (answer.goOn) {
        text = std::move(answer.text);
    }
    return answer.goOn;
}

bool FindReplace::searchFsm(Document& doc) {
    const bool locked = doc.diagram().DiagramLocked();
    std::vector<std::string> f = readFsmRecord(doc.diagram());
    const std::vector<std::string> loaded = f;
    const bool goOn =
        offer("FSM properties: Parameters", f[FF_PARAMETERS], locked) &&
        offer("FSM properties: Return type", f[FF_RETURN_TYPE], locked) &&
        offer("FSM properties: Initialization", f[FF_INITIALISATION], locked) &&
        offer("FSM properties: Actions before dispatcher", f[FF_BEFORE], locked) &&
        offer("FSM properties: Default actions on index error", f[FF_DEFAULT_ACTIONS], locked) &&
        offer("FSM properties: Actions after dispatcher", f[FF_AFTER], locked) &&
        offer("FSM properties: Ending actions", f[FF_FINAL_CODE], locked);
    if (!locked && f != loaded) {
        writeFsmRecord(doc, std::move(f));
    }
    return goOn;
}

bool FindReplace::searchState(Document& doc, Node& state, DialogPrompter& prompter) {
    const bool locked = doc.diagram().DiagramLocked();
    const StateRecord loaded = loadStateForEdit(doc, state);
    StateRecord r = loaded;
    bool goOn = offer("State: Name", r.name, locked);
    if (goOn) {
        // A name is one line; it gets the clean-up of its box as well.
        r.name = cleanStateName(r.name.substr(0, r.name.find('\r')));
    }
    const std::string prefix = "State[" + r.name + "]: ";
    goOn = goOn && offer(prefix + "Input actions ", r.entry, locked);
    goOn = goOn && offer(prefix + "Moore actions ", r.moore, locked);
    goOn = goOn && offer(prefix + "Else actions ", r.elseActions, locked);
    goOn = goOn && offer(prefix + "Output actions ", r.exit, locked);
    if (locked) {
        return goOn;
    }
    // Naming a child diagram makes a state a superstate, and naming none
    // makes a superstate a state again.
    auto kindFor = [&](const StateRecord& texts) {
        if (isInitial(state)) {
            return NK_INITIAL;
        }
        if (isFinal(state)) {
            return NK_FINAL;
        }
        return stateChildren(doc, texts.moore, texts.elseActions).empty() ? NK_STATE
                                                                          : NK_SUPERSTATE;
    };
    if (finishStateEdit(doc, state, r, kindFor(r), loaded, kindFor(loaded)) ==
        StateEditResult::NameUsed) {
        prompter.message(nameUsedMessage(r.name));
    }
    return goOn;
}

bool FindReplace::searchStates(Document& doc, DialogPrompter& prompter) {
    Diagram& d = doc.diagram();
    for (Node* state : nodesWhere(d, [](const Node& n) { return isState(n); })) {
        d.setCurrentNode(state);
        if (!searchState(doc, *state, prompter)) {
            return false;
        }
    }
    return true;
}

bool FindReplace::searchTransition(Document& doc, Node& transition) {
    const bool locked = doc.diagram().DiagramLocked();
    const TransitionRecord loaded = loadTransitionForEdit(transition);
    TransitionRecord r = loaded;
    std::string sourceName;
    if (const Node* source = sourceState(transition)) {
        sourceName = readStateField(SF_NAME, *source);
    }
    const std::string prefix = "Transition(" + r.priority + ") from [" + sourceName + "]: ";
    const bool goOn = offer(prefix + "Condition", r.condition, locked) &&
                      offer(prefix + "Actions ", r.actions, locked);
    if (locked || r == loaded) {
        return goOn;
    }
    writeTransition(doc, r, transition);
    return goOn;
}

bool FindReplace::searchTransitions(Document& doc) {
    Diagram& d = doc.diagram();
    for (Node* transition : nodesWhere(d, [](const Node& n) { return isTransition(n); })) {
        d.setCurrentNode(transition);
        if (!searchTransition(doc, *transition)) {
            return false;
        }
    }
    return true;
}

bool FindReplace::searchComments(Document& doc) {
    Diagram& d = doc.diagram();
    const bool locked = d.DiagramLocked();
    const auto comments = nodesWhere(d, [](const Node& n) { return n.hasKind(NK_COMMENT); });
    QuietEdits quiet(d);
    for (Node* comment : comments) {
        std::string text = comment->NodeText();
        if (!offer("Label", text, locked)) {
            return false;
        }
        if (!locked) {
            comment->setNodeText(std::move(text));
        }
    }
    return true;
}

bool FindReplace::walk(Document& doc, DialogPrompter& prompter) {
    const bool completed = searchFsm(doc) && searchStates(doc, prompter) &&
                           searchTransitions(doc) && searchComments(doc);
    prompter.beep();
    return completed;
}

}  // namespace tarvel
