// The transfer operations against the simulated device, through the loops
// the windows run and through orbik-cli.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "link/Transfer.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "support/TransferFiles.h"

namespace orbik::link {
namespace {

using test::Frames;
using test::Pattern;
using test::SimulatedDevice;
using test::SimulatedDeviceOptions;
using test::TempDir;

constexpr uint32_t kConfigBase = SimulatedDevice::kConfigBase;

// A connection to the simulated device as a command holds it.
struct Session {
    explicit Session(const SimulatedDevice& sim)
        : link(sim.PortName(), [this](const std::string& m) { messages.push_back(m); }) {
        link.InitRequests();
        EXPECT_TRUE(link.OpenPort());
        EXPECT_TRUE(link.Identify());
    }
    ~Session() {
        link.Disconnect();
        link.ClosePort();
    }

    TransferOutcome Run(TransferJob job) {
        statuses.clear();
        TransferCallbacks callbacks;
        callbacks.status = [this](const std::string& text) { statuses.push_back(text); };
        callbacks.progress = [this](int percent) { lastPercent = percent; };
        callbacks.processEvents = [this] {
            if (stopAfterBlocks >= 0 && ++turns > stopAfterBlocks) link.AbortTransfer = true;
        };
        return RunTransfer(link, job, callbacks);
    }

    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    int lastPercent = 0;
    int stopAfterBlocks = -1;
    int turns = 0;
    DeviceLink link;
};

TransferJob Job(Operation operation, const std::filesystem::path& file) {
    TransferJob job;
    job.operation = operation;
    job.fileName = file;
    return job;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Device memory with recognisable voice and configuration contents.
std::string InitialMemory() {
    std::string memory(SimulatedDevice::kMemorySize, char(0xFF));
    std::string voice = Pattern(0x100, 3);
    memory.replace(0x80000, voice.size(), voice);
    std::string config = Pattern(0x300000, 5);
    memory.replace(kConfigBase, config.size(), config);
    return memory;
}

TEST(TransferE2E, CimIsSentInBlocksPaddedWithErasedBytes) {
    SimulatedDevice sim;
    TempDir dir;
    std::string image = Pattern(200);
    {
        Session s(sim);
        auto outcome = s.Run(Job(Operation::TransCim, dir.Write("a.cim", image)));
        EXPECT_EQ(outcome.result, TransferResult::Complete) << outcome.message;
        EXPECT_EQ(s.statuses, (std::vector<std::string>{kDeletingMemoryText, "1 of 2", "2 of 2"}));
        EXPECT_EQ(s.lastPercent, 64);  // the second block starts at 128 of 200
    }
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 256), image + std::string(56, char(0xFF)));
}

TEST(TransferE2E, KeepVoiceErasesAroundTheStoredVoice) {
    SimulatedDeviceOptions options;
    options.initialMemory = InitialMemory();
    SimulatedDevice sim(options);
    TempDir dir;
    auto file = dir.Write("a.cim", Pattern(300));
    Session s(sim);
    TransferJob job = Job(Operation::TransCim, file);
    job.keepVoice = true;
    ASSERT_EQ(s.Run(job).result, TransferResult::Complete);
    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, 0x100), Pattern(0x100, 3));
    EXPECT_EQ(sim.Memory(kConfigBase + 300, 4), std::string(4, char(0xFF)));

    job.keepVoice = false;
    ASSERT_EQ(s.Run(job).result, TransferResult::Complete);
    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, 0x100), std::string(0x100, char(0xFF)));
    EXPECT_EQ(sim.Memory(kConfigBase, 300), Pattern(300));
}

TEST(TransferE2E, CifFramesLandAtTheirAddresses) {
    SimulatedDevice sim;
    TempDir dir;
    std::string config = Pattern(1000, 11);
    Session s(sim);
    auto outcome = s.Run(Job(Operation::TransCif, dir.Write("a.cif", Frames(config))));
    ASSERT_EQ(outcome.result, TransferResult::Complete) << outcome.message;
    EXPECT_EQ(s.statuses.back(), "8 of 8 0");
    EXPECT_EQ(s.lastPercent, 100);
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 1000), config);
}

