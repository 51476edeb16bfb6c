// orbiksim: the device on a pseudo-terminal. It publishes the terminal as
// COM<n> in ORBIK_COM_DIR, prints "READY <path>" once it listens, and
// answers requests until SIGTERM or SIGINT. SIGUSR1 saves its files and
// prints "SAVED". On exit it saves and prints one STATS line.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "SimDevice.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

volatile sig_atomic_t quitRequested = 0;
volatile sig_atomic_t saveRequested = 0;

void OnSignal(int signal) {
    if (signal == SIGUSR1)
        saveRequested = 1;
    else
        quitRequested = 1;
}

struct Options {
    int port = 1;
    long baud = 0;
    unsigned long seed = 1;
    std::string memoryFile, firmwareFile, signalFile, learnFile, requestLog;
    bool verbose = false;
};

const char* kUsage =
    "usage: orbiksim [options]\n"
    "  --port N              publish as COM<N> in $ORBIK_COM_DIR (default 1)\n"
    "  --identify B0,B1,B2,B3  identify reply bytes in hex (default 80,83,04,00)\n"
    "  --device-id HEX       device ID, 12 hex digits (default 0123456789AB)\n"
    "  --baud N              delay each reply by the wire time of request and reply\n"
    "                        at 11 bits per byte; 0 = no delay (default)\n"
    "  --nak-rate P          share of block writes answered 'send again'\n"
    "  --drop-rate P         share of block replies lost\n"
    "  --corrupt-rate P      share of replies (of every request) with a parity error\n"
    "                        in one byte; as the PC's port would, the byte is then\n"
    "                        dropped (IGNPAR set), read as 0x00 (INPCK alone) or\n"
    "                        passed on damaged (no parity check)\n"
    "  --bitflip-rate P      share of block replies with one data bit flipped after\n"
    "                        the code, which no parity check sees\n"
    "  --seed N              seed of the faults (default 1)\n"
    "  --short-reply CODE    answer request CODE (hex) one byte short\n"
    "  --no-reply CODE       never answer request CODE (hex)\n"
    "  --learn-status N      status of the learn reply (default 0, learned)\n"
    "  --learn FILE          the signal that learning stores (a file longer than\n"
    "                        8190 bytes is refused as too long when learned)\n"
    "  --learn-count N       learn a pattern signal of count N: N x 8 + 8 bytes\n"
    "                        (default 20; above 1022 it is too long)\n"
    "  --learn-result R      how every learn request ends: learned (default),\n"
    "                        too-long, timeout (no reply) or wrong-reply (a reply\n"
    "                        with another request's code)\n"
    "  --memory FILE         4 MiB memory: loaded at start when present, saved\n"
    "  --firmware FILE       the received firmware, decoded, saved\n"
    "  --signal-memory FILE  64 KiB signal memory: loaded when present, saved\n"
    "  --request-log FILE    write the code of each request, in hex, one a line\n"
    "  --verbose             log each request on standard error\n";

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    std::string digits;
    for (char c : text)
        if (c != ',' && c != ' ' && c != ':') digits += c;
    if (digits.empty() || digits.size() % 2 != 0) return false;
    for (size_t i = 0; i < digits.size(); i += 2) {
        char* end = nullptr;
        std::string pair = digits.substr(i, 2);
        long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0') return false;
        bytes->push_back(static_cast<uint8_t>(value));
    }
    return true;
}

bool ParseArgs(int argc, char** argv, Options* o, orbiksim::SimDevice* device) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--verbose") {
            o->verbose = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "orbiksim: %s needs a value\n", arg.c_str());
            return false;
        }
        std::string value = argv[++i];
        std::vector<uint8_t> bytes;
        if (arg == "--port") {
            o->port = std::atoi(value.c_str());
        } else if (arg == "--identify") {
            if (!ParseHexBytes(value, &bytes) || bytes.size() != 4) return false;
            device->identifyReply = bytes;
        } else if (arg == "--device-id") {
            if (!ParseHexBytes(value, &bytes) || bytes.size() != 6) return false;
            device->deviceId = bytes;
        } else if (arg == "--baud") {
            o->baud = std::atol(value.c_str());
        } else if (arg == "--nak-rate") {
            device->faults.nakRate = std::atof(value.c_str());
        } else if (arg == "--drop-rate") {
            device->faults.dropRate = std::atof(value.c_str());
        } else if (arg == "--corrupt-rate") {
            device->faults.corruptRate = std::atof(value.c_str());
        } else if (arg == "--bitflip-rate") {
            device->faults.bitflipRate = std::atof(value.c_str());
        } else if (arg == "--request-log") {
            o->requestLog = value;
        } else if (arg == "--seed") {
            o->seed = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--short-reply") {
            device->faults.shortReply.push_back(
                static_cast<int>(std::strtol(value.c_str(), nullptr, 16)));
        } else if (arg == "--no-reply") {
            device->faults.noReply.push_back(
                static_cast<int>(std::strtol(value.c_str(), nullptr, 16)));
        } else if (arg == "--learn-status") {
            device->learnStatus = static_cast<uint8_t>(std::atoi(value.c_str()));
        } else if (arg == "--learn-count") {
            long count = std::atol(value.c_str());
            if (count < 0 || count > 0xFFFF) return false;
            device->learnedSignal = orbiksim::SampleSignal(static_cast<uint16_t>(count));
        } else if (arg == "--learn-result") {
            if (value == "learned")
                device->learnOutcome = orbiksim::LearnOutcome::Learned;
            else if (value == "too-long")
                device->learnOutcome = orbiksim::LearnOutcome::TooLong;
            else if (value == "timeout")
                device->learnOutcome = orbiksim::LearnOutcome::Timeout;
            else if (value == "wrong-reply")
                device->learnOutcome = orbiksim::LearnOutcome::WrongReply;
            else
                return false;
        } else if (arg == "--learn") {
            o->learnFile = value;
        } else if (arg == "--memory") {
            o->memoryFile = value;
        } else if (arg == "--firmware") {
            o->firmwareFile = value;
        } else if (arg == "--signal-memory") {
            o->signalFile = value;
        } else {
            std::fprintf(stderr, "orbiksim: unknown option %s\n", arg.c_str());
            return false;
        }
    }
    return o->port > 0;
}

