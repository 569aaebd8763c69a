#include "model/parientes.h"

#include <algorithm>

#include "base/paths.h"
#include "model/diagram.h"
#include "model/staterecord.h"

namespace tarvel {

clsParientes::clsParientes(std::string_view docPath) { Reset(docPath); }

void clsParientes::Reset(std::string_view docPath) {
    m_children.clear();
    m_directoryFiles.clear();
    m_subDirectoryFiles.clear();
    m_directoryListed = false;
    m_subDirectoryListed = false;
    if (docPath.empty() || docPath.find('.') == std::string_view::npos) {
        m_directory.clear();
        m_relativePrefix.clear();
        return;
    }
    const std::string full = MakeFullPath(std::string(docPath));
    m_directory = GetDirectory(full);
    m_subDirectory = StripExtension(full);
    m_relativePrefix = "./" + GetBaseName(full);
}

std::string clsParientes::DimeHijo(int index) const {
    if (index < 1 || index > DimeNumeroHijos()) {
        return {};
    }
    return m_children[static_cast<std::size_t>(index - 1)];
}

std::string clsParientes::RutaCompleta(std::string_view entry) const {
    if (entry.starts_with('\\')) {
        return joinPath(m_subDirectory, entry.substr(1));
    }
    return joinPath(m_directory, entry);
}

std::string clsParientes::RutaRelativa(std::string_view entry) const {
    if (entry.starts_with('\\')) {
        return joinPath(m_relativePrefix, entry.substr(1));
    }
    return "./" + std::string(entry);
}

bool clsParientes::BuscaTodosEnlaces(const Diagram& diagram) {
    bool found = false;
    for (const auto& n : diagram.NodeList()) {
        if (!isState(*n)) {
            continue;
        }
        found = BuscaEnlaces(readStateField(SF_MOORE, *n)) || found;
        found = BuscaEnlaces(readStateField(SF_ELSE, *n)) || found;
    }
    return found;
}

bool clsParientes::BuscaEnlaces(std::string_view text) {
    bool found = false;
    forEachChildWord(text, [&](std::string_view word) {
        const std::string entry = std::string(word) + ".fsm";
        if (!m_directory.empty() &&
            existsIn(m_directory, m_directoryFiles, m_directoryListed, entry)) {
            add(entry);
            found = true;
        }
        if (!m_subDirectory.empty() &&
            existsIn(m_subDirectory, m_subDirectoryFiles, m_subDirectoryListed, entry)) {
            add("\\" + entry);
            found = true;
        }
    });
    return found;
}

bool clsParientes::existsIn(const std::string& folder, std::unordered_set<std::string>& cache,
                            bool& listed, const std::string& entry) {
    if (!listed) {
        listed = true;
        for (std::string& name : RegularFilesIn(folder, ".fsm")) {
            cache.insert(std::move(name));
        }
    }
    return cache.contains(entry);
}

void clsParientes::add(std::string entry) {
    const auto it = std::lower_bound(m_children.begin(), m_children.end(), entry);
    if (it != m_children.end() && *it == entry) {
        return;
    }
    m_children.insert(it, std::move(entry));
}

}  // namespace tarvel
