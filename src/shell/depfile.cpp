#include "shell/depfile.h"

#include <algorithm>

#include "base/atomicfile.h"
#include "base/paths.h"

namespace tarvel {

namespace {

// A path as make reads it: a blank is preceded by a backslash (and the
// backslashes before it are doubled), "#" by a backslash, "$" doubled.
std::string escaped(const std::string& path) {
    std::string out;
    std::size_t backslashes = 0;
    for (const char c : path) {
        if (c == ' ' || c == '\t') {
            out.append(backslashes + 1, '\\');
        } else if (c == '#') {
            out += '\\';
        } else if (c == '$') {
            out += '$';
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
        out += c;
    }
    return out;
}

bool hasLineBreak(const std::string& path) {
    return path.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

std::string DepfileText(const std::vector<std::string>& targets,
                        const std::vector<std::string>& prerequisites) {
    std::string text;
    if (!targets.empty()) {
        for (const std::string& target : targets) {
            text += (text.empty() ? "" : " ") + escaped(target);
        }
        text += ":";
        for (const std::string& prerequisite : prerequisites) {
            text += " \\\n " + escaped(prerequisite);
        }
        text += "\n";
    }
    for (const std::string& prerequisite : prerequisites) {
        text += "\n" + escaped(prerequisite) + ":\n";
    }
    return text;
}

bool WriteDepfile(const std::string& path, const std::vector<std::string>& targets,
                  const std::vector<std::string>& prerequisites, std::string& error) {
    const auto broken = [](const std::vector<std::string>& paths) {
        return std::find_if(paths.begin(), paths.end(), hasLineBreak);
    };
    for (const auto* paths : {&targets, &prerequisites}) {
        const auto it = broken(*paths);
        if (it != paths->end()) {
            error = "a line break in a path cannot be written: " + *it;
            return false;
        }
    }
    return WriteFileAtomically(path, DepfileText(targets, prerequisites), error);
}

}  // namespace tarvel
