// Feeds arbitrary bytes to the diagram file reader and, when they form a
// diagram, through everything a load does (information node, options, record
// rewrites) and back through the writer. Nothing may crash, hang or leak, and
// what was written must read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/document.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The record readers on the raw bytes.
    for (int i = 0; i < 14; ++i) {
        (void)readField(bytes, i);
    }
    (void)splitFields(bytes, 13);
    (void)lenientInt(bytes);

    Document doc;
    std::string error;
    if (!readDiagramJson(bytes, doc.diagram(), error)) {
        return 0;
    }
    // What the quick reader accepts, the checked reader reads the same way.
    {
        Diagram checked;
        std::string checkedError;
        if (!readDiagramJsonChecked(bytes, checked, checkedError) ||
            writeDiagramJson(checked) != writeDiagramJson(doc.diagram())) {
            __builtin_trap();
        }
    }
    RestoreGraphInfo(doc.diagram(), true);
    GetGrafoConfig(doc, {});
    RefreshNodeRecords(doc, size % 2 == 0);
    for (const auto& n : doc.diagram().NodeList()) {
        (void)StateRecord::read(*n);
        (void)TransitionRecord::read(*n);
    }
    clsParientes children("/nonexistent/Root.fsm");
    children.BuscaTodosEnlaces(doc.diagram());
    renumberEverything(doc);

    doc.sFullDocname = "/nonexistent/Root.fsm";
    SaveGraphInfo(doc, true);
    const std::string written = writeDiagramJson(doc.diagram());
    Document again;
    if (!readDiagramJson(written, again.diagram(), error)) {
        __builtin_trap();  // the writer produced something the reader refuses
    }
    return 0;
}
