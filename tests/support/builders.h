// Small helpers that build diagrams the way the editor does: states through
// the state write, transitions through a drawn link.
#pragma once

#include <string>

#include "model/document.h"
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

}  // namespace tarvel::test
