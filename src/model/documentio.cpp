#include "model/documentio.h"

#include "base/paths.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"

namespace tarvel {

bool LoadFromFile(Diagram& diagram, const std::string& path, std::string& error) {
    std::string bytes;
    if (!readFileBytes(path, bytes, error)) {
        Diagram empty;
        diagram.takeContentFrom(empty);
        return false;
    }
    return readDiagramJsonInPlace(bytes, diagram, error);
}

bool SaveToFile(const Diagram& diagram, const std::string& path, std::string& error) {
    return WriteFileAtomically(path, writeDiagramJson(diagram), error);
}

bool loadDocument(Document& doc, const std::string& path, const OptionOverrides& overrides,
                  std::string& error) {
    if (!LoadFromFile(doc.diagram(), path, error)) {
        return false;
    }
    doc.sFullDocname = path;
    doc.caption = GetBaseName(path);
    RestoreGraphInfo(doc.diagram(), true);
    GetGrafoConfig(doc, overrides);
    RefreshNodeRecords(doc);
    doc.diagram().SetDiagramChanged(false);
    return true;
}

}  // namespace tarvel
