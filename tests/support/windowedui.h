// A scripted user interface that gives every document the workspace creates
// its window rules, as the editor does, so that documents have an undo
// history; closing a document closes its window.
#pragma once

#include <map>
#include <memory>

#include "editor/docwindow.h"
#include "fakeui.h"

namespace tarvel::test {

class WindowedUi : public FakeUi {
public:
    UndoEnvironment undo;

    void documentCreated(Document& doc) override {
        m_windows[&doc] = std::make_unique<DocWindow>(doc, m_host, undo);
    }
    void documentClosed(Document& doc) override { m_windows.erase(&doc); }
    DocWindow& window(Document& doc) { return *m_windows.at(&doc); }

private:
    DocWindowHost m_host;
    std::map<Document*, std::unique_ptr<DocWindow>> m_windows;
};

}  // namespace tarvel::test
