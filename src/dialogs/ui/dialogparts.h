// Pieces the three property dialogs share: their fonts, a tab page with a
// label over a code editor, and the strings of their controls.
#pragma once

#include <QFont>
#include <QString>

#include <functional>

class QComboBox;
class QGroupBox;
class QLayout;
class QPushButton;
class QWidget;

namespace tarvel {

class CodeEditor;
class Document;

class DialogParts {
public:
    static QFont courier();
    // A code editor of a property dialog: it offers the document's words on F2
    // and, once the user leaves it, calls `left` after the focus has settled.
    static CodeEditor* codeEditor(QWidget* dialog, Document& doc, const char* name,
                                  std::function<void(CodeEditor*)> left);
    // A page with the label (and its tooltip) above the editor, which gets
    // all the extra room.
    static QWidget* editorPage(const QString& label, const QString& tip, CodeEditor* editor);
    // The OK and Cancel buttons (`cmdValidar`, `cmdCancelar`) at the bottom
    // right, in a column that keeps them down.
    struct OkCancel {
        QPushButton* ok;
        QPushButton* cancel;
        QLayout* column;
    };
    static OkCancel okCancel(QWidget* dialog, const QString& okCaption);
    // The "SubStates" frame: the child diagrams and "Open Child_FSM".
    struct ChildLinks {
        QGroupBox* frame;
        QComboBox* list;
        QPushButton* open;
    };
    static ChildLinks childLinks(QWidget* dialog);
    // The smallest width of a box for n characters of its font.
    static int widthForChars(const QWidget& box, int n);
};

}  // namespace tarvel
