// A folder only the current user can reach, for the undo snapshots and the
// hand-off socket: "tarvel-<uid>" under the temporary folder.
//
// The folder is checked once, on an opened handle, and then used only through
// that handle: whatever lies below it is created and opened relative to the
// handle without following links, and refused when it is a link or not the
// user's. So a name swapped after the check, or a link someone planted while
// the folder was open to others, is never followed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarvel {

class PrivateFolder {
public:
    // Opens `path` as a private folder, creating it with mode 0700 when
    // missing. It must be a real folder (not a link) of the user; group and
    // other permissions are taken away, and a folder holding anything of
    // another user is refused. A refused folder is not usable and says why.
    static std::shared_ptr<const PrivateFolder> open(const std::string& path);
    // The user's private folder: "tarvel-<uid>" under GetTempDir(). A start
    // of the editor opens it once and hands the opened folder to everything
    // that keeps files there.
    static std::string userFolderPath();

    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool usable() const { return m_fd >= 0; }
    // The opened folder; -1 when it is not usable.
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    // Why the folder cannot be used; empty when it can.
    const std::string& error() const { return m_error; }

    // A folder directly inside this one, created with mode 0700 when missing,
    // opened without following a link, and refused when it is not the user's.
    std::shared_ptr<const PrivateFolder> subfolder(std::string_view name) const;

private:
    PrivateFolder(std::string path, int fd, std::string error);
    // Creates (when missing), opens and checks `name` inside the folder
    // `parent` (AT_FDCWD for a path); `shown` names it in messages.
    static std::shared_ptr<const PrivateFolder> openIn(int parent, const std::string& name,
                                                       const std::string& shown);

    std::string m_path;
    int m_fd = -1;
    std::string m_error;
};

}  // namespace tarvel
