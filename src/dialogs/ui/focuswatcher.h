// Tells a dialog when one of its boxes loses the focus to another control,
// and when Enter is pressed in one, the two moments at which the dialogs
// check and clean what was typed. A focus taken away by a menu or another
// window does not count.
#pragma once

#include <QObject>

class QWidget;

namespace tarvel {

class FocusWatcher : public QObject {
    Q_OBJECT
public:
    explicit FocusWatcher(QObject* parent) : QObject(parent) {}
    void watch(QWidget* box);

signals:
    void lostFocus(QWidget* box);
    void enterPressed(QWidget* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarvel
