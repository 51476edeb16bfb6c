#include "signals/SignalNames.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/Text.h"
#include "support/TempDir.h"

namespace orbik::signals {
namespace {

TEST(SignalNames, WrittenListReadsBackIdenticallyInKeyOrder) {
    test::TempDir dir;
    SignalNameList names = UnusedSignalNames();
    names[0] = "Power on";
    names[18] = "Volume  up";
    names[50] = "speak=now";
    ASSERT_TRUE(WriteSignalNames(dir / "TV.txt", names));
    EXPECT_EQ(ReadSignalNames(dir / "tv.TXT"), names);

    std::vector<std::string> lines = platform::SplitLines(dir.Read("TV.txt"));
    // clang-format off
    const std::vector<std::string> keys = {
        "on", "off", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
        "10_up", "20_up", "two_digits", "av", "next", "previous",
        "vol_plus", "vol_minus", "mute", "text_on", "text_off",
        "red", "green", "yellow", "blue", "hold",
        "record", "play", "stop", "fast_forward", "fast_backward",
        "direct_1", "direct_2", "direct_3", "direct_4", "direct_5",
        "direct_6", "direct_7", "direct_8", "direct_9", "direct_10",
        "up", "down", "left", "right", "menu", "ok", "dim", "speak"};
    // clang-format on
    ASSERT_EQ(lines.size(), 1 + keys.size());
    EXPECT_EQ(lines[0], "[signalnames]");
    for (std::size_t k = 0; k < keys.size(); ++k)
        EXPECT_EQ(platform::TextBefore(lines[k + 1], '='), keys[k]) << k;
    EXPECT_EQ(lines[1], "on=Power on");
    EXPECT_EQ(lines[51], "speak=speak=now");
}

TEST(SignalNames, MissingKeysAndMissingFilesReadAsNotUsed) {
    test::TempDir dir;
    dir.Write("TV.txt", "[SignalNames]\r\nOFF=Standby\r\nmute=Quiet\r\n[other]\r\non=x\r\n");
    SignalNameList names = ReadSignalNames(dir / "TV.txt");
    SignalNameList expected = UnusedSignalNames();
    expected[1] = "Standby";
    expected[20] = "Quiet";
    EXPECT_EQ(names, expected);
    EXPECT_EQ(ReadSignalNames(dir / "missing.txt"), UnusedSignalNames());
}

TEST(SignalNames, RewritingKeepsOtherLinesAndLineBreaksCannotAddKeys) {
    test::TempDir dir;
    dir.Write("TV.txt", "; made by hand\r\n[signalnames]\r\non=Old\r\n");
    SignalNameList names = UnusedSignalNames();
    names[0] = "New";
    names[1] = "two\r\nmute=injected";
    ASSERT_TRUE(WriteSignalNames(dir / "TV.txt", names));
    SignalNameList back = ReadSignalNames(dir / "TV.txt");
    EXPECT_EQ(back[0], "New");
    EXPECT_EQ(back[1], "two  mute=injected");
    EXPECT_EQ(back[20], "<not used>");
    EXPECT_EQ(platform::SplitLines(dir.Read("TV.txt")).front(), "; made by hand");
}

TEST(SignalNames, NameFileSitsBesideTheCodeFile) {
    EXPECT_EQ(SignalNameFile("Devices/temp/TV.ixp"), "Devices/temp/TV.txt");
    EXPECT_EQ(SignalNameFile("IR_ICP/Sat.box.icp"), "IR_ICP/Sat.box.txt");
    EXPECT_EQ(SignalNameFile("Devices/TV"), "Devices/TV.txt");
}

}  // namespace
}  // namespace orbik::signals
