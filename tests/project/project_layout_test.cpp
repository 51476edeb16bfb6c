#include "project/ProjectLayout.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace orbik::project {
namespace {

TEST(ProjectLayout, EachCallerKeepsItsSpelling) {
    const fs::path dir = ProjectDir("Projects", "Demo");
    EXPECT_EQ(dir, fs::path("Projects/Demo"));
    EXPECT_EQ(MainFile(dir, "Demo"), fs::path("Projects/Demo/Demo.txt"));
    EXPECT_EQ(ImageFile(dir, "Demo", ".CIF"), fs::path("Projects/Demo/Demo.CIF"));
    EXPECT_EQ(TopFile(dir, kBuildFileNames.keywords), fs::path("Projects/Demo/KEYWORDS.TXT"));
    EXPECT_EQ(TopFile(dir, kEditorFileNames.keywords), fs::path("Projects/Demo/keywords.txt"));
    EXPECT_EQ(ItemsMenusFile(dir, "Main", kBuildFileNames.menu),
              fs::path("Projects/Demo/Items&Menus/Main/MENU.TXT"));
    EXPECT_EQ(ItemsMenusFile(dir, "TV", kEditorFileNames.item),
              fs::path("Projects/Demo/Items&Menus/TV/item.txt"));
    EXPECT_EQ(DeviceTypeFile(dir, "TV", kBuildFileNames.deviceList),
              fs::path("Projects/Demo/Devices/TV/DEVLIST.TXT"));
    EXPECT_EQ(DeviceTypeFile(dir, "TV", kEditorFileNames.deviceVocabulary),
              fs::path("Projects/Demo/Devices/TV/devvocab.txt"));
    EXPECT_EQ(SpeechFile("prog", "English", "wake_1.ply"),
              fs::path("prog/Speech/English/English_wake_1.ply"));
}

TEST(ProjectLayout, NamesStayInsideTheirFolder) {
    // An absolute-looking name is appended, never put in the folder's place.
    EXPECT_EQ(JoinName("/p", "/etc").native(), "/p//etc");
    EXPECT_EQ(JoinName("/p/", "x").native(), "/p/x");
    EXPECT_EQ(JoinName("", "x").native(), "x");
}

TEST(ProjectLayout, NamesBecomeUtf8Folders) {
    EXPECT_EQ(ItemsMenusFile("P", "K\xFC\x63he", kBuildFileNames.item).native(),
              "P/Items&Menus/K\xC3\xBC\x63he/ITEM.TXT");
}

// Every Windows-1252 byte survives the way into a path and back into a message.
TEST(EncodingRule, NameToPathAndPathToMessageAgree) {
    for (int b = 0x20; b < 0x100; ++b) {
        if (b == '/') continue;
        std::string name = std::string("a") + static_cast<char>(b) + "z";
        fs::path path = platform::NameToPath(name);
        EXPECT_EQ(path.native(), platform::Cp1252ToUtf8(name)) << b;
        EXPECT_EQ(platform::PathToMessage(path), name) << b;
    }
    EXPECT_EQ(platform::PathToMessage(fs::path("dir") / "K\xC3\xA4se"), "dir/K\xE4se");
    // A folder name that is not UTF-8 (written by an older program) shows as '?'.
    EXPECT_EQ(platform::PathToMessage(fs::path("K\xE4se")), "K?se");
}

}  // namespace
}  // namespace orbik::project
