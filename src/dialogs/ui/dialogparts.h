// Pieces the three property dialogs share: their fonts, a tab page with a
// label over a code editor, and the strings of their controls.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace tarvel {

class CodeEditor;

class DialogParts {
public:
    static QFont courier();
    // A page with the label (and its tooltip) above the editor, which gets
    // all the extra room.
    static QWidget* editorPage(const QString& label, const QString& tip, CodeEditor* editor);
    // The smallest width of a box for n characters of its font.
    static int widthForChars(const QWidget& box, int n);
};

}  // namespace tarvel
