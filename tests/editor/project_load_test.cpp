// Reading a project into the editor's model: each step on files held in
// memory, and the failures that stop the load.

#include <gtest/gtest.h>

#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "editor/ProjectTree.h"
#include "platform/FileSystem.h"

namespace {

using namespace orbik::editor;

const fs::path kDir = "Proj";

// A max project: two items (one with a device), a sub-menu, two direct keys.
struct Files {
    MemorySource source;
    Files() {
        Put("Proj.txt",
            "descriptor=Old\r\nlanguage=English\r\nlanguage=German\r\nitem=TV\r\n"
            "item=ExternalDisplay\r\n");
        Put("keywords.txt",
            "keyword=television  \r\ntype=deviceselection\r\nEnglish=television\r\n"
            "German=Fernseher\r\n\r\nkeyword=one\r\ntype=digit\r\nEnglish=one\r\n"
            "keyword=display\r\ntype=other\r\nGerman=Anzeige\r\n");
        Put("Items&Menus/TV/ITEM.TXT",
            "type=other\r\nEnglish=TV\r\nkeyword=television\r\nminoption=0\r\n"
            "option=devices=Television\r\n");
        Put("Items&Menus/ExternalDisplay/item.txt",
            "type=display\r\nkeyword=display\r\nmaxoption=-7\r\noption=a=b\r\n");
        Put("Devices/television/devlist.txt", "file=tv.icp\r\n");
        Put("Devices/television/devvocab.txt", "keyword=one\r\nkeyword=unused\r\n");
        Put("Items&Menus/Main/menu.txt",
            "keyword=television\r\nprocedure=SetMenu(TV)\r\n\r\nkeyword=display\r\n"
            "procedure=Nothing\r\n\r\nkeyword=dkey_3\r\nprocedure=PushDevice\r\n"
            ";RF send=1\r\nprocedure=PopDevice\r\n\r\nkeyword=dkey_5\r\nprocedure=Nothing\r\n");
        Put("Items&Menus/Sleep/menu.txt",
            "next=off\r\nkeyword=orbik\r\nprocedure=SetMenu(Main)\r\n");
        Put("Items&Menus/tv/menu.txt",
            "doubledigits=on\r\nkeyword=one two\r\nprocedure=SendDigit(1)  comment\r\n"
            ";RF x=1\r\nprocedure=SetMenu(Tv)\r\n");
    }
    void Put(const std::string& relative, std::string bytes) {
        source.Put(kDir / relative, std::move(bytes));
    }
    LoadResult Load(std::string_view language = "English") const {
        return LoadProject(source, kDir, "Proj", language);
    }
};

TEST(ProjectLoad, ReadsKeywordsItemsDevicesAndMenus) {
    Files files;
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok) << loaded.message;
    const ProjectModel& m = loaded.model;

    ASSERT_EQ(m.keywords.size(), 3u);
    EXPECT_EQ(m.keywords[0].name, "television");  // trailing blanks removed
    EXPECT_EQ(m.keywords[0].display, "television");
    EXPECT_EQ(m.keywords[2].display, "not found");  // no English text
    EXPECT_EQ(m.descriptor, "Old");
    EXPECT_TRUE(m.hasExternalDisplay);

    ASSERT_EQ(m.items.size(), 2u);
    EXPECT_EQ(m.items[0].name, "tv");
    EXPECT_EQ(m.items[0].options, std::vector<std::string>{"+"});  // type other
    EXPECT_EQ(m.items[0].device, Index(0));
    EXPECT_EQ(m.items[1].options, std::vector<std::string>{"b"});  // after the last "="
    EXPECT_EQ(m.items[1].maxOption, -7);
    EXPECT_EQ(m.items[1].minOption, -1);

