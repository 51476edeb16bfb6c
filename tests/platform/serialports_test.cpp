#include "platform/SerialPorts.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace orbik::platform;
using orbik::test::TempDir;

TEST(PortNames, OnlyComFollowedByDigitsHasANumber) {
    EXPECT_EQ(PortNumberFromName("COM3"), 3);
    EXPECT_EQ(PortNumberFromName("COM12"), 12);
    EXPECT_EQ(PortNumberFromName(""), std::nullopt);
    EXPECT_EQ(PortNumberFromName("COM"), std::nullopt);
    EXPECT_EQ(PortNumberFromName("COM1a"), std::nullopt);
    EXPECT_EQ(PortNumberFromName("LPT1"), std::nullopt);
    EXPECT_EQ(PortNumberFromName("COM0"), std::nullopt);
    EXPECT_EQ(PortNumberFromName("COM99999999999"), std::nullopt);
    EXPECT_EQ(PortName(7), "COM7");
}

TEST(SerialPorts, LinuxNumberingSkipsPhantomUartsButKeepsTheirNumbers) {
    TempDir dir;
    for (auto node :
         {"dev/ttyS0", "dev/ttyS1", "dev/ttyS3", "dev/ttyUSB0", "dev/ttyACM0", "dev/ttyACM1"})
        dir.Write(node, "");
    dir.Write("sys/ttyS0/type", "0\n");  // no UART behind it
    dir.Write("sys/ttyS1/type", "4\n");
    SerialPortScheme scheme{"", (dir / "dev").string(), (dir / "sys").string()};

    std::vector<std::string> list{"COM2"};
    ListSerialPorts(scheme, list);
    // ttyS0=COM1 (phantom), ttyS1=COM2, ttyS3 not counted (ttyS2 missing),
    // ttyUSB0=COM3, ttyACM0=COM4, ttyACM1=COM5
    EXPECT_EQ(list, (std::vector<std::string>{"COM2", "COM3", "COM4", "COM5"}));
    EXPECT_EQ(DevicePathForPort(scheme, 3), (dir / "dev/ttyUSB0").string());
    EXPECT_EQ(DevicePathForPort(scheme, 5), (dir / "dev/ttyACM1").string());
    EXPECT_EQ(DevicePathForPort(scheme, 6), "");
}

TEST(SerialPorts, ComDirectoryHoldsTheOnlyPorts) {
    TempDir dir;
    dir.Write("target", "");
    dir.Write("com/README", "");
    fs::create_symlink(dir / "target", dir / "com/COM10");
    fs::create_symlink(dir / "target", dir / "com/COM2");
    fs::create_symlink(dir / "gone", dir / "com/COM3");  // dangling: the simulator has quit
    dir.Write("dev/ttyUSB0", "");
    SerialPortScheme scheme{(dir / "com").string(), (dir / "dev").string(), (dir / "sys").string()};

    std::vector<std::string> list;
    ListSerialPorts(scheme, list);
    EXPECT_EQ(list, (std::vector<std::string>{"COM2", "COM10"}));
    EXPECT_EQ(DevicePathForPort(scheme, 10), (dir / "com/COM10").string());
    EXPECT_EQ(DevicePathForPort(scheme, 1), "");
}
