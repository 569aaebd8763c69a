#include "base/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/text.h"

namespace tarvel {

namespace {

// Longest temporary folder taken from the environment; longer values are
// treated as unusable.
constexpr std::size_t MAX_TEMP_DIR = 260;

std::string errnoText(int error) {
    return std::strerror(error);
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

std::vector<std::string> RegularFilesIn(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> names;
    DIR* entries = ::opendir(folder.c_str());
    if (entries == nullptr) {
        return names;
    }
    const int fd = ::dirfd(entries);
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        struct stat info {};
        if (name.ends_with(suffix) && ::fstatat(fd, entry->d_name, &info, 0) == 0 &&
            S_ISREG(info.st_mode)) {
            names.emplace_back(name);
        }
    }
    ::closedir(entries);
    return names;
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

namespace {

// "." and ".." resolved in the text of an absolute path; "//" taken as "/".
std::string resolveDots(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) {
            slash = path.size();
        }
        const std::string_view part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

std::string realPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return {};
    }
    std::string out(resolved);
    std::free(resolved);
    return out;
}

}  // namespace

std::string CanonicalPath(const std::string& path) {
    const std::string full = MakeFullPath(path);
    if (std::string real = realPath(full); !real.empty()) {
        return real;
    }
    const std::string folder = realPath(GetDirectory(full));
    if (!folder.empty()) {
        const std::string name = GetFileName(full);
        if (name != "." && name != "..") {
            return joinPath(folder, name);
        }
    }
    return resolveDots(full);
}

namespace {

// Reads what an opened file holds; refuses what is not a regular file (a
// FIFO would block, a device never ends) and what is larger than `maxBytes`,
// before anything is allocated for it.
bool readOpenedFile(int fd, std::string& bytes, std::string& error, std::uint64_t maxBytes) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errnoText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        return false;
    }
    const auto tooLarge = [&](std::uint64_t size) {
        error = "it is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB (" +
                std::to_string(size) + " bytes)";
        return false;
    };
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        return tooLarge(static_cast<std::uint64_t>(st.st_size));
    }
    bytes.clear();
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            if (done >= maxBytes) {
                // The file grew past the limit while it was read: one more
                // byte tells.
                char extra;
                const ssize_t n = ::read(fd, &extra, 1);
                if (n > 0) {
                    return tooLarge(done + 1);
                }
                break;
            }
            const std::uint64_t room = std::min<std::uint64_t>(65536, maxBytes - done);
            bytes.resize(bytes.size() + static_cast<std::size_t>(room));  // the file may have grown
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errnoText(errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

bool readAndClose(int fd, std::string& bytes, std::string& error, std::uint64_t maxBytes) {
    if (fd < 0) {
        error = errnoText(errno);
        return false;
    }
    const bool ok = readOpenedFile(fd, bytes, error, maxBytes);
    ::close(fd);
    return ok;
}

}  // namespace

bool readFileBytes(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes) {
    return readAndClose(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC), bytes, error,
                        maxBytes);
}

bool readFileBytesAt(int folder, const std::string& name, std::string& bytes, std::string& error,
                     std::uint64_t maxBytes) {
    return readAndClose(
        ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC), bytes,
        error, maxBytes);
}

}  // namespace tarvel