    ASSERT_EQ(m.devices.size(), 1u);
    EXPECT_EQ(m.devices[0].name, "television");
    EXPECT_EQ(m.devices[0].userCount, 1);
    EXPECT_EQ(m.devices[0].signalFiles, std::vector<std::string>{"tv.icp"});
    // "one" is used once below the TV entry, "unused" by nothing.
    EXPECT_EQ(m.devices[0].vocabulary, (std::vector<std::string>{"one", "unused"}));
    EXPECT_EQ(m.devices[0].vocabularyUse, (std::vector<int>{1, 0}));

    ASSERT_EQ(m.menus.size(), 3u);
    EXPECT_EQ(m.menus[0].name, "Main");
    EXPECT_FALSE(m.menus[0].deviceSelection);
    EXPECT_FALSE(m.menus[1].next);
    EXPECT_TRUE(m.menus[1].deviceSelection);
    EXPECT_EQ(m.menus[2].name, "tv");
    EXPECT_TRUE(m.menus[2].doubleDigits);

    const MenuEntry& tv = m.menus[0].entries[0];
    EXPECT_EQ(tv.item, Index(0));
    EXPECT_EQ(tv.device, Index(0));
    EXPECT_EQ(tv.subMenu, Index(2));
    const MenuEntry& one = m.menus[2].entries[0];
    EXPECT_EQ(one.keyword, "one");  // up to the first blank
    EXPECT_EQ(one.type, "digit");
    EXPECT_EQ(one.device, Index(0));  // inherited from the TV entry
    EXPECT_EQ(one.procedure, (std::vector<std::string>{"SendDigit(1)", ";RF x=1", "SetMenu(Tv)"}));
    EXPECT_FALSE(one.subMenu);  // SetMenu(Tv) inside tv is a cycle

    EXPECT_FALSE(m.directKeys[0].active);  // the block need not start at key 1
    EXPECT_TRUE(m.directKeys[2].active);
    EXPECT_EQ(m.directKeys[2].procedure,
              (std::vector<std::string>{"PushDevice", ";RF send=1", "PopDevice"}));
    EXPECT_TRUE(m.directKeys[4].active);
    // television, display, orbik, one + 3 fixed + 2 direct keys
    EXPECT_EQ(KeywordGauge(m), "9 Keywords used");
    EXPECT_EQ(ModelText(m), "ORBIK max");
    EXPECT_TRUE(loaded.orphanMainEntries.empty());
}

TEST(ProjectLoad, FillsFourLanguageSlotsAndIgnoresAFifth) {
    Files files;
    files.Put("Proj.txt",
              "language=a\r\nlanguage=b\r\nlanguage=c\r\nlanguage=d\r\nlanguage=e\r\n"
              "descriptor=x\r\ndescriptor=y\r\n");
    files.Put("Items&Menus/Main/menu.txt", "");
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok) << loaded.message;
    EXPECT_EQ(loaded.model.languages, (std::array<std::string, 4>{"a", "b", "c", "d"}));
    EXPECT_EQ(loaded.model.descriptor, "y");
    EXPECT_EQ(ModelText(loaded.model), "ORBIK solo");
    EXPECT_EQ(KeywordGauge(loaded.model), "4 Keywords used");  // orbik + 3
}

TEST(ProjectLoad, SubMenuCyclesStopInAnyLetterCase) {
    Files files;
    files.Put("Items&Menus/tv/menu.txt",
              "keyword=one\r\nprocedure=SetMenu(Sub)\r\nprocedure=SetMenu(MAIN)\r\n");
    files.Put("Items&Menus/sub/menu.txt",
              "keyword=one\r\nprocedure=SetMenu(TV)\r\nprocedure=SetMenu(sleep)\r\n"
              "keyword=two\r\nprocedure=SetMenu(Leaf)\r\nprocedure=SetMenu(Leaf)\r\n");
    files.Put("Items&Menus/leaf/menu.txt", "keyword=one\r\n");
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok) << loaded.message;
    const auto& menus = loaded.model.menus;
    // Main, Sleep, tv, sub, then leaf once per SetMenu line.
    ASSERT_EQ(menus.size(), 6u);
    EXPECT_EQ(menus[3].name, "sub");
    EXPECT_FALSE(menus[3].entries[0].subMenu);         // back to tv: a cycle
    EXPECT_EQ(menus[3].entries[1].subMenu, Index(5));  // the last SetMenu line binds
    EXPECT_EQ(menus[2].entries[0].subMenu, Index(3));  // SetMenu(MAIN) bound nothing
    EXPECT_FALSE(menus[1].entries[0].subMenu);         // Sleep's SetMenu(Main) returns
}

