#include "dialogs/ui/dialogparts.h"

#include <QLabel>
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

}  // namespace tarvel
