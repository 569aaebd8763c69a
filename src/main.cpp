// The command-line program. Batch runs (generation switches), the help and the
// version are handled here without any user-interface toolkit; an interactive
// start hands its arguments to the editor program installed beside it.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "shell/batchrun.h"

namespace {

std::string ownFolder() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return ".";
    }
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string program = argc > 0 ? argv[0] : "tarvel";
    program = program.substr(program.rfind('/') + 1);
    tarvel::StartupResult result;
    try {
        result = tarvel::handleCommandLine(args, program, nullptr, tarvel::BatchProcess::Own);
    } catch (const std::exception& e) {
        // The batch run reports its own failures in the error log; this is
        // what fails before or around it (reading the command line).
        std::cerr << program << ": " << e.what() << "\n";
        return 1;
    }
    if (result.action == tarvel::StartupAction::Exit) {
        return result.exitStatus;
    }
    // A line without a generation switch starts the editor, which needs a
    // display: a build server or an SSH session is told what runs without.
    if (!tarvel::DisplayAvailable()) {
        std::cerr << tarvel::NoDisplayText(program, "neither DISPLAY nor WAYLAND_DISPLAY is set");
        return 1;
    }
    const std::string editor = ownFolder() + "/tarvel-editor";
    std::vector<char*> editorArgs;
    editorArgs.push_back(const_cast<char*>(editor.c_str()));
    for (int i = 1; i < argc; ++i) {
        editorArgs.push_back(argv[i]);
    }
    editorArgs.push_back(nullptr);
    ::execv(editor.c_str(), editorArgs.data());
    std::cerr << program << ": cannot start the editor " << editor << ": " << std::strerror(errno)
              << "\n";
    return 1;
}
