// Feeds arbitrary arguments (the input split at NUL bytes) to the command-line
// parser: the long options, the simulation options, the switches, the folder
// switches and the path checks. Nothing may crash, hang or leak.
//
// The parser writes its complaints to the error log in the /E folder, which
// the input could point anywhere: inputs that name an error folder are left
// out, and the logs go to a folder of the fuzz run that is emptied after
// every input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/logs.h"
#include "base/text.h"
#include "shell/commandline.h"
#include "shell/simulationrun.h"

namespace {

std::string& logFolder() {
    static std::string folder;
    return folder;
}

bool namesAnErrorFolder(std::string_view bytes) {
    const std::string upper = tarvel::upperAscii(bytes);
    return upper.find("/E") != std::string::npos || upper.find("--E") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/tarvel-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::abort();
    }
    logFolder() = pattern;
    // Relative folders and diagram paths are looked up in there too.
    if (::chdir(pattern) != 0) {
        std::abort();
    }
    tarvel::SetRunLogPath(logFolder() + "/FSM.log");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (namesAnErrorFolder(bytes)) {
        return 0;
    }
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        args.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    (void)tarvel::TakeSimulationOptions(args);
    const tarvel::StartupState state = tarvel::ParseCommandLine(args);
    (void)tarvel::HelpText("tarvel");
    (void)state.debugInfoOverride();
    ::unlink((logFolder() + "/FSM_ERR.log").c_str());
    ::unlink((logFolder() + "/FSM.log").c_str());
    return 0;
}
