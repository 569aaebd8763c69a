// The check's findings as text for people and build logs, as one JSON
// document for scripts, and as SARIF 2.1.0 for code-scanning systems.
#pragma once

#include <string>
#include <string_view>

#include "check/checker.h"

namespace tarvel {

// How paths are shown: relative to `folder` when they lie under it, else
// absolute.
std::string displayPath(std::string_view path, std::string_view folder);

// One finding a line, each ended by a line feed.
std::string reportText(const CheckReport& report, std::string_view folder);
std::string reportJson(const CheckReport& report, std::string_view folder);
std::string reportSarif(const CheckReport& report, std::string_view folder);

// `--check --list`: every check id with its severity and its help.
std::string checkListText();

}  // namespace tarvel
