#include "platform/SerialPorts.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/FileSystem.h"

namespace orbik::platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFamilies[] = {"ttyS", "ttyUSB", "ttyACM"};

bool NodeExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The kernel creates ttyS nodes whether or not a UART is there; its type
// file reads 0 (unknown) for the empty ones.
bool HasHardware(const SerialPortScheme& scheme, const std::string& family, int index) {
    if (family != "ttyS") return true;
    std::ifstream type(fs::path(scheme.sysDir) / ("ttyS" + std::to_string(index)) / "type");
    int value = 0;
    return type >> value && value != 0;
}

struct Port {
    int number;
    std::string path;
    bool real;
};

// Numbered like Wine: each family from index 0 up to its first missing node.
std::vector<Port> LinuxPorts(const SerialPortScheme& scheme) {
    std::vector<Port> ports;
    int number = 0;
    for (const std::string family : kFamilies) {
        for (int index = 0;; ++index) {
            fs::path node = fs::path(scheme.devDir) / (family + std::to_string(index));
            if (!NodeExists(node)) break;
            ports.push_back({++number, node.string(), HasHardware(scheme, family, index)});
        }
    }
    return ports;
}

std::vector<Port> DirectoryPorts(const SerialPortScheme& scheme) {
    std::vector<Port> ports;
    std::error_code ec;
    for (fs::directory_iterator it(scheme.comDir, ec), end; !ec && it != end; it.increment(ec)) {
        auto number = PortNumberFromName(it->path().filename().string());
        // A link left behind by a closed pseudo-terminal is no port.
        if (number && NodeExists(it->path())) ports.push_back({*number, it->path().string(), true});
    }
    std::sort(ports.begin(), ports.end(),
              [](const Port& a, const Port& b) { return a.number < b.number; });
    return ports;
}

std::vector<Port> Ports(const SerialPortScheme& scheme) {
    return scheme.comDir.empty() ? LinuxPorts(scheme) : DirectoryPorts(scheme);
}

}  // namespace

SerialPortScheme SerialPortScheme::FromEnvironment() {
    SerialPortScheme scheme;
    if (const char* dir = std::getenv("ORBIK_COM_DIR")) scheme.comDir = dir;
    return scheme;
}

std::optional<int> PortNumberFromName(std::string_view name) {
    if (name.size() < 4 || name.size() > 12 || !EqualsIgnoreCase(name.substr(0, 3), "COM"))
        return std::nullopt;
    int number = 0;
    auto digits = name.substr(3);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (number < 1) return std::nullopt;
    return number;
}

std::string PortName(int number) {
    return "COM" + std::to_string(number);
}

std::string DevicePathForPort(const SerialPortScheme& scheme, int number) {
    for (const auto& port : Ports(scheme))
        if (port.number == number) return port.path;
    return {};
}

void ListSerialPorts(const SerialPortScheme& scheme, std::vector<std::string>& list) {
    for (const auto& port : Ports(scheme)) {
        if (!port.real) continue;
        std::string name = PortName(port.number);
        if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
    }
}

}  // namespace orbik::platform
