// The questions and messages the core must put to the user, and the window
// events it reports. The editor implements it with dialogs; a batch run writes
// messages to the error log and answers every question with its safe choice;
// tests script it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

class Document;

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string filter;  // "Text(*.X)|*.x|All Files(*.*)|*.*|"
    std::string defaultExtension;
    std::string proposedName;
    bool showReadOnly = false;     // the open dialog's read-only box
    bool readOnlyChecked = false;  // and its starting value
};

struct FileDialogResult {
    std::string path;
    bool readOnly = false;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A batch run: no display, no questions.
    virtual bool isBatch() const = 0;
    virtual void showMessage(std::string_view title, std::string_view text, MessageIcon icon) = 0;
    virtual Answer ask(std::string_view title, std::string_view text, MessageIcon icon,
                       bool withCancel, Answer defaultAnswer) = 0;
    // Empty when the user cancels.
    virtual std::optional<FileDialogResult> askFile(const FileDialogRequest& request) = 0;

    // Lets pending window events run (inside retry loops).
    virtual void processEvents() {}
    virtual void setBusy(bool) {}

    // A document window must be made for a new document, shown active, or closed.
    virtual void documentCreated(Document&) {}
    virtual void documentActivated(Document&) {}
    virtual void documentClosed(Document&) {}
    // A diagram was saved under this path.
    virtual void addRecentFile(const std::string&) {}
    // The files a generation or an export asked by the user has written.
    virtual void filesWritten(const std::vector<std::string>&) {}
};

// Shows the busy pointer for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(UserInterface& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyPointer() { m_ui.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    UserInterface& m_ui;
};

// The user interface of a batch run: a message becomes an error-log line; a
// question is answered with its default; no file dialog is ever shown.
class BatchUserInterface final : public UserInterface {
public:
    bool isBatch() const override { return true; }
    void showMessage(std::string_view title, std::string_view text, MessageIcon icon) override;
    Answer ask(std::string_view title, std::string_view text, MessageIcon icon, bool withCancel,
               Answer defaultAnswer) override;
    std::optional<FileDialogResult> askFile(const FileDialogRequest&) override { return {}; }
};

}  // namespace tarvel
