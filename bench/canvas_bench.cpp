// Times the editor's canvas on a big diagram: 2,000 states and 10,000
// transitions, opened in the real main frame and document window on the
// offscreen platform, the window 1600 x 1000 pixels. Every figure is the
// median wall time of a few runs of one user action, from the action to the
// end of the repaint it causes (pending events processed).
//
// Usage: tarvel_canvas_bench [RUNS]
// Prints one line per action with its target; a plain benchmark, it fails on
// nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bigdiagram.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/frmdoc.h"
#include "shell/commandline.h"
#if __has_include("base/logs.h")
#include "base/logs.h"
#else
#include "editor/undoredo.h"
#include "shell/logs.h"
#endif
#include "shell/ui/editorsession.h"

using namespace tarvel;

namespace {

// Answers every question with its default and shows nothing.
class SilentUi final : public QtUserInterface {
public:
    void showMessage(std::string_view, std::string_view, MessageIcon) override {}
    Answer ask(std::string_view, std::string_view, MessageIcon, bool withCancel,
               Answer defaultAnswer) override {
        return withCancel ? Answer::Cancel : defaultAnswer;
    }
    std::optional<FileDialogResult> askFile(const FileDialogRequest&) override { return {}; }
};

void settle() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Row {
    std::string action;
    double ms;
    double target;
};

void sendMouse(QWidget* vp, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, vp->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
}

void sendWheel(QWidget* vp, QPointF at, int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(at, vp->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &e);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir sandbox;
    setApplicationNames();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, sandbox.path() + "/config");
    qputenv("TMPDIR", QFile::encodeName(sandbox.path()));
    SetRunLogPath((sandbox.path() + "/FSM.log").toStdString());
    const std::string path = (sandbox.path() + "/Big.fsm").toStdString();
    std::ofstream(path, std::ios::binary) << bench::bigDiagramJson(2000, 5);

    StartupState start;
    EditorSession session(start, std::make_unique<SilentUi>());
    frmMain& main = session.mainWindow();
    main.show();
    main.load(start);
    main.resize(1600, 1000);
    settle();

    QElapsedTimer clock;
    clock.start();
    session.workspace().FileOpen(path);
    main.mdiArea()->activeSubWindow()->showMaximized();
    settle();
    const double openMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    frmDoc* doc = main.activeDocWindow();
    DiagramView* view = doc->AddFlow1();
    QWidget* vp = view->viewport();
    std::printf("%zu nodes, %zu links; viewport %dx%d px; opening took %.0f ms\n",
                doc->document()->diagram().nodeCount(), doc->document()->diagram().Links().size(),
                vp->width(), vp->height(), openMs);

    std::vector<Row> rows;
    auto time = [&](const std::string& action, double target, const std::function<void()>& before,
                    const std::function<void()>& op) {
        std::vector<double> samples;
        for (int i = 0; i < runs; ++i) {
            if (before) {
                before();
            }
            settle();
            clock.restart();
            op();
            settle();
            samples.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        rows.push_back({action, median(samples), target});
    };

    // Into the middle of the diagram, where states and transitions are dense.
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum() / 2);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
    settle();

    time("full repaint of the visible area", 8, nullptr, [&] { vp->repaint(); });
    // Showing and hiding the grid changes the whole drawing: whatever the
    // window kept of it is drawn anew.
    Diagram& diagram = doc->document()->diagram();
    time("drawing the visible area anew", 0, nullptr, [&] {
        diagram.setGridVisible(true);
        diagram.setGridVisible(false);
        vp->repaint();
    });
    const QPointF middle(vp->width() / 2.0, vp->height() / 2.0);
    int direction = -120;
    time(
        "scroll: one wheel notch", 100, [&] { direction = -direction; },
        [&] { sendWheel(vp, middle, direction, Qt::NoModifier); });
    int zoomItem = 1;
    time(
        "zoom: 100% <-> 50% (menu)", 100, [&] { zoomItem = zoomItem == 1 ? 3 : 1; },
        [&] { doc->mnuZoom(zoomItem); });
    doc->mnuZoom(1);
    time(
        "unlock", 100,
        [&] {
            if (!doc->document()->diagram().DiagramLocked()) {
                doc->mnuLocked();
            }
        },
        [&] { doc->mnuLocked(); });
    if (doc->document()->diagram().DiagramLocked()) {
        doc->mnuLocked();
    }
    time(
        "select all", 100, [&] { doc->document()->diagram().clearSelection(); },
        [&] { doc->mnuEditSelectAll(); });
    doc->document()->diagram().clearSelection();
    settle();

    // A move: a drag in select mode, where every version moves what it
    // grabs, of the state nearest the middle of the window.
    doc->mnuEditSelectMode();
    settle();
    Node* state = nullptr;
    float best = 1e30f;
    const PointF centre = view->toModel(middle);
    for (const auto& n : doc->document()->diagram().NodeList()) {
        if (n->hasKind(NK_ANY_STATE)) {
            const PointF c = n->centre();
            const float d = std::hypot(c.x - centre.x, c.y - centre.y);
            if (d < best) {
                best = d;
                state = n.get();
            }
        }
    }
    int step = 40;
    time(
        "move a state (drag, release, undo step)", 100, [&] { step = -step; },
        [&] {
            const QPointF from = view->toView(state->centre());
            sendMouse(vp, QEvent::MouseButtonPress, from, Qt::LeftButton);
            for (int i = 1; i <= 8; ++i) {
                sendMouse(vp, QEvent::MouseMove, from + QPointF(step * i / 8.0, 0), Qt::LeftButton);
            }
            sendMouse(vp, QEvent::MouseButtonRelease, from + QPointF(step, 0), Qt::NoButton);
        });
    time("undo", 100, nullptr, [&] { doc->mnuEditUndo(); });
    time("redo", 100, nullptr, [&] { doc->mnuEditRedo(); });

    std::printf("%-44s %10s %10s\n", "action", "ms", "target");
    for (const Row& r : rows) {
        if (r.target <= 0) {
            std::printf("%-44s %10.1f %10s\n", r.action.c_str(), r.ms, "-");
            continue;
        }
        std::printf("%-44s %10.1f %10.0f%s\n", r.action.c_str(), r.ms, r.target,
                    r.ms <= r.target ? "" : "  (over)");
    }
    // Closing asks nothing: everything counts as saved.
    for (const auto& d : session.workspace().documents()) {
#if __has_include("model/edithistory.h")
        d->ClearGraphChanges();
#else
        d->undRed().ClearGraphChanges();  // before the window owned the undo history
#endif
    }
    main.close();
    return 0;
}
