// orbikflash: writes new firmware into the device over a serial port.
//
// usage: orbikflash <com port number>
// Exit status 0 on success, -1 on every failure.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "link/port/SerialPort.h"
#include "orbik/Version.h"
#include "platform/Bytes.h"
#include "upgrade/Firmware.h"

namespace {

using orbik::link::SerialPort;
using namespace orbik::upgrade;

constexpr int kBaud = 57600;
constexpr int kReplyTimeoutMs = 5000;
using orbik::platform::kBlockSize;
constexpr int kProgressEvery = 25;

struct Record {
    uint8_t payload[136] = {};
    int sendLength = 0;
    int replyLength = 0;
    uint8_t replyCode = 0;
};

struct Tool {
    SerialPort port;
    Record identify, end, block;
    uint8_t reply[4] = {};

    Tool() {
        identify.payload[0] = 0x80;
        identify.sendLength = 1;
        identify.replyLength = 4;
        identify.replyCode = 0x80;
        end.payload[0] = 0x81;
        end.sendLength = 1;
        end.replyLength = 4;
        end.replyCode = 0x80;
        block.payload[0] = 0x90;
        block.payload[4] = 0x80;
        block.sendLength = 134;
        block.replyLength = 2;
        block.replyCode = 0x90;
    }

    bool Exchange(const Record& r) {
        using Clock = std::chrono::steady_clock;
        // Bytes from an earlier, late reply must not pass for this one.
        uint8_t stale[256];
        while (port.ReadData(stale, sizeof stale) > 0) {
        }
        uint8_t length = static_cast<uint8_t>(r.sendLength);
        port.SendData(&length, 1);
        port.SendData(r.payload, r.sendLength);
        auto deadline = Clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
        for (;;) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            // Waiting for the whole time left costs no latency: input ends the
            // wait. A lost line (-1) will bring nothing more.
            int waiting = port.CountWaiting(static_cast<int>(left.count()) + 1);
            if (waiting < 0 || waiting >= r.replyLength || left.count() < 0) break;
        }
        int got = port.ReadData(reply, r.replyLength);
        return got >= r.replyLength && reply[0] == r.replyCode;
    }

    int Fail(const char* message) {
        std::printf("%s", message);
        std::fflush(stdout);
        port.Close();
        return -1;
    }

    int Run(int portNumber) {
        if (!port.Open(portNumber, kBaud)) return Fail("     serial port not found\n");
        if (!Exchange(identify)) return Fail("     ORBIK not found\n");
        int b1 = reply[1];
        int b2 = static_cast<signed char>(reply[2]);
        const uint8_t* image = kFirmwareB;
        if (b1 & 0x80) {
            std::printf("     ORBIK classic/entry V%d.0%d found\n\n", b1 & 0x7F, b2);
            image = kFirmwareA;
        } else {
            std::printf("     ORBIK mini II V%d.0%d found\n\n", b1 & 0x7F, b2);
        }
        std::fflush(stdout);

        // The encoder runs once over the image: a resent frame is sent as
        // it was built and does not advance the state.
        uint8_t state = 0x40;
        int built = 0;
        bool fresh = true;
        for (;;) {
            if (fresh) {
                if (built % kProgressEvery == 0) {
                    std::printf("     %d blocks (of %d) transmitted\n", built, kFirmwareBlocks);
                    std::fflush(stdout);
                }
                uint32_t address = static_cast<uint32_t>(built) * kBlockSize;
                orbik::platform::StoreBigEndian(address, 3, &block.payload[1]);
                uint8_t checksum = 0;
                for (std::size_t i = 0; i < kBlockSize; ++i) {
                    state ^= static_cast<uint8_t>(~image[address + i]);
                    block.payload[5 + i] = state;
                    checksum ^= state;
                }
                block.payload[5 + kBlockSize] = checksum;
                ++built;
            }
            if (!Exchange(block)) return Fail("     transmission error\n");
            fresh = reply[1] == 0;
            if (built == kFirmwareBlocks && fresh) {
                Exchange(end);
                std::printf("     upgrade complete\n");
                std::fflush(stdout);
                port.Close();
                return 0;
            }
        }
    }
};

// Decimal up to the first non-digit, leading blanks and a sign allowed;
// anything else is 0, which no port has.
int PortArgument(const char* text) {
    long value = std::strtol(text, nullptr, 10);
    return value < 0 || value > 0xFFFF ? 0 : static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("\n === ORBIK upgrade to version %s === \n\n", orbik::kFirmwareVersion);
    if (argc != 2) {
        std::printf("     usage: %s %s", argv[0], "<com port number>\n");
        return -1;
    }
    Tool tool;
    return tool.Run(PortArgument(argv[1]));
}
