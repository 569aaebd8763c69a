// Feeds arbitrary bytes that form a diagram through the model checks of
// --check, as the batch program reads a diagram, and through the three
// report writers. Nothing may crash, hang or leak, whatever the records hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check/checker.h"
#include "check/checkreport.h"
#include "model/document.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Document doc;
    std::string error;
    if (!readDiagramJson(bytes, doc.diagram(), error)) {
        return 0;
    }
    RestoreGraphInfo(doc.diagram(), true);
    GetGrafoConfig(doc, {});
    RefreshNodeRecords(doc, false);
    doc.sFullDocname = "/nonexistent/Root.fsm";
    // The options a file can ask for, so that every check runs.
    doc.options.AnsiComment = size % 2 == 0;
    doc.options.PrintTextBoxes = size % 3 == 0;

    GenerationContext context;
    context.openChild = [](const std::string&) -> Document* { return nullptr; };
    CheckOptions options;
    options.compiler = "none";
    const CheckReport report = runCheck(doc, context, options);
    (void)reportText(report, "/nonexistent");
    (void)reportJson(report, "/nonexistent");
    (void)reportSarif(report, "/nonexistent");
    return 0;
}