// The whole file, or false with the system's reason: a read error or a
// size other than the one the system reports never passes for a shorter file.
bool ReadFile(const std::string& path, std::size_t maxSize, std::vector<uint8_t>* bytes,
              int* reason) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    *reason = fd < 0 || fstat(fd, &st) != 0       ? errno
              : !S_ISREG(st.st_mode)              ? EINVAL
              : std::size_t(st.st_size) > maxSize ? EFBIG
                                                  : 0;
    std::size_t got = 0;
    if (*reason == 0) bytes->assign(std::size_t(st.st_size) + 1, 0);
    while (*reason == 0 && got < bytes->size()) {
        ssize_t n = read(fd, bytes->data() + got, bytes->size() - got);
        if (n < 0 && errno != EINTR) *reason = errno;
        if (n == 0) break;
        if (n > 0) got += std::size_t(n);
    }
    if (fd >= 0) close(fd);
    if (*reason == 0 && got != std::size_t(st.st_size)) *reason = EIO;
    if (*reason != 0) return false;
    bytes->resize(got);
    return true;
}

// Loads a file into the start of `target`, keeping the rest. A missing
// file is an erased device; one that cannot be read stops the start, as
// saving over it at the end would lose it.
bool Load(const std::string& path, std::vector<uint8_t>& target) {
    std::vector<uint8_t> bytes;
    int reason = 0;
    if (path.empty()) return true;
    if (!ReadFile(path, target.size(), &bytes, &reason)) {
        if (reason == ENOENT) return true;
        std::fprintf(stderr, "orbiksim: cannot read %s: %s\n", path.c_str(), std::strerror(reason));
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), target.begin());
    return true;
}

// Written beside and renamed, so a reader never sees half a file.
void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty()) return;
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "orbiksim: cannot write %s\n", path.c_str());
            return;
        }
    }
    std::rename(temporary.c_str(), path.c_str());
}

void SaveAll(const Options& o, const orbiksim::SimDevice& device) {
    Save(o.memoryFile, device.memory);
    Save(o.signalFile, device.signalMemory);
    auto firmware = device.DecodedFirmware();
    if (!firmware.empty()) Save(o.firmwareFile, firmware);
}

int OpenTerminal(std::string* slavePath) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
    *slavePath = ptsname(master);
    // Raw from the start, so nothing is echoed back before a program sets
    // the line up.
    int slave = open(slavePath->c_str(), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios tio{};
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
        close(slave);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

std::string Publish(int port, const std::string& slavePath) {
    const char* dir = std::getenv("ORBIK_COM_DIR");
    if (!dir || !*dir) return {};
    fs::path link = fs::path(dir) / ("COM" + std::to_string(port));
    std::error_code ec;
    fs::remove(link, ec);
    fs::create_symlink(slavePath, link, ec);
    if (ec) {
        std::fprintf(stderr, "orbiksim: cannot create %s: %s\n", link.c_str(),
                     ec.message().c_str());
        return {};
    }
    return link.string();
}

// The settings the program gave its end of the line decide what its port
// makes of a byte with a parity error (a pseudo-terminal reports them on
// this end too).
orbiksim::DamagedByte DamagedByteOnLine(int master) {
    termios tio{};
    if (tcgetattr(master, &tio) != 0 || !(tio.c_iflag & INPCK)) return orbiksim::DamagedByte::Kept;
    return (tio.c_iflag & IGNPAR) ? orbiksim::DamagedByte::Dropped
                                  : orbiksim::DamagedByte::ReadAsZero;
}

void WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 100) <= 0) return;  // nobody reads: the reply is lost
        } else {
            return;
        }
    }
}

