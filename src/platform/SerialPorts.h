#pragma once
// COMn names for serial ports. With ORBIK_COM_DIR set, that folder's
// entries named COM<n> (links to a tty or pty) are the ports, and the only
// ones. Otherwise the numbering is the one Wine uses: /dev/ttyS<i>, then
// /dev/ttyUSB<i>, then /dev/ttyACM<i>, each family counted from 0 up to its
// first missing index, numbered COM1, COM2, ... in that order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::platform {

struct SerialPortScheme {
    std::string comDir;                     // ORBIK_COM_DIR; empty when unset
    std::string devDir = "/dev";            // where the tty nodes live
    std::string sysDir = "/sys/class/tty";  // tells which ttyS nodes have hardware

    static SerialPortScheme FromEnvironment();
};

// "COM12" -> 12. Anything that is not "COM" followed by decimal digits
// (the empty name included) has no number.
std::optional<int> PortNumberFromName(std::string_view name);
std::string PortName(int number);

// Device file behind COM<number>; empty when there is none.
std::string DevicePathForPort(const SerialPortScheme& scheme, int number);

// Appends the COMn names of the ports present (with a device behind them)
// that are not yet in the list, in COM number order.
void ListSerialPorts(const SerialPortScheme& scheme, std::vector<std::string>& list);

}  // namespace orbik::platform
