// The Problems panel: the findings of the check of the active diagram's
// hierarchy, one a row (severity, element, message, check id). A double-click
// opens the element's property dialog at the line of the field. The model
// checks run at once; the compile runs in a thread of its own, so neither the
// Check command nor a generation waits for the compiler.
#pragma once

#include <QDockWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "check/checker.h"

class QLabel;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvel {

class Document;
class Node;
class Workspace;
class frmDoc;

class ProblemsPanel final : public QDockWidget {
    Q_OBJECT
public:
    // What the panel needs from the frame around it.
    struct Frame {
        // Opens the diagram file (or brings its window forward) and returns its window.
        std::function<frmDoc*(const std::string& path)> showDocument;
        std::function<void(const QString&)> setStatusText;
    };

    ProblemsPanel(Workspace& workspace, Frame frame, QWidget* parent = nullptr);
    // Waits for a compile still running: it removes its private folder.
    ~ProblemsPanel() override;

    // The panel of the frame around `widget`; nullptr when there is none.
    static ProblemsPanel* of(const QWidget* widget);

    // Checks the document and its child diagrams. The Check command shows the
    // panel; a generation only says in the status bar what was found.
    void check(Document& root, bool showPanel);

    bool busy() const { return m_running > 0; }
    const CheckReport& report() const { return m_report; }
    QTreeWidget* list() const { return m_list; }
    // Opens the element of the finding in row `row`, as a double-click does.
    void openFinding(int row);

signals:
    // The check (with its compile) is over and the list shows its findings.
    void checked();

private:
    void compiled(int run, std::vector<Finding> findings);
    void showReport();
    QString summary() const;

    Workspace& m_workspace;
    Frame m_frame;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
    CheckReport m_report;
    int m_run = 0;      // the latest check; older compiles are dropped
    int m_running = 0;  // compiles not finished
    std::vector<QThread*> m_threads;
    // Stops the compile of the check before (a newer check, or closing).
    std::shared_ptr<std::atomic<bool>> m_cancel;
};

// The Check command: runs the check of the window's diagram in the frame's
// panel.
void checkDocumentWindow(frmDoc& window, bool showPanel);

}  // namespace tarvel