// Frames arrive as a length byte and that many payload bytes. A frame left
// unfinished for a second is dropped, so the next one is read cleanly.
class FrameReader {
  public:
    // Appends received bytes; returns complete payloads.
    std::vector<std::vector<uint8_t>> Add(const uint8_t* data, size_t n, Clock::time_point now) {
        std::vector<std::vector<uint8_t>> frames;
        if (!pending_.empty() && now - started_ > std::chrono::seconds(1)) pending_.clear();
        for (size_t i = 0; i < n; ++i) {
            if (pending_.empty()) {
                if (data[i] == 0) continue;
                started_ = now;
            }
            pending_.push_back(data[i]);
            if (pending_.size() == static_cast<size_t>(pending_[0]) + 1) {
                frames.emplace_back(pending_.begin() + 1, pending_.end());
                frameStart.push_back(started_);
                pending_.clear();
            }
        }
        return frames;
    }
    std::vector<Clock::time_point> frameStart;

  private:
    std::vector<uint8_t> pending_;
    Clock::time_point started_;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    orbiksim::SimDevice device;
    if (!ParseArgs(argc, argv, &options, &device)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    device.random.seed(options.seed);
    if (!Load(options.memoryFile, device.memory) || !Load(options.signalFile, device.signalMemory))
        return 2;
    int reason = 0;
    if (!options.learnFile.empty() &&
        !ReadFile(options.learnFile, device.signalMemory.size(), &device.learnedSignal, &reason)) {
        std::fprintf(stderr, "orbiksim: cannot read %s: %s\n", options.learnFile.c_str(),
                     std::strerror(reason));
        return 2;
    }

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGUSR1, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::string slavePath;
    int master = OpenTerminal(&slavePath);
    if (master < 0) {
        std::perror("orbiksim: pseudo-terminal");
        return 1;
    }
    std::string link = Publish(options.port, slavePath);
    std::printf("READY %s\n", slavePath.c_str());
    std::fflush(stdout);

    FILE* requestLog = nullptr;
    if (!options.requestLog.empty() &&
        !(requestLog = std::fopen(options.requestLog.c_str(), "w"))) {
        std::fprintf(stderr, "orbiksim: cannot write %s\n", options.requestLog.c_str());
        return 2;
    }

    FrameReader reader;
    long bytesIn = 0, bytesOut = 0;
    while (!quitRequested) {
        if (saveRequested) {
            saveRequested = 0;
            SaveAll(options, device);
            std::printf("SAVED\n");
            std::fflush(stdout);
        }
        pollfd p{master, POLLIN, 0};
        int ready = poll(&p, 1, 100);
        if (ready <= 0) continue;
        if (!(p.revents & POLLIN)) {
            // No program has the port open: wait for the next one.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        uint8_t buffer[4096];
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) continue;
        bytesIn += n;
        reader.frameStart.clear();
        auto frames = reader.Add(buffer, static_cast<size_t>(n), Clock::now());
        for (size_t i = 0; i < frames.size(); ++i) {
            device.damagedByte = DamagedByteOnLine(master);
            auto reply = device.Handle(frames[i]);
            if (requestLog) {
                std::fprintf(requestLog, "%02X\n", frames[i][0]);
                std::fflush(requestLog);
            }
            if (options.verbose)
                std::fprintf(stderr, "orbiksim: request 0x%02X, %zu bytes, %s\n", frames[i][0],
                             frames[i].size(), reply ? "answered" : "no answer");
            if (!reply) continue;
            if (options.baud > 0) {
                // The bytes of request and reply on the wire, 11 bits each.
                double bits = 11.0 * static_cast<double>(1 + frames[i].size() + reply->size());
                auto due = reader.frameStart[i] +
                           std::chrono::microseconds(static_cast<long>(bits * 1e6 / options.baud));
                std::this_thread::sleep_until(due);
            }
            WriteAll(master, *reply);
            bytesOut += static_cast<long>(reply->size());
            if (device.endedConnection) SaveAll(options, device);
        }
    }

    SaveAll(options, device);
    const auto& s = device.stats;
    std::printf(
        "STATS requests=%ld naks=%ld drops=%ld corrupts=%ld resends=%ld resend_mismatches=%ld "
        "plays=%ld bytes_in=%ld bytes_out=%ld\n",
        s.requests, s.naks, s.drops, s.corrupts, s.resends, s.resendMismatches, s.plays, bytesIn,
        bytesOut);
    std::fflush(stdout);
    if (!link.empty()) {
        std::error_code ec;
        fs::remove(link, ec);
    }
    if (requestLog) std::fclose(requestLog);
    close(master);
    return 0;
}