TEST(TransferE2E, ShortMemoryImageIsSentAsEightBlocks) {
    SimulatedDevice sim;
    TempDir dir;
    std::string image = Pattern(1000, 13);
    Session s(sim);
    TransferJob job = Job(Operation::TransMem, dir.Write("a.mem", image));
    job.length = 1000;
    ASSERT_EQ(s.Run(job).result, TransferResult::Complete);
    EXPECT_EQ(s.statuses.back(), "8 of 8");
    EXPECT_EQ(s.statuses.size(), 9u);  // "Deleting Memory" and one per block
    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, 1000), image);
    EXPECT_EQ(sim.Memory(0x80000 + 1000, 24), std::string(24, char(0xFF)));
}

TEST(TransferE2E, WholeMemoryImagesWithAndWithoutHeaderAndReadBack) {
    SimulatedDevice sim;
    TempDir dir;
    std::string memory = Pattern(kMemorySize, 17);
    Session s(sim);
    TransferJob job =
        Job(Operation::TransMem, dir.Write("h.mem", std::string("\x08\x00\x00", 3) + memory));
    job.hasHeader = true;
    ASSERT_EQ(s.Run(job).result, TransferResult::Complete);
    EXPECT_EQ(s.statuses.back(), "28672 of 28672");

    auto read = dir / "back.mem";
    ASSERT_EQ(s.Run(Job(Operation::ReadMem, read)).result, TransferResult::Complete);
    EXPECT_EQ(ReadFile(read), std::string("\x08\x00\x00", 3) + memory);

    std::string plain = Pattern(kMemorySize, 19);
    ASSERT_EQ(s.Run(Job(Operation::TransMem, dir.Write("p.mem", plain))).result,
              TransferResult::Complete);
    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, kMemorySize), plain);
}

TEST(TransferE2E, ReadsTheWholeConfiguration) {
    SimulatedDeviceOptions options;
    options.initialMemory = InitialMemory();
    SimulatedDevice sim(options);
    TempDir dir;
    Session s(sim);
    auto file = dir / "read.cim";
    ASSERT_EQ(s.Run(Job(Operation::ReadCim, file)).result, TransferResult::Complete);
    EXPECT_EQ(s.statuses.back(), "24576 of 24576");
    EXPECT_EQ(ReadFile(file), Pattern(0x300000, 5));
}

TEST(TransferE2E, StoppedReadLeavesTheChosenFileAlone) {
    SimulatedDevice sim;
    TempDir dir;
    auto kept = dir.Write("kept.cim", "earlier");
    Session s(sim);
    s.stopAfterBlocks = 5;
    EXPECT_EQ(s.Run(Job(Operation::ReadCim, kept)).result, TransferResult::Stopped);
    EXPECT_EQ(s.statuses.back(), "5 of 24576");
    EXPECT_EQ(ReadFile(kept), "earlier");
    s.turns = 0;
    EXPECT_EQ(s.Run(Job(Operation::ReadMem, dir / "new.mem")).result, TransferResult::Stopped);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.mem"));
}

// Every send erases through the same path; one case, as each waits the
// full minute of the erase time-out.
TEST(TransferE2E, UnansweredEraseSendsNothing) {
    SimulatedDeviceOptions options;
    options.initialMemory = InitialMemory();
    options.args = {"--no-reply", "94"};
    SimulatedDevice sim(options);
    TempDir dir;
    Session s(sim);
    TransferJob job = Job(Operation::TransMem, dir.Write("a.mem", Pattern(256)));
    job.length = 256;
    auto outcome = s.Run(job);
    EXPECT_EQ(outcome.result, TransferResult::NoAnswer);
    EXPECT_EQ(outcome.message, kNoAnswerMessage);
    EXPECT_EQ(s.statuses, std::vector<std::string>{kDeletingMemoryText});
    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, 0x100), Pattern(0x100, 3));
}

