// Helpers for the Qt tests of the dialogs, the code editor, find and the
// repository: a private settings folder, and a way to act on the modal
// window a call is about to open.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "editor/ui/optcmax.h"

namespace tarvel::test {

// Points the settings store and "Coder.ini" at a fresh folder; the shared
// editor options then start from their defaults. Call before anything reads
// a setting.
inline void useScratchSettings(QTemporaryDir& dir, QStringList* messages = nullptr) {
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QCoreApplication::setOrganizationName(QStringLiteral("TarvelTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvel Test"));
    clsLib_OptCMax::setMessageHandler([messages](const QString& m) {
        if (messages != nullptr) {
            *messages << m;
        }
    });
}

// Runs `act` on the next modal window of type W once it is shown. When a
// different or no window appears the action is not run and the window (if
// any) is rejected, so that a test never hangs.
template <typename W>
void whenModal(std::function<void(W*)> act, int tries = 200) {
    QTimer::singleShot(10, [act, tries] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* w = qobject_cast<W*>(modal)) {
            act(w);
            return;
        }
        if (tries > 0 && modal == nullptr) {
            whenModal<W>(act, tries - 1);
            return;
        }
        if (auto* d = qobject_cast<QDialog*>(modal)) {
            d->reject();
        }
    });
}

}  // namespace tarvel::test
