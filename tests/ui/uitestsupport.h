// Helpers of the user-interface tests: a user interface whose questions and
// file dialogs are answered from queues, a private settings and temporary
// folder per test program, an editor session, and mouse gestures sent to the
// canvas.
#pragma once

#include <QPoint>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/types.h"
#include "shell/ui/editorsession.h"
#include "shell/ui/qtuserinterface.h"

class QWidget;

namespace tarvel {

class Diagram;
class DiagramView;
class Document;
class Node;
class frmDoc;

namespace test {

class ScriptedUi final : public QtUserInterface {
public:
    std::vector<std::string> messages;   // "title|text"
    std::vector<std::string> questions;  // "title|text"
    std::deque<Answer> answers;
    std::deque<std::optional<FileDialogResult>> files;
    std::vector<FileDialogRequest> fileRequests;
    // Called while a question is open, to see what holds then.
    std::function<void()> duringQuestion;

    void showMessage(std::string_view title, std::string_view text, MessageIcon) override;
    Answer ask(std::string_view title, std::string_view text, MessageIcon, bool withCancel,
               Answer defaultAnswer) override;
    std::optional<FileDialogResult> askFile(const FileDialogRequest& request) override;
};

// Settings, run log, temporary files and the current folder of the test
// program go to a folder of its own, removed at the end.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    QString path() const { return m_dir.path(); }
    std::string file(const std::string& name) const;
    // A diagram file with two states A (initial) and B and a transition A -> B.
    std::string writeDiagram(const std::string& name) const;

private:
    QTemporaryDir m_dir;
    QString m_previousCurrent;
};

// A running editor: session, shown main frame, scripted questions.
struct Editor {
    ScriptedUi* ui;
    std::unique_ptr<EditorSession> session;

    Editor();
    ~Editor();
    frmMain& main() { return session->mainWindow(); }
    Workspace& workspace() { return session->workspace(); }
    frmDoc* active();
};

// What a test of the editor's windows keeps: its sandbox, the running editor
// and the active document window with what it shows.
class EditorFixture {
protected:
    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<Editor> editor;

    frmDoc* doc() { return editor->active(); }
    Document& document();
    Diagram& diagram();
    DiagramView* view();
    // The viewport position of a model point.
    QPointF at(PointF p);
    // A point just inside the left edge of a state: its connection handle.
    QPointF rimOf(const Node* n);
};

// Gestures on a canvas, at viewport positions.
void press(DiagramView* view, QPointF at, Qt::KeyboardModifiers mods = Qt::NoModifier);
void moveTo(DiagramView* view, QPointF at, bool leftDown,
            Qt::KeyboardModifiers mods = Qt::NoModifier);
void release(DiagramView* view, QPointF at, Qt::KeyboardModifiers mods = Qt::NoModifier);
void drag(DiagramView* view, QPointF from, QPointF to, Qt::KeyboardModifiers mods = Qt::NoModifier);
void click(DiagramView* view, QPointF at, Qt::KeyboardModifiers mods = Qt::NoModifier);
void doubleClick(DiagramView* view, QPointF at);

// How many nodes carry any flag of `kind`.
int count(const Diagram& diagram, std::uint32_t kind);

// Lets queued repaints and timers run.
void settle();

}  // namespace test
}  // namespace tarvel
