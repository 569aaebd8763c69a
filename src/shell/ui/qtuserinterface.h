// The user interface of an interactive run: questions and messages become
// message boxes, file requests file dialogs, and the document events of the
// workspace create, raise and close the document windows of the main frame.
// The hand-off queue is suspended while any of these modal windows is open,
// so no file opens behind one.
#pragma once

#include <QString>

#include "shell/userinterface.h"

class QWidget;

namespace tarvel {

class frmMain;

// "Fsm Files(*.FSM)|*.fsm|" as Qt file-dialog filters; patterns match the
// extension in any case.
QStringList toQtFilters(const std::string& filter);

class QtUserInterface : public UserInterface {
public:
    QtUserInterface() = default;
    void setMainWindow(frmMain* main) { m_main = main; }
    frmMain* mainWindow() const { return m_main; }

    bool isBatch() const override { return false; }
    void showMessage(std::string_view title, std::string_view text, MessageIcon icon) override;
    Answer ask(std::string_view title, std::string_view text, MessageIcon icon, bool withCancel,
               Answer defaultAnswer) override;
    std::optional<FileDialogResult> askFile(const FileDialogRequest& request) override;

    void processEvents() override;
    void setBusy(bool busy) override;

    void documentCreated(Document& doc) final;
    void documentActivated(Document& doc) final;
    void documentClosed(Document& doc) final;
    void addRecentFile(const std::string& path) final;
    // Named in the status bar, so the user sees what a command wrote.
    void filesWritten(const std::vector<std::string>& paths) final;

protected:
    QWidget* dialogParent() const;
    void suspend(bool suspended) const;

private:
    frmMain* m_main = nullptr;
    int m_busy = 0;
};

}  // namespace tarvel
