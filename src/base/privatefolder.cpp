#include "base/privatefolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/paths.h"

namespace tarvel {

namespace {

std::string errnoText(int error) {
    return std::strerror(error);
}

// Why an opened folder cannot serve as private; empty when it can. A folder
// that is open to others is closed to them, and its content is looked at
// every time: what another user put inside while it was open is not trusted,
// however long ago that was.
std::string privacyProblem(int fd, const std::string& folder) {
    const uid_t user = ::geteuid();
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return "cannot inspect " + folder + ": " + errnoText(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return folder + " is not a directory";
    }
    if (info.st_uid != user) {
        return folder + " is owned by another user";
    }
    if ((info.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
        return folder + " is open to other users and cannot be made private: " + errnoText(errno);
    }
    const int listing = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (entries == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return "cannot read " + folder + ": " + errnoText(errno);
    }
    std::string problem;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat inside {};
        if (::fstatat(fd, entry->d_name, &inside, AT_SYMLINK_NOFOLLOW) != 0 ||
            inside.st_uid != user) {
            problem = folder + " holds files of another user (" + std::string(name) + ")";
            break;
        }
    }
    ::closedir(entries);
    return problem;
}

// Explains why opening a folder without following links failed.
std::string openProblem(int parent, const std::string& name, const std::string& shown, int error) {
    struct stat info {};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(info.st_mode)) {
            return shown + " is a symbolic link";
        }
        if (!S_ISDIR(info.st_mode)) {
            return shown + " is not a directory";
        }
    }
    return "cannot open " + shown + ": " + errnoText(error);
}

}  // namespace

PrivateFolder::PrivateFolder(std::string path, int fd, std::string error)
    : m_path(std::move(path)), m_fd(fd), m_error(std::move(error)) {}

PrivateFolder::~PrivateFolder() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::shared_ptr<const PrivateFolder> PrivateFolder::openIn(int parent, const std::string& name,
                                                           const std::string& shown) {
    auto refused = [&shown](std::string why) {
        return std::shared_ptr<const PrivateFolder>(new PrivateFolder(shown, -1, std::move(why)));
    };
    if (::mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST) {
        return refused("cannot create " + shown + ": " + errnoText(errno));
    }
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return refused(openProblem(parent, name, shown, errno));
    }
    std::string problem = privacyProblem(fd, shown);
    if (!problem.empty()) {
        ::close(fd);
        return refused(std::move(problem));
    }
    return std::shared_ptr<const PrivateFolder>(new PrivateFolder(shown, fd, {}));
}

std::shared_ptr<const PrivateFolder> PrivateFolder::open(const std::string& path) {
    return openIn(AT_FDCWD, path, path);
}

std::string PrivateFolder::userFolderPath() {
    return joinPath(GetTempDir(), "tarvel-" + std::to_string(::geteuid()));
}

std::shared_ptr<const PrivateFolder> PrivateFolder::subfolder(std::string_view name) const {
    const std::string inside(name);
    const std::string shown = joinPath(m_path, inside);
    if (!usable()) {
        return std::shared_ptr<const PrivateFolder>(new PrivateFolder(shown, -1, m_error));
    }
    if (inside.empty() || inside == "." || inside == ".." ||
        inside.find('/') != std::string::npos) {
        return std::shared_ptr<const PrivateFolder>(
            new PrivateFolder(shown, -1, shown + " is not a folder name"));
    }
    return openIn(m_fd, inside, shown);
}

}  // namespace tarvel
