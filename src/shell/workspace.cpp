#include "shell/workspace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/atomicfile.h"
#include "base/logs.h"
#include "base/paths.h"
#include "model/documentio.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "model/text.h"
#include "shell/outputcommand.h"

namespace tarvel {

namespace {

constexpr std::string_view FSM_FILTER = "Fsm Files(*.FSM)|*.fsm|";

bool isWritableFile(const struct stat& st) {
    return (st.st_mode & S_IWUSR) != 0;
}

std::string fourDigits(int counter) {
    const std::string digits = "000" + std::to_string(counter);
    return digits.substr(digits.size() - 4);
}

}  // namespace

Workspace::Workspace(UserInterface& ui, WorkspaceSettings settings)
    : m_ui(ui), m_settings(std::move(settings)) {}

Workspace::~Workspace() {
    // No window may outlive the document it shows.
    for (const auto& doc : m_documents) {
        m_ui.documentClosed(*doc);
    }
}

void Workspace::activate(Document* doc) {
    m_active = doc;
    if (doc != nullptr) {
        m_ui.documentActivated(*doc);
    }
}

Document* Workspace::findOpen(const std::string& path) const {
    for (const auto& d : m_documents) {
        if (d->sFullDocname == path) {
            return d.get();
        }
    }
    return nullptr;
}

void Workspace::close(Document* doc) {
    for (auto it = m_documents.begin(); it != m_documents.end(); ++it) {
        if (it->get() != doc) {
            continue;
        }
        m_ui.documentClosed(*doc);
        std::unique_ptr<Document> keep = std::move(*it);
        m_documents.erase(it);
        if (m_active == doc) {
            m_active = m_documents.empty() ? nullptr : m_documents.back().get();
        }
        return;
    }
}

Document* Workspace::createDocument() {
    auto doc = std::make_unique<Document>(m_settings.measurer);
    Document* raw = doc.get();
    m_documents.push_back(std::move(doc));
    m_active = raw;
    m_ui.documentCreated(*raw);
    return raw;
}

Document* Workspace::FileNew(bool named) {
    Document* doc = createDocument();
    doc->untitled = named;
    if (named) {
        ++m_newCounter;
        doc->caption = "FSM_" + fourDigits(m_newCounter);
        doc->sFullDocname = MakeFullPath(doc->caption + ".fsm");
        doc->restartHistory();
    }
    activate(doc);
    return doc;
}

bool Workspace::loadWithRetries(Document& doc, const std::string& path) {
    std::string error;
    if (LoadFromFile(doc.diagram(), path, error)) {
        return true;
    }
    // A damaged file stays damaged: reading it again cannot help, so the
    // failure is final at once and the log says which file and why.
    LogRun(" FileOpen, .AddFlow1.LoadFile " + path);
    LogRun(" FileOpen, " + path + ": " + error);
    LogRun(" FileOpen, Error # 61704: no es un fichero FSM");
    if (!m_ui.isBatch()) {
        m_ui.showMessage("Attention!",
                         "The file " + path + " is not a diagram that can be opened:\r\n" + error,
                         MessageIcon::Exclamation);
    }
    return false;
}

Document* Workspace::FileOpen(std::string path) {
    bool locked = true;
    if (path.empty()) {
        FileDialogRequest request;
        request.filter = FSM_FILTER;
        request.defaultExtension = "FSM";
        request.showReadOnly = true;
        request.readOnlyChecked = true;
        const auto answer = m_ui.askFile(request);
        if (!answer || answer->path.empty()) {
            return nullptr;
        }
        path = answer->path;
        locked = answer->readOnly;
    }
    path = MakeFullPath(path);
    if (Document* open = findOpen(path)) {
        activate(open);
        return open;
    }
    // A missing file is passed over in silence; any other reason is logged
    // (a path beyond the system's length limit in a deep hierarchy, a folder).
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            LogRun(" FileOpen, " + path + ": " + std::strerror(errno));
        }
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        LogRun(" FileOpen, " + path + ": it is not a regular file");
        return nullptr;
    }

    Document* doc = FileNew(false);
    if (!loadWithRetries(*doc, path)) {
        return nullptr;  // the empty window stays, without a file name
    }
    doc->sFullDocname = path;
    Diagram& d = doc->diagram();
    RestoreGraphInfo(d, true);
    GetGrafoConfig(*doc, m_settings.overrides);
    RefreshNodeRecords(*doc, m_settings.displayTexts);
    doc->restartHistory();

    const std::string signature(GetGraphField(FF_SIGNATURE, d));
    if (isNewerSignature(signature)) {
        bool goOn = false;
        if (m_ui.isBatch()) {
            LogError("Fsm newer signature:[" + path + "]");
        } else {
            goOn = m_ui.ask("The file signature don't match: [" + signature + "]",
                            "Atention this FSM has newer signature.\r\n Ignore and continue?",
                            MessageIcon::Critical, false, Answer::No) == Answer::Yes;
        }
        if (!goOn) {
            doc->ClearGraphChanges();
            close(doc);
            return nullptr;
        }
    }
    doc->caption = GetBaseName(path);
    d.setDiagramLocked(locked);
    d.RefreshDiagram();
    doc->ClearGraphChanges();
    activate(doc);
    return doc;
}

