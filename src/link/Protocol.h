#pragma once
// The request/reply protocol with the device: the request table, the reply
// slots, one routine that performs a request (Exchange) and the steps
// around every operation (OpenPort, Identify, Disconnect, ClosePort).
//
// The link state belongs to one DeviceLink object that its owner (the main
// window, the console command, a test) creates and hands down.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "link/port/Serial.h"
#include "platform/Bytes.h"
#include "platform/Text.h"

namespace orbik::link {

constexpr int kBaudRate = 57600;
constexpr int kRequestCount = 28;
constexpr int kReplySlotCount = 9;
constexpr int kMaxPayload = 134;
constexpr int kReplyBufferSize = 130;
using platform::kBlockSize;
using platform::XorChecksum;

// Request numbers (indices into DeviceLink::Requests) of the requests this
// system sends.
enum RequestNumber : int {
    kIdentifyRequest = 0,    // 0x80
    kEndRequest = 1,         // 0x81
    kWriteMemoryBlock = 3,   // 0x90 A24 count data[128] checksum
    kWriteConfigBlock = 4,   // 0x91 A24 0x80 data[128] checksum
    kReadMemoryBlock = 5,    // 0x92 A24 count        -> slot 2
    kReadConfigBlock = 6,    // 0x93 A24 0x80         -> slot 2
    kEraseMemory = 7,        // 0x94
    kEraseKeepVoice = 8,     // 0x95
    kLearnSignal = 20,       // 0xB1
    kPlaySignal = 21,        // 0xB2
    kWriteSignalBlock = 22,  // 0xB3 A16 0x80 data[128] checksum
    kReadSignalBlock = 23,   // 0xB4 A16 0x80         -> slot 6
    kReadDeviceId = 24,      // 0xC0 5A 13 C7 2E      -> slot 7
};

// Time-outs of the requests, in ms.
constexpr int kIdentifyTimeout = 3000;
constexpr int kEndTimeout = 500;
constexpr int kBlockTimeout = 3000;           // 0x90, 0x92, 0x93; 0x91 in trans_cif
constexpr int kRawConfigBlockTimeout = 1000;  // 0x91 in trans_cim
constexpr int kEraseTimeout = 60000;
constexpr int kLearnTimeout = 50000;
constexpr int kPlayTimeout = 6000;
constexpr int kSignalBlockTimeout = 2000;
constexpr int kDeviceIdTimeout = 1000;

struct Request {
    std::array<uint8_t, kMaxPayload> payload{};  // payload[0] is the request code
    uint8_t length = 0;                          // bytes of payload sent
    uint8_t slot = 0;                            // reply slot
};

struct ReplySlot {
    std::array<uint8_t, kReplyBufferSize> buffer{};  // buffer[0] is the reply code
    uint8_t length = 0;                              // expected reply length
};

// The reply code that byte 0 of each slot's reply carries.
uint8_t ReplyCode(int slot);

// The three address bytes of a block request (payload bytes 1..3), big-endian.
void SetAddress24(Request& request, uint32_t address);
// The two address bytes of a signal block request (payload bytes 1..2).
void SetAddress16(Request& request, uint16_t address);

// Text forms of the identify and device ID replies.
// Bytes 0x83, 0x04 -> "83.04".
std::string VersionText(uint8_t modelByte, uint8_t minorByte);
// Six bytes -> three big-endian words as 12 upper-case hex digits.
std::string DeviceIdText(const uint8_t* sixBytes);

// Messages shown to the user through the reporter.
inline const std::string kCannotOpenMessage = "Cannot open ";
inline const std::string kConnectionFailedMessage =
    "Connection to ORBIK failed! Please check connection and make sure ORBIK is in Standby.";
// "Connection to COM3 lost": the line hung up or failed during an operation.
std::string ConnectionLostMessage(const std::string& portName);

// The model that an identify reply names: "duo/max" when the version text
// begins with "8", "solo" when it begins with "0", else "unknown (0x13)"
// with the model byte.
std::string ModelText(uint8_t modelByte);

// Called at every poll while Exchange waits, with the ms left; called once
// with -1 when the wait is over (restore the cursor). Only the learning
// dialog sets it, while it is open and active.
using WaitObserver = std::function<void(int msLeft)>;

class DeviceLink {
  public:
    // portName is the settings' port ("COM3"); report shows the messages
    // that the windows put in boxes and the console prints.
    DeviceLink(std::string portName, platform::Reporter report);
    ~DeviceLink();  // closes the port
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // The settings' port changed. A name that is not COM<digits> has no
    // number, and opening it fails with "Cannot open " + name.
    void SetPortName(std::string portName);
    // Where the messages go from now on; returns where they went before
    // (a window that shows failures in place mutes them for a while).
    platform::Reporter ReplaceReporter(platform::Reporter report);
    const std::string& PortName() const { return portName_; }

    // Fills Requests and the fixed reply lengths.
    void InitRequests();
    // Creates the handle when there is none and opens the port. On failure
    // forgets the handle, reports "Cannot open " + port name, false.
    bool OpenPort();
    // Closes the port (COMdelete); the handle stays for the next OpenPort.
    void ClosePort();
    // Performs request `request`; true when the full reply arrived within
    // timeoutMs and starts with its slot's reply code. On false the slot's
    // last expected byte is 0xFF, so a stale status or checksum never shows.
    // A lost line ends the wait at once and sets ConnectionLost.
    bool Exchange(int request, int timeoutMs);
    // Identify and read the device ID; sets Connected, DeviceModel,
    // FirmwareVersion and DeviceID. Reports the connection message on failure.
    bool Identify();
    // Ends the connection; Connected := false when the device answered.
    bool Disconnect();

    // Requests[n] and the slot that its reply lands in.
    ReplySlot& ReplyOf(int request) { return Replies[Requests[request].slot]; }

    // Link state.
    ComHandle PortHandle = nullptr;
    bool Connected = false;
    std::string DeviceModel;      // "solo", "duo/max", or empty until identified
    std::string FirmwareVersion;  // "3.04"
    std::string DeviceID;         // 12 upper-case hex digits
    bool AbortTransfer = false;   // set by Stop, tested by every block loop
    bool ConnectionLost = false;  // the line hung up since OpenPort
    int LastReplyLength = 0;      // bytes the last Exchange read, whole or not
    std::array<Request, kRequestCount> Requests{};
    std::array<ReplySlot, kReplySlotCount> Replies{};
    WaitObserver waitObserver;

  private:
    std::string portName_;
    int portNumber_ = -1;
    platform::Reporter report_;
};

}  // namespace orbik::link
