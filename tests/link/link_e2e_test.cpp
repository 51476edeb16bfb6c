// The protocol, the Serial library and the port class against orbiksim.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <unistd.h>

#include "link/Protocol.h"
#include "link/port/Serial.h"
#include "support/Process.h"
#include "support/SimulatedDevice.h"

namespace orbik::link {
namespace {

using test::SimulatedDevice;
using test::SimulatedDeviceOptions;
using Clock = std::chrono::steady_clock;

SimulatedDeviceOptions WithArgs(std::vector<std::string> args) {
    SimulatedDeviceOptions options;
    options.args = std::move(args);
    return options;
}

struct Connection {
    explicit Connection(const SimulatedDevice& device)
        : link(device.PortName(), [this](const std::string& m) { messages.push_back(m); }) {}
    std::vector<std::string> messages;
    DeviceLink link;
};

TEST(Identify, ReadsModelVersionAndIdOfBothFamilies) {
    {
        SimulatedDevice device(
            WithArgs({"--identify", "80,83,04,00", "--device-id", "0A1B2C3D4E5F"}));
        Connection c(device);
        ASSERT_TRUE(c.link.OpenPort());
        ASSERT_TRUE(c.link.Identify());
        EXPECT_TRUE(c.link.Connected);
        EXPECT_EQ(c.link.DeviceModel, "duo/max");
        EXPECT_EQ(c.link.FirmwareVersion, "3.04");
        EXPECT_EQ(c.link.DeviceID, "0A1B2C3D4E5F");
        EXPECT_TRUE(c.link.Disconnect());
        EXPECT_FALSE(c.link.Connected);
        EXPECT_TRUE(c.messages.empty());
    }
    {
        SimulatedDevice device(WithArgs({"--identify", "80,05,0C,00"}));
        Connection c(device);
        ASSERT_TRUE(c.link.OpenPort());
        ASSERT_TRUE(c.link.Identify());
        EXPECT_EQ(c.link.DeviceModel, "solo");
        EXPECT_EQ(c.link.FirmwareVersion, "5.0C");
    }
}

// A model of neither family is named by its byte, never shown empty or as
// the model of an earlier device.
TEST(Identify, VersionByteOutsideBothFamiliesShowsTheByte) {
    SimulatedDevice device(WithArgs({"--identify", "80,13,07,00"}));
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    ASSERT_TRUE(c.link.Identify());
    EXPECT_EQ(c.link.DeviceModel, "unknown (0x13)");
    EXPECT_EQ(c.link.FirmwareVersion, "3.07");
    c.link.DeviceModel = "solo";
    ASSERT_TRUE(c.link.Identify());
    EXPECT_EQ(c.link.DeviceModel, "unknown (0x13)");
}

TEST(Identify, WrongReplyCodeIsNoDevice) {
    SimulatedDevice device(WithArgs({"--identify", "81,83,04,00"}));
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    c.link.Connected = true;
    EXPECT_FALSE(c.link.Identify());
    EXPECT_FALSE(c.link.Connected);
    EXPECT_EQ(c.messages, std::vector<std::string>{kConnectionFailedMessage});
}

TEST(Exchange, ReplyOneByteShortFailsAfterTheTimeOut) {
    SimulatedDevice device(WithArgs({"--short-reply", "80"}));
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    c.link.ReplyOf(kIdentifyRequest).buffer[3] = 0x00;
    std::vector<int> left;
    c.link.waitObserver = [&](int ms) { left.push_back(ms); };
    auto start = Clock::now();
    EXPECT_FALSE(c.link.Exchange(kIdentifyRequest, 300));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
    // The countdown runs down from the time-out and ends with -1.
    ASSERT_GE(left.size(), 2u);
    EXPECT_LE(left.front(), 300);
    EXPECT_GT(left.front(), 200);
    EXPECT_TRUE(std::is_sorted(left.rbegin() + 1, left.rend()));
    EXPECT_EQ(left.back(), -1);
    // The three bytes that came are there; the missing one reads 0xFF.
    EXPECT_EQ(c.link.ReplyOf(kIdentifyRequest).buffer[1], 0x83);
    EXPECT_EQ(c.link.ReplyOf(kIdentifyRequest).buffer[3], 0xFF);
}

TEST(Exchange, LateReplyIsNotTakenForTheNextOne) {
    // At 600 baud the identify reply comes after ~110 ms, too late for 20 ms.
    SimulatedDevice device(WithArgs({"--baud", "600"}));
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    EXPECT_FALSE(c.link.Exchange(kIdentifyRequest, 20));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    ASSERT_TRUE(c.link.Exchange(kReadDeviceId, 3000));
    EXPECT_EQ(DeviceIdText(&c.link.ReplyOf(kReadDeviceId).buffer[1]), "0123456789AB");
}

TEST(Exchange, BlockReadsExpectCountPlusTwoBytesAndRefuseMoreThanABlock) {
    std::string memory(0x100, '\0');
    for (int i = 0; i < 0x100; ++i) memory[i] = static_cast<char>(i);
    SimulatedDeviceOptions options;
    options.initialMemory = memory;
    SimulatedDevice device(options);
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    Request& read = c.link.Requests[kReadMemoryBlock];
    SetAddress24(read, 0x10);
    read.payload[4] = 16;
    ASSERT_TRUE(c.link.Exchange(kReadMemoryBlock, kBlockTimeout));
    const ReplySlot& reply = c.link.ReplyOf(kReadMemoryBlock);
    EXPECT_EQ(reply.length, 18);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(reply.buffer[1 + i], 0x10 + i);
    EXPECT_EQ(XorChecksum(&reply.buffer[1], 17), 0);

    read.payload[4] = 200;  // would overrun the reply buffer
    EXPECT_FALSE(c.link.Exchange(kReadMemoryBlock, kBlockTimeout));
}

TEST(Exchange, ConfigurationBlocksLandAboveTheVoiceAreaAndEraseKeepsVoiceOnRequest) {
    SimulatedDevice device;
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    auto writeBlock = [&](int request, uint32_t address, uint8_t fill) {
        Request& r = c.link.Requests[request];
        SetAddress24(r, address);
        r.payload[4] = 0x80;
        std::fill(&r.payload[5], &r.payload[5 + kBlockSize], fill);
        r.payload[133] = XorChecksum(&r.payload[5], kBlockSize);
        return c.link.Exchange(request, kBlockTimeout) && c.link.ReplyOf(request).buffer[1] == 0;
    };
    ASSERT_TRUE(writeBlock(kWriteMemoryBlock, 0x80000, 0x11));  // voice area
    ASSERT_TRUE(writeBlock(kWriteConfigBlock, 0x000080, 0x22));
    device.Save();
    EXPECT_EQ(device.Memory(0x80000, 128), std::string(128, '\x11'));
    EXPECT_EQ(device.Memory(SimulatedDevice::kConfigBase + 0x80, 128), std::string(128, '\x22'));

    ASSERT_TRUE(c.link.Exchange(kEraseKeepVoice, kEraseTimeout));
    device.Save();
    EXPECT_EQ(device.Memory(0x80000, 128), std::string(128, '\x11'));
    EXPECT_EQ(device.Memory(SimulatedDevice::kConfigBase + 0x80, 128), std::string(128, '\xFF'));

    ASSERT_TRUE(c.link.Exchange(kEraseMemory, kEraseTimeout));
    device.Save();
    EXPECT_EQ(device.Memory(0x80000, 128), std::string(128, '\xFF'));

    // A bad checksum is refused and nothing is stored.
    Request& r = c.link.Requests[kWriteConfigBlock];
    r.payload[133] ^= 1;
    ASSERT_TRUE(c.link.Exchange(kWriteConfigBlock, kBlockTimeout));
    EXPECT_NE(c.link.ReplyOf(kWriteConfigBlock).buffer[1], 0);
}

TEST(Exchange, LearnedSignalIsReadFromSignalMemoryAndWrittenBack) {
    SimulatedDeviceOptions options;
    options.learnedSignal = std::string("\x00\x01", 2) + std::string(14, '\x5A');
    SimulatedDevice device(options);
    Connection c(device);
    ASSERT_TRUE(c.link.OpenPort());
    ASSERT_TRUE(c.link.Exchange(kLearnSignal, kLearnTimeout));
    EXPECT_EQ(c.link.ReplyOf(kLearnSignal).buffer[1], 0);

    Request& read = c.link.Requests[kReadSignalBlock];
    SetAddress16(read, 0);
    ASSERT_TRUE(c.link.Exchange(kReadSignalBlock, kSignalBlockTimeout));
    const ReplySlot& block = c.link.ReplyOf(kReadSignalBlock);
    EXPECT_EQ(block.length, 130);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block.buffer[1]), 16),
              options.learnedSignal);
    EXPECT_EQ(XorChecksum(&block.buffer[1], 129), 0);

    Request& write = c.link.Requests[kWriteSignalBlock];
    SetAddress16(write, 0x80);
    std::fill(&write.payload[4], &write.payload[4 + kBlockSize], 0x33);
    write.payload[132] = XorChecksum(&write.payload[4], kBlockSize);
    ASSERT_TRUE(c.link.Exchange(kWriteSignalBlock, kSignalBlockTimeout));
    EXPECT_EQ(c.link.ReplyOf(kWriteSignalBlock).buffer[1], 0);
    ASSERT_TRUE(c.link.Exchange(kPlaySignal, kPlayTimeout));
    device.Save();
    EXPECT_EQ(device.SignalMemory().substr(0x80, 128), std::string(128, '\x33'));
    EXPECT_NE(device.Stop().find("plays=1 "), std::string::npos);
}