void Workspace::FileSave(Document& doc) {
    if (!doc.GraphHasChanged()) {
        return;
    }
    if (doc.untitled) {
        FileSaveAs(doc);
        return;
    }
    SalvaDiagrama(doc);
}

void Workspace::FileSaveAs(Document& doc) {
    FileDialogRequest request;
    request.save = true;
    request.filter = FSM_FILTER;
    request.defaultExtension = "FSM";
    request.proposedName = doc.sFullDocname;
    const auto answer = m_ui.askFile(request);
    if (!answer || answer->path.empty()) {
        return;
    }
    doc.previousPath = doc.sFullDocname;
    doc.sFullDocname = MakeFullPath(answer->path);
    doc.caption = GetBaseName(doc.sFullDocname);
    SalvaDiagrama(doc);
}

void Workspace::FileSaveAll() {
    for (auto it = m_documents.rbegin(); it != m_documents.rend(); ++it) {
        FileSave(**it);
    }
}

bool Workspace::SalvaDiagrama(Document& doc) {
    const std::string path = doc.sFullDocname;
    Diagram& d = doc.diagram();
    SaveGraphInfo(doc, true);

    bool written = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !isWritableFile(st)) {
        LogRun(" SalvaDiagrama: " + path + " is read-only");
        m_ui.showMessage("Attention!", "I can't save the changes in:\r\n" + path,
                         MessageIcon::Exclamation);
    } else {
        std::string error;
        written = WriteFileKeepingBackup(path, path + ".bak", writeDiagramJson(d), error);
        if (!written) {
            LogRun(" SalvaDiagrama, Error #0: " + path + ": " + error);
            m_ui.showMessage("Attention!",
                             "I can't save the changes in:\r\n" + path + "\r\n" + error,
                             MessageIcon::Exclamation);
        }
    }
    RefreshNodeRecords(doc);
    RestoreGraphInfo(d, false);
    if (written) {
        doc.ClearGraphChanges();
        doc.untitled = false;
        doc.saved = true;
        doc.restartHistory();
    }
    m_ui.addRecentFile(path);
    return written;
}

std::string Workspace::OutputBaseName(const Document& doc) const {
    if (!m_settings.outputPath.empty()) {
        std::string base = m_settings.outputPath;
        if (!base.ends_with('/')) {
            base += '/';
        }
        return base + GetBaseName(doc.sFullDocname);
    }
    return StripExtension(doc.sFullDocname);
}

bool Workspace::SaveCFiles(Document& doc, std::string code) {
    if (code.empty()) {
        LogError("Code can't be created:[" + GetFileName(doc.sFullDocname) + "]");
        return false;
    }
    const std::size_t sep = code.find(FIELD_SEP);
    std::string header;
    if (sep != std::string::npos) {
        const std::string_view rest = std::string_view(code).substr(sep + FIELD_SEP.size());
        header = rest.substr(0, rest.find(FIELD_SEP));
        code.resize(sep);  // what is left is the module
    }

    OutputCommand command = outputCommand("c", "Save Finite_State file as Ansi-C File...",
                                          "C Files(*.C)|*.c|All Files(*.*)|*.*|", "C");
    command.ask = !m_settings.skipCSaveDialog;
    // The header is written first and renamed first: a new header beside an
    // old module is harmless, and a run killed between the two renames
    // leaves no module that needs a header it does not have. A read-only
    // header is replaced; a read-only module stops both.
    command.files = [&](const std::string& name) {
        return outputSets(
            outputSet(OutputFile{replaceExtension(name, "h"), std::move(header), false},
                      OutputFile{name, std::move(code), true}));
    };
    command.report = [this](const OutputFailure& failure) {
        if (failure.problem == OutputProblem::ReadOnly ||
            failure.problem == OutputProblem::AccessDenied) {
            if (!m_ui.isBatch()) {
                m_ui.showMessage("Attention!", "I can't save the changes in:\r\n" + failure.path,
                                 MessageIcon::Exclamation);
            }
            // Beyond a plain read-only file the line says what is wrong (a
            // planted link, for example).
            const std::string why =
                failure.problem == OutputProblem::ReadOnly ? std::string() : " " + failure.reason;
            LogError("Fsm can't save, access denied to file:[" + failure.path + "]" + why);
            return;
        }
        LogError("Fsm can't save [unexpected error]");
        LogRun(" SaveCFiles: " + failure.reason);
        if (!m_ui.isBatch()) {
            m_ui.showMessage("Attention!", "Fsm can't save [unexpected error]\r\n" + failure.reason,
                             MessageIcon::Exclamation);
        }
    };
    return runOutputCommand(*this, doc, command);
}

}  // namespace tarvel
