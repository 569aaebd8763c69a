// What the document window calls to open the property dialogs, find and
// replace, and the font commands.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/document.h"

class QWidget;

namespace tarvel {

// Each shows its window modally; the caller suspends the hand-off queue around it.
// They return true when the diagram changed; the change is then one undo step.
// pendingChildPath receives the full path of a child diagram the user asked
// to open ("Open Child_FSM"), empty otherwise; the caller opens it after the
// dialog closed.
bool editStateDialog(QWidget* parent, Document& doc, Node& state, std::string& pendingChildPath);
bool editTransitionDialog(QWidget* parent, Document& doc, Node& transition);
bool editFsmDialog(QWidget* parent, Document& doc, std::string& pendingChildPath);
void findInDocument(QWidget* parent, Document& doc);  // the Find command
// Forgets the last search and replacement strings of a document that closed,
// so a document opened later never proposes them.
void forgetFindStrings(const Document& doc);
enum class FontCommand { Enlarge, Reduce, Change, FixedPitch };
// A comment being edited in place must be committed before.
void runFontCommand(QWidget* parent, Document& doc, FontCommand command);
void setOpenDocumentsProvider(
    std::function<std::vector<Document*>()> provider);  // for "Seek in all FSM"

}  // namespace tarvel
