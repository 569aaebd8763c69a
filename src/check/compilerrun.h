// Runs the C compiler of the check: a command line split into words, run
// without a shell in a given folder, its standard output and error captured
// together, ended after a time limit.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

// Splits a command line into words: blanks separate, '...' keeps its text as
// it is, "..." keeps its text with \" and \\ unescaped. Empty when the
// command has no words or a quote is left open.
std::vector<std::string> splitCommand(std::string_view command);

struct ProcessResult {
    bool started = false;   // false: `error` says why the program could not run
    bool finished = false;  // false: ended after the time limit or by a signal
    int exitStatus = -1;    // when finished
    std::string output;     // standard output and error, as they came
    std::string error;      // why it did not start or did not finish
};

// Runs `argv` (argv[0] looked up on PATH when it has no "/") in `folder`, with
// standard input empty and the messages of the C locale. Thread-safe. The
// program is ended when `limit` has passed or `cancel` turns true.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& folder,
                         std::chrono::seconds limit, const std::atomic<bool>* cancel = nullptr);

}  // namespace tarvel
