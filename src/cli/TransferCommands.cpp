// send, read-config, send-mem, read-mem: the transfer operations on the
// console, with a progress bar on a terminal. Ctrl-C stops between blocks.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/CtrlC.h"
#include "link/Protocol.h"
#include "link/Transfer.h"
#include "link/TransferSession.h"
#include "settings/Settings.h"

namespace orbik::cli {

namespace {

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

void Complain(const char* command, const std::string& message) {
    std::fprintf(stderr, "orbik-cli %s: %s\n", command, message.c_str());
}

int ExitStatus(const char* command, const link::TransferOutcome& outcome) {
    switch (outcome.result) {
        case link::TransferResult::Complete:
            std::fprintf(stderr, "Transfer Complete\n");
            if (!outcome.message.empty()) std::fprintf(stderr, "%s\n", outcome.message.c_str());
            return 0;
        case link::TransferResult::Stopped:
            Complain(command, "transfer stopped");
            return 130;
        default:
            Complain(command, outcome.message);
            return 1;
    }
}

int RunJob(const char* command, const std::string& port, const link::TransferJob& job) {
    std::string error;
    if (link::IsSend(job.operation) && !link::CheckSendFile(job, &error)) {
        Complain(command, error);
        return 1;
    }
    link::DeviceLink device(port, [command](const std::string& m) { Complain(command, m); });
    link::PortGuard guard(device);
    if (!guard.IsOpen()) return 1;

    int status = 1;
    link::RunSession(device, [&](bool found) {
        if (!found) return;
        std::fprintf(stderr, "ORBIK %s found (firmware %s, ID %s)\n", device.DeviceModel.c_str(),
                     device.FirmwareVersion.c_str(), device.DeviceID.c_str());
        CtrlCStops stops(device);

        ProgressBar bar;
        link::TransferCallbacks callbacks;
        callbacks.status = [&](const std::string& text) { bar.Status(text); };
        callbacks.progress = [&](int percent) { bar.Percent(percent); };
        callbacks.processEvents = stops.ProcessEvents();
        link::TransferOutcome outcome = link::RunTransfer(device, job, callbacks);
        bar.EndLine();
        status = ExitStatus(command, outcome);
    });
    return status;
}

}  // namespace

int RunSend(const Args& args) {
    auto parsed = ParseFileAndPort("send", args, {.keepVoice = true, .verify = true});
    if (!parsed) return 2;
    link::TransferJob job;
    job.fileName = parsed->file;
    job.operation = link::ConfigSendOperation(job.fileName);
    job.keepVoice = parsed->keepVoice;
    job.verify = parsed->verify;
    return RunJob("send", parsed->port, job);
}

int RunReadConfig(const Args& args) {
    auto parsed = ParseFileAndPort("read-config", args, {});
    if (!parsed) return 2;
    link::TransferJob job;
    job.operation = link::Operation::ReadCim;
    job.fileName = parsed->file;
    return RunJob("read-config", parsed->port, job);
}

int RunSendMem(const Args& args) {
    auto parsed = ParseFileAndPort("send-mem", args, {.verify = true});
    if (!parsed) return 2;
    std::string error;
    auto plan = link::PlanMemSend(parsed->file, &error);
    if (!plan) {
        Complain("send-mem", error);
        return 1;
    }
    if (plan->shorterThanMemory)
        std::fprintf(stderr, "memory shorter than memory space: sending %u bytes\n",
                     unsigned(plan->job.length));
    plan->job.verify = parsed->verify;
    return RunJob("send-mem", parsed->port, plan->job);
}

int RunReadMem(const Args& args) {
    auto parsed = ParseFileAndPort("read-mem", args, {});
    if (!parsed) return 2;
    link::TransferJob job;
    job.operation = link::Operation::ReadMem;
    job.fileName = parsed->file;
    return RunJob("read-mem", parsed->port, job);
}

std::optional<FileAndPort> ParseFileAndPort(const char* command, const Args& args,
                                            DeviceFlags allowed) {
    FileAndPort parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port" && i + 1 < args.size()) {
            parsed.port = args[++i];
        } else if (a == "--keep-voice" && allowed.keepVoice) {
            parsed.keepVoice = true;
        } else if (a == "--verify" && allowed.verify) {
            parsed.verify = true;
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
        parsed.port = settings::LoadSettings(std::filesystem::current_path()).portName;
    return parsed;
}

}  // namespace orbik::cli
