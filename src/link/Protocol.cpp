#include "link/Protocol.h"

#include <chrono>
#include <cstdio>

#include "platform/SerialPorts.h"

namespace orbik::link {

namespace {

struct RequestRecord {
    uint8_t code;
    uint8_t length;
    uint8_t slot;
    std::array<uint8_t, 4> fixed;  // payload bytes 1..4 preset by the table
};

// Parameters and data not listed here are filled by the operations.
constexpr std::array<RequestRecord, kRequestCount> kRequestTable = {{
    {0x80, 1, 0, {}},
    {0x81, 1, 0, {}},
    {0x82, 1, 0, {}},
    {0x90, 134, 1, {0, 0, 0, 0x80}},
    {0x91, 134, 1, {0, 0, 0, 0x80}},
    {0x92, 5, 2, {}},
    {0x93, 5, 2, {0, 0, 0, 0x80}},
    {0x94, 1, 0, {}},
    {0x95, 1, 0, {}},
    {0xA0, 1, 0, {}},
    {0xA1, 2, 0, {}},
    {0xA2, 2, 3, {}},
    {0xA4, 3, 0, {}},
    {0xA5, 2, 0, {0x02}},
    {0xA6, 4, 0, {0, 0, 0x02}},
    {0xA7, 1, 0, {}},
    {0xA8, 2, 0, {}},
    {0xA9, 1, 0, {}},
    {0xAA, 1, 3, {}},
    {0xB0, 5, 5, {}},
    {0xB1, 1, 4, {}},
    {0xB2, 1, 4, {}},
    {0xB3, 133, 4, {0, 0, 0x80}},
    {0xB4, 4, 6, {0, 0, 0x80}},
    {0xC0, 5, 7, {0x5A, 0x13, 0xC7, 0x2E}},
    {0xC1, 49, 0, {}},
    {0xC8, 1, 8, {}},
    {0xC9, 5, 0, {0x3D, 0x81, 0xE4, 0x69}},
}};

struct SlotRecord {
    uint8_t length;  // slot 2's is set per request
    uint8_t code;
};

constexpr std::array<SlotRecord, kReplySlotCount> kSlotTable = {{
    {4, 0x80},
    {2, 0x90},
    {0, 0x91},
    {4, 0xA0},
    {2, 0xB0},
    {6, 0xB1},
    {130, 0xB2},
    {55, 0xC0},
    {20, 0xC8},
}};

constexpr int kVariableSlot = 2;

}  // namespace

uint8_t ReplyCode(int slot) {
    return kSlotTable.at(static_cast<size_t>(slot)).code;
}

void SetAddress24(Request& request, uint32_t address) {
    platform::StoreBigEndian(address, 3, &request.payload[1]);
}

void SetAddress16(Request& request, uint16_t address) {
    platform::StoreBigEndian(address, 2, &request.payload[1]);
}

std::string VersionText(uint8_t modelByte, uint8_t minorByte) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X.%02X", modelByte, minorByte);
    return text;
}

std::string DeviceIdText(const uint8_t* sixBytes) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", sixBytes[0], sixBytes[1],
                  sixBytes[2], sixBytes[3], sixBytes[4], sixBytes[5]);
    return text;
}

std::string ConnectionLostMessage(const std::string& portName) {
    return "Connection to " + portName + " lost";
}

std::string ModelText(uint8_t modelByte) {
    std::string version = VersionText(modelByte, 0);
    if (version[0] == '8') return "duo/max";
    if (version[0] == '0') return "solo";
    char text[24];
    std::snprintf(text, sizeof text, "unknown (0x%02X)", modelByte);
    return text;
}

DeviceLink::DeviceLink(std::string portName, platform::Reporter report)
    : report_(std::move(report)) {
    SetPortName(std::move(portName));
    InitRequests();
}

DeviceLink::~DeviceLink() {
    ClosePort();
}

