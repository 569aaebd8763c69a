#include "dialogs/ui/dialogparts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
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

DialogParts::OkCancel DialogParts::okCancel(QWidget* dialog, const QString& okCaption) {
    auto* ok = new QPushButton(okCaption, dialog);
    auto* cancel = new QPushButton(QObject::tr("Cancel"), dialog);
    ok->setObjectName(QStringLiteral("cmdValidar"));
    cancel->setObjectName(QStringLiteral("cmdCancelar"));
    ok->setDefault(true);
    // A click on them must not run the checks of the box being left.
    ok->setFocusPolicy(Qt::TabFocus);
    cancel->setFocusPolicy(Qt::TabFocus);
    auto* column = new QVBoxLayout;
    column->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(ok);
    row->addWidget(cancel);
    column->addLayout(row);
    return {ok, cancel, column};
}

DialogParts::ChildLinks DialogParts::childLinks(QWidget* dialog) {
    auto* frame = new QGroupBox(QObject::tr("SubStates"), dialog);
    auto* list = new QComboBox(frame);
    list->setObjectName(QStringLiteral("cmbEnlaces"));
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(12);
    auto* open = new QPushButton(QObject::tr("Open Child_FSM"), frame);
    open->setObjectName(QStringLiteral("cmdEnlace"));
    auto* layout = new QHBoxLayout(frame);
    layout->addWidget(list, 1);
    layout->addWidget(open);
    return {frame, list, open};
}

}  // namespace tarvel
