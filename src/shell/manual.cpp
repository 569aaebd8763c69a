#include "shell/manual.h"

#include <filesystem>

namespace tarvel {

std::string FindManual(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const fs::path folder(programFolder);
    for (const fs::path& candidate : {folder / "doc" / "index.html",
                                      folder / ".." / "share" / "doc" / "tarvel" / "index.html"}) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

}  // namespace tarvel
