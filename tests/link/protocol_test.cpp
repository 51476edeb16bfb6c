#include "link/Protocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "support/TempDir.h"

namespace orbik::link {
namespace {

struct Expected {
    uint8_t code;
    uint8_t length;
    uint8_t slot;
    std::vector<uint8_t> fixed;  // payload bytes from 1 on
};

TEST(RequestTable, HoldsEveryRecordWithItsCodeLengthSlotAndFixedBytes) {
    const std::vector<Expected> table = {
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
    };
    DeviceLink link("COM1", {});
    ASSERT_EQ(link.Requests.size(), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE("request " + std::to_string(i));
        const Request& r = link.Requests[i];
        EXPECT_EQ(r.payload[0], table[i].code);
        EXPECT_EQ(r.length, table[i].length);
        EXPECT_EQ(r.slot, table[i].slot);
        for (size_t k = 1; k < r.payload.size(); ++k) {
            uint8_t want = k - 1 < table[i].fixed.size() ? table[i].fixed[k - 1] : 0;
            EXPECT_EQ(r.payload[k], want) << "payload byte " << k;
        }
    }
}

TEST(RequestTable, ReplySlotsHaveTheirLengthsAndCodes) {
    const uint8_t lengths[] = {4, 2, 0, 4, 2, 6, 130, 55, 20};
    const uint8_t codes[] = {0x80, 0x90, 0x91, 0xA0, 0xB0, 0xB1, 0xB2, 0xC0, 0xC8};
    DeviceLink link("COM1", {});
    for (int s = 0; s < kReplySlotCount; ++s) {
        if (s != 2) {
            EXPECT_EQ(link.Replies[s].length, lengths[s]) << "slot " << s;
        }
        EXPECT_EQ(ReplyCode(s), codes[s]) << "slot " << s;
    }
}

TEST(RequestTable, InitRequestsUndoesWhatOperationsWrote) {
    DeviceLink link("COM1", {});
    SetAddress24(link.Requests[kWriteConfigBlock], 0x123456);
    link.Requests[kWriteConfigBlock].payload[50] = 7;
    link.Requests[kReadDeviceId].payload[1] = 0;
    link.InitRequests();
    EXPECT_EQ(link.Requests[kWriteConfigBlock].payload[1], 0);
    EXPECT_EQ(link.Requests[kWriteConfigBlock].payload[50], 0);
    EXPECT_EQ(link.Requests[kReadDeviceId].payload[1], 0x5A);
}

TEST(TextForms, VersionIsTwoUpperCaseHexDigitsEach) {
    EXPECT_EQ(VersionText(0x83, 0x04), "83.04");
    EXPECT_EQ(VersionText(0x05, 0x0C), "05.0C");
    EXPECT_EQ(VersionText(0xAB, 0xFF), "AB.FF");
}

TEST(TextForms, DeviceIdIsTwelveUpperCaseHexDigits) {
    const uint8_t id[] = {0x00, 0x0A, 0xBC, 0xDE, 0xF1, 0x02};
    EXPECT_EQ(DeviceIdText(id), "000ABCDEF102");
}

TEST(Addresses, AreBigEndian) {
    Request r;
    SetAddress24(r, 0x0A0B0C);
    EXPECT_EQ(r.payload[1], 0x0A);
    EXPECT_EQ(r.payload[2], 0x0B);
    EXPECT_EQ(r.payload[3], 0x0C);
    SetAddress16(r, 0x1F80);
    EXPECT_EQ(r.payload[1], 0x1F);
    EXPECT_EQ(r.payload[2], 0x80);
    const uint8_t block[] = {0x12, 0x34, 0x56};
    EXPECT_EQ(XorChecksum(block, 3), 0x12 ^ 0x34 ^ 0x56);
}

class OpenPortFailure : public ::testing::Test {
  protected:
    void SetUp() override { setenv("ORBIK_COM_DIR", dir_.Path().c_str(), 1); }
    void TearDown() override { unsetenv("ORBIK_COM_DIR"); }
    test::TempDir dir_;
};

TEST_F(OpenPortFailure, ReportsThePortNameAndForgetsTheHandle) {
    for (const char* name : {"COM7", "LPT1", ""}) {
        std::vector<std::string> messages;
        DeviceLink link(name, [&](const std::string& m) { messages.push_back(m); });
        EXPECT_FALSE(link.OpenPort());
        EXPECT_EQ(link.PortHandle, nullptr);
        EXPECT_EQ(messages, std::vector<std::string>{std::string("Cannot open ") + name});
        EXPECT_FALSE(link.Exchange(kIdentifyRequest, 10));
    }
}

TEST(Exchange, WaitingOnAClosedPortDoesNotSpin) {
    // A handle whose port was closed, as after the settings dialog started
    // the upgrade tool: the reply cannot come, and the wait must idle.
    DeviceLink link("COM1", {});
    link.PortHandle = COMnew();
    auto threadCpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    };
    double before = threadCpuMs();
    EXPECT_FALSE(link.Exchange(kEndRequest, 300));
    EXPECT_LT(threadCpuMs() - before, 100.0);
    EXPECT_EQ(link.ReplyOf(kEndRequest).buffer[3], 0xFF);
}

}  // namespace
}  // namespace orbik::link
