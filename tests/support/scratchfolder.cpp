#include "scratchfolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvel {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::path("/tmp") / "tarvel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!m_previousDirectory.empty()) {
        fs::current_path(m_previousDirectory, ignored);
    }
    // Tests take permissions away to provoke failures; give them back so that
    // everything can be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

std::string ScratchFolder::at(std::string_view name) const {
    return m_path + "/" + std::string(name);
}

std::string ScratchFolder::write(std::string_view name, std::string_view content) const {
    const std::string path = at(name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string ScratchFolder::makeFolder(std::string_view name) const {
    const std::string path = at(name);
    fs::create_directories(path);
    return path;
}

void ScratchFolder::enter() {
    if (m_previousDirectory.empty()) {
        m_previousDirectory = fs::current_path().string();
    }
    fs::current_path(m_path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> logMessages(const std::string& logText) {
    std::vector<std::string> messages;
    std::size_t start = 0;
    while (start < logText.size()) {
        std::size_t end = logText.find("\r\n", start);
        if (end == std::string::npos) {
            end = logText.size();
        }
        const std::string line = logText.substr(start, end - start);
        const std::size_t prefixEnd = line.find("]:");
        messages.push_back(prefixEnd == std::string::npos ? line : line.substr(prefixEnd + 2));
        start = end + 2;
    }
    return messages;
}

}  // namespace tarvel
