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

std::size_t FileSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return 0;
    }
    return static_cast<std::size_t>(info.st_size);
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

// Reads what an opened file holds through `room(size, keep)`, which returns
// space for `size` bytes keeping the first `keep`. Refuses what is not a
// regular file (a FIFO would block, a device never ends) and what is larger
// than `maxBytes`, before anything is allocated for it. Returns the number of
// bytes read, or -1 with the reason in `error`.
template <typename Room>
long long readOpenedFile(int fd, std::string& error, std::uint64_t maxBytes, Room room) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errnoText(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        return -1;
    }
    const auto tooLarge = [&](std::uint64_t size) {
        error = "it is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB (" +
                std::to_string(size) + " bytes)";
        return -1LL;
    };
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        return tooLarge(static_cast<std::uint64_t>(st.st_size));
    }
    std::size_t size = static_cast<std::size_t>(st.st_size);
    char* bytes = room(size, 0);
    std::size_t done = 0;
    char probe[4096];
    while (true) {
        // Once the size the file had is read, a small read tells whether it
        // has grown since, before the buffer is grown (and copied) for it.
        const bool full = done == size;
        const ssize_t n = full ? ::read(fd, probe, sizeof probe)
                               : ::read(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errnoText(errno);
            return -1;
        }
        if (n == 0) {
            break;
        }
        if (full) {
            const auto got = static_cast<std::size_t>(n);
            if (done + got > maxBytes) {
                // The file grew past the limit while it was read.
                return tooLarge(maxBytes + 1);
            }
            size = static_cast<std::size_t>(std::min<std::uint64_t>(done + 65536, maxBytes));
            bytes = room(size, done);
            std::memcpy(bytes + done, probe, got);
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

// Reads the opened file (fd < 0: the open failed, errno says why) into a
// text, and closes it.
bool readAndClose(int fd, std::string& bytes, std::string& error, std::uint64_t maxBytes) {
    if (fd < 0) {
        error = errnoText(errno);
        return false;
    }
    bytes.clear();
    const long long done = readOpenedFile(fd, error, maxBytes, [&](std::size_t size, std::size_t) {
        bytes.resize(size);
        return bytes.data();
    });
    ::close(fd);
    if (done < 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(done));
    return true;
}

int openForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

int openForReadingAt(int folder, const std::string& name) {
    return ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace

bool readFileBytes(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes) {
    return readAndClose(openForReading(path), bytes, error, maxBytes);
}

bool readFileBytesAt(int folder, const std::string& name, std::string& bytes, std::string& error,
                     std::uint64_t maxBytes) {
    return readAndClose(openForReadingAt(folder, name), bytes, error, maxBytes);
}

char* FileBuffer::reserve(std::size_t size, std::size_t keep) {
    if (size + m_padding > m_capacity) {
        const std::size_t capacity = size + m_padding;
        // Not value-initialised: the read fills what is used.
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (keep > 0) {
            std::memcpy(grown.get(), m_bytes.get(), keep);
        }
        m_bytes = std::move(grown);
        m_capacity = capacity;
    }
    return m_bytes.get();
}

bool FileBuffer::readAndClose(int fd, std::string& error, std::uint64_t maxBytes) {
    m_size = 0;
    if (fd < 0) {
        error = errnoText(errno);
        return false;
    }
    const long long done = readOpenedFile(
        fd, error, maxBytes, [&](std::size_t size, std::size_t keep) { return reserve(size, keep); });
    ::close(fd);
    m_size = done < 0 ? 0 : static_cast<std::size_t>(done);
    if (m_bytes != nullptr) {
        std::memset(m_bytes.get() + m_size, 0, m_padding);
    }
    return done >= 0;
}

bool readFileBytes(const std::string& path, FileBuffer& buffer, std::string& error,
                   std::uint64_t maxBytes) {
    return buffer.readAndClose(openForReading(path), error, maxBytes);
}

bool readFileBytesAt(int folder, const std::string& name, FileBuffer& buffer, std::string& error,
                     std::uint64_t maxBytes) {
    return buffer.readAndClose(openForReadingAt(folder, name), error, maxBytes);
}

}  // namespace tarvel
