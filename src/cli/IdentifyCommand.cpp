// orbik-cli identify --port COMn: asks the device who it is.

#include <cstdio>

#include "cli/Commands.h"
#include "link/Protocol.h"

namespace orbik::cli {

int RunIdentify(const Args& args) {
    std::string port;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) {
            port = args[++i];
        } else {
            std::fprintf(stderr, "orbik-cli identify: unexpected argument '%s'\n", args[i].c_str());
            return 2;
        }
    }
    if (port.empty()) {
        std::fprintf(stderr, "usage: orbik-cli identify --port COMn\n");
        return 2;
    }
    link::DeviceLink device(
        port, [](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
    if (!device.OpenPort()) return 1;
    bool found = device.Identify();
    if (found) {
        std::printf("Model: %s\nFirmware version: %s\nDevice ID: %s\n", device.DeviceModel.c_str(),
                    device.FirmwareVersion.c_str(), device.DeviceID.c_str());
        device.Disconnect();
    }
    device.ClosePort();
    return found ? 0 : 1;
}

}  // namespace orbik::cli
