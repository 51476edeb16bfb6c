#include "support/Process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace orbik::test {

namespace {

// Spawns argv with standard output and error into a pipe; its read end in *out.
pid_t Spawn(const std::vector<std::string>& argv, int* out) {
    int fds[2];
    if (argv.empty() || pipe(fds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<std::string> copy = argv;
    std::vector<char*> args;
    for (auto& a : copy) args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    *out = fds[0];
    return pid;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv) {
    ProcessResult result;
    int out = -1;
    pid_t pid = Spawn(argv, &out);
    if (pid < 0) return result;
    char buffer[4096];
    ssize_t n;
    while ((n = read(out, buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<size_t>(n));
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    close(out);
    return result;
}

WatchedProcess RunProcessWhile(const std::vector<std::string>& argv,
                               const std::function<void()>& meanwhile, int limitMs) {
    using Clock = std::chrono::steady_clock;
    WatchedProcess result;
    int out = -1;
    pid_t pid = Spawn(argv, &out);
    if (pid < 0) return result;
    meanwhile();
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(limitMs);
    for (;;) {
        int left = int(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        pollfd p{out, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, left) <= 0) {
            result.killed = true;
            kill(pid, SIGKILL);
            break;
        }
        char buffer[4096];
        ssize_t n = read(out, buffer, sizeof buffer);
        if (n <= 0) break;
        result.output.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.secondsAfterMeanwhile = std::chrono::duration<double>(Clock::now() - start).count();
    result.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    close(out);
    return result;
}

}  // namespace orbik::test
