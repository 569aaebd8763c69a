// "Transition properties": edits one transition. The rules live in
// TransitionProperties; the window copies its controls into it before each
// rule and shows the result.
#pragma once

#include <QDialog>
#include <memory>

#include "dialogs/transitionproperties.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tarvel {

class CodeEditor;
class DialogPrompter;
class FocusWatcher;

class frmPropTransicion : public QDialog {
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
    QPushButton* cmdValidar() const { return m_cmdValidar; }
    QPushButton* cmdCancelar() const { return m_cmdCancelar; }
    QTabWidget* SSTab1() const { return m_SSTab1; }

protected:
    void done(int r) override;

private:
    void build(Document& doc);
    void pull();
    void push();
    void takeBackFocused();

    // Set once the dialog closes: a box losing the focus then is not an edit.
    bool m_closing = false;
    std::unique_ptr<TransitionProperties> m_props;
    FocusWatcher* m_watcher = nullptr;
    QLineEdit* m_txtPrioridad = nullptr;
    CodeEditor* m_txtCondicion = nullptr;
    CodeEditor* m_txtAccion = nullptr;
    QCheckBox* m_chkSelfTransition = nullptr;
    QCheckBox* m_chkMustBeLast = nullptr;
    QCheckBox* m_chkContinueImmediately = nullptr;
    QPushButton* m_cmdValidar = nullptr;
    QPushButton* m_cmdCancelar = nullptr;
    QTabWidget* m_SSTab1 = nullptr;
};

}  // namespace tarvel
