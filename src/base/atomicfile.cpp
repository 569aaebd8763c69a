#include "base/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <utility>

#include "base/paths.h"
#include "base/text.h"

namespace tarvel {

namespace {

constexpr std::string_view TEMP_PREFIX = ".tarvel-";
constexpr std::string_view TEMP_SUFFIX = ".tmp";
constexpr std::size_t TEMP_DIGITS = 12;
// A temporary file untouched for this long belongs to a run that ended
// without finishing it: a running write keeps touching its file.
constexpr std::time_t STALE_AFTER_SECONDS = 60;

std::string errnoText(int error) {
    return std::strerror(error);
}

// The name alone does not make a temporary file unique; the exclusive create
// that follows decides, and a name that is taken is drawn again.
std::string temporaryName() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string out(TEMP_PREFIX);
    for (std::size_t i = 0; i < TEMP_DIGITS; ++i) {
        out += digits[value & 0xF];
        value >>= 4;
    }
    out += TEMP_SUFFIX;
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

bool isHexDigits(std::string_view text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

bool isAsciiLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Older versions wrote "X.fsm.XXXXXX" and "X.fsm.bak.XXXXXX", six random
// letters and digits after the target's name. Six letters that read as a
// word ("backup", "BACKUP", "Before") are taken for a name the user chose.
bool isOldTemporaryName(std::string_view name) {
    constexpr std::size_t RANDOM = 6;
    if (name.size() <= RANDOM + 5) {
        return false;
    }
    const std::string_view random = name.substr(name.size() - RANDOM);
    const std::string before = upperAscii(name.substr(name.size() - RANDOM - 5, 5));
    if (before != ".FSM." && before != ".BAK.") {
        return false;
    }
    int lower = 0;
    int upper = 0;
    for (const char c : random) {
        if (!isAsciiLetterOrDigit(c)) {
            return false;
        }
        lower += c >= 'a' && c <= 'z';
        upper += c >= 'A' && c <= 'Z';
    }
    const int letters = lower + upper;
    const bool word = letters == static_cast<int>(RANDOM) &&
                      (lower == letters || upper == letters ||
                       (upper == 1 && random[0] >= 'A' && random[0] <= 'Z'));
    return !word;
}

// Removes the temporary files a killed run of this user left in the folder.
void sweepStaleTemporaries(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (entries == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return;
    }
    const uid_t user = ::geteuid();
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(entries)) {
        if (!isOwnTemporaryName(entry->d_name)) {
            continue;
        }
        struct stat file {};
        if (::fstatat(folder, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(file.st_mode) && file.st_uid == user &&
            now - file.st_mtime > STALE_AFTER_SECONDS) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

}  // namespace

bool isOwnTemporaryName(std::string_view name) {
    if (name.size() == TEMP_PREFIX.size() + TEMP_DIGITS + TEMP_SUFFIX.size() &&
        name.starts_with(TEMP_PREFIX) && name.ends_with(TEMP_SUFFIX) &&
        isHexDigits(name.substr(TEMP_PREFIX.size(), TEMP_DIGITS))) {
        return true;
    }
    return isOldTemporaryName(name);
}

std::string linkRefusal(const std::string& path, std::string& resolved) {
    resolved = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return {};
    }
    if (link.st_uid != ::geteuid()) {
        return path + " is a symbolic link of another user";
    }
    char target[PATH_MAX];
    if (::realpath(path.c_str(), target) == nullptr) {
        return path + " is a symbolic link that leads nowhere (" + errnoText(errno) + ")";
    }
    struct stat file {};
    if (::stat(target, &file) != 0 || !S_ISREG(file.st_mode)) {
        return path + " is a symbolic link to " + target + ", which is not a regular file";
    }
    if (::faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) != 0) {
        return path + " is a symbolic link to " + target + ", which you may not write";
    }
    resolved = target;
    return {};
}

// Where a staged file goes: an opened folder and a name in it.
struct AtomicFile::Target {
    int folder = -1;  // owned until handed to the AtomicFile
    std::string shownFolder;
    std::string name;
    bool privateFolder = false;  // nothing there may be followed or foreign
};

AtomicFile::~AtomicFile() {
    release();
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept {
    *this = std::move(other);
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        release();
        m_folder = std::exchange(other.m_folder, -1);
        m_shownFolder = std::move(other.m_shownFolder);
        m_name = std::move(other.m_name);
        m_temporary = std::exchange(other.m_temporary, {});
        m_failure = other.m_failure;
        m_error = std::move(other.m_error);
    }
    return *this;
}

void AtomicFile::release() {
    discard();
    if (m_folder >= 0) {
        ::close(m_folder);
        m_folder = -1;
    }
}

bool AtomicFile::fail(WriteFailure failure, std::string error) {
    m_failure = failure;
    m_error = std::move(error);
    return false;
}

bool AtomicFile::stage(const std::string& path, std::string_view bytes,
                       std::optional<unsigned> mode) {
    release();
    m_failure = WriteFailure::None;
    m_error.clear();
    std::string resolved;
    const std::string refusal = linkRefusal(path, resolved);
    if (!refusal.empty()) {
        return fail(WriteFailure::Refused, refusal);
    }
    Target target;
    target.name = GetFileName(resolved);
    target.shownFolder = GetDirectory(resolved);
    if (target.name.empty() || target.name == "." || target.name == "..") {
        return fail(WriteFailure::Failed, path + " is not a file name");
    }
    const std::string folder = target.shownFolder.empty() ? "." : target.shownFolder;
    target.folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (target.folder < 0) {
        return fail(WriteFailure::Failed,
                    "cannot open the folder of " + path + ": " + errnoText(errno));
    }
    return stageInto(std::move(target), bytes, mode);
}

bool AtomicFile::stageAt(int folder, const std::string& name, std::string_view bytes) {
    release();
    m_failure = WriteFailure::None;
    m_error.clear();
    Target target;
    target.name = name;
    target.privateFolder = true;
    target.folder = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (target.folder < 0) {
        return fail(WriteFailure::Failed,
                    "cannot use the folder of " + name + ": " + errnoText(errno));
    }
    return stageInto(std::move(target), bytes, std::nullopt);
}

bool AtomicFile::stageInto(Target target, std::string_view bytes, std::optional<unsigned> mode) {
    m_folder = target.folder;
    m_shownFolder = target.shownFolder;
    m_name = target.name;
    const std::string shown = m_shownFolder.empty() ? m_name : joinPath(m_shownFolder, m_name);

    // What is at the name now. A link that appeared since linkRefusal looked
    // would only be replaced by the rename, never written through.
    struct stat existing {};
    bool exists = ::fstatat(m_folder, m_name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        return fail(WriteFailure::Failed, "cannot inspect " + shown + ": " + errnoText(errno));
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return fail(WriteFailure::Failed, shown + " is a folder");
    }
    if (target.privateFolder && exists &&
        (!S_ISREG(existing.st_mode) || existing.st_uid != ::geteuid())) {
        return fail(WriteFailure::Refused, shown + " is not a file of yours");
    }
    exists = exists && S_ISREG(existing.st_mode);
    sweepStaleTemporaries(m_folder);

    // A file with a known mode starts private and gets its mode before any
    // byte is written; a new file with the default mode is created with it.
    const bool defaultMode = !exists && !mode;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        m_temporary = temporaryName();
        fd = ::openat(m_folder, m_temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      defaultMode ? 0666 : 0600);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const int saved = errno;
        m_temporary.clear();
        return fail(WriteFailure::Failed,
                    "cannot create a temporary file beside " + shown + ": " + errnoText(saved));
    }

