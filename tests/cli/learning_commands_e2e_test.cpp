// orbik-cli learn-signal, play-signal and ir-library, run as a user runs
// them, against orbiksim.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"
#include "signals/SlotData.h"
#include "support/IrLibraryFile.h"
#include "support/Process.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using orbik::test::IrLibraryBytes;
using orbik::test::ProcessResult;
using orbik::test::RunProcess;
using orbik::test::SimulatedDevice;
using orbik::test::SimulatedDeviceOptions;
using orbik::test::TempDir;

ProcessResult Cli(const fs::path& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/env", "-C", dir.string(), ORBIK_CLI_PATH});
    return RunProcess(args);
}

std::string Block(size_t count) {
    std::string block(count * 8 + 8, '\0');
    block[0] = char(count >> 8);
    block[1] = char(count);
    for (size_t i = 2; i < block.size(); ++i) block[i] = char(i * 29 % 253);
    return block;
}

TEST(LearningCommands, LearnSignalWritesTheBlockCutToItsLength) {
    SimulatedDeviceOptions options;
    options.learnedSignal = Block(40);
    SimulatedDevice device(options);
    TempDir dir;
    auto run = Cli(dir.Path(), {"learn-signal", "power.sig", "--port", device.PortName()});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Signal learned: 328 bytes"), std::string::npos) << run.output;
    EXPECT_EQ(dir.Read("power.sig"), Block(40));
}

TEST(LearningCommands, AFailedLearnSaysWhyAndWritesNoFile) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--learn-result", "too-long"}, "Signal too long!\n"},
        {{"--learn-count", "2000"}, "Signal too long!\n"},
        {{"--learn-result", "wrong-reply"}, "Connection error, please restart\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        SimulatedDeviceOptions options;
        options.args = c.args;
        SimulatedDevice device(options);
        TempDir dir;
        auto run = Cli(dir.Path(), {"learn-signal", "power.sig", "--port", device.PortName()});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_TRUE(fs::is_empty(dir.Path())) << "no file, not even a temporary one";
    }
}

TEST(LearningCommands, LearnSignalFailsBeforeLearningWhenTheFileCannotBeWritten) {
    SimulatedDeviceOptions options;
    TempDir log;
    options.args = {"--request-log", (log / "requests").string()};
    SimulatedDevice device(options);
    TempDir dir;
    auto run = Cli(dir.Path(), {"learn-signal", "missing/power.sig", "--port", device.PortName()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Cannot write"), std::string::npos) << run.output;
    device.Stop();
    EXPECT_EQ(log.Read("requests"), "") << "the device was never asked";
}

TEST(LearningCommands, PlaySignalWritesTheWholeBlockAndPlaysIt) {
    SimulatedDevice device;
    TempDir dir;
    dir.Write("long.sig", Block(300));
    auto run = Cli(dir.Path(), {"play-signal", "long.sig", "--port", device.PortName()});
    ASSERT_EQ(run.status, 0) << run.output;
    std::string stats = device.Stop();
    EXPECT_NE(stats.find("plays=1"), std::string::npos) << stats;
    EXPECT_EQ(device.SignalMemory().substr(0, Block(300).size()), Block(300));
}

TEST(LearningCommands, PlaySignalRefusesWhatIsNoWholeBlock) {
    SimulatedDeviceOptions options;
    TempDir log;
    options.args = {"--request-log", (log / "requests").string()};
    SimulatedDevice device(options);
    TempDir dir;
    std::string block = Block(3);
    dir.Write("short.sig", block.substr(0, block.size() - 1));
    dir.Write("long.sig", block + "x");
    dir.Write("tiny.sig", std::string(1, '\0'));
    dir.Write("huge.sig", Block(1023));
    for (const char* file : {"short.sig", "long.sig", "tiny.sig", "huge.sig", "gone.sig"}) {
        SCOPED_TRACE(file);
        auto run = Cli(dir.Path(), {"play-signal", file, "--port", device.PortName()});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(file), std::string::npos) << run.output;
    }
    device.Stop();
    EXPECT_EQ(log.Read("requests"), "");
}

// The slots of a code file in either form.
orbik::signals::SlotData Slots(const fs::path& file) {
    std::string bytes, unpacked;
    EXPECT_TRUE(orbik::platform::ReadWholeFile(file, &bytes, orbik::signals::kMaxFileSize));
    if (orbik::signals::IsPackedForm(uint8_t(bytes.at(10))))
        EXPECT_TRUE(orbik::signals::UnpackIcp(bytes, &unpacked));
    else
        unpacked = bytes;
    orbik::signals::SlotData slots;
    EXPECT_TRUE(orbik::signals::ReadSlotData(unpacked, &slots));
    return slots;
}

TEST(LearningCommands, LearnPutsTheSignalIntoBothSlotsOfTheButtonAndNamesIt) {
    SimulatedDeviceOptions options;
    options.learnedSignal = Block(12);
    SimulatedDevice device(options);
    TempDir dir;
    fs::copy_file(fs::path(ORBIK_DEMO_DIR) / "IR/Empty.ixp", dir / "TV.icp");
    using orbik::signals::SignalIndex;
    const size_t volume = size_t(SignalIndex("vol_plus")), mute = size_t(SignalIndex("mute"));

    auto run = Cli(dir.Path(), {"learn", "TV.icp", "vol_plus", "--port", device.PortName()});
    ASSERT_EQ(run.status, 0) << run.output;
    run = Cli(dir.Path(),
              {"learn", "TV.icp", "mute", "--name", "Quiet", "--port", device.PortName()});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("423 of 65320 Bytes used"), std::string::npos) << run.output;

    std::string stored = dir.Read("TV.icp");
    EXPECT_EQ(stored[10], '\0') << "stored packed";
    auto slots = Slots(dir / "TV.icp");
    EXPECT_EQ(slots.slots[2 * volume], Block(12));
    EXPECT_EQ(slots.slots[2 * volume + 1], Block(12));
    EXPECT_EQ(slots.slots[2 * mute], Block(12));
    EXPECT_EQ(slots.slots[2 * mute + 1], Block(12));
    EXPECT_EQ(orbik::signals::BytesUsed(slots), 215u + 2 * 104);
    auto names = orbik::signals::ReadSignalNames(dir / "TV.txt");
    EXPECT_EQ(names[volume], "vol_plus");
    EXPECT_EQ(names[mute], "Quiet");
    EXPECT_EQ(names[0], "<not used>");
}