platform::Reporter DeviceLink::ReplaceReporter(platform::Reporter report) {
    std::swap(report, report_);
    return report;
}

void DeviceLink::SetPortName(std::string portName) {
    portName_ = std::move(portName);
    portNumber_ = platform::PortNumberFromName(portName_).value_or(-1);
}

void DeviceLink::InitRequests() {
    for (size_t i = 0; i < Requests.size(); ++i) {
        const RequestRecord& record = kRequestTable[i];
        Requests[i] = Request{};
        Requests[i].payload[0] = record.code;
        for (size_t k = 0; k < record.fixed.size(); ++k)
            Requests[i].payload[k + 1] = record.fixed[k];
        Requests[i].length = record.length;
        Requests[i].slot = record.slot;
    }
    for (size_t s = 0; s < Replies.size(); ++s) Replies[s].length = kSlotTable[s].length;
}

bool DeviceLink::OpenPort() {
    ConnectionLost = false;
    if (!PortHandle) PortHandle = COMnew();
    if (portNumber_ >= 0 && COMOpen(PortHandle, portNumber_, kBaudRate)) return true;
    COMdelete(PortHandle);
    PortHandle = nullptr;
    if (report_) report_(kCannotOpenMessage + portName_);
    return false;
}

void DeviceLink::ClosePort() {
    COMdelete(PortHandle);
}

bool DeviceLink::Exchange(int request, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    Request& r = Requests.at(static_cast<size_t>(request));
    ReplySlot& reply = Replies[r.slot];
    if (r.slot == kVariableSlot) {
        // More than one block would overrun the reply buffer.
        if (r.payload[4] > kBlockSize) return false;
        reply.length = static_cast<uint8_t>(r.payload[4] + 2);
    }
    const int length = reply.length;
    const auto start = Clock::now();
    reply.buffer[length - 1] = 0xFF;
    LastReplyLength = 0;
    if (!PortHandle || ConnectionLost) return false;

    // A reply that came after its time-out must not pass for the next one.
    uint8_t stale[256];
    while (COMReadData(PortHandle, stale, sizeof stale) > 0) {
    }
    uint8_t frameLength = r.length;
    COMSendData(PortHandle, &frameLength, 1);
    COMSendData(PortHandle, r.payload.data(), r.length);

    for (;;) {
        int waiting = COMReadDataWaiting(PortHandle);
        if (waiting < 0) {
            ConnectionLost = true;
            break;
        }
        if (waiting >= length) break;
        auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (elapsed >= timeoutMs) break;
        if (waitObserver) waitObserver(timeoutMs - static_cast<int>(elapsed));
    }
    if (waitObserver) waitObserver(-1);

    int got = COMReadData(PortHandle, reply.buffer.data(), length);
    LastReplyLength = got > 0 ? got : 0;
    if (got == length && reply.buffer[0] == kSlotTable[r.slot].code) return true;
    reply.buffer[length - 1] = 0xFF;
    return false;
}

bool DeviceLink::Identify() {
    if (!Exchange(kIdentifyRequest, kIdentifyTimeout)) {
        Connected = false;
        if (report_)
            report_(ConnectionLost ? ConnectionLostMessage(portName_) : kConnectionFailedMessage);
        return false;
    }
    Connected = true;
    const ReplySlot& identify = ReplyOf(kIdentifyRequest);
    // A model byte of neither family is shown, never an empty model.
    DeviceModel = ModelText(identify.buffer[1]);
    FirmwareVersion = VersionText(identify.buffer[1], identify.buffer[2]).substr(1);
    // The ID is taken whatever this answer.
    Exchange(kReadDeviceId, kDeviceIdTimeout);
    DeviceID = DeviceIdText(&ReplyOf(kReadDeviceId).buffer[1]);
    return true;
}

bool DeviceLink::Disconnect() {
    if (!Exchange(kEndRequest, kEndTimeout)) return false;
    Connected = false;
    return true;
}

}  // namespace orbik::link
