// orbik-cli backup-info and backup-copy, run in a program directory on
// backups of the built demo project.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/DemoImage.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using orbik::test::TempDir;

struct Program {
    Program() {
        dir.Write("orbik.ini", "[Paths]\r\nProject=\\Project\r\nIR_ICP=\\IR_ICP\r\n");
        dir.Write("IR_ICP/Old.icp", "kept");
        cim = orbik::test::BuildDemoCim(dir.Path());
    }
    // Runs orbik-cli in the program directory, as a user does.
    orbik::test::ProcessResult Cli(const std::string& arguments) const {
        return orbik::test::RunProcess({"/bin/sh", "-c",
                                        "cd '" + dir.Path().string() + "' && exec '" +
                                            std::string(ORBIK_CLI_PATH) + "' " + arguments});
    }
    TempDir dir;
    std::string cim;
};

const char kDemoInfo[] =
    "ID: ORBIK demo\n2 Languages\n19 Keywords\n6 Items\n3 Menus\n2 Devices\n"
    "TV: Empty, TV_Demo\nPhone: Empty\n";

TEST(BackupCommands, InfoListsTheSameForTheImageAndItsMemoryBackups) {
    Program p;
    p.dir.Write("BACKUP.MEM", orbik::test::MemoryImage(p.cim, false));
    p.dir.Write("headed.mem", orbik::test::MemoryImage(p.cim, true));
    for (const char* file : {"Project/Demo/Demo.CIM", "BACKUP.MEM", "headed.mem"}) {
        auto run = p.Cli(std::string("backup-info ") + file);
        EXPECT_EQ(run.status, 0) << file;
        EXPECT_EQ(run.output, kDemoInfo) << file;
    }
    p.dir.Write("cut.cim", p.cim.substr(0, 200));
    auto cut = p.Cli("backup-info cut.cim");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.output.rfind("ID: ORBIK demo\n2 Languages\n", 0), 0u) << cut.output;
    EXPECT_NE(cut.output.find("cut.cim"), std::string::npos) << cut.output;
}

TEST(BackupCommands, CopyWritesTheLibraryFileOnceAndRefusesBadNames) {
    Program p;
    auto copy = p.Cli("backup-copy Project/Demo/Demo.CIM Phone New");
    ASSERT_EQ(copy.status, 0) << copy.output;
    std::string packed = p.dir.Read("IR_ICP/New.icp");
    EXPECT_EQ(packed.substr(0, 11), std::string("New       \0", 11));

    for (const char* name : {"NEW", "old"}) {
        auto again = p.Cli(std::string("backup-copy Project/Demo/Demo.CIM TV ") + name);
        EXPECT_EQ(again.status, 1);
        EXPECT_EQ(again.output, "Filename already exists\n");
    }
    EXPECT_EQ(p.Cli("backup-copy Project/Demo/Demo.CIM TV ../x").status, 1);
    EXPECT_EQ(p.Cli("backup-copy Project/Demo/Demo.CIM Radio R").status, 1);
    EXPECT_FALSE(fs::exists(p.dir / "x.icp"));
    EXPECT_EQ(p.dir.Read("IR_ICP/New.icp"), packed);
    EXPECT_EQ(p.dir.Read("IR_ICP/Old.icp"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(p.dir / "IR_ICP"), fs::directory_iterator()), 2);
}

}  // namespace
