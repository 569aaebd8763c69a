#include "uitestsupport.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>

#include "base/logs.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/frmdoc.h"
#include "editor/undoredo.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "support/builders.h"

namespace tarvel::test {

void ScriptedUi::showMessage(std::string_view title, std::string_view text, MessageIcon) {
    messages.push_back(std::string(title) + "|" + std::string(text));
}

Answer ScriptedUi::ask(std::string_view title, std::string_view text, MessageIcon, bool withCancel,
                       Answer defaultAnswer) {
    questions.push_back(std::string(title) + "|" + std::string(text));
    if (duringQuestion) {
        duringQuestion();
    }
    if (answers.empty()) {
        return withCancel ? Answer::Cancel : defaultAnswer;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<FileDialogResult> ScriptedUi::askFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (files.empty()) {
        return std::nullopt;
    }
    auto f = files.front();
    files.pop_front();
    return f;
}

Sandbox::Sandbox() {
    m_previousCurrent = QDir::currentPath();
    setApplicationNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/config");
    QSettings().clear();
    qputenv("TMPDIR", QFile::encodeName(m_dir.path()));
    qputenv("XDG_RUNTIME_DIR", QByteArray());
    SetRunLogPath(file("FSM.log"));
    SetErrorPath(m_dir.path().toStdString());
    QDir::setCurrent(m_dir.path());
}

Sandbox::~Sandbox() {
    QDir::setCurrent(m_previousCurrent);
    SetRunLogPath("");
    SetErrorPath("");
}

std::string Sandbox::file(const std::string& name) const {
    return (m_dir.path() + "/" + QString::fromStdString(name)).toStdString();
}

std::string Sandbox::writeDiagram(const std::string& name) const {
    Document doc;
    doc.sFullDocname = file(name);
    QDir().mkpath(QFileInfo(QString::fromStdString(doc.sFullDocname)).absolutePath());
    Node* a = addState(doc, "A", NK_INITIAL, 600, 600);
    Node* b = addState(doc, "B", NK_STATE, 3600, 600);
    addTransition(doc, a, b);
    SaveGraphInfo(doc, true);
    std::string error;
    SaveToFile(doc.diagram(), doc.sFullDocname, error);
    return doc.sFullDocname;
}

Editor::Editor() {
    auto scripted = std::make_unique<ScriptedUi>();
    ui = scripted.get();
    session = std::make_unique<EditorSession>(startup(), std::move(scripted));
    main().show();
    StartupState start;
    main().load(start);
    main().resize(1200, 800);
    settle();
}

Editor::~Editor() {
    // Close without questions: everything counts as saved.
    for (frmDoc* d : main().docWindows()) {
        if (d->document() != nullptr) {
            d->document()->ClearGraphChanges();
        }
    }
    main().close();
    session.reset();
    settle();
}

frmDoc* Editor::active() {
    return main().activeDocWindow();
}

int count(const Diagram& diagram, std::uint32_t kind) {
    int n = 0;
    for (const auto& node : diagram.NodeList()) {
        n += node->hasKind(kind) ? 1 : 0;
    }
    return n;
}

Document& EditorFixture::document() {
    return *doc()->document();
}

Diagram& EditorFixture::diagram() {
    return document().diagram();
}

DiagramView* EditorFixture::view() {
    return doc()->AddFlow1();
}

QPointF EditorFixture::at(PointF p) {
    return view()->toView(p);
}

QPointF EditorFixture::rimOf(const Node* n) {
    return at({n->NodeLeft(), n->centre().y}) + QPointF(2, 0);
}

namespace {

void send(DiagramView* view, QEvent::Type type, QPointF at, Qt::MouseButton button,
          Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    QWidget* vp = view->viewport();
    QMouseEvent e(type, at, vp->mapToGlobal(at), button, buttons, mods);
    QApplication::sendEvent(vp, &e);
}

}  // namespace

void press(DiagramView* view, QPointF at, Qt::KeyboardModifiers mods) {
    send(view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, mods);
}

void moveTo(DiagramView* view, QPointF at, bool leftDown, Qt::KeyboardModifiers mods) {
    send(view, QEvent::MouseMove, at, Qt::NoButton, leftDown ? Qt::LeftButton : Qt::NoButton, mods);
}

void release(DiagramView* view, QPointF at, Qt::KeyboardModifiers mods) {
    send(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, mods);
}

void drag(DiagramView* view, QPointF from, QPointF to, Qt::KeyboardModifiers mods) {
    press(view, from, mods);
    for (int i = 1; i <= 8; ++i) {
        moveTo(view, from + (to - from) * (i / 8.0), true, mods);
    }
    release(view, to, mods);
    settle();
}

void click(DiagramView* view, QPointF at, Qt::KeyboardModifiers mods) {
    press(view, at, mods);
    release(view, at, mods);
    settle();
}

void doubleClick(DiagramView* view, QPointF at) {
    press(view, at);
    release(view, at);
    send(view, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    release(view, at);
    settle();
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

}  // namespace tarvel::test
