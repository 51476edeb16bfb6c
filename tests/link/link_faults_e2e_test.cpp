// Faults of the line and of the device against orbiksim: damaged replies,
// a second program on the port, a device that vanishes mid-transfer, and
// verifying what was sent.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/Protocol.h"
#include "link/Transfer.h"
#include "support/Process.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "support/TransferFiles.h"

namespace orbik::link {
namespace {

using test::Frames;
using test::Pattern;
using test::RunProcess;
using test::SimulatedDevice;
using test::SimulatedDeviceOptions;
using test::TempDir;

constexpr uint32_t kConfigBase = SimulatedDevice::kConfigBase;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

SimulatedDeviceOptions WithArgs(std::vector<std::string> args) {
    SimulatedDeviceOptions options;
    options.args = std::move(args);
    return options;
}

// An open, identified connection, as a command holds it.
struct Connection {
    explicit Connection(const SimulatedDevice& sim)
        : link(sim.PortName(), [this](const std::string& m) { messages.push_back(m); }) {
        EXPECT_TRUE(link.OpenPort());
        EXPECT_TRUE(link.Identify());
    }
    ~Connection() { link.ClosePort(); }

    TransferOutcome Run(Operation operation, const std::filesystem::path& file) {
        TransferJob job;
        job.operation = operation;
        job.fileName = file;
        return RunTransfer(link, job, {});
    }

    std::vector<std::string> messages;
    DeviceLink link;
};

TEST(RequestSequence, FramedSendIdentifiesAgainAfterTheEraseAndAtTheEnd) {
    TempDir dir;
    auto log = dir / "requests.log";
    SimulatedDevice sim(WithArgs({"--request-log", log.string()}));
    Connection c(sim);
    ASSERT_EQ(Lines(log), (std::vector<std::string>{"80", "C0"}));
    auto file = dir.Write("a.cif", Frames(Pattern(3 * 128)));
    ASSERT_EQ(c.Run(Operation::TransCif, file).result, TransferResult::Complete);
    EXPECT_EQ(Lines(log), (std::vector<std::string>{"80", "C0", "94", "80", "C0", "91", "91", "91",
                                                    "80", "C0"}));
}

TEST(RequestSequence, DeviceIdRequestWithAWrongFixedByteGetsNoAnswer) {
    SimulatedDevice sim;
    Connection c(sim);
    EXPECT_EQ(c.link.DeviceID, "0123456789AB");
    for (int at = 1; at <= 4; ++at) {
        c.link.InitRequests();
        c.link.Requests[kReadDeviceId].payload[at] ^= 0x01;
        EXPECT_FALSE(c.link.Exchange(kReadDeviceId, 200)) << "byte " << at;
    }
    c.link.InitRequests();
    EXPECT_TRUE(c.link.Exchange(kReadDeviceId, 1000));
}

// A byte with a parity error is dropped by the port: the reply comes up
// short and the block is sent again. Before, it read as 0x00, and a "send
// again" reply damaged on the way passed for "accepted".
TEST(DamagedReplies, ParityErrorsOnEveryReplyNeverEndInSuccessWithOtherData) {
    TempDir dir;
    SimulatedDevice sim(WithArgs({"--corrupt-rate", "0.3", "--nak-rate", "0.5", "--seed", "4"}));
    TransferOutcome outcome;
    std::string config = Pattern(8 * 128, 11);
    {
        DeviceLink link(sim.PortName(), {});
        ASSERT_TRUE(link.OpenPort());
        for (int attempt = 0; attempt < 5 && !link.Identify(); ++attempt) {
        }
        ASSERT_TRUE(link.Connected);
        TransferJob job;
        job.operation = Operation::TransCim;
        job.fileName = dir.Write("a.cim", config);
        outcome = RunTransfer(link, job, {});
        link.ClosePort();
    }
    std::string stats = sim.Stop();
    EXPECT_EQ(outcome.result, TransferResult::Complete) << outcome.message;
    EXPECT_TRUE(sim.Memory(kConfigBase, config.size()) == config) << stats;
    EXPECT_EQ(stats.find("corrupts=0 "), std::string::npos) << stats;
}

int RunCli(const std::string& args, std::string* output, const TempDir& dir,
           const std::string& workDir = ".") {
    auto log = dir / "cli.log";
    std::string command =
        "cd " + workDir + " && " + ORBIK_CLI_PATH + " " + args + " >" + log.string() + " 2>&1";
    int rc = std::system(command.c_str());
    *output = ReadFile(log);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// Data bits damaged without a parity error turn a "send again" into
// "accepted" unnoticed; reading back finds the block and sends it again.
TEST(Verify, DataBitDamageEndsVerifiedWithIdenticalMemory) {
    TempDir dir;
    SimulatedDevice sim(WithArgs({"--bitflip-rate", "0.5", "--nak-rate", "0.5", "--seed", "2"}));
    std::string out;
    const std::string port = " --port " + sim.PortName();
    std::string config = Pattern(12 * 128, 13);
    auto cim = dir.Write("a.cim", config);
    EXPECT_EQ(RunCli("send " + cim.string() + " --verify" + port, &out, dir), 0) << out;
    EXPECT_NE(out.find("Transfer Complete\nVerified\n"), std::string::npos) << out;
    sim.Save();
    EXPECT_TRUE(sim.Memory(kConfigBase, config.size()) == config);

    // A memory image erases the configuration too.
    std::string memory = Pattern(10 * 128 + 17, 19);
    auto mem = dir.Write("a.mem", memory);
    EXPECT_EQ(RunCli("send-mem " + mem.string() + " --verify" + port, &out, dir), 0) << out;
    EXPECT_NE(out.find("Verified"), std::string::npos) << out;
    std::string stats = sim.Stop();
    EXPECT_TRUE(sim.Memory(SimulatedDevice::kImageBase, memory.size()) == memory) << stats;
    // The damage happened, and "send again" turned into "accepted" unnoticed.
    EXPECT_NE(stats.find("resend_mismatches="), std::string::npos);
    EXPECT_EQ(stats.find("resend_mismatches=0 "), std::string::npos) << stats;
}

TEST(Verify, FramedImageIsComparedAtItsFramesAddresses) {
    TempDir dir;
    SimulatedDevice sim;
    std::string frames = Frames(Pattern(2 * 128, 3));
    // Both frames at 0x000080: whichever is sent last hides the other, so
    // one block differs after every round.
    frames[2] = char(0x80);
    auto cif = dir.Write("a.cif", frames);
    std::string out;
    EXPECT_EQ(RunCli("send " + cif.string() + " --verify --port " + sim.PortName(), &out, dir), 1)
        << out;
    EXPECT_NE(out.find("1 block differs from " + cif.string()), std::string::npos) << out;
}

// The device vanishes mid-transfer (the other end of the terminal closes):
// the operation ends at once, with the reason, without burning a core.
TEST(LostDevice, ReadEndsAtOnceLeavingNoFile) {
    TempDir dir;
    SimulatedDevice sim(WithArgs({"--baud", "57600"}));
    auto target = dir / "r.cim";
    auto run = test::RunProcessWhile(
        {ORBIK_CLI_PATH, "read-config", target.string(), "--port", sim.PortName()},
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            sim.Stop();
        },
        10000);
    EXPECT_FALSE(run.killed) << run.output;
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("Connection to " + sim.PortName() + " lost"), std::string::npos)
        << run.output;
    EXPECT_LT(run.secondsAfterMeanwhile, 3.0);
    EXPECT_LT(run.cpuSeconds, 1.5);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // no file, no temporary file
}

TEST(LostDevice, UpgradeStopsAtOnce) {
    SimulatedDevice sim(WithArgs({"--baud", "57600"}));
    auto run = test::RunProcessWhile(
        {ORBIKFLASH_PATH, std::to_string(sim.Port())},
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            sim.Stop();
        },
        10000);
    EXPECT_FALSE(run.killed) << run.output;
    EXPECT_EQ(run.status, 255) << run.output;
    EXPECT_NE(run.output.find("     transmission error\n"), std::string::npos) << run.output;
    EXPECT_LT(run.secondsAfterMeanwhile, 2.0);  // not the 5 s time-out
    EXPECT_LT(run.cpuSeconds, 1.5);
}

