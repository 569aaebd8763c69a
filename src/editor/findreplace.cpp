#include "editor/findreplace.h"

#include <algorithm>

#include "dialogs/dialogprompter.h"
#include "dialogs/fsmproperties.h"
#include "dialogs/stateproperties.h"
#include "dialogs/transitionproperties.h"
#include "model/document.h"
#include "model/staterecord.h"

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

bool FindReplace::searchFsm(Document& doc, DialogPrompter& prompter) {
    FsmProperties fsm(doc, prompter);
    return fsm.Buscar(*this);
}

bool FindReplace::searchStates(Document& doc, DialogPrompter& prompter) {
    Diagram& d = doc.diagram();
    for (Node* state : nodesWhere(d, [](const Node& n) { return isState(n); })) {
        d.setCurrentNode(state);
        StateProperties props(doc, *state, prompter);
        if (!props.Buscar(*this)) {
            return false;
        }
    }
    return true;
}

bool FindReplace::searchTransitions(Document& doc, DialogPrompter& prompter) {
    Diagram& d = doc.diagram();
    for (Node* transition : nodesWhere(d, [](const Node& n) { return isTransition(n); })) {
        d.setCurrentNode(transition);
        TransitionProperties props(doc, *transition, prompter);
        if (!props.Buscar(*this)) {
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
    const bool completed = searchFsm(doc, prompter) && searchStates(doc, prompter) &&
                           searchTransitions(doc, prompter) && searchComments(doc);
    prompter.beep();
    return completed;
}

}  // namespace tarvel
