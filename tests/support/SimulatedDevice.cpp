#include "support/SimulatedDevice.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace orbik::test {

namespace {

constexpr int kStartTimeoutMs = 10000;

}  // namespace

SimulatedDevice::SimulatedDevice(SimulatedDeviceOptions options) : options_(std::move(options)) {
    if (const char* old = std::getenv("ORBIK_COM_DIR")) {
        hadComDir_ = true;
        oldComDir_ = old;
    }
    std::filesystem::create_directories(dir_ / "com");
    setenv("ORBIK_COM_DIR", (dir_ / "com").c_str(), 1);

    if (!options_.initialMemory.empty()) dir_.Write("memory.bin", options_.initialMemory);
    std::vector<std::string> args = {ORBIKSIM_PATH,
                                     "--port",
                                     std::to_string(options_.port),
                                     "--memory",
                                     (dir_ / "memory.bin").string(),
                                     "--firmware",
                                     (dir_ / "firmware.bin").string(),
                                     "--signal-memory",
                                     (dir_ / "signal.bin").string()};
    if (!options_.learnedSignal.empty()) {
        dir_.Write("learn.bin", options_.learnedSignal);
        args.insert(args.end(), {"--learn", (dir_ / "learn.bin").string()});
    }
    args.insert(args.end(), options_.args.begin(), options_.args.end());

    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    out_ = pipeFds[0];
    if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
    pid_ = pid;
    std::string line = ReadLine(kStartTimeoutMs);
    if (line.rfind("READY ", 0) != 0) {
        Stop();
        throw std::runtime_error("orbiksim did not get ready: " + line);
    }
}

SimulatedDevice::~SimulatedDevice() {
    if (Running()) Stop();
    if (out_ >= 0) close(out_);
    if (hadComDir_)
        setenv("ORBIK_COM_DIR", oldComDir_.c_str(), 1);
    else
        unsetenv("ORBIK_COM_DIR");
}

std::string SimulatedDevice::ReadLine(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return {};
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buffer[512];
        ssize_t n = read(out_, buffer, sizeof buffer);
        if (n <= 0) return {};
        pending_.append(buffer, static_cast<size_t>(n));
    }
}

void SimulatedDevice::Save() {
    if (!Running()) return;
    kill(pid_, SIGUSR1);
    for (std::string line = ReadLine(kStartTimeoutMs); line != "SAVED";
         line = ReadLine(kStartTimeoutMs))
        if (line.empty()) throw std::runtime_error("orbiksim did not save");
}

std::string SimulatedDevice::Stop() {
    if (!Running()) return {};
    kill(pid_, SIGTERM);
    std::string stats;
    for (std::string line = ReadLine(kStartTimeoutMs); !line.empty();
         line = ReadLine(kStartTimeoutMs))
        if (line.rfind("STATS", 0) == 0) stats = line;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return stats;
}

std::string SimulatedDevice::Memory(uint32_t address, size_t length) const {
    return dir_.Read("memory.bin").substr(address, length);
}

std::string SimulatedDevice::Firmware() const {
    return dir_.Read("firmware.bin");
}

std::string SimulatedDevice::SignalMemory() const {
    return dir_.Read("signal.bin");
}

}  // namespace orbik::test