TEST(ProjectLoad, StopsAtTheFirstMissingFileWithItsMessage) {
    struct Case {
        const char* remove;
        const char* message;
    };
    const Case cases[] = {
        {"keywords.txt", "Proj/keywords.txt not found"},
        {"Proj.txt", "Proj/Proj.txt not found"},
        {"Items&Menus/TV/ITEM.TXT", "Cannot find file Proj/Items&Menus/tv/item.txt"},
        {"Devices/television/devlist.txt", "Cannot find file Proj/Devices/television/devlist.txt"},
        {"Devices/television/devvocab.txt",
         "Cannot find file Proj/Devices/television/devvocab.txt"},
        {"Items&Menus/tv/menu.txt", "Cannot find file Proj/Items&Menus/tv/menu.txt"},
        {"Items&Menus/Sleep/menu.txt", "Cannot find directory Proj/Items&Menus/Sleep"},
    };
    for (const auto& c : cases) {
        Files files;
        MemorySource kept;
        for (const auto& [path, bytes] : files.source.Files())
            if (path != orbik::platform::ToLowerAscii((kDir / c.remove).generic_string()))
                kept.Put(path, bytes);
        LoadResult loaded = LoadProject(kept, kDir, "Proj", "English");
        EXPECT_FALSE(loaded.ok) << c.remove;
        EXPECT_EQ(loaded.message, c.message);
    }
}

TEST(ProjectLoad, WarnsAboutMainEntriesNoItemNames) {
    Files files;
    files.Put("Items&Menus/Main/menu.txt",
              "keyword=sleep\r\n\r\nkeyword=lamp\r\nprocedure=Nothing\r\n\r\nkeyword=television\r\n"
              "\r\nkeyword=fan\r\n\r\nkeyword=dkey_1\r\nkeyword=later\r\n");
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.orphanMainEntries, (std::vector<std::string>{"lamp", "fan"}));
    EXPECT_NE(OrphanEntriesWarning(loaded.orphanMainEntries).find("lamp, fan"), std::string::npos);
}

TEST(ProjectLoad, OptionNumbersReadSignedDecimalsOnly) {
    const std::pair<const char*, int> cases[] = {
        {"12", 12},         {"  -3", -3},      {"+4", 4},  {"2147483647", 2147483647},
        {"4294967295", -1}, {"4294967296", 0}, {"12a", 0}, {"", 0},
        {"-", 0},           {"0x10", 0},       {"7 ", 0},
    };
    for (const auto& [text, value] : cases) {
        Files files;
        files.Put("Items&Menus/TV/ITEM.TXT", std::string("startoption=") + text + "\r\n");
        LoadResult loaded = files.Load();
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.model.items[0].startOption, value) << text;
    }
}