TEST(TransferE2E, UnusableFileErasesNothing) {
    SimulatedDeviceOptions options;
    options.initialMemory = InitialMemory();
    SimulatedDevice sim(options);
    TempDir dir;
    Session s(sim);
    std::string frames = Frames(Pattern(256));
    frames[20] ^= 0x40;
    auto outcome = s.Run(Job(Operation::TransCif, dir.Write("bad.cif", frames)));
    EXPECT_EQ(outcome.result, TransferResult::BadFile);
    EXPECT_NE(outcome.message.find("bad.cif"), std::string::npos);
    EXPECT_EQ(s.statuses, std::vector<std::string>{});
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 256), Pattern(0x300000, 5).substr(0, 256));
}

TEST(TransferE2E, DataArrivesIntactOverAFaultyLine) {
    SimulatedDeviceOptions options;
    options.args = {"--nak-rate",  "0.2",  "--bitflip-rate", "0.1",
                    "--drop-rate", "0.02", "--seed",         "5"};
    options.initialMemory = InitialMemory();
    SimulatedDevice sim(options);
    TempDir dir;
    Session s(sim);
    std::string config = Pattern(40 * 128, 23);
    ASSERT_EQ(s.Run(Job(Operation::TransCif, dir.Write("a.cif", Frames(config)))).result,
              TransferResult::Complete);
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, config.size()), config);

    std::string raw = Pattern(3000, 29);
    ASSERT_EQ(s.Run(Job(Operation::TransCim, dir.Write("a.cim", raw))).result,
              TransferResult::Complete);
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, raw.size()), raw);

    std::string memory = Pattern(3000, 31);
    TransferJob mem = Job(Operation::TransMem, dir.Write("a.mem", memory));
    mem.length = 3000;
    ASSERT_EQ(s.Run(mem).result, TransferResult::Complete);

    TransferJob read = Job(Operation::ReadMem, dir / "back.mem");
    read.length = 3000;
    ASSERT_EQ(s.Run(read).result, TransferResult::Complete);
    EXPECT_EQ(ReadFile(dir / "back.mem"), std::string("\x08\x00\x00", 3) + memory);
    std::string stats = sim.Stop();
    EXPECT_NE(stats.find("drops="), std::string::npos) << stats;
}

// orbik-cli, as a user runs it; returns the exit status and its output.
int RunCli(const std::string& args, std::string* output, const TempDir& dir) {
    auto log = dir / "cli.log";
    std::string command = std::string(ORBIK_CLI_PATH) + " " + args + " >" + log.string() + " 2>&1";
    int rc = std::system(command.c_str());
    *output = ReadFile(log);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(TransferCliE2E, SendsAndReadsEveryKindOfImage) {
    SimulatedDeviceOptions options;
    options.initialMemory = InitialMemory();
    SimulatedDevice sim(options);
    TempDir dir;
    std::string out;
    const std::string port = " --port " + sim.PortName();

    auto cim = dir.Write("a.cim", Pattern(200));
    EXPECT_EQ(RunCli("send " + cim.string() + port + " --keep-voice", &out, dir), 0) << out;
    EXPECT_NE(out.find("Transfer Complete"), std::string::npos) << out;
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 256), Pattern(200) + std::string(56, char(0xFF)));
    EXPECT_EQ(sim.Memory(0x80000, 0x100), Pattern(0x100, 3));  // voice kept: erased with 0x95

    auto cif = dir.Write("b.CIF", Frames(Pattern(640, 3)));
    EXPECT_EQ(RunCli("send " + cif.string() + port, &out, dir), 0) << out;
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 640), Pattern(640, 3));
    EXPECT_EQ(sim.Memory(0x80000, 0x100), std::string(0x100, char(0xFF)));

    auto mem = dir.Write("c.mem", Pattern(1000, 7));
    EXPECT_EQ(RunCli("send-mem " + mem.string() + port, &out, dir), 0) << out;
    EXPECT_NE(out.find("memory shorter than memory space"), std::string::npos) << out;
    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, 1000), Pattern(1000, 7));

    auto readCim = dir / "r.cim";
    EXPECT_EQ(RunCli("read-config " + readCim.string() + port, &out, dir), 0) << out;
    EXPECT_EQ(ReadFile(readCim), sim.Memory(kConfigBase, 0x300000));

    auto readMem = dir / "r.mem";
    EXPECT_EQ(RunCli("read-mem " + readMem.string() + port, &out, dir), 0) << out;
    EXPECT_EQ(ReadFile(readMem), std::string("\x08\x00\x00", 3) + sim.Memory(0x80000, kMemorySize));
}

