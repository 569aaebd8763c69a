// The repository: a pick list of the identifiers already used in the code
// texts of a diagram, offered while typing C code.
//
// The texts of a diagram are gathered in a fixed order and cut into words;
// the list keeps each word once, in the order it was first met, and never
// holds more than MAX_WORDS words. It only grows: adding the texts of more
// diagrams extends it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarvel {

class Document;

class Repository {
public:
    static constexpr std::size_t MAX_WORDS = 1024;

    // The code texts of one diagram, each followed by CR LF: for every node in
    // diagram order the entry, Moore, else and exit actions of a state or the
    // condition and actions of a transition; then the FSM properties' name,
    // parameters, return type, module header, function header, initialisation,
    // actions before, actions after and final code.
    static std::string gatherTexts(const Document& doc);

    // Cuts the text into words and adds the new ones.
    void addWords(std::string_view text);
    void addDocument(const Document& doc) { addWords(gatherTexts(doc)); }
    // "Seek in all FSM": the texts of every document, joined, extend the list.
    void addDocuments(const std::vector<Document*>& docs);

    const std::vector<std::string>& words() const { return m_words; }
    bool empty() const { return m_words.empty(); }

private:
    void endWord(std::string& word);

    std::vector<std::string> m_words;
    std::unordered_set<std::string> m_known;
};

}  // namespace tarvel
