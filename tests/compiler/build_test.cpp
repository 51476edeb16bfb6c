// Whole builds: file-name case, the listing, the demo project.

#include <gtest/gtest.h>

#include "compiler/BuildConfiguration.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "support/TestProject.h"

namespace orbik::compiler {
namespace {

namespace fs = std::filesystem;

struct ProjectFile {
    const char* path;
    std::initializer_list<std::string_view> lines;
};

// A project with a device type, a sub-menu and both kinds of device.
const ProjectFile kDeviceProject[] = {
    {"KEYWORDS.TXT",
     {"keyword=wake", "type=wakeup", "English=wake", "keyword=tv", "type=deviceselection",
      "English=tv", "keyword=louder", "type=control"}},
    {"Items&Menus/A/ITEM.TXT",
     {"English=A", "keyword=tv", "option=devices=TV", "minoption=0", "startoption=0"}},
    {"Items&Menus/Main/MENU.TXT",
     {"keyword=tv", "procedure=SetMenu(Sub)", "procedure=SetDevice(A)"}},
    {"Items&Menus/Sub/MENU.TXT",
     {"keyword=louder", "procedure=SendButton(vol_plus)", "procedure=SetMenu(Main)"}},
    {"Devices/TV/DEVLIST.TXT", {"device=tv.icp", "device=--01.icp"}},
    {"Devices/TV/DEVVOCAB.TXT", {"keyword=louder"}},
    {"Devices/TV/tv.icp", {"signal data"}},
    {"Devices/TV/--01.icp", {"special data"}},
};

void WriteDeviceProject(test::TestProject& project, bool lowerCase) {
    fs::remove_all(project.ProjectDir());
    project.File("P.txt", {"descriptor=Case", "language=English", "item=A"});
    project.File(lowerCase ? "languages.txt" : "LANGUAGES.TXT", {"English=English"});
    project.File(lowerCase ? "displays.txt" : "DISPLAYS.TXT", {"display=1", "English=Hi"});
    for (const auto& file : kDeviceProject) {
        std::string path = file.path;
        // Device file names stay as the list names them; their folders change case.
        if (lowerCase) {
            fs::path p(path);
            bool device = p.extension() == ".icp";
            path = platform::ToLowerAscii(device ? p.parent_path().string() : path);
            if (device) path += "/" + p.filename().string();
        }
        project.File(path, file.lines);
    }
    project.Recordings("English", "louder");
}

TEST(Build, LowerCaseFileNamesBuildTheSameImage) {
    test::TestProject upper, lower;
    WriteDeviceProject(upper, false);
    WriteDeviceProject(lower, true);
    ASSERT_TRUE(fs::exists(lower.ProjectDir() / "items&menus" / "main" / "menu.txt"));
    StatusLines upperLog = upper.Build(), lowerLog = lower.Build();
    ASSERT_FALSE(upperLog.Failed()) << upperLog.Status();
    ASSERT_FALSE(lowerLog.Failed()) << lowerLog.Status();
    std::string cim = upper.ReadProjectFile("P.CIM");
    EXPECT_EQ(cim.substr(65536, 12), "special data");  // "--" devices sit on 64 KiB
    EXPECT_EQ(cim, lower.ReadProjectFile("P.CIM"));
    EXPECT_EQ(upper.ReadProjectFile("P.CIF"), lower.ReadProjectFile("P.CIF"));
    EXPECT_EQ(upper.ReadProjectFile("PROTOCOL.TXT"), lower.ReadProjectFile("PROTOCOL.TXT"));
}

TEST(Build, ProtocolListsTheTablesAfterTheChecks) {
    test::TestProject project;
    WriteDeviceProject(project, false);
    ASSERT_FALSE(project.Build().Failed());
    std::vector<std::string> lines = platform::SplitLines(project.ReadProjectFile("PROTOCOL.TXT"));
    std::vector<std::string> expected = {"1 languages",
                                         "================",
                                         "",
                                         "English",
                                         "",
                                         "",
                                         "3 keywords",
                                         "================",
                                         "",
                                         "keyword=wake",
                                         "wake",
                                         "",
                                         "keyword=tv",
                                         "tv",
                                         "",
                                         "keyword=louder",
                                         "",
                                         "",
                                         "",
                                         "",
                                         "1 items",
                                         "================",
                                         "",
                                         "item=A",
                                         "A",
                                         "keyword=tv",
                                         "0 / 1 / -1 / 0 : devices(TV)",
                                         "",
                                         "",
                                         "",
                                         "2 menus",
                                         "================",
                                         "",
                                         "Main, tv, 2 procedures",
                                         "SetMenu(3) Sub(1) true(0) ",
                                         "SetDevice(6) A(0) true(0) ",
                                         "",
                                         "",
                                         "Sub, tv, 2 procedures",
                                         "SetMenu(3) Sub(1) true(0) ",
                                         "SetDevice(6) A(0) true(0) ",
                                         "",
                                         "Sub, louder, 2 procedures",
                                         "SendButton(7) vol_plus(18) true(0) ",
                                         "SetMenu(3) Main(0) true(0) ",
                                         "",
                                         "",
                                         "1 device types",
                                         "================",
                                         "",
                                         "TV",
                                         "",
                                         ""};
    EXPECT_EQ(lines, expected);
}

TEST(Build, FailedBuildLeavesEarlierOutputsAndWritesNone) {
    test::TestProject project;
    ASSERT_FALSE(project.Build().Failed());
    std::string cim = project.ReadProjectFile("P.CIM");
    project.File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=Bogus"});
    StatusLines log = project.Build();
    EXPECT_EQ(log.Status(), "invalid procedure Bogus in " +
                                (project.ProjectDir() / "Items&Menus/Main/MENU.TXT").string());
    EXPECT_EQ(project.ReadProjectFile("P.CIM"), cim);
}

TEST(Build, ListingThatCannotBeWrittenIsReported) {
    test::TestProject project;
    fs::create_directories(project.ProjectDir() / "PROTOCOL.TXT" / "in the way");
    StatusLines log = project.Build();
    EXPECT_TRUE(log.Failed());
    // Worded like the image files' write errors, naming the file.
    EXPECT_NE(log.Status().find((project.ProjectDir() / "PROTOCOL.TXT").string()),
              std::string::npos)
        << log.Status();
    EXPECT_EQ(log.Finished().rfind("framing configuration", 0), 0u);
}

// Every count differs from the others, so a swapped pair shows.
TEST(Build, ConfigurationHeaderCountsLanguagesKeywordsItemsMenusDevices) {
    test::TestProject project;
    project.File("P.txt", {"descriptor=Counts", "language=English", "item=A", "item=B"});
    project.File("KEYWORDS.TXT",
                 {"keyword=wake", "type=wakeup", "English=wake", "keyword=tv",
                  "type=deviceselection", "English=tv", "keyword=go", "type=next", "English=go",
                  "keyword=run", "type=execute", "English=run", "keyword=unused", "type=control"});
    project.File("Items&Menus/B/ITEM.TXT", {"English=B"});
    project.File("Items&Menus/Main/MENU.TXT",
                 {"keyword=tv", "procedure=SetMenu(One)", "procedure=SetMenu(Two)"});
    project.File("Items&Menus/One/MENU.TXT", {"keyword=go", "procedure=Nothing"});
    project.File("Items&Menus/Two/MENU.TXT", {"keyword=run", "procedure=Nothing"});
    project.Recordings("English", "go");
    project.Recordings("English", "run");
    BuildState state;
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    // After the 64-byte descriptor: L, K, I, M, D.
    EXPECT_EQ(state.image.substr(27 + 64, 5), std::string("\x01\x04\x02\x03\x00", 5));
}

// Names in project files are Windows-1252; the folders they name are
// UTF-8 on disk, and messages show the names as the files spell them.
TEST(Build, Cp1252NamesFindTheirUtf8FoldersAndMessagesKeepTheBytes) {
    test::TestProject project;
    project.File("P.txt", {"descriptor=Test", "language=English", "item=K\xFC\x63he"});
    project.File("Items&Menus/K\xC3\xBC\x63he/ITEM.TXT", {"English=K\xFC\x63he", "keyword=tv"});
    project.File("Items&Menus/Main/MENU.TXT",
                 {"keyword=tv", "procedure=SetMenu(M\xE9nu)", "procedure=SetDevice(K\xFC\x63he)"});
    project.File("Items&Menus/M\xC3\xA9nu/MENU.TXT", {"keyword=tv", "procedure=Nothing"});
    StatusLines log = project.Build();
    ASSERT_FALSE(log.Failed()) << log.Status();

    project.Remove("Items&Menus/K\xC3\xBC\x63he/ITEM.TXT");
    log = project.Build();
    std::string dir = platform::Utf8ToCp1252(project.ProjectDir().string());
    EXPECT_EQ(log.Status(), "file " + dir + "/Items&Menus/K\xFC\x63he/ITEM.TXT not found");
}

TEST(Build, DemoProjectBuilds) {
    test::TempDir program;
    fs::path demo = ORBIK_DEMO_DIR;
    fs::copy(demo / "Speech", program / "Speech", fs::copy_options::recursive);
    fs::create_directories(program / "Project");
    fs::copy(demo / "Project" / "Demo", program / "Project" / "Demo", fs::copy_options::recursive);
    StatusLines log;
    BuildState state = MakeBuildState("Demo", program / "Project" / "Demo", program.Path());
    ASSERT_TRUE(BuildConfiguration(state, log)) << log.Status();
    EXPECT_EQ(state.languages.size(), 2u);
    EXPECT_EQ(state.menus.size(), 5u);  // Main, Sleep, tv, teletext, phone
    EXPECT_EQ(state.deviceTypes.size(), 2u);
    std::string cim = program.Read("Project/Demo/Demo.CIM");
    EXPECT_EQ(cim.size() % 2, 0u);
    EXPECT_EQ(cim.substr(0, state.image.size()), state.image);
}

}  // namespace
}  // namespace orbik::compiler
