#include "base/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "base/text.h"

namespace tarvel {

namespace {

// Longest temporary folder taken from the environment; longer values are
// treated as unusable.
constexpr std::size_t MAX_TEMP_DIR = 260;

std::string errnoText(int error) {
    return std::strerror(error);
}


// A name no other writer is using at this moment is not guaranteed by the
// name itself; the exclusive create that follows decides.
std::string randomSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string out(12, '0');
    for (char& c : out) {
        c = digits[value & 0xF];
        value >>= 4;
    }
    return out;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes a finished rename survive a crash; a folder that cannot be flushed
// still holds the new file, so failures are not reported.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    ::fsync(fd);
    ::close(fd);
}

// The file a write to `path` must replace: the file a symbolic link points to,
// so that the link survives; otherwise the path itself.
std::string replacementTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return path;  // a dangling link is replaced by the new file
    }
    return resolved;
}

// Why the opened folder cannot serve as the user's private folder; empty when
// it can. A folder that was open to others is closed to them, but anything
// they put inside while it was open is not trusted.
std::string privacyProblem(int fd, const std::string& folder, uid_t user) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return "cannot inspect " + folder + ": " + errnoText(errno);
    }
    if (info.st_uid != user) {
        return folder + " is owned by another user";
    }
    if ((info.st_mode & 077) == 0) {
        return {};
    }
    if (::fchmod(fd, 0700) != 0) {
        return folder + " is open to other users and cannot be made private: " + errnoText(errno);
    }
    const int listing = ::dup(fd);
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
            problem = folder + " holds files of another user";
            break;
        }
    }
    ::closedir(entries);
    return problem;
}

}  // namespace

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != '/') {
        out += '/';
    }
    out += name;
    return out;
}

std::string GetFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return std::string(path);
    }
    return std::string(path.substr(slash + 1));
}

std::string GetBaseName(std::string_view path) {
    const std::string name = GetFileName(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return name;
    }
    return name.substr(0, dot);
}

std::string StripExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, dot));
}

std::string GetDirectory(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    if (slash == 0) {
        return "/";
    }
    return std::string(path.substr(0, slash));
}

std::string CurrentDirectory() {
    std::string buffer(256, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string MakeFullPath(std::string_view path) {
    if (!path.empty() && path.front() == '/') {
        return std::string(path);
    }
    std::string current = CurrentDirectory();
    if (current.empty()) {
        return std::string(path);
    }
    if (current.back() == '/') {
        current.pop_back();
    }
    if (path.starts_with("./")) {
        return current + std::string(path.substr(1));
    }
    return current + "/" + std::string(path);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool IsFsmPath(const std::string& path) {
    constexpr std::string_view extension = ".FSM";
    if (path.size() < extension.size()) {
        return false;
    }
    return upperAscii(std::string_view(path).substr(path.size() - extension.size())) == extension &&
           FileExists(path);
}

bool DeleteFile(const std::string& path) {
    // Removing a name needs the folder's write permission only; the file's own
    // mode does not matter, so nothing has to be cleared first.
    struct stat info {};
    if (path.empty()) {
        return true;
    }
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR;
    }
    if (S_ISDIR(info.st_mode)) {
        return false;
    }
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool MakePath(std::string_view path, unsigned mode) {
    std::string folder(path);
    if (folder.empty()) {
        return false;
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    // Each prefix that ends at a "/" is one level; the leading "/" of an
    // absolute path gives the root, which exists.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        ::mkdir(level.c_str(), static_cast<mode_t>(mode));
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string GetTempDir() {
    const char* value = std::getenv("TMPDIR");
    std::string folder = value == nullptr ? std::string() : std::string(value);
    if (folder.empty() || folder.size() >= MAX_TEMP_DIR) {
        return "/tmp";
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string PrivateTempDir(std::string& error) {
    const uid_t user = ::geteuid();
    const std::string folder = joinPath(GetTempDir(), "tarvel-" + std::to_string(user));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder + ": " + errnoText(errno);
        return {};
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        error = "cannot inspect " + folder + ": " + errnoText(errno);
        return {};
    }
    if (S_ISLNK(info.st_mode)) {
        error = folder + " is a symbolic link";
        return {};
    }
    if (!S_ISDIR(info.st_mode)) {
        error = folder + " is not a directory";
        return {};
    }
    // The checks that matter are repeated on the opened folder itself, so a
    // name swapped after the lstat above cannot slip through.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + folder + ": " + errnoText(errno);
        return {};
    }
    const std::string reason = privacyProblem(fd, folder, user);
    ::close(fd);
    if (!reason.empty()) {
        error = reason;
        return {};
    }
    return folder;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string target = replacementTarget(path);
    const std::string folder = GetDirectory(target);
    const std::string folderForTemp = folder.empty() ? "." : folder;

    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = joinPath(folderForTemp, ".tarvel-" + randomSuffix() + ".tmp");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error = "cannot create a temporary file in " + folderForTemp + ": " + errnoText(errno);
        return false;
    }

    // Every failure below removes the temporary file; the target is untouched
    // until the final rename.
    auto fail = [&](const std::string& what) {
        const int saved = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        ::unlink(temporary.c_str());
        error = what + ": " + errnoText(saved);
        return false;
    };

    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::fchmod(fd, existing.st_mode & 0777) != 0) {
        return fail("cannot set the permissions of " + temporary);
    }
    if (!writeAll(fd, bytes)) {
        return fail("cannot write " + temporary);
    }
    if (::fsync(fd) != 0) {
        return fail("cannot flush " + temporary);
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) {
        return fail("cannot write " + temporary);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail("cannot replace " + target);
    }
    syncFolder(folderForTemp);
    return true;
}

bool readFileBytes(const std::string& path, std::string& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        ::close(fd);
        return false;
    }
    bytes.clear();
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            bytes.resize(bytes.size() + 65536);  // the file may have grown
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

}  // namespace tarvel
