// Builds large diagrams for the benchmarks: `states` states in a grid, each
// with `transitionsPerState` guarded transitions to other states, entry and
// exit actions, saved the way the editor saves them.
#pragma once

#include <stdexcept>
#include <string>

#include "base/text.h"
#include "model/document.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel::bench {

inline std::string bigDiagramJson(int states, int transitionsPerState) {
    Document doc;
    doc.autosizeNodes = false;
    Diagram& d = doc.diagram();
    std::vector<Node*> nodes;
    nodes.reserve(static_cast<std::size_t>(states));
    for (int i = 0; i < states; ++i) {
        const float x = static_cast<float>((i % 50) * 3000 + 500);
        const float y = static_cast<float>((i / 50) * 2500 + 500);
        Node* n = d.AddNode(x, y, 1500, 1000);
        StateRecord r;
        r.name = "S" + std::to_string(i + 1);
        r.index = std::to_string(i + 1);
        r.entry = "enter_" + std::to_string(i) + "();";
        r.exit = "leave_" + std::to_string(i) + "();";
        r.moore = "work(" + std::to_string(i) + ");";
        writeState(doc, r, i == 0 ? NK_INITIAL : NK_STATE, *n);
        nodes.push_back(n);
    }
    for (int i = 0; i < states; ++i) {
        for (int k = 1; k <= transitionsPerState; ++k) {
            Node* from = nodes[static_cast<std::size_t>(i)];
            Node* to = nodes[static_cast<std::size_t>((i + k) % states)];
            const PointF a = from->centre();
            const PointF b = to->centre();
            Node* t = d.AddNode((a.x + b.x) / 2, (a.y + b.y) / 2, 150, 100);
            d.setNewLinkArrowStyle(0);
            d.AddLink(from, t);
            d.setNewLinkArrowStyle(3);
            d.AddLink(t, to);
            TransitionRecord r;
            r.priority = std::to_string(k);
            r.condition = "input == " + std::to_string(k) + " && ready(" + std::to_string(i) + ")";
            r.actions = "count++;";
            writeTransition(doc, r, *t);
        }
    }
    SetGraphInfo("Big", "", "", "typedef unsigned char T_u8;", "", "", "", "", std::string(FSM_SIGNATURE),
                 "&Hierarchical Switch Case...;AS_N;FO_Y;HC_N;FI_N;FE_N;DI_N;AC_N;PT_N;HF_Y;BF_N;UM_Y;",
                 "", "", "0", d);
    doc.sFullDocname = "/tmp/Big.fsm";
    SaveGraphInfo(doc, true);
    return writeDiagramJson(d);
}

}  // namespace tarvel::bench
