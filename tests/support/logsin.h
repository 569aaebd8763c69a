// Sends the run log and the error log of a test into a folder of its own for
// as long as the object lives, and back to their defaults afterwards.
#pragma once

#include <string>

#include "base/logs.h"

namespace tarvel::test {

class LogsIn {
public:
    explicit LogsIn(const std::string& folder) {
        SetRunLogPath(folder + "/run.log");
        SetErrorPath(folder);
    }
    ~LogsIn() {
        SetRunLogPath("");
        SetErrorPath("");
    }
    LogsIn(const LogsIn&) = delete;
    LogsIn& operator=(const LogsIn&) = delete;
};

}  // namespace tarvel::test
