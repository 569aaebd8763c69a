#include "editor/undoredo.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/logs.h"
#include "base/paths.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "shell/workspace.h"

namespace tarvel {

namespace {

std::string sixDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06d", n);
    return buf;
}

// FNV-1a: short, stable across runs and platforms; the names only have to
// keep the histories of different files apart.
std::string pathHash(std::string_view path) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(hash));
    return buf;
}

// The file name part of a snapshot name, cut so that the whole name fits the
// file system's limit of 255 bytes, at a character boundary.
std::string shortStem(std::string stem) {
    constexpr std::size_t MAX_STEM = 200;
    if (stem.size() <= MAX_STEM) {
        return stem;
    }
    std::size_t cut = MAX_STEM;
    while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    stem.resize(cut);
    return stem;
}

}  // namespace

UndoEnvironment undoEnvironmentOf(const WorkspaceSettings& settings) {
    UndoEnvironment env;
    env.modeCommand = settings.modeCommand;
    env.overrides = settings.overrides;
    env.undoFolder = settings.undoFolder;
    return env;
}

clsLib_UndoRedo::clsLib_UndoRedo(Document& doc, UndoEnvironment env)
    : m_doc(doc), m_env(std::move(env)) {}

int clsLib_UndoRedo::folder() const {
    return m_env.undoFolder && m_env.undoFolder->usable() ? m_env.undoFolder->fd() : -1;
}

// A file name too short to carry a name and an extension gives no base: its
// snapshots are off.
std::string clsLib_UndoRedo::base(const std::string& fileName) const {
    if (StripExtension(fileName).size() < 2 || folder() < 0) {
        return {};
    }
    const std::string canonical = CanonicalPath(fileName);
    return pathHash(canonical) + "-" + shortStem(GetBaseName(canonical));
}

std::string clsLib_UndoRedo::snapshotName(int n) const {
    const std::string b = base(m_doc.sFullDocname);
    return b.empty() ? std::string() : b + "." + sixDigits(n) + ".UND";
}

std::string clsLib_UndoRedo::snapshotPath(int n) const {
    const std::string name = snapshotName(n);
    return name.empty() ? std::string() : joinPath(m_env.undoFolder->path(), name);
}

void clsLib_UndoRedo::refresh() {
    if (onRefreshButtons) {
        onRefreshButtons();
    }
}

void clsLib_UndoRedo::Init() {
    if (m_env.modeCommand) {
        return;
    }
    if (!m_doc.previousPath.empty()) {
        cleanFiles(m_doc.previousPath);
        m_doc.previousPath.clear();
    }
    m_enabled = true;
    m_count = 0;
    m_redo = 0;
    CleanUndoFiles();
    Save(true);
    refresh();
}

void clsLib_UndoRedo::StoreGraphChanges() {
    Diagram& d = m_doc.diagram();
    if (!d.DiagramChanged()) {
        return;
    }
    // Taking a snapshot takes out the information node by removing what is
    // selected, after deselecting every node: a selected link would go with
    // it. What the user had selected is selected again afterwards.
    std::vector<Node*> nodes;
    std::vector<Link*> links;
    for (const auto& n : d.NodeList()) {
        if (n->NodeSelected()) {
            nodes.push_back(n.get());
        }
    }
    for (const auto& l : d.Links()) {
        if (l->LinkSelected()) {
            links.push_back(l.get());
            l->setLinkSelected(false);
        }
    }
    m_doc.changesStored();
    Save(false);
    for (Node* n : nodes) {
        n->setNodeSelected(true);
    }
    for (Link* l : links) {
        l->setLinkSelected(true);
    }
}

void clsLib_UndoRedo::Save(bool forceSave) {
    if (m_env.modeCommand) {
        return;
    }
    Diagram& d = m_doc.diagram();
    if (!forceSave && (d.DiagramLocked() || !m_enabled)) {
        return;
    }
    const std::string name = snapshotName(m_count);
    if (name.empty()) {
        m_enabled = false;
        return;
    }
    ++m_count;
    SaveGraphInfo(m_doc, false);
    std::string error;
    if (!SaveToFileAt(d, folder(), name, error)) {
        LogRun(" clsUndoRedo.Save, Error #0: " + snapshotPath(m_count - 1) + ": " + error);
        m_enabled = false;
    }
    RestoreGraphInfo(d, false);
    if (m_count == 2 || m_redo >= 1) {
        // Writing a snapshot discards everything that could have been redone.
        m_redo = 0;
        refresh();
    }
}

bool clsLib_UndoRedo::CanUndo() const {
    return m_count >= 2 && m_enabled && !m_doc.diagram().DiagramLocked();
}

bool clsLib_UndoRedo::CanRedo() const {
    return m_redo >= 1 && m_enabled && !m_doc.diagram().DiagramLocked();
}

void clsLib_UndoRedo::Undo() {
    if (!CanUndo()) {
        return;
    }
    m_count -= 2;
    ++m_redo;
    load(m_count);
    ++m_count;
    refresh();
}

void clsLib_UndoRedo::Redo() {
    if (!CanRedo()) {
        return;
    }
    --m_redo;
    load(m_count);
    ++m_count;
    refresh();
}

void clsLib_UndoRedo::load(int n) {
    const std::string name = snapshotName(n);
    Diagram& d = m_doc.diagram();
    std::string error;
    if (name.empty() || !LoadFromFileAt(d, folder(), name, error)) {
        LogRun(" clsUndoRedo.Load: af.LoadFile " + snapshotPath(n) + ", Error #0: " + error);
        m_enabled = false;
        return;
    }
    RestoreGraphInfo(d, true);
    GetGrafoConfig(m_doc, m_env.overrides);
    if (n != 0) {
        // The diagram differs from what was opened, so closing asks to save.
        d.SetDiagramChanged(true);
    } else {
        ClearGraphChanges();
    }
}

void clsLib_UndoRedo::CleanUndoFiles() {
    if (m_env.modeCommand) {
        return;
    }
    cleanFiles(m_doc.sFullDocname);
}

// Deletes base + ".??????.UND" in the undo folder.
void clsLib_UndoRedo::cleanFiles(const std::string& fileName) {
    const std::string b = base(fileName);
    if (b.empty()) {
        return;
    }
    const std::string stem = b + ".";
    const int listing = ::openat(folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (entries == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (name.size() == stem.size() + 10 && name.starts_with(stem) && name.ends_with(".UND")) {
            names.emplace_back(name);
        }
    }
    ::closedir(entries);
    for (const std::string& name : names) {
        if (::unlinkat(folder(), name.c_str(), 0) != 0 && errno != ENOENT) {
            LogRun(" clsUndoRedo.CleanFiles, Error #" + std::to_string(errno) + ": " +
                   std::strerror(errno));
        }
    }
}

}  // namespace tarvel