// Ctrl-C during a read at the real line rate stops it between two blocks:
// exit status 130, and neither a new nor a half-read file is left.
TEST(TransferCliE2E, CtrlCStopsAReadAndLeavesNoFile) {
    SimulatedDeviceOptions options;
    options.args = {"--baud", "57600"};
    SimulatedDevice sim(options);
    TempDir dir;
    auto target = dir / "stopped.mem";
    auto log = dir / "cli.log";
    std::string script = std::string(ORBIK_CLI_PATH) + " read-mem " + target.string() + " --port " +
                         sim.PortName() + " >" + log.string() +
                         " 2>&1 & pid=$!; sleep 1.5; kill -INT $pid; wait $pid";
    int rc = std::system(script.c_str());
    std::string out = ReadFile(log);
    ASSERT_TRUE(WIFEXITED(rc)) << out;
    EXPECT_EQ(WEXITSTATUS(rc), 130) << out;
    EXPECT_NE(out.find("transfer stopped"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(TransferCliE2E, FileWhoseReadsFailIsNotSent) {
    TempDir dir;
    std::string out;
    auto mem = dir / "mem.cim";
    std::filesystem::create_symlink("/proc/self/mem", mem);
    EXPECT_EQ(RunCli("send " + mem.string() + " --port COM1", &out, dir), 1);
    EXPECT_NE(out.find("Cannot read " + mem.string() + ": Input/output error"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("Transfer Complete"), std::string::npos) << out;
}

TEST(TransferE2E, ReadIntoAFileThatCannotBeWrittenNamesItOnce) {
    SimulatedDevice sim;
    Session s(sim);
    TempDir dir;
    TransferJob job = Job(Operation::ReadMem, dir / "missing" / "r.mem");
    job.length = 256;
    auto outcome = s.Run(job);
    EXPECT_EQ(outcome.result, TransferResult::WriteFailed);
    EXPECT_EQ(outcome.message,
              "Cannot write " + job.fileName.string() + ": No such file or directory");
}

TEST(TransferCliE2E, RefusesBadImagesBeforeTouchingTheDevice) {
    SimulatedDeviceOptions options;
    options.initialMemory = InitialMemory();
    SimulatedDevice sim(options);
    TempDir dir;
    std::string out;
    const std::string port = " --port " + sim.PortName();

    auto other = dir.Write("o.mem", std::string("\x07\x00\x00", 3) + Pattern(kMemorySize));
    EXPECT_EQ(RunCli("send-mem " + other.string() + port, &out, dir), 1);
    EXPECT_NE(out.find("invalid start address"), std::string::npos) << out;

    auto empty = dir.Write("e.cim", "");
    EXPECT_EQ(RunCli("send " + empty.string() + port, &out, dir), 1);
    EXPECT_NE(out.find(empty.string() + " is empty"), std::string::npos) << out;

    EXPECT_EQ(RunCli("send " + empty.string() + " --port LPT1", &out, dir), 1);
    EXPECT_NE(out.find("e.cim is empty"), std::string::npos) << out;
    EXPECT_EQ(RunCli("read-mem " + (dir / "x.mem").string() + " --port LPT1", &out, dir), 1);
    EXPECT_NE(out.find("Cannot open LPT1"), std::string::npos) << out;
    EXPECT_EQ(RunCli("send", &out, dir), 2);

    sim.Save();
    EXPECT_EQ(sim.Memory(0x80000, 0x100), Pattern(0x100, 3));
    EXPECT_EQ(sim.Memory(kConfigBase, 256), Pattern(0x300000, 5).substr(0, 256));
}

}  // namespace
}  // namespace orbik::link
