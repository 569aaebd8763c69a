// The dialogs' messages and questions as message boxes over a parent window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "editor/dialogprompter.h"

namespace tarvel {

class QtDialogPrompter : public DialogPrompter {
public:
    explicit QtDialogPrompter(QWidget* parent) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(std::string_view text) override;
    bool confirm(std::string_view title, std::string_view text) override;
    void beep() override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace tarvel
