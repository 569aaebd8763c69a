#include "editor/repository.h"

#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

bool startsWord(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '"' || c == '#';
}

bool isSeparator(char c) {
    switch (c) {
        case ' ':
        case '\r':
        case '=':
        case '<':
        case '>':
        case '+':
        case '-':
        case '*':
        case '/':
        case ')':
        case ',':
        case ';':
        case ':':
            return true;
        default:
            return false;
    }
}

void appendLine(std::string& out, std::string_view text) {
    out += text;
    out += CRLF;
}

}  // namespace

std::string Repository::gatherTexts(const Document& doc) {
    const Diagram& d = doc.diagram();
    std::string out;
    for (const auto& n : d.NodeList()) {
        if (isState(*n)) {
            for (int f : {SF_ENTRY, SF_MOORE, SF_ELSE, SF_EXIT}) {
                appendLine(out, readStateField(f, *n));
            }
        } else if (isTransition(*n)) {
            for (int f : {TF_CONDITION, TF_ACTIONS}) {
                appendLine(out, readTransitionField(f, *n));
            }
        }
    }
    // The default actions are not taken.
    for (int f : {FF_NAME, FF_PARAMETERS, FF_RETURN_TYPE, FF_MODULE_HEADER, FF_FUNCTION_HEADER,
                  FF_INITIALISATION, FF_BEFORE, FF_AFTER, FF_FINAL_CODE}) {
        appendLine(out, GetGraphField(f, d));
    }
    return out;
}

void Repository::endWord(std::string& word) {
    if (charCount(word) >= 2 && isValidRepositoryName(word) && m_words.size() < MAX_WORDS &&
        m_known.insert(word).second) {
        m_words.push_back(word);
    }
    word.clear();
}

void Repository::addWords(std::string_view text) {
    // The text is read as if a blank stood in front of it; a blank outside a
    // word changes nothing, so it is not added.
    std::string word;
    bool inWord = false;
    bool afterParen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!inWord) {
            if (startsWord(c)) {
                word.assign(1, c);
                inWord = true;
            }
            continue;
        }
        if (afterParen) {
            afterParen = false;
            inWord = false;
            if (c == ')') {
                word += "()";
                endWord(word);
                continue;
            }
            // "name(" followed by anything else: the word ends with the
            // parenthesis and the character is read again outside a word, so
            // in "f(x)" the x starts a word of its own.
            word += '(';
            endWord(word);
            --i;
            continue;
        }
        if (c == '(') {
            afterParen = true;
        } else if (isSeparator(c)) {
            inWord = false;
            endWord(word);
        } else {
            word += c;
        }
    }
    // A word still open at the end of the text is dropped.
}

void Repository::addDocuments(const std::vector<Document*>& docs) {
    std::string all;
    for (const Document* doc : docs) {
        if (doc != nullptr) {
            all += gatherTexts(*doc);
        }
    }
    addWords(all);
}

}  // namespace tarvel
