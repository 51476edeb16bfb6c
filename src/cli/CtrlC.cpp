#include "cli/CtrlC.h"

#include "link/Protocol.h"

namespace orbik::cli {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

}  // namespace

CtrlCStops::CtrlCStops(link::DeviceLink& device) : device_(device) {
    interrupted = 0;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, &previous_);
}

CtrlCStops::~CtrlCStops() {
    sigaction(SIGINT, &previous_, nullptr);
}

std::function<void()> CtrlCStops::ProcessEvents() const {
    link::DeviceLink* device = &device_;
    return [device] {
        if (interrupted) device->AbortTransfer = true;
    };
}

}  // namespace orbik::cli
