// Find and replace over the texts of one diagram.
//
// The walk hands one text at a time to a step (the editor's find window, or a
// script in tests) in a fixed order: the FSM properties, every state, every
// transition, every comment. The step shows the text when it holds the search
// string and may change it; it answers whether the walk goes on. A text is
// written back only when its step answered "go on", so cancelling discards
// the changes made to the text on show.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarvel {

class Document;
class DialogPrompter;
class Node;

struct FindRequest {
    std::string title;
    std::string text;
    std::string search;
    std::string replace;
    bool caseSensitive = false;
    bool readOnly = false;
};

struct FindAnswer {
    bool goOn = true;
    std::string text;  // the text as kept, replacements included
};

using FindStep = std::function<FindAnswer(const FindRequest&)>;

class FindReplace {
public:
    FindReplace(FindStep step, std::string search, std::string replace, bool caseSensitive);

    // Offers one text to the step. Returns whether the walk goes on; only then
    // does `text` take the step's result.
    bool offer(std::string_view title, std::string& text, bool readOnly);

    // The whole walk over the document, group by group, each group only when
    // the one before ended with "go on"; ends with one beep in every case.
    // Returns false when the user cancelled.
    bool walk(Document& doc, DialogPrompter& prompter);

    // The groups of the walk; each returns false when the walk must stop.
    // The texts of the FSM properties, of a state and of a transition are
    // offered in the order of their dialogs; what a group changed is written
    // back through the record writes of the model, checked as the dialog's
    // "Ok" checks it (a state name already used is refused with a message).
    // Nothing is written in a locked diagram.
    bool searchFsm(Document& doc);
    bool searchStates(Document& doc, DialogPrompter& prompter);
    bool searchTransitions(Document& doc);
    bool searchComments(Document& doc);

    // Byte position of the first occurrence of `search` at or after `from`;
    // npos when there is none (or the search text is empty). Without case
    // sensitivity ASCII letters compare ignoring case.
    static std::size_t findInText(std::string_view text, std::string_view search,
                                  bool caseSensitive, std::size_t from = 0);

private:
    bool searchState(Document& doc, Node& state, DialogPrompter& prompter);
    bool searchTransition(Document& doc, Node& transition);

    FindStep m_step;
    std::string m_search;
    std::string m_replace;
    bool m_caseSensitive;
};

}  // namespace tarvel
