// orbikflash against orbiksim: the whole upgrade and each way it can fail.

#include <gtest/gtest.h>

#include <string>

#include "support/Process.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "upgrade/Firmware.h"

namespace orbik::upgrade {
namespace {

using test::RunProcess;
using test::SimulatedDevice;
using test::SimulatedDeviceOptions;

const std::string kBanner = "\n === ORBIK upgrade to version 3.04 === \n\n";

std::string Image(const uint8_t* image) {
    return std::string(reinterpret_cast<const char*>(image), kFirmwareSize);
}

std::string ProgressLines() {
    std::string lines;
    for (int k = 0; k < kFirmwareBlocks; k += 25)
        lines += "     " + std::to_string(k) + " blocks (of 416) transmitted\n";
    return lines;
}

SimulatedDeviceOptions WithArgs(std::vector<std::string> args) {
    SimulatedDeviceOptions options;
    options.args = std::move(args);
    return options;
}

TEST(Upgrade, FamilyAGetsImageAAndEveryLine) {
    SimulatedDevice device(WithArgs({"--identify", "80,83,04,00"}));
    auto run = RunProcess({ORBIKFLASH_PATH, std::to_string(device.Port())});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, kBanner + "     ORBIK classic/entry V3.04 found\n\n" + ProgressLines() +
                              "     upgrade complete\n");
    device.Stop();
    EXPECT_EQ(device.Firmware(), Image(kFirmwareA));
}

TEST(Upgrade, FamilyBGetsImageB) {
    SimulatedDevice device(WithArgs({"--identify", "80,03,0C,00"}));
    auto run = RunProcess({ORBIKFLASH_PATH, std::to_string(device.Port())});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("     ORBIK mini II V3.012 found\n\n"), std::string::npos)
        << run.output;
    device.Stop();
    EXPECT_EQ(device.Firmware(), Image(kFirmwareB));
}

TEST(Upgrade, RejectedBlocksAreResentUnchangedWithoutAdvancingTheEncoder) {
    SimulatedDevice device(WithArgs({"--nak-rate", "0.2", "--seed", "7"}));
    auto run = RunProcess({ORBIKFLASH_PATH, std::to_string(device.Port())});
    EXPECT_EQ(run.status, 0) << run.output;
    std::string stats = device.Stop();
    EXPECT_EQ(stats.find("naks=0 "), std::string::npos) << stats;
    EXPECT_NE(stats.find("resend_mismatches=0 "), std::string::npos) << stats;
    EXPECT_EQ(device.Firmware(), Image(kFirmwareA));
}

TEST(Upgrade, FailuresPrintTheirLineAndExitMinusOne) {
    auto usage = RunProcess({ORBIKFLASH_PATH});
    EXPECT_EQ(usage.status, 255);
    EXPECT_EQ(usage.output, kBanner + "     usage: " ORBIKFLASH_PATH " <com port number>\n");
    EXPECT_EQ(RunProcess({ORBIKFLASH_PATH, "1", "2"}).status, 255);

    SimulatedDevice device(WithArgs({"--identify", "81,83,04,00"}));
    for (const char* port : {"abc", "9", " -3"}) {
        auto none = RunProcess({ORBIKFLASH_PATH, port});
        EXPECT_EQ(none.status, 255);
        EXPECT_EQ(none.output, kBanner + "     serial port not found\n") << port;
    }
    auto wrongCode = RunProcess({ORBIKFLASH_PATH, " +3x"});
    EXPECT_EQ(wrongCode.status, 255);
    EXPECT_EQ(wrongCode.output, kBanner + "     ORBIK not found\n");
}

TEST(Upgrade, LostBlockReplyStopsWithTransmissionError) {
    SimulatedDevice device(WithArgs({"--drop-rate", "1"}));
    auto run = RunProcess({ORBIKFLASH_PATH, std::to_string(device.Port())});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, kBanner + "     ORBIK classic/entry V3.04 found\n\n" +
                              "     0 blocks (of 416) transmitted\n     transmission error\n");
}

TEST(FirmwareEmbedding, TakesImagesOfExactlyTheBlockSizeAndRefusesOthers) {
    test::TempDir dir;
    std::string image(kFirmwareSize, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 3);
    auto a = dir.Write("a.bin", image).string();
    auto b = dir.Write("b.bin", std::string(kFirmwareSize, '\x5A')).string();
    auto out = (dir / "images.cpp").string();

    auto run = RunProcess({ORBIK_FWEMBED_PATH, out, a, b});
    ASSERT_EQ(run.status, 0) << run.output;
    std::string source = dir.Read("images.cpp");
    EXPECT_NE(source.find("kFirmwareA[kFirmwareSize] = {\n0x03,0x0A,0x11,0x18,"),
              std::string::npos);
    EXPECT_NE(source.find("kFirmwareB[kFirmwareSize] = {\n0x5A,0x5A,"), std::string::npos);

    auto shortImage = dir.Write("short.bin", image.substr(1)).string();
    for (const std::string& wrong : {shortImage, dir.Path().string(), (dir / "none").string()}) {
        auto refused = RunProcess({ORBIK_FWEMBED_PATH, (dir / "other.cpp").string(), wrong, b});
        EXPECT_EQ(refused.status, 1) << wrong;
        EXPECT_NE(refused.output.find("is not a firmware image of 53248 bytes"), std::string::npos)
            << refused.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "other.cpp"));
}

}  // namespace
}  // namespace orbik::upgrade
