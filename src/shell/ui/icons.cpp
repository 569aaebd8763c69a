#include "shell/ui/icons.h"

#include <QFile>

// The resource initialiser lives in the global namespace.
static void initEditorQrc() {
    Q_INIT_RESOURCE(editor);
}

namespace tarvel {

void initEditorResources() {
    static const bool done = [] {
        initEditorQrc();
        return true;
    }();
    (void)done;
}

QIcon toolbarIcon(const std::string& imageKey) {
    initEditorResources();
    const QString path =
        QStringLiteral(":/icons/") + QString::fromStdString(imageKey) + QStringLiteral(".svg");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon applicationIcon() {
    initEditorResources();
    return QIcon(QStringLiteral(":/icons/tarvel-editor.svg"));
}

}  // namespace tarvel
