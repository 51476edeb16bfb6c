// learn-signal, play-signal, learn: one IR signal between a file and the device's
// signal memory, with the learning dialog's count-down on a terminal.
// Ctrl-C stops between two blocks; during the wait for a learned signal
// it ends the program.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/CtrlC.h"
#include "link/Learning.h"
#include "link/Protocol.h"
#include "link/TransferSession.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "settings/Settings.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"
#include "signals/SlotData.h"

namespace orbik::cli {

namespace {

void Complain(const char* command, const std::string& message) {
    std::fprintf(stderr, "orbik-cli %s: %s\n", command, message.c_str());
}

// The device's own words for a failure, alone on standard error.
int Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// The count-down redrawn in place on a terminal; on a pipe only every ten
// seconds, so a log stays short.
class StatusLine {
  public:
    StatusLine() : tty_(isatty(STDERR_FILENO)) {}
    ~StatusLine() { End(); }

    // Called once a second.
    void Show(const std::string& text) {
        if (tty_) {
            std::fprintf(stderr, "\r%-24s", text.c_str());
            std::fflush(stderr);
            drawn_ = true;
        } else if (shown_++ % 10 == 0) {
            std::fprintf(stderr, "%s\n", text.c_str());
        }
    }
    void End() {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
    }

  private:
    bool tty_;
    bool drawn_ = false;
    int shown_ = 0;
};

// Runs `operation` on an identified device; returns its exit status, 1
// when the port or the device fails.
int WithDevice(const char* command, const std::string& port,
               const std::function<int(link::DeviceLink&)>& operation) {
    link::DeviceLink device(port, [command](const std::string& m) { Complain(command, m); });
    link::PortGuard guard(device);
    if (!guard.IsOpen()) return 1;
    int status = 1;
    link::RunSession(device, [&](bool found) {
        if (found) status = operation(device);
    });
    return status;
}

// The block loops stop on Ctrl-C between two blocks. The wait for a learned
// signal cannot be stopped, so Ctrl-C ends the program there as usual.
link::LearningCallbacks StoppedByCtrlC(const CtrlCStops& stops) {
    link::LearningCallbacks callbacks;
    callbacks.processEvents = stops.ProcessEvents();
    return callbacks;
}

// The failures of a block loop; 0 for a complete one.
int TransferStatus(const char* command, link::SignalTransfer result) {
    switch (result) {
        case link::SignalTransfer::Complete:
            return 0;
        case link::SignalTransfer::Stopped:
            Complain(command, "stopped");
            return 130;
        case link::SignalTransfer::ConnectionLost:
            return Fail(link::kConnectionErrorMessage);
        case link::SignalTransfer::NoSignal:
            Complain(command, "ORBIK holds no learned signal");
            return 1;
        case link::SignalTransfer::TooLong:
            return Fail(link::kSignalTooLongMessage);
        case link::SignalTransfer::BadBlock:
            break;
    }
    Complain(command, "not a signal block");
    return 1;
}

// Learns a signal and reads it back, cut to its length; 0 or the exit
// status of the failure, which has been reported.
int LearnBlock(const char* command, link::DeviceLink& device, std::string* block) {
    std::fprintf(stderr, "Press the key of the other remote control now.\n");
    link::LearningCallbacks waiting;
    StatusLine line;
    waiting.status = [&](const std::string& text) { line.Show(text); };
    link::LearnResult learned = link::LearnSignal(device, waiting);
    line.End();
    if (learned != link::LearnResult::Learned) return Fail(link::LearnMessage(learned));
    CtrlCStops stops(device);
    return TransferStatus(command, link::ReadSignal(device, block, StoppedByCtrlC(stops)));
}

}  // namespace

int RunLearnSignal(const Args& args) {
    const char* command = "learn-signal";
    auto parsed = ParseFileAndPort(command, args);
    if (!parsed) return 2;
    // A destination that cannot be written fails before the user is asked
    // to press a key. The file is made only once the signal is there, so
    // a Ctrl-C during the wait leaves nothing behind.
    const std::filesystem::path file(parsed->file);
    platform::PendingFile out;
    std::string error;
    if (!out.Create(file, &error)) {
        Complain(command, "Cannot write " + error);
        return 1;
    }
    out.Discard();
    return WithDevice(command, parsed->port, [&](link::DeviceLink& device) {
        std::string block;
        if (int status = LearnBlock(command, device, &block); status != 0) return status;
        if (!out.Create(file, &error) || !out.Commit(block, &error)) {
            Complain(command, "Cannot write " + error);
            return 1;
        }
        std::fprintf(stderr, "Signal learned: %zu bytes\n", block.size());
        return 0;
    });
}

int RunLearn(const Args& args) {
    const char* command = "learn";
    std::vector<std::string> positional;
    std::string port, name;
    bool named = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) {
            port = args[++i];
        } else if (args[i] == "--name" && i + 1 < args.size()) {
            name = args[++i];
            named = true;
        } else if (!args[i].empty() && args[i][0] != '-' && positional.size() < 2) {
            positional.push_back(args[i]);
        } else {
            Complain(command, "unexpected argument '" + args[i] + "'");
            return 2;
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr,
                     "usage: orbik-cli learn CODEFILE BUTTON [--port COMn] [--name NAME]\n");
        return 2;
    }
    if (port.empty()) port = settings::LoadSettings(std::filesystem::current_path()).portName;
    const std::filesystem::path codeFile = positional[0];
    const std::string& button = positional[1];
    const int k = signals::SignalIndex(button);
    if (k < 0) {
        Complain(command, "no button named '" + button + "'");
        return 2;
    }
    // The file is read and checked before the device is asked.
    std::string bytes, unpacked, error;
    signals::SlotData slots;
    if (!platform::ReadWholeFile(codeFile, &bytes, signals::kMaxFileSize, &error)) {
        Complain(command, "Cannot read " + error);
        return 1;
    }
    bool packed = bytes.size() > signals::kFileNameSize &&
                  signals::IsPackedForm(uint8_t(bytes[signals::kFileNameSize]));
    if (packed ? !signals::UnpackIcp(bytes, &unpacked, &error) : (unpacked = bytes, false)) {
        Complain(command, platform::PathToMessage(codeFile) + ": " + error);
        return 1;
    }
    if (!signals::ReadSlotData(unpacked, &slots, &error)) {
        Complain(command, platform::PathToMessage(codeFile) + ": " + error);
        return 1;
    }
    const std::filesystem::path nameFile = signals::SignalNameFile(codeFile);
    signals::SignalNameList names = signals::ReadSignalNames(nameFile);

    return WithDevice(command, port, [&](link::DeviceLink& device) {
        std::string block;
        if (int status = LearnBlock(command, device, &block); status != 0) return status;
        // Both slots of the button carry the signal, as for a button
        // learned without a second signal.
        slots.slots[size_t(2 * k)] = block;
        slots.slots[size_t(2 * k + 1)] = block;
        std::string written;
        if (!signals::WriteUnpacked(slots, &written, &error)) return Fail(error);
        // Stored packed when it packs, else unpacked.
        std::string stored;
        if (!signals::PackIcp(written, &stored)) stored = written;
        if (named)
            names[size_t(k)] = name;
        else if (names[size_t(k)] == signals::kNotUsed)
            names[size_t(k)] = button;
        if (!platform::WriteFileAtomic(codeFile, stored, &error) ||
            !signals::WriteSignalNames(nameFile, names, &error)) {
            Complain(command, "Cannot write " + error);
            return 1;
        }
        std::fprintf(stderr, "%s learned: %zu bytes, %llu of %llu Bytes used\n", button.c_str(),
                     block.size(), static_cast<unsigned long long>(signals::BytesUsed(slots)),
                     static_cast<unsigned long long>(signals::kSignalMemoryCapacity));
        return 0;
    });
}