TEST(ProjectLoad, TreeImagesFollowItemsDevicesAndDigits) {
    Files files;
    files.Put("Items&Menus/Main/menu.txt",
              "keyword=television\r\nprocedure=SetMenu(Tv)\r\n\r\nkeyword=display\r\n\r\n");
    files.Put("Items&Menus/tv/menu.txt",
              "keyword=one\r\nkeyword=display\r\nprocedure=SetDevice(ExternalDisplay)\r\n"
              "keyword=other\r\n");
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok);
    auto tree = ProjectTree(loaded.model);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].image, kImageItemWithDevice);
    EXPECT_EQ(tree[1].image, kImageTopItem);
    ASSERT_EQ(tree[0].children.size(), 3u);
    EXPECT_EQ(tree[0].children[0].image, kImageDigit);
    EXPECT_EQ(tree[0].children[1].image, kImageSubItem);
    EXPECT_EQ(tree[0].children[2].image, kImagePlainEntry);
    EXPECT_EQ(TreeText(tree), (std::vector<std::string>{"television", "  one", "  not found",
                                                        "  not found", "not found"}));
}

}  // namespace

namespace {

TEST(StructureLists, ShowEveryRecordWithItsReferences) {
    Files files;
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok);
    StructureLists lists = BuildStructureLists(loaded.model);
    ASSERT_EQ(lists.items.size(), 2u);
    EXPECT_EQ(TreeText({lists.items[1]}),
              (std::vector<std::string>{"externaldisplay", "  display", "  display", "  Nil",
                                        "  -1", "  -1", "  -1", "  -7", "  option", "    b"}));
    EXPECT_EQ(lists.items[0].children[2].children[0].text, "English=TV");
    EXPECT_EQ(TreeText(lists.devices)[8], "    one 1");
    EXPECT_EQ(TreeText(lists.menus),
              (std::vector<std::string>{"Main", "  television sub item device", "  display item",
                                        "Sleep", "  orbik", "tv", "  one device"}));
    EXPECT_EQ(lists.keywords[0].text, "4 Keywords");
    ASSERT_EQ(lists.directKeys.size(), 2u);
    EXPECT_EQ(lists.directKeys[1].text, "dkey_5");
    EXPECT_EQ(lists.keywordList.size(), 3u);
}

}  // namespace

namespace {

TEST(ProjectLoad, LongSubMenuNamesAreCutInTheRecordOnly) {
    Files files;
    const std::string name = "averyveryverylongmenuname";  // 25 characters
    files.Put("Items&Menus/tv/menu.txt", "keyword=one\r\nprocedure=SetMenu(" + name + ")\r\n");
    files.Put("Items&Menus/" + name + "/menu.txt",
              "keyword=one\r\nprocedure=SetMenu(" + name + ")\r\n");
    LoadResult loaded = files.Load();
    ASSERT_TRUE(loaded.ok) << loaded.message;
    ASSERT_EQ(loaded.model.menus.size(), 4u);
    EXPECT_EQ(loaded.model.menus[3].name, name.substr(0, 20));
    EXPECT_FALSE(loaded.model.menus[3].entries[0].subMenu);  // names itself: a cycle
}

}  // namespace

namespace {

TEST(ProjectLoad, AnExponentialMenuTreeStopsTheLoad) {
    // Each level names the next twice; menus load once per SetMenu line.
    auto build = [](int levels) {
        Files files;
        files.Put("Items&Menus/Main/menu.txt", "");
        std::string sleep = "keyword=a\r\nprocedure=SetMenu(m0)\r\n";
        files.Put("Items&Menus/Sleep/menu.txt", sleep);
        for (int i = 0; i < levels; ++i) {
            std::string next = "procedure=SetMenu(m" + std::to_string(i + 1) + ")\r\n";
            files.Put("Items&Menus/m" + std::to_string(i) + "/menu.txt",
                      i + 1 < levels ? "keyword=a\r\n" + next + "keyword=b\r\n" + next : "");
        }
        return files.Load();
    };
    LoadResult fits = build(9);  // 2 + 511 menus
    ASSERT_TRUE(fits.ok) << fits.message;
    EXPECT_EQ(fits.model.menus.size(), 513u);
    LoadResult tooMany = build(11);  // 2 + 2047 menus
    EXPECT_FALSE(tooMany.ok);
    EXPECT_EQ(tooMany.message, "Too many menus in Proj");
}

}  // namespace
