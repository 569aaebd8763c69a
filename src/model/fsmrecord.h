// The FSM properties record: thirteen fields in the diagram's `DiagramRecord`.
// Inside a file it travels as an information node (`NK_INFO`) that is added
// just before writing and taken out right after writing or reading.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"

namespace tarvel {

enum FsmField {
    FF_SIGNATURE = 0,
    FF_NAME = 1,
    FF_INITIALISATION = 2,
    FF_BEFORE = 3,
    FF_OPTIONS = 4,
    FF_PARAMETERS = 5,
    FF_AFTER = 6,
    FF_FINAL_CODE = 7,
    FF_MODULE_HEADER = 8,
    FF_FUNCTION_HEADER = 9,
    FF_DEFAULT_ACTIONS = 10,
    FF_MAX_LOOPS = 11,
    FF_RETURN_TYPE = 12,
    FSM_FIELD_COUNT = 13
};

inline constexpr std::string_view FSM_SIGNATURE = "FSM_V000.006a";

std::string_view GetGraphField(int index, const Diagram& diagram);

void SetGraphInfo(std::string_view name, std::string_view parameters, std::string_view returnType,
                  std::string_view initialisation, std::string_view before,
                  std::string_view defaultActions, std::string_view after,
                  std::string_view finalCode, std::string_view signature,
                  std::string_view options, std::string_view moduleHeader,
                  std::string_view functionHeader, std::string_view maxLoops, Diagram& diagram);

// The record field by field (indexed by FF_*).
std::vector<std::string> readFsmRecord(const Diagram& diagram);
// Writes the record as the user edited it: the program's own signature goes
// in, the diagram counts as changed, and the initial state's look follows the
// document's history option.
void writeFsmRecord(Document& doc, std::vector<std::string> fields);

// The options field: the default generator's caption, ";" and the eleven
// flag tokens AS FO HC FI FE DI AC PT HF BF UM, each "XX_Y;" or "XX_N;".
std::string optionsText(const Document& doc);

// Refreshes the record from the document (signature, name from the file name,
// options) and adds the information node. With forSaving the display texts of
// states and transitions are cleared, so the file holds records only.
void SaveGraphInfo(Document& doc, bool forSaving);
// Takes the information node out again; fromFile first copies its record,
// colours and font into the diagram. The changed flag is left as it was.
void RestoreGraphInfo(Diagram& diagram, bool fromFile);
// Rewrites every state and transition from its own record, in `NodeList` order.
// Without display texts only what the records and kinds gain from a rewrite is
// done (generated names, one initial state), for runs that never draw.
void RefreshNodeRecords(Document& doc, bool displayTexts = true);
// Reads the options field into the document: default generator, the three
// editing options and the eight generation options (with forced values).
void GetGrafoConfig(Document& doc, const OptionOverrides& overrides);

// True when the signature sorts after the program's own (a newer format).
bool isNewerSignature(std::string_view signature);

}  // namespace tarvel
