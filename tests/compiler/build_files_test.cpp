// Builds against what the disk does: links, outputs that cannot be
// replaced, long names, limits the image stores in 16 bits.

#include <gtest/gtest.h>

#include "compiler/BuildConfiguration.h"
#include "compiler/Steps.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"
#include "support/TestProject.h"

namespace orbik::compiler {
namespace {

namespace fs = std::filesystem;

// Item A offers the devices of type TV.
void AddDevices(test::TestProject& project, std::string_view deviceList) {
    project.File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=tv", "option=devices=TV"});
    project.File("Devices/TV/DEVVOCAB.TXT", {});
    project.File("Devices/TV/tv.icp", {"signals"});
    ASSERT_TRUE(
        platform::WriteFileAtomic(project.ProjectDir() / "Devices/TV/DEVLIST.TXT", deviceList));
}

std::string DeviceList(std::size_t count) {
    std::string list;
    for (std::size_t i = 0; i < count; ++i) list += "device=tv.icp\r\n";
    return list;
}

TEST(BuildFiles, LinksLeadingOutOfTheProjectCountAsMissing) {
    test::TestProject project;
    test::TempDir elsewhere;
    fs::path secret = elsewhere.Write("secret", "not for the image");
    AddDevices(project, "device=tv.icp\r\ndevice=inner.icp\r\n");
    // A link that stays inside the project keeps working.
    fs::create_symlink("tv.icp", project.ProjectDir() / "Devices/TV/inner.icp");
    ASSERT_FALSE(project.Build().Failed()) << project.Build().Status();

    StatusLines log;
    // The second link is found without regard to case.
    for (const char* link : {"tv.icp", "TV.ICP"}) {
        fs::remove(project.ProjectDir() / "Devices/TV/tv.icp");
        fs::path target = link[0] == 't' ? secret : fs::path("/proc/self/mem");
        fs::create_symlink(target, project.ProjectDir() / "Devices/TV" / link);
        log = project.Build();
        EXPECT_EQ(log.Status(),
                  "file " + (fs::path("..") / "Devices" / "TV" / "tv.icp").string() + " not found");
        EXPECT_EQ(log.Detail(), kLeadsOutside);
    }

    // A folder of the project that is a link out counts the same.
    fs::remove(project.ProjectDir() / "Devices/TV/tv.icp");
    fs::rename(project.ProjectDir() / "Items&Menus/A", elsewhere / "A");
    fs::create_symlink(elsewhere / "A", project.ProjectDir() / "Items&Menus/A");
    log = project.Build();
    EXPECT_EQ(log.Status(),
              "file " + (project.ProjectDir() / "Items&Menus/A/ITEM.TXT").string() + " not found");
    EXPECT_EQ(log.Detail(), kLeadsOutside);
}

TEST(BuildFiles, RecordingsLeadingOutOfTheProgramDirectoryCountAsMissing) {
    test::TestProject project;
    test::TempDir elsewhere;
    fs::path recording = project.ProgramDir() / "Speech/English/English_tv_1.ply";
    // Within the program directory a link is fine.
    fs::rename(recording, project.ProgramDir() / "tv.ply");
    fs::create_symlink(project.ProgramDir() / "tv.ply", recording);
    ASSERT_FALSE(project.Build().Failed());

    fs::remove(recording);
    fs::create_symlink(elsewhere.Write("outside.ply", "x"), recording);
    StatusLines log = project.Build();
    EXPECT_EQ(log.Status(), "file " + recording.string() + " not found");
    EXPECT_EQ(log.Detail(), kLeadsOutside);
}

TEST(BuildFiles, OutputsAreReplacedTogetherOrNotAtAll) {
    for (const char* blocked : {"P.CIF", "PROTOCOL.TXT"}) {
        test::TestProject project;
        ASSERT_FALSE(project.Build().Failed());
        std::string cim = project.ReadProjectFile("P.CIM");
        std::string cif = project.ReadProjectFile("P.CIF");
        // A new descriptor: every output would change.
        project.File("P.txt", {"descriptor=Changed", "language=English", "item=A"});
        fs::remove(project.ProjectDir() / blocked);
        fs::create_directories(project.ProjectDir() / blocked / "in the way");

        StatusLines log = project.Build();
        EXPECT_EQ(log.Status(),
                  "cannot write " + (project.ProjectDir() / blocked).string() + ": Is a directory");
        EXPECT_EQ(project.ReadProjectFile("P.CIM"), cim) << blocked;
        if (std::string(blocked) != "P.CIF") EXPECT_EQ(project.ReadProjectFile("P.CIF"), cif);
        for (const auto& entry : platform::ListDirectory(project.ProjectDir()))
            EXPECT_NE(entry.name.rfind(".orbik-", 0), 0u) << "left behind: " << entry.name;
    }
}

TEST(BuildFiles, ProjectWithALongNameBuilds) {
    test::TestProject project;
    // With ".CIM" the output name reaches 250 characters.
    std::string name(246, 'L');
    fs::rename(project.ProjectDir() / "P.txt", project.ProjectDir() / (name + ".txt"));
    StatusLines log;
    ASSERT_TRUE(BuildConfiguration(name, project.ProjectDir(), project.ProgramDir(), log))
        << log.Status();
    EXPECT_TRUE(fs::is_regular_file(project.ProjectDir() / (name + ".CIM")));
    EXPECT_TRUE(fs::is_regular_file(project.ProjectDir() / (name + ".CIF")));
}

TEST(BuildFiles, DevicesOfATypeUpToTheirLimit) {
    test::TestProject project;
    AddDevices(project, DeviceList(kMaxDevicesPerType));
    BuildState state;
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    EXPECT_EQ(state.items[0].maxOption, kMaxDevicesPerType - 1);

    AddDevices(project, DeviceList(kMaxDevicesPerType + 1));
    log = project.Build();
    EXPECT_EQ(log.Status(), "more than 32768 devices in " +
                                (fs::path("..") / "Devices" / "TV" / "DEVLIST.TXT").string());
}

TEST(BuildFiles, NulInANameIsShownAsQuestionMark) {
    test::TestProject project;
    project.File("P.txt", {"language=English", std::string_view("item=A\0B", 8)});
    StatusLines log = project.Build();
    EXPECT_EQ(log.Status(), "file " + (project.ProjectDir() / "Items&Menus/A?B/ITEM.TXT").string() +
                                " not found");
}

TEST(BuildFiles, ProjectFileBeyondItsLimitIsNotReadAndSaysWhy) {
    test::TestProject project;
    fs::resize_file(project.ProjectDir() / "KEYWORDS.TXT", platform::kMaxTextFileSize + 1);
    StatusLines log = project.Build();
    EXPECT_EQ(log.Status(),
              "file " + (project.ProjectDir() / "KEYWORDS.TXT").string() + " not found");
    EXPECT_EQ(log.Detail(), "File too large");
}

}  // namespace
}  // namespace orbik::compiler