TEST(SharedPort, SecondProgramCannotOpenThePort) {
    SimulatedDevice sim;
    DeviceLink first(sim.PortName(), {});
    ASSERT_TRUE(first.OpenPort());
    auto second = RunProcess({ORBIK_CLI_PATH, "identify", "--port", sim.PortName()});
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.output, "Cannot open " + sim.PortName() + "\n");
    first.ClosePort();
    EXPECT_EQ(RunProcess({ORBIK_CLI_PATH, "identify", "--port", sim.PortName()}).status, 0);
}

TEST(TransferCli, ChecksComeBeforeTheDeviceAndThePortComesFromTheSettings) {
    TempDir dir;
    SimulatedDevice sim;
    std::string out;
    dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    auto empty = dir.Write("e.mem", "");
    EXPECT_EQ(RunCli("send-mem " + empty.string(), &out, dir, dir.Path().string()), 1);
    EXPECT_EQ(out, "orbik-cli send-mem: " + empty.string() + " is empty\n");

    auto start = std::chrono::steady_clock::now();
    auto unwritable = dir / "missing" / "r.cim";
    EXPECT_EQ(RunCli("read-config " + unwritable.string(), &out, dir, dir.Path().string()), 1);
    EXPECT_NE(out.find("Cannot write " + unwritable.string() + ": "), std::string::npos) << out;
    EXPECT_EQ(out.find(unwritable.string(), out.find(unwritable.string()) + 1), std::string::npos)
        << "path repeated: " << out;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    auto mem = dir.Write("m.mem", Pattern(300));
    EXPECT_EQ(RunCli("send-mem " + mem.string(), &out, dir, dir.Path().string()), 0) << out;
    sim.Save();
    EXPECT_EQ(sim.Memory(SimulatedDevice::kImageBase, 300), Pattern(300));
}

}  // namespace
}  // namespace orbik::link
