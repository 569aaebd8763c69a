#include "dialogs/ui/dialogparts.h"

#include <QLabel>
#include <QMetaObject>
#include <QVBoxLayout>

#include "editor/ui/codeeditor.h"

namespace tarvel {

QFont DialogParts::courier() {
    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QWidget* DialogParts::editorPage(const QString& label, const QString& tip, CodeEditor* editor) {
    auto* page = new QWidget;
    auto* caption = new QLabel(label, page);
    caption->setBuddy(editor);
    caption->setToolTip(tip);
    editor->setToolTip(tip);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(caption);
    layout->addWidget(editor, 1);
    return page;
}

int DialogParts::widthForChars(const QWidget& box, int n) {
    return box.fontMetrics().horizontalAdvance(QString(n, QLatin1Char('0'))) + 16;
}

CodeEditor* DialogParts::codeEditor(QWidget* dialog, Document& doc, const char* name,
                                    std::function<void(CodeEditor*)> left) {
    auto* e = new CodeEditor;
    e->setObjectName(QString::fromLatin1(name));
    e->setRepositoryDocument(&doc);
    QObject::connect(e, &CodeEditor::textTakenBack, dialog, [dialog, e, left] {
        QMetaObject::invokeMethod(dialog, [e, left] { left(e); }, Qt::QueuedConnection);
    });
    return e;
}

}  // namespace tarvel
