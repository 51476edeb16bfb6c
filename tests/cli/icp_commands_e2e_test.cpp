// orbik-cli pack, unpack and icp-info, run as a user runs them, on the
// sample IR code file of the demo installation.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/FileSystem.h"
#include "signals/IrCodeFile.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using orbik::test::RunProcess;
using orbik::test::TempDir;

const fs::path kDemo = ORBIK_DEMO_DIR;

orbik::test::ProcessResult Cli(const std::string& command, const fs::path& file) {
    return RunProcess({ORBIK_CLI_PATH, command, file.string()});
}

std::string Sample() {
    std::string bytes;
    EXPECT_TRUE(orbik::platform::ReadWholeFile(kDemo / "IR_ICP/TV_Demo.icp", &bytes,
                                               orbik::signals::kMaxFileSize));
    return bytes;
}

TEST(IcpCommands, UnpackThenPackGivesTheSampleBackUnderItsLowerCaseName) {
    TempDir dir;
    std::string sample = Sample();
    ASSERT_EQ(sample[10], '\0') << "the sample is stored packed";
    dir.Write("tv.icp", sample);

    auto unpack = Cli("unpack", dir / "tv.ixp");
    ASSERT_EQ(unpack.status, 0) << unpack.output;
    EXPECT_NE(unpack.output.find("tv.ICU"), std::string::npos) << unpack.output;
    std::string unpacked = dir.Read("tv.ICU");
    EXPECT_EQ(static_cast<unsigned char>(unpacked[10]), 0xFF);

    // Packing replaces the existing tv.icp rather than adding a tv.ICP beside it.
    fs::rename(dir / "tv.ICU", dir / "tv.ixp");
    dir.Write("tv.icp", "stale");
    auto pack = Cli("pack", dir / "tv.ixp");
    ASSERT_EQ(pack.status, 0) << pack.output;
    EXPECT_EQ(dir.Read("tv.icp"), sample);
    EXPECT_FALSE(fs::exists(dir / "tv.ICP"));
}

TEST(IcpCommands, FailedPackOrUnpackLeavesEveryFileAsItWas) {
    TempDir dir;
    dir.Write("packed.ixp", Sample());  // already packed: nothing to do
    dir.Write("packed.icp", "older result");
    auto pack = Cli("pack", dir / "packed.ixp");
    EXPECT_EQ(pack.status, 1);
    EXPECT_NE(pack.output.find("orbik-cli pack:"), std::string::npos) << pack.output;
    EXPECT_EQ(dir.Read("packed.icp"), "older result");

    std::string truncated = Sample().substr(0, 300);
    dir.Write("cut.ixp", truncated);
    dir.Write("cut.icp", truncated);
    EXPECT_EQ(Cli("unpack", dir / "cut.ixp").status, 1);
    EXPECT_FALSE(fs::exists(dir / "cut.ICU"));

    std::string unpackedCut = Sample();
    unpackedCut[10] = '\xFF';  // an unpacked file whose blocks are not there
    dir.Write("bad.ixp", unpackedCut.substr(0, 230));
    EXPECT_EQ(Cli("pack", dir / "bad.ixp").status, 1);
    EXPECT_FALSE(fs::exists(dir / "bad.ICP"));
    EXPECT_EQ(orbik::platform::ListDirectory(dir.Path()).size(), 5u) << "no temporary files left";

    auto usage = RunProcess({ORBIK_CLI_PATH, "pack"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.output.find("usage: orbik-cli pack FILE"), std::string::npos);
}

TEST(IcpCommands, InfoShowsHeaderAndSlotsAndNeverPassesControlBytesOn) {
    TempDir dir;
    std::string sample = Sample();
    dir.Write("tv.icp", sample);
    auto info = Cli("icp-info", dir / "tv.icp");
    ASSERT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("Name:        \"" + sample.substr(0, 10) + "\""), std::string::npos)
        << info.output;
    EXPECT_NE(info.output.find("Form:        packed (0)"), std::string::npos);
    EXPECT_NE(info.output.find(" 102 "), std::string::npos) << "every slot is listed";

    std::string hostile = sample;
    hostile.replace(0, 10, "\x1b]0;x\x07\x1b[2J");
    dir.Write("hostile.icp", hostile);
    info = Cli("icp-info", dir / "hostile.icp");
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.output.find('\x1b'), std::string::npos);
    EXPECT_NE(info.output.find("\"?]0;x??[2J\""), std::string::npos) << info.output;

    std::string unknownForm = sample;
    unknownForm[10] = 7;
    dir.Write("seven.icp", unknownForm);
    info = Cli("icp-info", dir / "seven.icp");
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("Form:        unknown (7), read as packed"), std::string::npos)
        << info.output;

    dir.Write("cut.icp", sample.substr(0, 400));
    info = Cli("icp-info", dir / "cut.icp");
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.output.find("damaged"), std::string::npos) << info.output;
}

}  // namespace
