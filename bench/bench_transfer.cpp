// Sending a framed configuration image to the simulated device at the real
// line rate: the wall time against the wire time of the bytes exchanged,
// and the sender's processor time against its wall time.
//
// orbiksim is taken from the build tree beside this program, or from
// $ORBIKSIM.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "link/Protocol.h"
#include "link/Transfer.h"
#include "platform/Bytes.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using orbik::link::DeviceLink;

constexpr int kBaud = 57600;
constexpr double kBitsPerByte = 11;  // start, 8 data, parity, stop
constexpr int kPort = 7;

// orbiksim on its own ORBIK_COM_DIR for as long as the object lives.
class Simulator {
  public:
    explicit Simulator(const fs::path& dir) {
        fs::create_directories(dir / "com");
        setenv("ORBIK_COM_DIR", (dir / "com").c_str(), 1);
        std::string program = SimulatorPath();
        std::string port = std::to_string(kPort), baud = std::to_string(kBaud);
        std::string memory = (dir / "memory.bin").string();
        const char* argv[] = {program.c_str(), "--port",   port.c_str(),   "--baud",
                              baud.c_str(),    "--memory", memory.c_str(), nullptr};
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, const_cast<char**>(argv),
                        environ) != 0)
            throw std::runtime_error("cannot start " + program);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        std::string line;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') line += c;
        close(fds[0]);
        if (line.rfind("READY", 0) != 0) throw std::runtime_error("orbiksim did not start");
    }
    ~Simulator() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

  private:
    static std::string SimulatorPath() {
        if (const char* path = std::getenv("ORBIKSIM")) return path;
        return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" /
                "orbiksim" / "orbiksim")
            .string();
    }
    pid_t pid_ = -1;
};

std::string Frames(size_t configBytes) {
    std::string out;
    using namespace orbik::platform;
    for (size_t at = 0; at < configBytes; at += kBlockSize) {
        std::string data(kBlockSize, '\0');
        for (size_t i = 0; i < kBlockSize; ++i) data[i] = char((at + i) * 7 + i / 13);
        AppendBigEndian(out, uint32_t(at), kFrameAddressSize);
        out += data;
        out += char(XorChecksum(data));
    }
    return out;
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Run(benchmark::State& state, const fs::path& dir, size_t configBytes);

void BM_SendCif(benchmark::State& state) {
    const size_t configBytes = size_t(state.range(0)) * 1024;
    fs::path dir = fs::temp_directory_path() / ("orbik-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "image.cif", std::ios::binary) << Frames(configBytes);
    Run(state, dir, configBytes);
    fs::remove_all(dir);
}

void Run(benchmark::State& state, const fs::path& dir, size_t configBytes) {
    Simulator sim(dir);

    DeviceLink link("COM" + std::to_string(kPort), [](const std::string&) {});
    link.InitRequests();
    if (!link.OpenPort() || !link.Identify()) {
        state.SkipWithError("no device");
        return;
    }
    orbik::link::TransferJob job;
    job.fileName = dir / "image.cif";
    job.keepVoice = false;

    // Bytes on the wire (length byte, payload, reply): erase, identify and
    // device ID after it and at the end, one block write per frame.
    const double frames = double(configBytes / 128);
    const double bytes = (2 + 4) + 2 * ((2 + 4) + (6 + 55)) + frames * (1 + 134 + 2);
    const double wireSeconds = bytes * kBitsPerByte / kBaud;

    double ratio = 0, cpuShare = 0;
    for (auto _ : state) {
        double cpu0 = CpuSeconds();
        auto t0 = std::chrono::steady_clock::now();
        auto outcome = orbik::link::RunTransfer(link, job, {});
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        double cpu = CpuSeconds() - cpu0;
        if (outcome.result != orbik::link::TransferResult::Complete) {
            state.SkipWithError("transfer failed");
            break;
        }
        state.SetIterationTime(wall);
        ratio = wall / wireSeconds;
        cpuShare = cpu / wall;
    }
    state.counters["wire_s"] = wireSeconds;
    state.counters["time_per_wire"] = ratio;
    state.counters["cpu_share"] = cpuShare;
    link.Disconnect();
    link.ClosePort();
}

BENCHMARK(BM_SendCif)
    ->Arg(256)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
