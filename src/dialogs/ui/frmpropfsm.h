// "FSM properties": edits the FSM properties record and the document's eight
// generation options. The rules live in FsmProperties; the window copies its
// controls into it before each rule and shows the result.
#pragma once

#include <QColor>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/fsmproperties.h"
#include "dialogs/ui/propertydialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tarvel {

class CodeEditor;
class DialogPrompter;

class frmPropFSM : public PropertyDialog {
    Q_OBJECT
public:
    static const QString SETTINGS_SECTION;  // "PropFSM"

    // The colour dialog the colour buttons open; tests replace it. It gets the
    // preset colour and returns the chosen one, or an invalid colour when
    // the user cancelled.
    using ColourChooser = std::function<QColor(QWidget* parent, const QColor& preset)>;
    static void setColourChooser(ColourChooser chooser);

    frmPropFSM(Document& doc, DialogPrompter& prompter, QWidget* parent = nullptr);
    ~frmPropFSM() override;

    FsmProperties& properties() { return *m_props; }
    const std::string& pendingChildPath() const { return m_pendingChildPath; }

    void cmdValidar_Click();
    void cmdEnlace_Click();
    void cmdSelectComments_Click();
    void cmdFillColor_Click();
    void cmdForeColor_Click();
    void cmdResetColor_Click();
    void txtMaxLoops_Change();
    // "Insert standard types": definitions of the target's types the
    // initialisation lacks, at its start.
    void cmdStandardTypes_Click();
    void editor_LostFocus(CodeEditor* editor);

    QLineEdit* txtNombreFSM() const { return m_txtNombreFSM; }
    QLineEdit* txtParametrosFSM() const { return m_txtParametrosFSM; }
    QLineEdit* txtReturnTypeFSM() const { return m_txtReturnTypeFSM; }
    QLabel* lblVersion() const { return m_lblVersion; }
    CodeEditor* txtHeader() const { return m_txtHeader; }
    CodeEditor* txtInicializacion() const { return m_txtInicializacion; }
    CodeEditor* txtBeforeAction() const { return m_txtBeforeAction; }
    CodeEditor* txtDefault() const { return m_txtDefault; }
    CodeEditor* txtAfterAction() const { return m_txtAfterAction; }
    CodeEditor* txtFinalAction() const { return m_txtFinalAction; }
    QLineEdit* txtMaxLoops() const { return m_txtMaxLoops; }
    QPushButton* cmdSelectComments() const { return m_cmdSelectComments; }
    QPushButton* cmdStandardTypes() const { return m_cmdStandardTypes; }
    QCheckBox* chkGenFuncInit() const { return m_chkGenFuncInit; }
    QCheckBox* chkGenFuncEnd() const { return m_chkGenFuncEnd; }
    QCheckBox* chkGenDebugInfo() const { return m_chkGenDebugInfo; }
    QCheckBox* chkAnsiComment() const { return m_chkAnsiComment; }
    QCheckBox* chkTextBoxesInCode() const { return m_chkTextBoxesInCode; }
    QCheckBox* chkHistoryFsm() const { return m_chkHistoryFsm; }
    QCheckBox* chkUseBitFields() const { return m_chkUseBitFields; }
    QCheckBox* chkUseMacros() const { return m_chkUseMacros; }
    QPushButton* cmdFillColor() const { return m_cmdFillColor; }
    QPushButton* cmdForeColor() const { return m_cmdForeColor; }
    QPushButton* cmdResetColor() const { return m_cmdResetColor; }
    QComboBox* cmbEnlaces() const { return m_cmbEnlaces; }
    QPushButton* cmdEnlace() const { return m_cmdEnlace; }

private:
    void build(Document& doc);
    void applyLock();
    void pull();
    void push();
    void takeBackFocused();
    QColor chooseColour(const QColor& preset);
    void showStandardTypes();

    // One generation option and its check box; the table of all eight builds,
    // locks, reads and shows them.
    struct OptionBox {
        QCheckBox* frmPropFSM::*box;
        const char* name;
        const char* caption;  // null: the rules name the function it asks for
        bool GenerationOptions::*option;
    };
    static const std::array<OptionBox, 8> OPTION_BOXES;

    Document& m_doc;
    std::unique_ptr<FsmProperties> m_props;
    std::string m_pendingChildPath;
    QColor m_lastColour;
    QLineEdit* m_txtNombreFSM = nullptr;
    QLineEdit* m_txtParametrosFSM = nullptr;
    QLineEdit* m_txtReturnTypeFSM = nullptr;
    QLabel* m_lblVersion = nullptr;
    CodeEditor* m_txtHeader = nullptr;
    CodeEditor* m_txtInicializacion = nullptr;
    CodeEditor* m_txtBeforeAction = nullptr;
    CodeEditor* m_txtDefault = nullptr;
    CodeEditor* m_txtAfterAction = nullptr;
    CodeEditor* m_txtFinalAction = nullptr;
    QLineEdit* m_txtMaxLoops = nullptr;
    QPushButton* m_cmdSelectComments = nullptr;
    QPushButton* m_cmdStandardTypes = nullptr;
    QCheckBox* m_chkGenFuncInit = nullptr;
    QCheckBox* m_chkGenFuncEnd = nullptr;
    QCheckBox* m_chkGenDebugInfo = nullptr;
    QCheckBox* m_chkAnsiComment = nullptr;
    QCheckBox* m_chkTextBoxesInCode = nullptr;
    QCheckBox* m_chkHistoryFsm = nullptr;
    QCheckBox* m_chkUseBitFields = nullptr;
    QCheckBox* m_chkUseMacros = nullptr;
    QPushButton* m_cmdFillColor = nullptr;
    QPushButton* m_cmdForeColor = nullptr;
    QPushButton* m_cmdResetColor = nullptr;
    QGroupBox* m_fraEnlaces = nullptr;
    QComboBox* m_cmbEnlaces = nullptr;
    QPushButton* m_cmdEnlace = nullptr;
};

}  // namespace tarvel
