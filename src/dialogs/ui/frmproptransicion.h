// "Transition properties": edits one transition. The rules live in
// TransitionProperties; the window copies its controls into it before each
// rule and shows the result.
#pragma once

#include <memory>

#include "dialogs/transitionproperties.h"
#include "dialogs/ui/propertydialog.h"

class QCheckBox;
class QLineEdit;

namespace tarvel {

class CodeEditor;
class DialogPrompter;
class FocusWatcher;

class frmPropTransicion : public PropertyDialog {
    Q_OBJECT
public:
    static const QString SETTINGS_SECTION;  // "PropTrans"

    frmPropTransicion(Document& doc, Node& transition, DialogPrompter& prompter,
                      QWidget* parent = nullptr);
    ~frmPropTransicion() override;

    TransitionProperties& properties() { return *m_props; }

    void cmdValidar_Click();
    void txtPrioridad_LostFocus();
    void editor_LostFocus(CodeEditor* editor);
    void chkMustBeLast_Click();

    QLineEdit* txtPrioridad() const { return m_txtPrioridad; }
    CodeEditor* txtCondicion() const { return m_txtCondicion; }
    CodeEditor* txtAccion() const { return m_txtAccion; }
    QCheckBox* chkSelfTransition() const { return m_chkSelfTransition; }
    QCheckBox* chkMustBeLast() const { return m_chkMustBeLast; }
    QCheckBox* chkContinueImmediately() const { return m_chkContinueImmediately; }

private:
    void build(Document& doc);
    void pull();
    void push();
    void takeBackFocused();

    std::unique_ptr<TransitionProperties> m_props;
    FocusWatcher* m_watcher = nullptr;
    QLineEdit* m_txtPrioridad = nullptr;
    CodeEditor* m_txtCondicion = nullptr;
    CodeEditor* m_txtAccion = nullptr;
    QCheckBox* m_chkSelfTransition = nullptr;
    QCheckBox* m_chkMustBeLast = nullptr;
    QCheckBox* m_chkContinueImmediately = nullptr;
};

}  // namespace tarvel
