// send, read-config, send-mem, read-mem: the transfer operations on the
// console, with a progress bar on a terminal. Ctrl-C stops between blocks.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "link/Protocol.h"
#include "link/Transfer.h"
#include "platform/Ini.h"

namespace orbik::cli {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

struct TransferArgs {
    std::string file;
    std::string port;
    bool keepVoice = false;
};

std::optional<TransferArgs> ParseArgs(const char* command, const Args& args, bool allowKeepVoice) {
    TransferArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port" && i + 1 < args.size()) {
            parsed.port = args[++i];
        } else if (a == "--keep-voice" && allowKeepVoice) {
            parsed.keepVoice = true;
        } else if (!a.empty() && a[0] != '-' && parsed.file.empty()) {
            parsed.file = a;
        } else {
            std::fprintf(stderr, "orbik-cli %s: unexpected argument '%s'\n", command, a.c_str());
            return std::nullopt;
        }
    }
    if (parsed.file.empty()) {
        std::fprintf(stderr, "orbik-cli %s: no FILE given (see orbik-cli %s --help)\n", command,
                     command);
        return std::nullopt;
    }
    // Without --port, the port of the installation in the working directory.
    if (parsed.port.empty())
        parsed.port = platform::ReadProfileString("orbik.ini", "Port", "Interface");
    return parsed;
}

// A bar that redraws in place on a terminal and prints every tenth on a pipe.
class ProgressBar {
  public:
    ProgressBar() : tty_(isatty(STDERR_FILENO)) {}
    ~ProgressBar() { EndLine(); }

    void Status(const std::string& text) {
        if (text == link::kDeletingMemoryText) {
            EndLine();
            std::fprintf(stderr, "%s...\n", text.c_str());
            return;
        }
        text_ = text;  // drawn with the percentage that follows
    }
    void Percent(int percent) {
        percent_ = percent;
        Draw();
    }
    void EndLine() {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
    }

  private:
    void Draw() {
        if (!tty_) {
            if (percent_ / 10 == lastTenth_) return;
            lastTenth_ = percent_ / 10;
            std::fprintf(stderr, "%3d%%  %s\n", percent_, text_.c_str());
            return;
        }
        constexpr int kWidth = 40;
        int filled = percent_ * kWidth / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%  %-24s", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), percent_, text_.c_str());
        std::fflush(stderr);
        drawn_ = true;
    }

    bool tty_;
    bool drawn_ = false;
    int percent_ = 0;
    int lastTenth_ = -1;
    std::string text_;
};

int RunJob(const char* command, const std::string& port, link::TransferJob job) {
    std::string error;
    if (link::IsSend(job.operation) && !link::CheckSendFile(job, &error)) {
        std::fprintf(stderr, "orbik-cli %s: %s\n", command, error.c_str());
        return 1;
    }
    link::DeviceLink device(port, [command](const std::string& message) {
        std::fprintf(stderr, "orbik-cli %s: %s\n", command, message.c_str());
    });
    device.InitRequests();
    if (!device.OpenPort()) return 1;
    if (!device.Identify()) {
        device.ClosePort();
        return 1;
    }
    std::fprintf(stderr, "ORBIK %s found (firmware %s, ID %s)\n", device.DeviceModel.c_str(),
                 device.FirmwareVersion.c_str(), device.DeviceID.c_str());

    interrupted = 0;
    struct sigaction action = {}, previous = {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, &previous);

    ProgressBar bar;
    link::TransferCallbacks callbacks;
    callbacks.status = [&](const std::string& text) { bar.Status(text); };
    callbacks.progress = [&](int percent) { bar.Percent(percent); };
    callbacks.processEvents = [&] {
        if (interrupted) device.AbortTransfer = true;
    };
    link::TransferOutcome outcome = link::RunTransfer(device, job, callbacks);
    bar.EndLine();
    sigaction(SIGINT, &previous, nullptr);
    device.Disconnect();
    device.ClosePort();

    switch (outcome.result) {
        case link::TransferResult::Complete:
            std::fprintf(stderr, "Transfer Complete\n");
            return 0;
        case link::TransferResult::Stopped:
            std::fprintf(stderr, "orbik-cli %s: transfer stopped\n", command);
            return 130;
        default:
            std::fprintf(stderr, "orbik-cli %s: %s\n", command, outcome.message.c_str());
            return 1;
    }
}

}  // namespace

int RunSend(const Args& args) {
    auto parsed = ParseArgs("send", args, true);
    if (!parsed) return 2;
    link::TransferJob job;
    job.fileName = parsed->file;
    job.operation = link::ConfigSendOperation(job.fileName);
    job.keepVoice = parsed->keepVoice;
    return RunJob("send", parsed->port, job);
}

int RunReadConfig(const Args& args) {
    auto parsed = ParseArgs("read-config", args, false);
    if (!parsed) return 2;
    link::TransferJob job;
    job.operation = link::Operation::ReadCim;
    job.fileName = parsed->file;
    return RunJob("read-config", parsed->port, job);
}

int RunSendMem(const Args& args) {
    auto parsed = ParseArgs("send-mem", args, false);
    if (!parsed) return 2;
    std::string error;
    auto image = link::ExamineMemImage(parsed->file, &error);
    if (!image) {
        std::fprintf(stderr, "orbik-cli send-mem: %s\n", error.c_str());
        return 1;
    }
    if (image->startAddress != link::kMemoryStart) {
        std::fprintf(stderr, "orbik-cli send-mem: %s: invalid start address\n",
                     parsed->file.c_str());
        return 1;
    }
    if (image->length < link::kMemorySize)
        std::fprintf(stderr, "memory shorter than memory space: sending %u bytes\n",
                     unsigned(image->length));
    link::TransferJob job;
    job.operation = link::Operation::TransMem;
    job.fileName = parsed->file;
    job.hasHeader = image->hasHeader;
    job.startAddress = image->startAddress;
    job.length = image->length;
    return RunJob("send-mem", parsed->port, job);
}

int RunReadMem(const Args& args) {
    auto parsed = ParseArgs("read-mem", args, false);
    if (!parsed) return 2;
    link::TransferJob job;
    job.operation = link::Operation::ReadMem;
    job.fileName = parsed->file;
    return RunJob("read-mem", parsed->port, job);
}

}  // namespace orbik::cli
