// The hierarchy of diagrams. A word of a state's Moore or else actions that
// names an existing diagram file ("word.fsm") beside the diagram, or in the
// sub-folder named after it, is a child. The children are kept as a sorted
// list without duplicates; an entry for the sub-folder carries a leading "\"
// marker, which becomes a real folder only when a path is formed.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarvel {

class Diagram;

// Calls `visit` with every word of the text that may name a child diagram: a
// run of letters, digits and "_" that does not start with a digit.
template <typename Visit>
void forEachChildWord(std::string_view text, Visit visit) {
    auto isWordChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && isWordChar(text[i])) {
            ++i;
        }
        if (text[start] < '0' || text[start] > '9') {
            visit(text.substr(start, i - start));
        }
    }
}

class clsParientes {
public:
    // Describes the diagram stored at `docPath` (an absolute path).
    explicit clsParientes(std::string_view docPath = {});

    // Empties the list and recomputes the folders from the diagram's path. A
    // path without "." leaves the diagram folder and relative prefix empty and
    // keeps the previous sub-folder.
    void Reset(std::string_view docPath);

    // Entry at 1-based position; empty outside 1..count.
    std::string DimeHijo(int index) const;
    int DimeNumeroHijos() const { return static_cast<int>(m_children.size()); }
    const std::vector<std::string>& children() const { return m_children; }

    std::string RutaCompleta(std::string_view entry) const;
    std::string RutaRelativa(std::string_view entry) const;

    // Looks for children in the Moore and else actions of every state.
    bool BuscaTodosEnlaces(const Diagram& diagram);
    // Adds the children named in the text; true when at least one was found.
    bool BuscaEnlaces(std::string_view text);

    const std::string& diagramDirectory() const { return m_directory; }
    const std::string& subDirectory() const { return m_subDirectory; }

private:
    void add(std::string entry);
    bool existsIn(const std::string& folder, std::unordered_set<std::string>& cache,
                  bool& listed, const std::string& entry);

    std::vector<std::string> m_children;
    std::string m_directory;
    std::string m_subDirectory;
    std::string m_relativePrefix;
    // Names of the regular ".fsm" files of both folders, read once per Reset,
    // so that a long action text costs no file-system look-ups per word.
    std::unordered_set<std::string> m_directoryFiles;
    std::unordered_set<std::string> m_subDirectoryFiles;
    bool m_directoryListed = false;
    bool m_subDirectoryListed = false;
};

}  // namespace tarvel