    auto failWith = [&](const std::string& what) {
        const int saved = errno;
        ::close(fd);
        discard();
        return fail(WriteFailure::Failed, what + ": " + errnoText(saved));
    };
    if (exists) {
        // The replacement keeps the owner and group of the file it replaces
        // where the user may give them; the group alone is tried next.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            (void)::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
        }
    }
    if (!defaultMode) {
        const mode_t wanted = mode ? static_cast<mode_t>(*mode & 0777) : (existing.st_mode & 0777);
        if (::fchmod(fd, wanted) != 0) {
            return failWith("cannot set the permissions of the temporary file beside " + shown);
        }
    }
    if (!writeAll(fd, bytes)) {
        return failWith("cannot write " + shown);
    }
    if (::fsync(fd) != 0) {
        return failWith("cannot flush " + shown);
    }
    if (::close(fd) != 0) {
        const int saved = errno;
        discard();
        return fail(WriteFailure::Failed, "cannot write " + shown + ": " + errnoText(saved));
    }
    return true;
}

bool AtomicFile::commit() {
    if (m_temporary.empty()) {
        return fail(WriteFailure::Failed, m_error.empty() ? "nothing was staged" : m_error);
    }
    const std::string shown = m_shownFolder.empty() ? m_name : joinPath(m_shownFolder, m_name);
    if (::renameat(m_folder, m_temporary.c_str(), m_folder, m_name.c_str()) != 0) {
        const int saved = errno;
        discard();
        return fail(WriteFailure::Failed, "cannot replace " + shown + ": " + errnoText(saved));
    }
    m_temporary.clear();
    // Makes the rename survive a crash; a folder that cannot be flushed still
    // holds the new file, so a failure here is not reported.
    ::fsync(m_folder);
    return true;
}

void AtomicFile::discard() {
    if (!m_temporary.empty() && m_folder >= 0) {
        ::unlinkat(m_folder, m_temporary.c_str(), 0);
    }
    m_temporary.clear();
}

WriteResult WriteFilesAtomically(const std::vector<FileContent>& files) {
    std::vector<AtomicFile> staged(files.size());
    auto failed = [&](std::size_t i) {
        return WriteResult{staged[i].failure(), i, staged[i].error()};
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!staged[i].stage(files[i].path, files[i].bytes, files[i].mode)) {
            return failed(i);  // the files staged so far are removed
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!staged[i].commit()) {
            return failed(i);
        }
    }
    return {};
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         WriteFailure* failure) {
    const WriteResult result = WriteFilesAtomically({FileContent{path, bytes, std::nullopt}});
    error = result.error;
    if (failure != nullptr) {
        *failure = result.failure;
    }
    return result.ok();
}

bool WriteFileKeepingBackup(const std::string& path, const std::string& backup,
                            std::string_view bytes, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return WriteFileAtomically(path, bytes, error);
    }
    std::string previous;
    if (!readFileBytes(path, previous, error)) {
        error = "cannot read " + path + ": " + error;
        return false;
    }
    // The backup is renamed first: a run killed between the two renames
    // leaves the previous version twice, never without a copy of it.
    const WriteResult result = WriteFilesAtomically(
        {FileContent{backup, previous, st.st_mode & 0777}, FileContent{path, bytes, std::nullopt}});
    error = result.error;
    return result.ok();
}

bool WriteFileAtomicallyAt(int folder, const std::string& name, std::string_view bytes,
                           std::string& error) {
    AtomicFile file;
    if (file.stageAt(folder, name, bytes) && file.commit()) {
        return true;
    }
    error = file.error();
    return false;
}

}  // namespace tarvel
