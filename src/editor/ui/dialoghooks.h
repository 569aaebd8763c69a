// Where the property dialogs, find, fonts, pictures and printing plug into the
// document windows. The editor session fills one table and its frame hands it
// to every document window. Each hook is empty until its part of the program
// sets it; a command whose hook is empty does nothing (its menu item is
// disabled).
//
// The window suspends the hand-off queue around every hook that shows a modal
// window, and records an undo step after a hook that may change the diagram.
#pragma once

#include <functional>
#include <string>

class QMimeData;
class QWidget;

namespace tarvel {

class Document;
class Node;

// Font commands of the window, for `DialogHooks::font`.
inline constexpr int FONT_CHANGE = 0;   // "Change Font"
inline constexpr int FONT_REDUCE = 1;   // "Reduce Font"
inline constexpr int FONT_ENLARGE = 2;  // "Enlarge Font"

struct DialogHooks {
    // The property dialogs of a state, a transition and the whole machine.
    // True when the user confirmed. A dialog that asks to open a child
    // diagram puts its path in `pendingChild`; the window opens it once the
    // dialog has closed.
    std::function<bool(QWidget* parent, Document&, Node& state, std::string& pendingChild)>
        editState;
    std::function<bool(QWidget* parent, Document&, Node& transition)> editTransition;
    std::function<bool(QWidget* parent, Document&, std::string& pendingChild)> editFsm;
    // Find and replace over the document.
    std::function<void(QWidget* parent, Document&)> find;
    // Change, reduce or enlarge the diagram's font (FONT_CHANGE, ...).
    std::function<void(QWidget* parent, Document&, int command)> font;

    // Pictures and printing.
    std::function<void(QWidget* parent, Document&)> saveAsPicture;
    // Adds a picture of the diagram to data going to the clipboard.
    std::function<void(Document&, QMimeData&)> addPictureToClipboard;
    std::function<void(QWidget* parent)> printerSetup;
    std::function<void(QWidget* parent, Document&)> print;
    // Shows (`show` true) or hides the print preview of the document in the
    // main frame; returns whether it is shown afterwards.
    std::function<bool(QWidget* frame, Document&, bool show)> printPreview;
    std::function<void(QWidget* parent, Document&)> saveAsHtml;

    // A window let go of its document (closed, or the document was): what
    // the hooks kept for the document goes with it.
    std::function<void(const Document&)> documentClosed;
};

}  // namespace tarvel
