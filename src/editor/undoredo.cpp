#include "editor/undoredo.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

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

}  // namespace

UndoEnvironment undoEnvironmentOf(const WorkspaceSettings& settings) {
    UndoEnvironment env;
    env.modeCommand = settings.modeCommand;
    env.overrides = settings.overrides;
    env.undoRoot = settings.undoRoot;
    return env;
}

clsLib_UndoRedo::clsLib_UndoRedo(Document& doc, UndoEnvironment env)
    : m_doc(doc), m_env(std::move(env)) {}

std::string clsLib_UndoRedo::base(const std::string& fileName) const {
    const std::string b = StripExtension(fileName);
    if (b.size() < 2 || m_env.undoRoot.empty()) {
        return {};
    }
    std::string out = m_env.undoRoot;
    if (!out.ends_with('/')) {
        out += '/';
    }
    out += b.starts_with('/') ? b.substr(1) : b;
    return out;
}

std::string clsLib_UndoRedo::snapshotPath(int n) const {
    const std::string b = base(m_doc.sFullDocname);
    return b.empty() ? std::string() : b + "." + sixDigits(n) + ".UND";
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
    const std::string path = snapshotPath(m_count);
    if (path.empty()) {
        m_enabled = false;
        return;
    }
    ++m_count;
    SaveGraphInfo(m_doc, false);
    MakePath(GetDirectory(path), 0700);
    std::string error;
    if (!SaveToFile(d, path, error)) {
        LogRun(" clsUndoRedo.Save, Error #0: " + path + ": " + error);
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
    const std::string path = snapshotPath(n);
    Diagram& d = m_doc.diagram();
    std::string error;
    if (path.empty() || !LoadFromFile(d, path, error)) {
        LogRun(" clsUndoRedo.Load: af.LoadFile " + path + ", Error #0: " + error);
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

// Deletes base + ".??????.UND" in the base's folder.
void clsLib_UndoRedo::cleanFiles(const std::string& fileName) {
    const std::string b = base(fileName);
    if (b.empty()) {
        return;
    }
    const std::string folder = GetDirectory(b);
    const std::string stem = GetFileName(b) + ".";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != stem.size() + 10 || !name.starts_with(stem) || !name.ends_with(".UND")) {
            continue;
        }
        std::error_code removeError;
        std::filesystem::remove(it->path(), removeError);
        if (removeError && removeError != std::errc::no_such_file_or_directory) {
            LogRun(" clsUndoRedo.CleanFiles, Error #" + std::to_string(removeError.value()) + ": " +
                   removeError.message());
        }
    }
}

}  // namespace tarvel
