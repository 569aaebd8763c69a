// Where the manual shipped with the program lies: beside the program in a
// build tree, in the data folder when installed.
#pragma once

#include <string>

namespace tarvel {

// "<programFolder>/doc/index.html" when it exists, else
// "<programFolder>/../share/doc/tarvel/index.html" when that exists (the
// ".." resolved); empty when neither does.
std::string FindManual(const std::string& programFolder);

}  // namespace tarvel
