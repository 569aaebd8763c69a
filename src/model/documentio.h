// Reading and writing diagram files, and turning a file into a ready document.
#pragma once

#include <cstdint>
#include <string>

#include "model/document.h"

namespace tarvel {

// The largest diagram file that is read. Larger files are refused before
// anything is read: no real diagram comes near it, and reading one would only
// exhaust the memory.
inline constexpr std::uint64_t MAX_DIAGRAM_FILE_BYTES = 256ull * 1024 * 1024;

// Replaces the diagram by the file's. On failure the diagram is left empty and
// the file is not touched; `error` says why.
bool LoadFromFile(Diagram& diagram, const std::string& path, std::string& error);
// The same for a file inside an opened private folder (undo snapshots).
bool LoadFromFileAt(Diagram& diagram, int folder, const std::string& name, std::string& error);
// Writes the diagram as a whole: a reader sees the old file or the new one,
// never a part. On failure the previous file is left as it was.
bool SaveToFile(const Diagram& diagram, const std::string& path, std::string& error);
// The same for a file inside an opened private folder (undo snapshots).
bool SaveToFileAt(const Diagram& diagram, int folder, const std::string& name, std::string& error);

// Loads a diagram file into the document and prepares it for use: the
// information node's record, colours and font are taken over, the options are
// read (with the forced values) and every state and transition is rewritten
// from its record. The path and caption are set. The diagram counts as unchanged.
bool loadDocument(Document& doc, const std::string& path, const OptionOverrides& overrides,
                  std::string& error);

}  // namespace tarvel