int RunPlaySignal(const Args& args) {
    const char* command = "play-signal";
    auto parsed = ParseFileAndPort(command, args);
    if (!parsed) return 2;
    const std::filesystem::path file = std::filesystem::path(parsed->file);
    const std::string name = platform::PathToMessage(file);
    std::string block, error;
    if (!platform::ReadWholeFile(file, &block, link::kMaxSignalBytes, &error)) {
        Complain(command, "Cannot read " + name + ": " + platform::ErrorReason(error));
        return 1;
    }
    // The device would play whatever its memory holds after a block that
    // is cut short; refuse anything but one whole block.
    if (block.size() < link::kSignalHeadBytes || link::SignalBlockLength(block) != block.size()) {
        Complain(command, name + " is not a signal block (" + std::to_string(block.size()) +
                              " bytes, its count says " +
                              std::to_string(link::SignalBlockLength(block)) + ")");
        return 1;
    }
    return WithDevice(command, parsed->port, [&](link::DeviceLink& device) {
        CtrlCStops stops(device);
        int status =
            TransferStatus(command, link::WriteSignal(device, block, StoppedByCtrlC(stops)));
        if (status != 0) return status;
        if (!link::PlaySignal(device))
            return Fail(device.ConnectionLost ? link::kConnectionErrorMessage
                                              : link::kLearnTimeoutMessage);
        std::fprintf(stderr, "Signal sent: %zu bytes\n", block.size());
        return 0;
    });
}

}  // namespace orbik::cli
