// A temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    // The absolute path of `name` inside the folder.
    std::string at(std::string_view name) const;
    // Creates a file (and its folders) holding `content`; returns its path.
    std::string write(std::string_view name, std::string_view content = {}) const;
    // Creates a folder (and its parents); returns its path.
    std::string makeFolder(std::string_view name) const;
    // Makes the folder the current directory until the end of the test.
    void enter();

private:
    std::string m_path;
    std::string m_previousDirectory;
};

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
// The messages of a log's lines: the text after each line's "]:" prefix, with
// the CR LF that ends the line removed.
std::vector<std::string> logMessages(const std::string& logText);

}  // namespace tarvel
