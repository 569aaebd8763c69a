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
#include "model/edittransaction.h"

namespace tarvel {

namespace {

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
    EditTransaction step(doc);
    QtDialogPrompter prompter(parent);
    frmPropNodo dialog(doc, state, prompter, parent);
    prompter.setParent(&dialog);
    dialog.exec();
    pendingChildPath = dialog.pendingChildPath();
    return step.commit();
}

bool editTransitionDialog(QWidget* parent, Document& doc, Node& transition) {
    EditTransaction step(doc);
    QtDialogPrompter prompter(parent);
    frmPropTransicion dialog(doc, transition, prompter, parent);
    prompter.setParent(&dialog);
    dialog.exec();
    return step.commit();
}

bool editFsmDialog(QWidget* parent, Document& doc, std::string& pendingChildPath) {
    EditTransaction step(doc);
    QtDialogPrompter prompter(parent);
    frmPropFSM dialog(doc, prompter, parent);
    prompter.setParent(&dialog);
    dialog.exec();
    pendingChildPath = dialog.pendingChildPath();
    return step.commit();
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
    EditTransaction step(doc);
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

void forgetFindStrings(const Document& doc) {
    findStrings().erase(&doc);
}

void setOpenDocumentsProvider(std::function<std::vector<Document*>()> provider) {
    frmRepositorio::setOpenDocumentsProvider(std::move(provider));
}

}  // namespace tarvel
