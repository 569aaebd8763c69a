#include "check/compilerrun.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace tarvel {

namespace {

// Enough for every message a compiler gives on one module; the rest is dropped.
constexpr std::size_t OUTPUT_LIMIT = 4 * 1024 * 1024;

bool isExecutable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// The program's path: as given when it holds a "/", else the first match on PATH.
std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        const std::string candidate =
            (dir.empty() ? std::string(".") : std::string(dir)) + "/" + name;
        if (isExecutable(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        dirs.remove_prefix(colon + 1);
    }
}

// The parent's environment with the C locale's messages, built before the
// fork so that the child only calls what is safe after a fork.
std::vector<std::string> childEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string_view var(*e);
        if (var.starts_with("LC_ALL=") || var.starts_with("LC_MESSAGES=") ||
            var.starts_with("LANGUAGE=")) {
            continue;
        }
        env.emplace_back(var);
    }
    env.emplace_back("LC_ALL=C");
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    out.reserve(strings.size() + 1);
    for (std::string& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

}  // namespace

std::vector<std::string> splitCommand(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    std::size_t i = 0;
    while (i < command.size()) {
        const char c = command[i];
        if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t close = command.find('\'', i + 1);
            if (close == std::string_view::npos) {
                return {};
            }
            word += command.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (c == '"') {
            ++i;
            while (i < command.size() && command[i] != '"') {
                if (command[i] == '\\' && i + 1 < command.size() &&
                    (command[i + 1] == '"' || command[i + 1] == '\\')) {
                    ++i;
                }
                word += command[i++];
            }
            if (i == command.size()) {
                return {};
            }
            ++i;
            continue;
        }
        word += c;
        ++i;
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& folder,
                         std::chrono::seconds limit, const std::atomic<bool>* cancel) {
    ProcessResult result;
    if (argv.empty()) {
        result.error = "no program given";
        return result;
    }
    const std::string program = findProgram(argv.front());
    if (program.empty() || !isExecutable(program)) {
        result.error = std::strerror(ENOENT);
        return result;
    }
    std::vector<std::string> args = argv;
    std::vector<std::string> env = childEnvironment();
    std::vector<char*> argPointers = pointers(args);
    std::vector<char*> envPointers = pointers(env);

    int output[2];
    int failure[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        result.error = std::strerror(errno);
        return result;
    }
    if (::pipe2(failure, O_CLOEXEC) != 0) {
        result.error = std::strerror(errno);
        ::close(output[0]);
        ::close(output[1]);
        return result;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.error = std::strerror(errno);
        for (int fd : {output[0], output[1], failure[0], failure[1]}) {
            ::close(fd);
        }
        return result;
    }
    if (pid == 0) {
        // The child: its own process group (so that the compiler's own
        // children end with it), the folder, the pipes, then the program.
        ::setpgid(0, 0);
        int err = 0;
        const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (::chdir(folder.c_str()) != 0 || devNull < 0 || ::dup2(devNull, 0) < 0 ||
            ::dup2(output[1], 1) < 0 || ::dup2(output[1], 2) < 0) {
            err = errno;
        } else {
            ::execve(program.c_str(), argPointers.data(), envPointers.data());
            err = errno;
        }
        [[maybe_unused]] const ssize_t n = ::write(failure[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(output[1]);
    ::close(failure[1]);

    // An error number on the failure pipe means the program never started;
    // the pipe closes without data once it did.
    int err = 0;
    ssize_t got;
    do {
        got = ::read(failure[0], &err, sizeof err);
    } while (got < 0 && errno == EINTR);
    ::close(failure[0]);
    result.started = got != static_cast<ssize_t>(sizeof err);
    if (!result.started) {
        result.error = std::strerror(err);
    }

    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool timedOut = false;
    bool cancelled = false;
    char buffer[65536];
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (cancel != nullptr && cancel->load()) {
            cancelled = true;
            break;
        }
        // Awake now and then to see whether the run was cancelled.
        pollfd p{output[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready == 0) {
            continue;
        }
        if (ready < 0) {
            break;
        }
        const ssize_t n = ::read(output[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        if (result.output.size() < OUTPUT_LIMIT) {
            result.output.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(output[0]);
    if (timedOut || cancelled) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.started) {
        return result;
    }
    if (cancelled) {
        result.error = "it was stopped";
    } else if (timedOut) {
        result.error = "it did not finish within " + std::to_string(limit.count()) + " seconds";
    } else if (WIFSIGNALED(status)) {
        result.error = "it was ended by signal " + std::to_string(WTERMSIG(status));
    } else {
        result.finished = true;
        result.exitStatus = WEXITSTATUS(status);
    }
    return result;
}

}  // namespace tarvel
