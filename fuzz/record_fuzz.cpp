// Feeds arbitrary text to the record readers as the records of a small
// diagram: two states, the transition between them and the FSM's own record,
// split from the input at NUL bytes. The records then go where records go:
// the record writes, the option flags, the child-word scan, both generators,
// the list file and the page. Nothing may crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codegen/generator.h"
#include "export/htmlpage.h"
#include "export/listfile.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace {

using namespace tarvel;

// The input's pieces between NUL bytes; missing pieces are empty.
std::vector<std::string> pieces(std::string_view bytes, std::size_t count) {
    std::vector<std::string> out(count);
    for (std::size_t i = 0; i < count && !bytes.empty(); ++i) {
        const std::size_t end = bytes.find('\0');
        out[i] = std::string(bytes.substr(0, end));
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> records = pieces(bytes, 4);

    Document doc;
    doc.sFullDocname = "/nonexistent/Fuzz.fsm";
    Diagram& d = doc.diagram();
    Node* a = d.AddNode(1000, 1000, 600, 600);
    Node* b = d.AddNode(4000, 1000, 600, 600);
    a->setNodeKind(NK_INITIAL);
    b->setNodeKind(NK_STATE);
    Link* link = d.AddLink(a, b);
    Node* t = insertTransitionForNewLink(doc, *link);
    a->setNodeData(records[0]);
    b->setNodeData(records[1]);
    if (t != nullptr) {
        t->setNodeData(records[2]);
    }
    d.setDiagramRecord(records[3]);

    // The readers, and the writes that rebuild texts and sizes from them.
    StateRecord state = StateRecord::read(*a);
    writeState(doc, state, a->NodeKind(), *a);
    if (t != nullptr) {
        writeTransition(doc, TransitionRecord::read(*t), *t);
    }
    (void)readFsmRecord(d);
    GetGrafoConfig(doc, {});
    (void)optionsText(doc);
    (void)isNewerSignature(GetGraphField(FF_SIGNATURE, d));
    RefreshNodeRecords(doc, size % 2 == 0);
    forEachChildWord(readStateField(SF_MOORE, *b), [](std::string_view) {});
    renumberEverything(doc);

    // The consumers of the records.
    GenerationContext ctx;
    ctx.openChild = [](const std::string&) -> Document* { return nullptr; };
    ctx.report = [](const std::string&) {};
    (void)generateHierarchicalSwitchCase(doc, ctx);
    (void)generateHierarchicalSwitchCaseReentrant(doc, ctx);
    (void)listFileText(doc);
    (void)toWindows1252Html(htmlPageText(doc, "Fuzz", "Fuzz.svg", size % 3 == 0));
    return 0;
}
