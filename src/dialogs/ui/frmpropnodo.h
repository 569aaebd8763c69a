// "Node properties": edits one state. The rules live in StateProperties; the
// window copies its controls into it before each rule and shows the result.
#pragma once

#include <memory>
#include <string>

#include "dialogs/stateproperties.h"
#include "dialogs/ui/propertydialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace tarvel {

class CodeEditor;
class DialogPrompter;
class FocusWatcher;

class frmPropNodo : public PropertyDialog {
    Q_OBJECT
public:
    static const QString SETTINGS_SECTION;  // "PropNode"

    frmPropNodo(Document& doc, Node& state, DialogPrompter& prompter, QWidget* parent = nullptr);
    ~frmPropNodo() override;

    StateProperties& properties() { return *m_props; }
    // The child diagram the user asked to open, once the dialog has closed.
    const std::string& pendingChildPath() const { return m_pendingChildPath; }

    // The handlers, callable as the controls call them.
    void cmdValidar_Click();
    void cmdEnlace_Click();
    void txtIndice_LostFocus();
    void txtNombre_LostFocus();
    void editor_LostFocus(CodeEditor* editor);

    QLineEdit* txtIndice() const { return m_txtIndice; }
    QLineEdit* txtNombre() const { return m_txtNombre; }
    CodeEditor* txtAccionInput() const { return m_txtAccionInput; }
    CodeEditor* txtAccionMoore() const { return m_txtAccionMoore; }
    CodeEditor* txtAccionElse() const { return m_txtAccionElse; }
    CodeEditor* txtAccionOutput() const { return m_txtAccionOutput; }
    QRadioButton* optNodoNormal() const { return m_optNodoNormal; }
    QRadioButton* optNodoInicial() const { return m_optNodoInicial; }
    QRadioButton* optNodoFinal() const { return m_optNodoFinal; }
    QCheckBox* chkGenFunctionIsIn() const { return m_chkGenFunctionIsIn; }
    QCheckBox* chkGenFunctionGoto() const { return m_chkGenFunctionGoto; }
    QComboBox* cmbEnlaces() const { return m_cmbEnlaces; }
    QPushButton* cmdEnlace() const { return m_cmdEnlace; }

private:
    void build(Document& doc);
    void applyLock();
    // Controls to the rules' values, and back.
    void pull();
    void push();
    void showChildren();
    // Takes back whatever box has the focus, as if it lost it.
    void takeBackFocused();

    std::unique_ptr<StateProperties> m_props;
    std::string m_pendingChildPath;
    FocusWatcher* m_watcher = nullptr;
    QLineEdit* m_txtIndice = nullptr;
    QLineEdit* m_txtNombre = nullptr;
    CodeEditor* m_txtAccionInput = nullptr;
    CodeEditor* m_txtAccionMoore = nullptr;
    CodeEditor* m_txtAccionElse = nullptr;
    CodeEditor* m_txtAccionOutput = nullptr;
    QRadioButton* m_optNodoNormal = nullptr;
    QRadioButton* m_optNodoInicial = nullptr;
    QRadioButton* m_optNodoFinal = nullptr;
    QCheckBox* m_chkGenFunctionIsIn = nullptr;
    QCheckBox* m_chkGenFunctionGoto = nullptr;
    QGroupBox* m_fraEnlaces = nullptr;
    QComboBox* m_cmbEnlaces = nullptr;
    QPushButton* m_cmdEnlace = nullptr;
};

}  // namespace tarvel
