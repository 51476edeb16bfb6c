#include "link/port/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>

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

// Runs `check` in a forked child (as another process sees the port) and
// returns its exit status: 0 when the check held.
int InChild(const std::function<bool()>& check) {
    pid_t pid = fork();
    if (pid == 0) _exit(check() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LineSettings, EightBitsEvenParityOneStopBitRawAndDamagedBytesDropped) {
    termios cooked{};
    cooked.c_iflag = ICRNL | IXON | BRKINT | PARMRK | ISTRIP;
    cooked.c_oflag = OPOST;
    cooked.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    cooked.c_cflag = CS7 | PARODD | CSTOPB | CRTSCTS;
    cooked.c_cc[VMIN] = 1;
    termios t = DeviceLineSettings(cooked, B57600);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);  // even
    EXPECT_FALSE(t.c_cflag & CSTOPB);  // one stop bit
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE((t.c_cflag & CREAD) && (t.c_cflag & CLOCAL));
    // Parity is checked; a damaged byte or a break never reaches the reader
    // (as 0x00 it could pass for the status "accepted").
    EXPECT_TRUE(t.c_iflag & INPCK);
    EXPECT_TRUE(t.c_iflag & IGNPAR);
    EXPECT_TRUE(t.c_iflag & IGNBRK);
    EXPECT_FALSE(t.c_iflag & (PARMRK | BRKINT | ISTRIP | ICRNL | IXON));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_EQ(cfgetispeed(&t), speed_t(B57600));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B57600));
}

TEST_F(SerialPortTest, AnotherUserCannotOpenThePortWhileItIsOpen) {
    SerialPort port;
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() == 0 && !nobody) GTEST_SKIP() << "running as root and there is no user nobody";
    // Everybody may open the line, so only the exclusive mark keeps others out.
    ASSERT_EQ(chmod(slave_.c_str(), 0666), 0);
    uid_t uid = nobody ? nobody->pw_uid : 0;
    gid_t gid = nobody ? nobody->pw_gid : 0;
    int status = InChild([&] {
        if (geteuid() == 0 && (setgid(gid) != 0 || setuid(uid) != 0)) return false;
        int fd = open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        return fd < 0 && errno == EBUSY;
    });
    EXPECT_EQ(status, 0) << "a normal user opened the port";
}

TEST_F(SerialPortTest, SecondProcessCannotOpenThePortEvenAsRoot) {
    SerialPort port;
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    EXPECT_EQ(InChild([&] {
                  SerialPort second;
                  return !second.OpenPath(slave_, 57600);
              }),
              0);
    port.Close();
    EXPECT_EQ(InChild([&] {
                  SerialPort second;
                  return second.OpenPath(slave_, 57600);
              }),
              0);
}

TEST_F(SerialPortTest, HungUpLineIsLostAtOnceWithoutSpinning) {
    SerialPort port;
    ASSERT_TRUE(port.OpenPath(slave_, 57600));
    EXPECT_EQ(port.CountWaiting(1), 0);
    EXPECT_FALSE(port.Lost());
    ASSERT_EQ(write(master_, "\x90", 1), 1);
    close(master_);  // the device vanishes
    master_ = open("/dev/null", O_RDONLY);

    auto start = std::chrono::steady_clock::now();
    int result = 0;
    for (int i = 0; i < 1000 && result >= 0; ++i) result = port.CountWaiting(5);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(port.Lost());
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    uint8_t byte = 0;
    EXPECT_EQ(port.ReadData(&byte, 1), 0);
    EXPECT_EQ(port.CountWaiting(50), -1);
}

}  // namespace
}  // namespace orbik::link
