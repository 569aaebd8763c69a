#include "base/logs.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <thread>

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

// Appends one line with a single write, so lines of two processes appending to
// the same file do not interleave.
bool appendLine(const std::string& path, const std::string& line) {
    if (path.empty()) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    ssize_t written;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    ::close(fd);
    return written == static_cast<ssize_t>(line.size());
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
    line += message;
    line += CRLF;
    if (appendLine(path, line)) {
        return;
    }
    // The state folder may not exist yet on a fresh account; it is private to
    // the user.
    const std::string folder = GetDirectory(path);
    if (!folder.empty() && !PathExists(folder) && MakePath(folder, 0700)) {
        appendLine(path, line);
    }
}

void LogError(std::string_view message) {
    ++errorCount();
    std::string line = "[" + now() + "]:";
    line += message;
    line += CRLF;
    appendLine(ErrorLogPath(), line);
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
