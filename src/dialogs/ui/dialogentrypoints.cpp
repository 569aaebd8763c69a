#include "dialogs/ui/dialogentrypoints.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSettings>
#include <map>

#include "dialogs/ui/fontcolourdialog.h"
#include "dialogs/ui/frmpropfsm.h"
#include "dialogs/ui/frmpropnodo.h"
#include "dialogs/ui/frmproptransicion.h"
#include "dialogs/ui/qtconvert.h"
#include "dialogs/ui/qtdialogprompter.h"
#include "editor/findreplace.h"
#include "editor/fontcommands.h"
#include "editor/ui/frmfind.h"
#include "editor/ui/frmfindwhat.h"
#include "editor/ui/frmrepositorio.h"
#include "editor/undoredo.h"

namespace tarvel {

namespace {

// Everything one command changes becomes one undo step. The changed flag is
// watched from a clean start, so a change made before the command is not
// taken for one of the command's.
class OneUndoStep {
public:
    explicit OneUndoStep(Document& doc) : m_doc(doc), m_before(doc.diagram().DiagramChanged()) {
        m_doc.diagram().SetDiagramChanged(false);
    }
    OneUndoStep(const OneUndoStep&) = delete;
    OneUndoStep& operator=(const OneUndoStep&) = delete;

    bool finish() {
        const bool changed = m_doc.diagram().DiagramChanged();
        if (changed) {
            m_doc.undRed().StoreGraphChanges();
        } else if (m_before) {
            m_doc.diagram().SetDiagramChanged(true);
        }
        return changed;
    }

private:
    Document& m_doc;
    bool m_before;
};

// The last search and replacement strings of each document window.
struct FindStrings {
    std::string search;
    std::string replace;
};

std::map<const Document*, FindStrings>& findStrings() {
    static std::map<const Document*, FindStrings> strings;
    return strings;
}

const QString SETTINGS = QStringLiteral("Settings");
const QString FIND_CASE_SENS = QStringLiteral("FindCaseSens");

// "True" or "False"; any other stored text is ignored.
bool readFindCaseSensitive() {
    QSettings settings;
    settings.beginGroup(SETTINGS);
    const QString stored = settings.value(FIND_CASE_SENS).toString();
    return stored.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
}

void writeFindCaseSensitive(bool on) {
    QSettings settings;
    settings.beginGroup(SETTINGS);
    settings.setValue(FIND_CASE_SENS, on ? QStringLiteral("True") : QStringLiteral("False"));
}

}  // namespace

bool editStateDialog(QWidget* parent, Document& doc, Node& state, std::string& pendingChildPath) {
    OneUndoStep step(doc);
    QtDialogPrompter prompter(parent);
    frmPropNodo dialog(doc, state, prompter, parent);
    prompter.setParent(&dialog);
    dialog.exec();
    pendingChildPath = dialog.pendingChildPath();
    return step.finish();
}

bool editTransitionDialog(QWidget* parent, Document& doc, Node& transition) {
    OneUndoStep step(doc);
    QtDialogPrompter prompter(parent);
    frmPropTransicion dialog(doc, transition, prompter, parent);
    prompter.setParent(&dialog);
    dialog.exec();
    return step.finish();
}

bool editFsmDialog(QWidget* parent, Document& doc, std::string& pendingChildPath) {
    OneUndoStep step(doc);
    QtDialogPrompter prompter(parent);
    frmPropFSM dialog(doc, prompter, parent);
    prompter.setParent(&dialog);
    dialog.exec();
    pendingChildPath = dialog.pendingChildPath();
    return step.finish();
}

void findInDocument(QWidget* parent, Document& doc) {
    FindStrings& strings = findStrings()[&doc];
    std::string proposal = strings.search;
    if (proposal.empty()) {
        proposal = toStd(QGuiApplication::clipboard()->text());
    }
    bool caseSensitive = readFindCaseSensitive();
    const bool readOnly = doc.diagram().DiagramLocked();
    strings.search = frmFindWhat::Ask(parent, proposal, strings.replace, caseSensitive, readOnly);
    writeFindCaseSensitive(caseSensitive);
    if (strings.search.empty()) {
        return;
    }
    OneUndoStep step(doc);
    QtDialogPrompter prompter(parent);
    FindReplace find(
        [parent, &doc](const FindRequest& r) {
            FindAnswer answer{true, r.text};
            answer.goOn = frmFind::busqueda(parent, r.title, answer.text, r.search, r.replace,
                                            r.caseSensitive, r.readOnly, &doc);
            return answer;
        },
        strings.search, strings.replace, caseSensitive);
    find.walk(doc, prompter);
    step.finish();
}

void runFontCommand(QWidget* parent, Document& doc, FontCommand command) {
    switch (command) {
        case FontCommand::Enlarge:
            FontCommands::Enlarge(doc);
            return;
        case FontCommand::Reduce:
            FontCommands::Reduce(doc);
            return;
        case FontCommand::FixedPitch:
            FontCommands::FixedPitch(doc);
            return;
        case FontCommand::Change: {
            if (doc.diagram().DiagramLocked()) {
                return;
            }
            const Node* current = doc.diagram().CurrentNode();
            const bool comment = current != nullptr && current->hasKind(NK_COMMENT);
            FontColourDialog dialog(toQFont(FontCommands::presetFont(doc)),
                                    toQColor(FontCommands::presetColour(doc)), comment,
                                    doc.fixedPitchOnly, parent);
            if (dialog.exec() == QDialog::Accepted) {
                FontCommands::Change(doc, toFont(dialog.chosenFont()),
                                     toColor(dialog.chosenColour()));
            }
            return;
        }
    }
}

void setOpenDocumentsProvider(std::function<std::vector<Document*>()> provider) {
    frmRepositorio::setOpenDocumentsProvider(std::move(provider));
}

}  // namespace tarvel
