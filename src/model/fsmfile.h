// The ".fsm" diagram file: one UTF-8 JSON document per diagram (see
// docs/file-format.md). Undo snapshots use the same format.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/diagram.h"

namespace tarvel {

inline constexpr std::string_view FSM_FORMAT_NAME = "tarvel-fsm";
inline constexpr int FSM_FORMAT_VERSION = 1;

// Reads a diagram document into `diagram`, replacing its content. On failure
// the diagram is left empty, `error` says why and false is returned. A
// successfully read diagram counts as unchanged.
bool readDiagramJson(std::string_view json, Diagram& diagram, std::string& error);
// The same without a copy of the text, which must be followed by
// DIAGRAM_READ_PADDING bytes that the parser may read (a FileBuffer's are).
inline constexpr std::size_t DIAGRAM_READ_PADDING = 64;
bool readPaddedDiagramJson(std::string_view json, Diagram& diagram, std::string& error);
// The checked reader alone (the reads above first try a quicker one that
// leaves anything unusual to it): for tests that compare the two.
bool readDiagramJsonChecked(std::string_view json, Diagram& diagram, std::string& error);

// The diagram as a JSON document: one node or link per line, members that hold
// their default value left out.
std::string writeDiagramJson(const Diagram& diagram);

}  // namespace tarvel
