#include "base/logs.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <thread>

#include "base/atomicfile.h"
#include "base/paths.h"
#include "base/text.h"

namespace tarvel {

namespace {

constexpr std::string_view RUN_LOG_NAME = "FSM.log";
constexpr std::string_view ERROR_LOG_NAME = "FSM_ERR.log";

std::string& errorFolder() {
    static std::string folder;
    return folder;
}

std::string& runLogOverride() {
    static std::string path;
    return path;
}

int& errorCount() {
    static int count = 0;
    return count;
}

std::string upperHex(unsigned long long value) {
    char buffer[20];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    return upperAscii(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

unsigned long long threadId() {
#if defined(__linux__)
    return static_cast<unsigned long long>(::syscall(SYS_gettid));
#else
    return std::hash<std::thread::id>{}(std::this_thread::get_id());
#endif
}

// Local date and time as "dd/mm/yyyy HH:MM:SS".
std::string now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
    char buffer[32];
    const std::size_t size = std::strftime(buffer, sizeof buffer, "%d/%m/%Y %H:%M:%S", &local);
    return std::string(buffer, size);
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir)
                                                        : std::string();
}

// Opens a log for appending. A symbolic link at the log's name is followed
// only under the rule of the atomic writer (the user's own link to a regular
// file the user may write); a FIFO or device is not a log.
int openLog(const std::string& path, std::string& error) {
    constexpr int flags = O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0 && errno == ELOOP) {
        std::string resolved;
        error = linkRefusal(path, resolved);
        if (!error.empty()) {
            return -1;
        }
        fd = ::open(resolved.c_str(), flags, 0666);
    }
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = path + " is not a regular file";
        return -1;
    }
    return fd;
}

// Appends one line with a single write, so lines of two processes appending to
// the same file do not interleave.
bool appendLine(const std::string& path, const std::string& line, std::string& error) {
    if (path.empty()) {
        error = "no folder for it is known";
        return false;
    }
    const int fd = openLog(path, error);
    if (fd < 0) {
        return false;
    }
    ssize_t written;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        error = path + ": " + std::strerror(errno);
    } else if (written != static_cast<ssize_t>(line.size())) {
        error = path + ": only part of the line was written";
    }
    ::close(fd);
    return error.empty();
}

// The one place where a lost log line is told, on standard error, with the
// message itself so that it is not lost entirely.
void reportLostLine(std::string_view log, const std::string& why, std::string_view message) {
    std::string text = std::string(program_invocation_short_name) + ": cannot write the " +
                       std::string(log) + " (" + escapeControlCharacters(why) +
                       "): " + std::string(message) + "\n";
    (void)!::write(STDERR_FILENO, text.data(), text.size());
}

}  // namespace

std::string RunLogPath() {
    if (!runLogOverride().empty()) {
        return runLogOverride();
    }
    // A relative XDG_STATE_HOME is invalid and ignored, like an unset one.
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string folder;
    if (state != nullptr && state[0] == '/') {
        folder = state;
    } else {
        const std::string home = homeFolder();
        if (home.empty()) {
            return {};
        }
        folder = home + "/.local/state";
    }
    return folder + "/tarvel/" + std::string(RUN_LOG_NAME);
}

void SetRunLogPath(std::string_view path) {
    runLogOverride() = std::string(path);
}

void SetErrorPath(std::string_view folder) {
    errorFolder() = std::string(folder);
}

const std::string& ErrorPath() {
    return errorFolder();
}

std::string ErrorLogPath() {
    std::string path = errorFolder();
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + std::string(ERROR_LOG_NAME);
}

void LogRun(std::string_view message) {
    const std::string path = RunLogPath();
    std::string line = "[" + upperHex(static_cast<unsigned long long>(::getpid())) + ":" +
                       upperHex(threadId()) + "|" + now() + "]:";
    line += escapeControlCharacters(message);
    line += CRLF;
    std::string error;
    if (appendLine(path, line, error)) {
        return;
    }
    // The state folder may not exist yet on a fresh account; it is private to
    // the user.
    const std::string folder = GetDirectory(path);
    if (!folder.empty() && !PathExists(folder) && MakePath(folder, 0700)) {
        error.clear();
        if (appendLine(path, line, error)) {
            return;
        }
    }
    // A run-log line that cannot be written is lost without a word, except
    // when a planted link was refused: that is worth telling, once.
    static bool refusalTold = false;
    if (!refusalTold && error.find("symbolic link") != std::string::npos) {
        refusalTold = true;
        reportLostLine("run log", error, escapeControlCharacters(message));
    }
}

void LogError(std::string_view message) {
    ++errorCount();
    const std::string escaped = escapeControlCharacters(message);
    std::string line = "[" + now() + "]:";
    line += escaped;
    line += CRLF;
    std::string error;
    if (!appendLine(ErrorLogPath(), line, error)) {
        reportLostLine("error log", error, escaped);
    }
    LogRun(message);
}

void DeleteRunLog() {
    const std::string path = RunLogPath();
    if (!path.empty()) {
        DeleteFile(path);
    }
}

int ErrorLogCount() {
    return errorCount();
}

}  // namespace tarvel
