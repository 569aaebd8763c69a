#include "model/documentio.h"

#include "base/atomicfile.h"
#include "base/paths.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"

namespace tarvel {

namespace {

bool loadBytes(Diagram& diagram, bool read, const FileBuffer& bytes, std::string& error) {
    if (!read) {
        Diagram empty;
        diagram.takeContentFrom(empty);
        return false;
    }
    return readPaddedDiagramJson(bytes.view(), diagram, error);
}

}  // namespace

bool LoadFromFile(Diagram& diagram, const std::string& path, std::string& error) {
    FileBuffer bytes(DIAGRAM_READ_PADDING);
    const bool read = readFileBytes(path, bytes, error, MAX_DIAGRAM_FILE_BYTES);
    return loadBytes(diagram, read, bytes, error);
}

bool LoadFromFileAt(Diagram& diagram, int folder, const std::string& name, std::string& error) {
    FileBuffer bytes(DIAGRAM_READ_PADDING);
    const bool read = readFileBytesAt(folder, name, bytes, error, MAX_DIAGRAM_FILE_BYTES);
    return loadBytes(diagram, read, bytes, error);
}

bool SaveToFile(const Diagram& diagram, const std::string& path, std::string& error) {
    return WriteFileAtomically(path, writeDiagramJson(diagram), error);
}

bool SaveToFileAt(const Diagram& diagram, int folder, const std::string& name, std::string& error) {
    return WriteFileAtomicallyAt(folder, name, writeDiagramJson(diagram), error);
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