TEST(LearningCommands, LearnRefusesUnknownButtonsAndASignalThatDoesNotFit) {
    SimulatedDeviceOptions options;
    options.args = {"--learn-count", "1000"};
    SimulatedDevice device(options);
    TempDir dir;
    // Seven long signals: one more passes the signal memory.
    orbik::signals::SlotData full;
    for (int k = 0; k < 7; ++k) full.slots[size_t(2 * k)] = Block(1022);
    std::string file;
    ASSERT_TRUE(orbik::signals::WriteUnpacked(full, &file));
    dir.Write("Amp.icp", file);

    auto unknown = Cli(dir.Path(), {"learn", "Amp.icp", "volume", "--port", device.PortName()});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("no button named 'volume'"), std::string::npos);
    auto tooMuch = Cli(dir.Path(), {"learn", "Amp.icp", "mute", "--port", device.PortName()});
    EXPECT_EQ(tooMuch.status, 1);
    EXPECT_NE(tooMuch.output.find("Not enough Memory !"), std::string::npos) << tooMuch.output;
    EXPECT_EQ(dir.Read("Amp.icp"), file);
    EXPECT_FALSE(fs::exists(dir / "Amp.txt"));
}

TEST(LearningCommands, IrLibraryListsTheLibrariesAndTheSignalsOfOne) {
    TempDir program;
    program.Write("orbik.ini", "[Paths]\r\nIR_IR=\\Signals\r\n");
    program.Write("Signals/tv.IR", IrLibraryBytes({{"Power", Block(2)}, {"Mute", Block(5)}}));
    program.Write("Signals/Amp.ir", IrLibraryBytes({{"Volume up", Block(1)}}));
    program.Write("Signals/notes.txt", "");
    auto list = Cli(program.Path(), {"ir-library"});
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(list.output, "Amp.ir\ntv.IR\n");

    auto signals = Cli(program.Path(), {"ir-library", "tv.IR"});
    ASSERT_EQ(signals.status, 0) << signals.output;
    EXPECT_EQ(signals.output, "Power\t24\nMute\t48\n");

    // A damaged record is left out and counted.
    std::string damaged = IrLibraryBytes({{"Power", Block(2)}, {"Mute", Block(5)}});
    damaged[29 + 28] = char(0x7F);  // Mute's length far past the end
    program.Write("Signals/bad.ir", damaged);
    auto bad = Cli(program.Path(), {"ir-library", "bad.ir"});
    EXPECT_EQ(bad.status, 0);
    EXPECT_NE(bad.output.find("Power\t24\n"), std::string::npos) << bad.output;
    EXPECT_EQ(bad.output.find("Mute"), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("1 damaged signal of bad.ir was skipped"), std::string::npos);

    EXPECT_EQ(Cli(program.Path(), {"ir-library", "none.ir"}).status, 1);
}

}  // namespace
