// Small helpers that build diagrams the way the editor does: states through
// the state write, transitions through a drawn link.
#pragma once

#include <string>

#include "model/document.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel::test {

inline Node* addState(Document& doc, std::string name, std::uint32_t kind = NK_STATE,
                      float x = 1000, float y = 1000) {
    Node* n = doc.diagram().AddNode(x, y, 600, 600);
    StateRecord r;
    r.name = std::move(name);
    r.index = nextStateIndex(doc.diagram());
    writeState(doc, r, kind, *n);
    return n;
}

inline Node* addTransition(Document& doc, Node* from, Node* to) {
    Link* l = doc.diagram().AddLink(from, to);
    return insertTransitionForNewLink(doc, *l);
}

inline void setState(Document& doc, Node* n, void (*edit)(StateRecord&)) {
    StateRecord r = StateRecord::read(*n);
    edit(r);
    writeState(doc, r, n->NodeKind(), *n);
}

// Saves a diagram with two states A (initial) and B and a transition from A
// to B, named after its file, with the signature given (the program's own
// when empty). Returns the path, or the empty text when it was not written.
inline std::string writeTwoStateDiagram(const std::string& path, const std::string& signature = "") {
    Document doc;
    doc.sFullDocname = path;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    addTransition(doc, a, b);
    if (!signature.empty()) {
        SetGraphInfo("", "", "", "", "", "", "", "", signature, "", "", "", "", doc.diagram());
    }
    SaveGraphInfo(doc, true);
    std::string error;
    return SaveToFile(doc.diagram(), doc.sFullDocname, error) ? path : std::string();
}

}  // namespace tarvel::test
