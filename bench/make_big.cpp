// Writes the benchmark inputs into a folder:
//   Big.fsm / Big.scxml  a flat machine of 2,000 states, 5 guarded transitions
//                        each, with entry and exit actions, in both forms;
//   tree/Root.fsm ...    a hierarchy of 40 diagrams three levels deep, 12
//                        states with 2 transitions each in every diagram;
//   Flat.fsm             one diagram as large as the whole tree (480 states);
//   Grow<N>.fsm          machines like Big.fsm of N states, for each N given
//                        after the folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bigdiagram.h"
#include "model/documentio.h"

namespace {

using namespace tarvel;

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string scxml(int states, int transitionsPerState) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<scxml xmlns=\"http://www.w3.org/2005/07/scxml\" version=\"1.0\" name=\"Big\" "
        "initial=\"S1\" datamodel=\"ecmascript\">\n"
        "  <datamodel><data id=\"count\" expr=\"0\"/><data id=\"last\" expr=\"0\"/></datamodel>\n";
    for (int i = 0; i < states; ++i) {
        const std::string id = "S" + std::to_string(i + 1);
        out += "  <state id=\"" + id + "\">\n";
        out += "    <onentry><assign location=\"last\" expr=\"" + std::to_string(i) + "\"/></onentry>\n";
        out += "    <onexit><assign location=\"count\" expr=\"count + 1\"/></onexit>\n";
        for (int k = 1; k <= transitionsPerState; ++k) {
            out += "    <transition event=\"input\" cond=\"_event.data == " + std::to_string(k) +
                   " &amp;&amp; last == " + std::to_string(i) + "\" target=\"S" +
                   std::to_string((i + k) % states + 1) + "\"/>\n";
        }
        out += "  </state>\n";
    }
    out += "</scxml>\n";
    return out;
}

// A diagram of `states` states in a ring, each with two transitions, the
// first of them naming a child diagram in their Moore actions.
void ringDiagram(const std::string& folder, const std::string& name, int states,
                 const std::vector<std::string>& children) {
    Document doc;
    doc.autosizeNodes = false;
    Diagram& d = doc.diagram();
    std::vector<Node*> nodes;
    for (int i = 0; i < states; ++i) {
        Node* n = d.AddNode(static_cast<float>((i % 50) * 3000 + 500),
                            static_cast<float>((i / 50) * 2500 + 500), 1500, 1000);
        StateRecord r;
        r.name = name + "_S" + std::to_string(i + 1);
        r.index = std::to_string(i + 1);
        r.entry = "enter();";
        if (static_cast<std::size_t>(i) < children.size()) {
            r.moore = children[static_cast<std::size_t>(i)] + "();";
        }
        writeState(doc, r, i == 0 ? NK_INITIAL : NK_STATE, *n);
        nodes.push_back(n);
    }
    for (int i = 0; i < states; ++i) {
        for (int k = 1; k <= 2; ++k) {
            Node* t = d.AddNode(0, 0, 150, 100);
            d.AddLink(nodes[static_cast<std::size_t>(i)], t);
            d.AddLink(t, nodes[static_cast<std::size_t>((i + k) % states)]);
            TransitionRecord r;
            r.priority = std::to_string(k);
            r.condition = "in == " + std::to_string(k);
            writeTransition(doc, r, *t);
        }
    }
    SetGraphInfo(name, "", "", "", "", "", "", "", std::string(FSM_SIGNATURE),
                 "&Hierarchical Switch Case...;AS_N;FO_Y;HC_N;FI_N;FE_N;DI_N;AC_N;PT_N;HF_N;BF_N;UM_Y;",
                 "", "", "0", d);
    doc.sFullDocname = folder + "/" + name + ".fsm";
    SaveGraphInfo(doc, true);
    std::string error;
    if (!SaveToFile(d, doc.sFullDocname, error)) {
        std::cerr << error << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    write(folder + "/Big.fsm", bench::bigDiagramJson(2000, 5));
    write(folder + "/Big.scxml", scxml(2000, 5));

    // 1 root, 3 children, 12 grandchildren each: 40 diagrams, all beside the root.
    const std::string tree = folder + "/tree";
    std::filesystem::create_directories(tree);
    std::vector<std::string> level1;
    for (int c = 1; c <= 3; ++c) {
        const std::string child = "Child" + std::to_string(c);
        level1.push_back(child);
        std::vector<std::string> level2;
        for (int g = 1; g <= 12; ++g) {
            const std::string grandchild = child + "_G" + std::to_string(g);
            level2.push_back(grandchild);
            ringDiagram(tree, grandchild, 12, {});
        }
        ringDiagram(tree, child, 12, level2);
    }
    ringDiagram(tree, "Root", 12, level1);
    ringDiagram(folder, "Flat", 40 * 12, {});

    for (int i = 2; i < argc; ++i) {
        const int states = std::atoi(argv[i]);
        write(folder + "/Grow" + std::to_string(states) + ".fsm", bench::bigDiagramJson(states, 5));
    }
    return 0;
}
