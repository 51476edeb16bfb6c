// The checking steps through whole builds of small projects: what the two
// status lines show when a check stops the build, and the tables it leaves.

#include <gtest/gtest.h>

#include "compiler/BuildConfiguration.h"
#include "support/TestProject.h"

namespace orbik::compiler {
namespace {

namespace fs = std::filesystem;

class ChecksTest : public ::testing::Test {
  protected:
    std::string Path(std::string_view relative) const {
        return (project.ProjectDir() / fs::path(relative)).string();
    }
    std::string MainFile() const { return Path("P.txt"); }
    // The lower line after a build that must fail.
    std::string Failure() {
        StatusLines log = project.Build(&state);
        EXPECT_TRUE(log.Failed());
        return log.Status();
    }

    test::TestProject project;
    BuildState state;
};

TEST_F(ChecksTest, MissingMainFileStopsBeforeAnyStepFinishes) {
    project.Remove("P.txt");
    StatusLines log = project.Build();
    EXPECT_EQ(log.Status(), "file " + MainFile() + " not found");
    EXPECT_EQ(log.Finished(), "");
    EXPECT_FALSE(fs::exists(project.ProjectDir() / "P.CIM"));
}

TEST_F(ChecksTest, LanguagesAtMostFourWithoutDuplicatesIgnoringCase) {
    project.File("P.txt", {"language=English", "language=german", "language=GERMAN"});
    EXPECT_EQ(Failure(), "multiple declaration of GERMAN in " + MainFile());
    project.File("P.txt", {"language=a", "language=b", "language=c", "language=d", "language=e",
                           "language=a"});
    EXPECT_EQ(Failure(), "more than 4 languages in " + MainFile());
}

TEST_F(ChecksTest, FirstDescriptorWins) {
    project.File("P.txt", {"descriptor=First", "language=English", "descriptor=Second", "item=A"});
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    EXPECT_EQ(state.descriptor, "First");
    EXPECT_EQ(state.image.substr(27, 6), "First ");
}

TEST_F(ChecksTest, DisplayNumbersOutsideTheRangeTouchNoText) {
    project.File("DISPLAYS.TXT",
                 {"English=before any display", "display=4", "English=last", "display=5",
                  "English=no such display", "display=-1", "English=nor this", "display=0",
                  "English=a text longer than twenty-two"});
    project.Build(&state);
    EXPECT_EQ(state.displayTexts[0][0], "a text longer than twe");
    EXPECT_EQ(state.displayTexts[0][1], std::string(22, ' '));
    EXPECT_EQ(state.displayTexts[0][4], "last" + std::string(18, ' '));
    EXPECT_EQ(state.displayTexts[1][0], std::string(22, ' '));
}

TEST_F(ChecksTest, KeywordDeclarationFaultsNameTheBareFile) {
    project.File("KEYWORDS.TXT", {"keyword=wake", "keyword=WAKE"});
    EXPECT_EQ(Failure(), "multiple declaration of WAKE in KEYWORDS.TXT");
    std::vector<std::string> lines;
    for (int i = 0; i <= 1024; ++i) lines.push_back("keyword=k" + std::to_string(i));
    std::string text;
    for (auto& l : lines) text += l + "\r\n";
    project.File("KEYWORDS.TXT", {text});
    EXPECT_EQ(Failure(), "more than 1024 keywords defined in KEYWORDS.TXT");
}

TEST_F(ChecksTest, TypesAreExactAndAnUnknownTypeLeavesTheTypeAsItWas) {
    project.File("KEYWORDS.TXT",
                 {"type=sleep", "keyword=wake", "type=wakeup", "type=Sleep", "English=wake up",
                  "German=ignored", "keyword=tv", "type=deviceselection", "English=tv"});
    EXPECT_FALSE(project.Build(&state).Failed());
    ASSERT_EQ(state.keywords.size(), 2u);
    EXPECT_EQ(state.keywords[0].type, kWakeup);
    EXPECT_EQ(state.keywords[0].names[0], "wake up");
}

TEST_F(ChecksTest, PackingKeepsUsedKeywordsInOrderAndDropsTheRest) {
    project.File("KEYWORDS.TXT",
                 {"keyword=unused", "type=control", "keyword=tv", "type=deviceselection",
                  "keyword=pad", "type=directkey", "keyword=wake", "type=wakeup", "English=w"});
    StatusLines log = project.Build(&state);  // "unused" needs no recordings
    ASSERT_FALSE(log.Failed()) << log.Status();
    ASSERT_EQ(state.keywords.size(), 3u);
    EXPECT_EQ(state.keywords[0].name, "tv");
    EXPECT_EQ(state.keywords[1].name, "pad");  // a direct key needs no recordings
    EXPECT_EQ(state.items[0].keyword, 1);
}

TEST_F(ChecksTest, AtMostOneHundredKeywordsReachTheImage) {
    std::string keywords = "keyword=tv\r\n";
    for (int i = 1; i < 100; ++i)
        keywords += "keyword=k" + std::to_string(i) + "\r\ntype=directkey\r\n";
    project.File("KEYWORDS.TXT", {keywords});
    StatusLines log = project.Build();
    EXPECT_FALSE(log.Failed()) << log.Status();
    project.File("KEYWORDS.TXT", {keywords, "keyword=k100", "type=sleep"});
    EXPECT_EQ(Failure(), "more than 100 keywords used in configuration");
}

TEST_F(ChecksTest, ItemFaultsNameTheItemFile) {
    const std::string item = Path("Items&Menus/A/ITEM.TXT");
    struct Case {
        std::vector<std::string> lines;
        std::string message;
    } cases[] = {
        {{"keyword=tv"}, "missing English representation in "},
        {{"English=A", "keyword=radio"}, "invalid keyword in "},
        {{"English=A", "minoption=-2"}, "minoption<-1 in "},
        {{"English=A", "startoption=-5", "maxoption=-3"}, "startoption<-1 in "},
        {{"English=A", "minoption=2", "maxoption=1"}, "maxoption<minoption in "},
        {{"English=A", "minoption=0", "maxoption=3"}, "startoption<minoption in "},
        {{"English=A", "maxoption=3", "startoption=4"}, "startoption>maxoption in "},
        {{"English=A", "option=x", "maxoption=2"}, "unknown option in "},
        {{"English=A", "option=1", "option=2", "option=3", "option=4", "option=5", "option=6",
          "option=7", "option=8", "option=9"},
         "more than 8 options in "},
        // Eight symbols from option -1 are nine texts: more than the image holds.
        {{"English=A", "option=1", "option=2", "option=3", "option=4", "option=5", "option=6",
          "option=7", "option=8"},
         "more than 8 options in "},
        {{"English=A", "option=languages", "maxoption=8"}, "more than 8 options in "},
        {{"English=A", "maxoption=20", "option=x"}, "more than 8 options in "},
    };
    for (const auto& c : cases) {
        std::string text;
        for (const auto& l : c.lines) text += l + "\r\n";
        project.File("Items&Menus/A/ITEM.TXT", {text});
        EXPECT_EQ(Failure(), c.message + item) << c.lines.back();
    }
}

TEST_F(ChecksTest, ItemOptionsOfEveryKind) {
    project.File("P.txt", {"language=English", "language=German", "item=A", "item=L", "item=S"});
    project.File("LANGUAGES.TXT", {"German=Deutsch", "English=English", "English=British"});
    project.File("Items&Menus/A/ITEM.TXT", {"English=A", "German=A", "keyword=tv"});
    project.File("Items&Menus/L/ITEM.TXT",
                 {"type=language", "English=L", "German=L", "option=languages", "keyword=none"});
    project.File("Items&Menus/S/ITEM.TXT", {"type=bogus", "English=S", "German=S", "option=one",
                                            "option=two", "minoption=0", "startoption=1"});
    project.Announcements("German");
    project.Recordings("German", "wake");
    project.Recordings("German", "tv");
    project.File("DISPLAYS.TXT", {});
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    ASSERT_EQ(state.items.size(), 3u);
    EXPECT_EQ(state.items[0].optionKind, OptionKind::Numbers);
    EXPECT_EQ(state.items[0].type, kPlainItem);
    const t_iteminfo& languages = state.items[1];
    EXPECT_EQ(languages.type, 0);
    EXPECT_EQ(languages.keyword, 0);
    EXPECT_EQ(languages.optionKind, OptionKind::Languages);
    EXPECT_EQ(languages.minOption, -1);
    EXPECT_EQ(languages.maxOption, 1);
    EXPECT_EQ(OptionText(languages, -1), "-");
    EXPECT_EQ(OptionText(languages, 0), "British");
    EXPECT_EQ(OptionText(languages, 1), "Deutsch");
    const t_iteminfo& symbols = state.items[2];
    EXPECT_EQ(symbols.type, kPlainItem);
    EXPECT_EQ(symbols.optionKind, OptionKind::Symbols);
    EXPECT_EQ(symbols.maxOption, 1);
    EXPECT_EQ(OptionText(symbols, 1), "two");
    EXPECT_EQ(OptionText(symbols, 9), "");
}

TEST_F(ChecksTest, ItemDeclarationFaultsNameTheMainFile) {
    project.File("P.txt", {"language=English", "item=A", "item=a"});
    EXPECT_EQ(Failure(), "multiple declarations of a in " + MainFile());
    project.File("P.txt", {"language=English", "item=A", "item=B"});
    EXPECT_EQ(Failure(), "file " + Path("Items&Menus/B/ITEM.TXT") + " not found");
}

class DeviceChecksTest : public ChecksTest {
  protected:
    DeviceChecksTest() {
        project.File("KEYWORDS.TXT", {"keyword=wake", "type=wakeup", "keyword=tv",
                                      "type=deviceselection", "keyword=louder", "type=control"});
        project.Recordings("English", "louder");
        project.File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=tv", "option=devices=TV"});
        project.File("Devices/TV/DEVLIST.TXT", {"device=tv.icp", "device=--01.icp"});
        project.File("Devices/TV/DEVVOCAB.TXT", {"keyword=louder"});
        project.File("Devices/TV/tv.icp", {"data"});
        project.File("Devices/TV/--01.icp", {"data"});
    }
};

TEST_F(DeviceChecksTest, DeviceTypesAreSharedAndTheirVocabularyIsKept) {
    project.File("P.txt", {"language=English", "item=A", "item=B"});
    project.File("Items&Menus/B/ITEM.TXT", {"English=B", "option=devices=tv"});
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    ASSERT_EQ(state.deviceTypes.size(), 1u);
    EXPECT_EQ(state.deviceTypes[0].name, "TV");
    ASSERT_EQ(state.deviceTypes[0].devices.size(), 2u);
    EXPECT_EQ(state.deviceTypes[0].devices[1].name, "--01.icp");
    EXPECT_EQ(state.items[1].deviceType, 1);
    EXPECT_EQ(state.items[1].maxOption, 1);
    ASSERT_EQ(state.keywords.size(), 3u);
    EXPECT_EQ(state.keywords[2].name, "louder");
    // Only A has a keyword: B hears just its device vocabulary.
    EXPECT_EQ(state.items[0].activeKeywords, (std::vector<std::uint8_t>{1, 1, 1}));
    EXPECT_EQ(state.items[1].activeKeywords, (std::vector<std::uint8_t>{0, 0, 1}));
}

TEST_F(DeviceChecksTest, DeviceListFaults) {
    const std::string devices = (fs::path("..") / "Devices" / "TV").string();
    project.File("Devices/TV/DEVLIST.TXT", {" device=tv.icp", "Device=tv.icp"});
    EXPECT_EQ(Failure(), "no devices in " + devices + "/DEVLIST.TXT");
    project.File("Devices/TV/DEVLIST.TXT", {"device=tv.icp", "device=--02.icp"});
    EXPECT_EQ(Failure(), "file " + devices + "/--02.icp not found");
    project.File("../secret", {"not for the device"});
    project.File("Devices/TV/DEVLIST.TXT", {"device=../../../secret"});
    EXPECT_EQ(Failure(), "file " + devices + "/../../../secret not found");
    project.File("Devices/TV/DEVLIST.TXT", {"device=tv.icp"});
    project.File("Devices/TV/DEVVOCAB.TXT", {"keyword=quieter"});
    EXPECT_EQ(Failure(), "invalid keyword in " + Path("Devices/TV/DEVVOCAB.TXT"));
    project.Remove("Devices/TV/DEVVOCAB.TXT");
    EXPECT_EQ(Failure(), "file " + Path("Devices/TV/DEVVOCAB.TXT") + " not found");
}

TEST_F(DeviceChecksTest, FiftyDeviceTypesPass) {
    std::string main = "language=English\r\n";  // without A and its TV
    for (int i = 0; i < 50; ++i) {
        std::string name = "I" + std::to_string(i);
        main += "item=" + name + "\r\n";
        project.File("Items&Menus/" + name + "/ITEM.TXT",
                     {"English=x", "keyword=tv", "option=devices=T" + std::to_string(i)});
        project.File("Devices/T" + std::to_string(i) + "/DEVLIST.TXT", {"device=d"});
        project.File("Devices/T" + std::to_string(i) + "/DEVVOCAB.TXT", {});
        project.File("Devices/T" + std::to_string(i) + "/d", {"x"});
    }
    project.File("P.txt", {main});
    StatusLines log = project.Build(&state);
    EXPECT_FALSE(log.Failed()) << log.Status();
    EXPECT_EQ(state.deviceTypes.size(), 50u);
}

TEST_F(DeviceChecksTest, FiftyOneDeviceTypesAreTooMany) {
    std::string main = "language=English\r\nitem=A\r\n";
    for (int i = 0; i < 51; ++i) {
        std::string name = "I" + std::to_string(i);
        main += "item=" + name + "\r\n";
        project.File("Items&Menus/" + name + "/ITEM.TXT",
                     {"English=x", "option=devices=T" + std::to_string(i)});
        project.File("Devices/T" + std::to_string(i) + "/DEVLIST.TXT", {"device=d"});
        project.File("Devices/T" + std::to_string(i) + "/DEVVOCAB.TXT", {});
        project.File("Devices/T" + std::to_string(i) + "/d", {"x"});
    }
    project.File("P.txt", {main});
    EXPECT_EQ(Failure(), "too may device types in " + MainFile());
}

TEST_F(ChecksTest, MenuFaultsNameTheMenuFile) {
    const std::string menu = Path("Items&Menus/Main/MENU.TXT");
    project.File("Items&Menus/Main/MENU.TXT", {"doubledigits=on", "keyword=tv"});
    EXPECT_EQ(Failure(), "menu " + menu + " empty");
    project.File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=SetMenu(Other)"});
    EXPECT_EQ(Failure(), "invalid procedure SetMenu in " + menu);
    std::string many = "keyword=tv\r\n";
    for (int i = 0; i < 36; ++i) many += "procedure=Nothing\r\n";
    project.File("Items&Menus/Main/MENU.TXT", {many, "procedure=Wait(1)"});
    EXPECT_EQ(Failure(), "more than 36 procedures for Wait(1) in " + menu);
    project.File("Items&Menus/Main/MENU.TXT", {many});
    StatusLines log = project.Build();
    EXPECT_FALSE(log.Failed()) << log.Status();
}

TEST_F(ChecksTest, AtMostOneHundredAndOneMenus) {
    // A chain Main -> M1 -> ... -> M101: M101 is the 102nd menu.
    project.File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=SetMenu(M1)"});
    for (int i = 1; i <= 101; ++i) {
        std::string next = "procedure=SetMenu(M" + std::to_string(i + 1) + ")";
        project.File("Items&Menus/M" + std::to_string(i) + "/MENU.TXT", {"keyword=tv", next});
    }
    project.File("Items&Menus/M102/MENU.TXT", {"keyword=tv", "procedure=PopMenu"});
    EXPECT_EQ(Failure(), "more than 101 menus in " + Path("Items&Menus/M100/MENU.TXT"));
    project.File("Items&Menus/M100/MENU.TXT", {"keyword=tv", "procedure=PopMenu"});
    StatusLines log = project.Build(&state);
    EXPECT_FALSE(log.Failed()) << log.Status();
    EXPECT_EQ(state.menus.size(), 101u);
}

TEST_F(ChecksTest, MenusAreReadInTheOrderProceduresNameThem) {
    project.File("KEYWORDS.TXT",
                 {"keyword=wake", "type=wakeup", "keyword=tv", "type=deviceselection",
                  "keyword=nap", "type=sleep", "keyword=key", "type=directkey", "keyword=dropped"});
    project.Recordings("English", "nap");
    project.File("Items&Menus/Main/MENU.TXT",
                 {"keyword=nap", "procedure=SetMenu(Sub)", "keyword=key", "procedure=Nothing",
                  "keyword=dropped", "procedure=Invalid(", "keyword=tv", "procedure=SetMenu(Other)",
                  "procedure=PushMenu"});
    project.File("Items&Menus/Sub/MENU.TXT",
                 {"sleep=off", "deviceselection=off", "keyword=tv", "procedure=PopMenu",
                  "keyword=key", "procedure=PopMenu"});
    project.File("Items&Menus/Other/MENU.TXT",
                 {"keyword=wake", "procedure=Wait(1)", "keyword=wake", "procedure=Wait(2)"});
    project.File("Items&Menus/Unnamed/MENU.TXT", {"garbage"});
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    ASSERT_EQ(state.menus.size(), 3u);
    EXPECT_EQ(state.menus[1].name, "Sub");
    EXPECT_EQ(state.menus[2].name, "Other");
    const std::size_t wake = 0, tv = 1, nap = 2, key = 3;
    EXPECT_FALSE(state.menus[1].sleep);
    EXPECT_TRUE(state.menus[1].keywords[nap].procedures.empty());           // sleep=off
    EXPECT_EQ(state.menus[1].keywords[key].procedures[0].name, "Nothing");  // direct keys always
    EXPECT_EQ(state.menus[1].keywords[tv].procedures[0].name, "PopMenu");
    EXPECT_EQ(state.menus[2].keywords[nap].procedures[0].name, "SetMenu");
    ASSERT_EQ(state.menus[2].keywords[wake].procedures.size(), 1u);  // the last block wins
    EXPECT_EQ(state.menus[2].keywords[wake].procedures[0].values[0], 2);
    EXPECT_EQ(state.menus[2].keywords[tv].procedures.size(), 2u);  // inherited
}

TEST_F(ChecksTest, EveryKeptKeywordMustBeActiveInSomeItem) {
    project.File("Items&Menus/A/ITEM.TXT", {"English=A"});
    project.File("KEYWORDS.TXT",
                 {"keyword=wake", "type=wakeup", "keyword=tv", "type=deviceselection"});
    EXPECT_EQ(Failure(), "keyword wake unused");
}

TEST_F(ChecksTest, MissingRecordingsNameTheSpeechFile) {
    fs::path speech = project.ProgramDir() / "Speech" / "English";
    fs::remove(speech / "English_tv_3.pat");
    EXPECT_EQ(Failure(), "file " + (speech / "English_tv_3.pat").string() + " not found");
    fs::remove(speech / "English_announcement_3.ply");
    EXPECT_EQ(Failure(), "file " + (speech / "English_announcement_3.ply").string() + " not found");
}

TEST_F(ChecksTest, OnlyWhatTheProjectUsesIsRead) {
    // A device type that no item names may be broken: it is never opened.
    project.File("Devices/Unused/DEVLIST.TXT", {"; no devices yet"});
    // Without languages no recording is looked for.
    project.File("P.txt", {"item=A"});
    project.File("Items&Menus/A/ITEM.TXT", {"keyword=tv"});
    fs::remove_all(project.ProgramDir() / "Speech");
    StatusLines log = project.Build(&state);
    ASSERT_FALSE(log.Failed()) << log.Status();
    EXPECT_TRUE(state.deviceTypes.empty());
    EXPECT_TRUE(state.languages.empty());
}

TEST_F(ChecksTest, UpperLineKeepsTheLastStepThatFinished) {
    project.File("KEYWORDS.TXT", {"keyword=wake", "type=wakeup", "keyword=tv",
                                  "type=deviceselection", "keyword=late"});
    project.File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=tv"});
    project.File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=Nothing"});
    project.File("P.txt", {"language=English", "item=A"});
    StatusLines ok = project.Build();
    ASSERT_FALSE(ok.Failed()) << ok.Status();
    EXPECT_EQ(ok.Status(), "writing protocol........ ok");
    EXPECT_EQ(ok.Finished().rfind("framing configuration .... ", 0), 0u) << ok.Finished();
    EXPECT_TRUE(fs::exists(project.ProjectDir() / "P.CIM"));
    EXPECT_TRUE(fs::exists(project.ProjectDir() / "PROTOCOL.TXT"));

    project.File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=tv", "option=devices=Missing"});
    StatusLines log = project.Build();
    EXPECT_EQ(log.Finished(), "checking keywords ........ ok");
    EXPECT_EQ(log.Status(), "file " + Path("Devices/Missing/DEVLIST.TXT") + " not found");

    std::string keywords = "keyword=wake\r\ntype=wakeup\r\n";
    for (int i = 0; i < 100; ++i) keywords += "keyword=k" + std::to_string(i) + "\r\ntype=next\r\n";
    project.File("KEYWORDS.TXT", {keywords});
    project.File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=wake"});
    log = project.Build();
    EXPECT_EQ(log.Finished(), "checking items ........... ..ok");
}

}  // namespace
}  // namespace orbik::compiler
