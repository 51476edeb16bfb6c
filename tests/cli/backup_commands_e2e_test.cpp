// orbik-cli backup-info and backup-copy, run in a program directory on
// backups of the built demo project.

#include <gtest/gtest.h>

#include "support/DemoImage.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace {

TEST(BackupCommands, InfoAndCopyAsAUserRunsThem) {
    orbik::test::TempDir dir;
    dir.Write("orbik.ini", "[Paths]\r\nIR_ICP=\\IR_ICP\r\n");
    dir.Write("IR_ICP/Old.icp", "kept");
    std::string cim = orbik::test::BuildDemoCim(dir.Path());
    dir.Write("BACKUP.MEM", orbik::test::MemoryImage(cim, true));
    dir.Write("cut.cim", cim.substr(0, 200));
    auto cli = [&dir](const std::string& arguments) {
        return orbik::test::RunProcess({"/bin/sh", "-c",
                                        "cd '" + dir.Path().string() + "' && exec '" +
                                            std::string(ORBIK_CLI_PATH) + "' " + arguments});
    };
    const std::string info =
        "ID: Demo      \n2 Languages\n21 Keywords\n10 Items\n5 Menus\n2 Devices\n"
        "TV: Empty, TV_Demo\nPhone: Empty\n";
    for (const char* file : {"Project/Demo/Demo.CIM", "BACKUP.MEM"}) {
        auto run = cli(std::string("backup-info ") + file);
        EXPECT_EQ(run.status, 0) << file;
        EXPECT_EQ(run.output, info) << file;
    }
    auto cut = cli("backup-info cut.cim");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.output.rfind(info.substr(0, 50), 0), 0u) << cut.output;
    EXPECT_NE(cut.output.find("cut.cim"), std::string::npos) << cut.output;

    EXPECT_EQ(cli("backup-copy BACKUP.MEM Phone New").status, 0);
    EXPECT_EQ(dir.Read("IR_ICP/New.icp").substr(0, 11), std::string("New       \0", 11));
    auto taken = cli("backup-copy Project/Demo/Demo.CIM TV OLD");
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.output, "Filename already exists\n");
    EXPECT_EQ(dir.Read("IR_ICP/Old.icp"), "kept");
    EXPECT_EQ(cli("backup-copy BACKUP.MEM TV ../x").status, 1);
    EXPECT_EQ(cli("backup-copy BACKUP.MEM Radio R").status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.icp"));
}

}  // namespace
