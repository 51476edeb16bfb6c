#pragma once
// Ctrl-C on the console during a block loop with the device.

#include <csignal>
#include <functional>

namespace orbik::link {
class DeviceLink;
}

namespace orbik::cli {

// While it lives, Ctrl-C asks the device link to stop between two blocks
// instead of ending the program; `ProcessEvents` is the loops' callback that
// passes the request on.
class CtrlCStops {
  public:
    explicit CtrlCStops(link::DeviceLink& device);
    ~CtrlCStops();
    CtrlCStops(const CtrlCStops&) = delete;
    CtrlCStops& operator=(const CtrlCStops&) = delete;

    std::function<void()> ProcessEvents() const;

  private:
    link::DeviceLink& device_;
    struct sigaction previous_ = {};
};

}  // namespace orbik::cli
