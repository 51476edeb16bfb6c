#pragma once
// What the main window and the console share around a transfer: the port
// held for one operation, the job a memory image asks for, and the
// identify/run/end-of-connection sequence.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "link/Protocol.h"
#include "link/Transfer.h"

namespace orbik::link {

// Opens the port for one operation and closes it on every way out.
class PortGuard {
  public:
    // OpenPort; a failure is reported by the link ("Cannot open COMn").
    explicit PortGuard(DeviceLink& link) : link_(link), open_(link.OpenPort()) {}
    ~PortGuard() { link_.ClosePort(); }
    PortGuard(const PortGuard&) = delete;
    PortGuard& operator=(const PortGuard&) = delete;

    bool IsOpen() const { return open_; }

  private:
    DeviceLink& link_;
    bool open_;
};

// A memory image ready to send: the job, and whether it fills less than
// the memory space (the user is asked or told).
struct MemSendPlan {
    TransferJob job;
    bool shorterThanMemory = false;
};

inline const std::string kInvalidStartAddressMessage = "invalid start address";
inline const std::string kShorterThanMemoryQuestion = "memory shorter than memory space; continue?";

// Examines and checks a .mem file: header, start address, length. Fails
// with the reason ("... not found", "... is empty", kInvalidStartAddressMessage,
// "... does not fit ...") before anything touches the device.
std::optional<MemSendPlan> PlanMemSend(const std::filesystem::path& file, std::string* error);

// The sequence of every transfer on an open port: identify, `run` (the
// transfer dialog, or the console's loop; it gets whether the device
// answered), then end the connection.
void RunSession(DeviceLink& link, const std::function<void(bool found)>& run);

}  // namespace orbik::link
