// Runs several commands in turn, round after round, so that every command
// sees the same machine load, and prints per command the median and the
// lowest wall time, the median processor time (user and system) and the
// median peak resident memory of its runs.
//
//   tarvel_alternate [--runs N] [--warmup N] [--quiet] -- CMD ARGS... -- CMD ARGS... [...]
//
// A command is started directly (no shell) with its output thrown away; a
// run that fails stops the measurement, so a broken command is never timed.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Command {
    std::vector<std::string> args;
    std::vector<double> millis;
    std::vector<double> cpuMillis;
    std::vector<long> peakKiB;
};

struct Sample {
    double millis = 0;
    double cpuMillis = 0;
    long peakKiB = 0;
};

double millisOf(const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; }

// One run of `args`; exits the program when it cannot be started or fails.
Sample runOnce(const std::vector<std::string>& args, bool quiet) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(errno));
        std::exit(2);
    }
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("wait4");
            std::exit(2);
        }
    }
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
        std::exit(2);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            millisOf(usage.ru_utime) + millisOf(usage.ru_stime), usage.ru_maxrss};
}

template <typename T>
T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 11;
    int warmup = 2;
    bool quiet = true;
    std::vector<Command> commands;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (a == "--warmup" && i + 1 < argc) {
            warmup = std::atoi(argv[++i]);
        } else if (a == "--show-output") {
            quiet = false;
        } else if (a == "--") {
            commands.emplace_back();
        } else if (!commands.empty()) {
            commands.back().args.push_back(a);
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--warmup N] -- CMD ARGS... [-- CMD ARGS...]\n",
                         argv[0]);
            return 2;
        }
    }
    std::erase_if(commands, [](const Command& c) { return c.args.empty(); });
    if (commands.empty() || runs < 1) {
        std::fprintf(stderr, "nothing to run\n");
        return 2;
    }
    for (int round = 0; round < warmup + runs; ++round) {
        for (Command& c : commands) {
            const Sample s = runOnce(c.args, quiet);
            if (round >= warmup) {
                c.millis.push_back(s.millis);
                c.cpuMillis.push_back(s.cpuMillis);
                c.peakKiB.push_back(s.peakKiB);
            }
        }
    }
    for (const Command& c : commands) {
        std::string line;
        for (const std::string& a : c.args) {
            line += (line.empty() ? "" : " ") + a;
        }
        std::printf("%9.2f ms median %9.2f ms lowest %9.2f ms cpu %8.1f MiB peak  %s\n",
                    median(c.millis), *std::min_element(c.millis.begin(), c.millis.end()),
                    median(c.cpuMillis), static_cast<double>(median(c.peakKiB)) / 1024.0,
                    line.c_str());
    }
    return 0;
}
