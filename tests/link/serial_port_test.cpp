#include "link/port/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace orbik::link {
namespace {

// The other end of a pseudo-terminal stands in for the device.
class SerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        slave_ = ptsname(master_);
    }
    void TearDown() override { close(master_); }

    std::string ReadMaster(size_t count) {
        std::string bytes;
        while (bytes.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) break;
            char buffer[256];
            ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
        return bytes;
    }

    int master_ = -1;
    std::string slave_;
};

TEST_F(SerialPortTest, PassesBytesUnchangedBothWays) {
    SerialPort port;
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    EXPECT_TRUE(port.OpenPath(slave_, 57600));  // already open
    // Bytes a cooked terminal would translate or swallow.
    const std::string toDevice("\x01\x80\r\n\x03\x11\x13\xFF\x00", 9);
    EXPECT_EQ(port.SendData(reinterpret_cast<const uint8_t*>(toDevice.data()), 9), 9);
    EXPECT_EQ(ReadMaster(9), toDevice);

    const std::string fromDevice("\x90\x00\r\x7F\x04", 5);
    ASSERT_EQ(write(master_, fromDevice.data(), 5), 5);
    EXPECT_EQ(port.CountWaiting(100), 5);
    uint8_t buffer[8] = {};
    EXPECT_EQ(port.ReadData(buffer, 3), 3);
    EXPECT_EQ(port.CountWaiting(), 2);
    EXPECT_EQ(port.ReadData(buffer + 3, 8), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), fromDevice);
    EXPECT_EQ(port.ReadData(buffer, 8), 0);  // nothing queued: no wait
}

TEST_F(SerialPortTest, ClosedPortDoesNothingAndOpensAgain) {
    SerialPort port;
    uint8_t byte = 0x80;
    EXPECT_EQ(port.SendData(&byte, 1), 0);
    EXPECT_EQ(port.CountWaiting(1), 0);
    EXPECT_EQ(port.ReadData(&byte, 1), 0);
    port.Close();
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    EXPECT_EQ(port.SendData(&byte, 0), 0);
    port.Close();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    EXPECT_EQ(port.SendData(&byte, 1), 1);
}

TEST_F(SerialPortTest, StalledLineEndsAWriteWithTheCountActuallySent) {
    SerialPort port;
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    // Nobody reads the other end: the terminal's buffers fill up.
    std::string block(1 << 20, '\x55');
    int sent = port.SendData(reinterpret_cast<const uint8_t*>(block.data()),
                             static_cast<int>(block.size()));
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, static_cast<int>(block.size()));
}

TEST_F(SerialPortTest, RefusesWhatIsNoSerialLine) {
    test::TempDir dir;
    SerialPort port;
    EXPECT_FALSE(port.OpenPath(dir.Write("plain", "x").string(), 57600));
    EXPECT_FALSE(port.OpenPath((dir / "missing").string(), 57600));
    EXPECT_FALSE(port.OpenPath(slave_, 12345));  // no such line speed
    EXPECT_FALSE(port.IsOpen());
    setenv("ORBIK_COM_DIR", dir.Path().c_str(), 1);
    EXPECT_FALSE(port.Open(1, 57600));
    unsetenv("ORBIK_COM_DIR");
}

}  // namespace
}  // namespace orbik::link
