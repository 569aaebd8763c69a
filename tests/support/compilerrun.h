// Running a C compiler and the programs it built, for the tests that compile
// generated code.
#pragma once

#include <cstdlib>
#include <string>

#include "tempdir.h"

namespace tarvel::test {

inline bool haveCompiler(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command in `dir`; its output goes to `log`.
inline int runIn(const TempDir& dir, const std::string& command, std::string& log) {
    const std::string logPath = dir / "command.log";
    const int status =
        std::system(("cd '" + dir.path() + "' && " + command + " >'" + logPath + "' 2>&1").c_str());
    log = readFile(logPath);
    return status;
}

}  // namespace tarvel::test