TEST(SerialLibrary, HandleSurvivesCloseAndReopenAndTheDeviceSurvivesIt) {
    SimulatedDevice device;
    EXPECT_FALSE(COMOpen(nullptr, device.Port(), 57600));
    COMdelete(nullptr);
    EXPECT_EQ(COMReadDataWaiting(nullptr), 0);

    ComHandle handle = COMnew();
    EXPECT_EQ(COMReadDataWaiting(handle), 0);  // not open yet
    ASSERT_TRUE(COMOpen(handle, device.Port(), 57600));
    EXPECT_TRUE(COMOpen(handle, device.Port(), 57600));  // already open
    for (int round = 0; round < 3; ++round) {
        const unsigned char frame[] = {1, 0x80};
        EXPECT_EQ(COMSendData(handle, frame, 2), 2);
        auto deadline = Clock::now() + std::chrono::seconds(3);
        while (COMReadDataWaiting(handle) < 4 && Clock::now() < deadline) {
        }
        unsigned char reply[8] = {};
        EXPECT_EQ(COMReadData(handle, reply, 8), 4);
        EXPECT_EQ(reply[0], 0x80);
        EXPECT_EQ(reply[1], 0x83);
        COMdelete(handle);
        EXPECT_EQ(COMReadData(handle, reply, 8), 0);
        ASSERT_TRUE(COMOpen(handle, device.Port(), 57600));
    }
    COMdelete(handle);
}

TEST(SerialLibrary, PortIsForOneProgramAtATime) {
    SimulatedDevice device;
    ComHandle first = COMnew();
    ComHandle second = COMnew();
    ASSERT_TRUE(COMOpen(first, device.Port(), 57600));
    // The superuser may open an exclusive terminal anyway.
    if (geteuid() != 0) {
        EXPECT_FALSE(COMOpen(second, device.Port(), 57600));
    }
    COMdelete(first);
    EXPECT_TRUE(COMOpen(second, device.Port(), 57600));
    COMdelete(second);
}

TEST(IdentifyCommand, PrintsTheDeviceOrTheReason) {
    SimulatedDevice device(WithArgs({"--identify", "80,05,04,00", "--device-id", "00000000BEEF"}));
    auto found = test::RunProcess({ORBIK_CLI_PATH, "identify", "--port", device.PortName()});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.output, "Model: solo\nFirmware version: 5.04\nDevice ID: 00000000BEEF\n");

    auto missing = test::RunProcess({ORBIK_CLI_PATH, "identify", "--port", "COM9"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "Cannot open COM9\n");
}

}  // namespace
}  // namespace orbik::link
