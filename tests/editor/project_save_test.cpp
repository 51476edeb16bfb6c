// Writing the model back: the files' exact lines, the round trip over
// generated projects, and writing to disk when some files cannot be written.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

using namespace orbik::editor;
using Lines = std::vector<std::string>;

const fs::path kDir = "Proj";

const Lines* Find(const std::vector<SavedFile>& files, const fs::path& relative) {
    for (const auto& file : files)
        if (file.path == kDir / relative) return &file.lines;
    return nullptr;
}

ProjectModel SmallModel() {
    ProjectModel m;
    m.languages = {"English", "", "German", ""};
    m.keywords = {{"name_1", "x", {{"English", "Anna"}}, "telname"},
                  {"dkey_1", "key 1", {}, "directkey"},
                  {"tv", "tv", {{"English", "tv"}, {"German", "Fernseher"}}, "deviceselection"}};
    m.devices = {{"television", 1, {"tv.icp"}, {"one", "gone", "two"}, {2, 0, 1}}};
    ItemRecord tv;
    tv.name = "tv";
    tv.keyword = "tv";
    tv.type = "";
    tv.texts = {{"English", "TV"}};
    tv.device = 0;
    tv.options = {"ignored"};
    ItemRecord lamp;
    lamp.name = "lamp";
    lamp.options = {"+", "x"};
    m.items = {tv, lamp};
    MenuRecord main{"Main", true, true, false, false, false, {}};
    main.entries.push_back({"tv", "tv", "", {}, 0, std::nullopt, 0});
    MenuRecord sleep{"Sleep", false, true, true, false, true, {}};
    sleep.entries.push_back({"orbik", "", "", {"SetMenu(Main)", ";RF a=b"}, {}, {}, {}});
    MenuRecord sub{"sub", true, false, true, true, false, {}};
    m.menus = {main, sleep, sub};
    m.directKeys[1] = {true, {"PushDevice", ";RF r=1", "PopDevice"}};
    m.directKeys[7] = {true, {}};
    return m;
}

TEST(ProjectSave, WritesEveryFileLineByLineInOrder) {
    auto files = SaveProject(SmallModel(), kDir, "Proj");
    std::vector<fs::path> order;
    for (const auto& file : files) order.push_back(file.path.lexically_relative(kDir));
    EXPECT_EQ(order,
              (std::vector<fs::path>{"Proj.txt", "Items&Menus/tv/item.txt",
                                     "Items&Menus/lamp/item.txt", "Devices/television/devvocab.txt",
                                     "Items&Menus/Main/menu.txt", "Items&Menus/Sleep/menu.txt",
                                     "Items&Menus/sub/menu.txt", "keywords.txt"}));
    EXPECT_EQ(*Find(files, "Proj.txt"),
              (Lines{";ORBIK Projectfile", "", "descriptor=Proj", "", "", "; languages",
                     "language=English", "language=German", "", "", "item=tv", "item=lamp"}));
    EXPECT_EQ(
        *Find(files, "Items&Menus/tv/item.txt"),
        (Lines{"type=other", "", "English=TV", "", "keyword=tv", "", "minoption=-1", "offoption=-1",
               "startoption=-1", "maxoption=-1", "option=devices=television"}));
    EXPECT_EQ(Find(files, "Items&Menus/lamp/item.txt")->back(), "option=x");
    EXPECT_EQ(*Find(files, "Devices/television/devvocab.txt"),
              (Lines{"keyword=one", "keyword=two"}));
    EXPECT_EQ(*Find(files, "Items&Menus/Main/menu.txt"), (Lines{"next=on",
                                                                "execute=on",
                                                                "sleep=off",
                                                                "deviceselection=off",
                                                                "doubledigits=off",
                                                                "",
                                                                "keyword=next",
                                                                "procedure=Nothing",
                                                                "",
                                                                "keyword=execute",
                                                                "procedure=Nothing",
                                                                "",
                                                                "keyword=tv",
                                                                "procedure=Nothing",
                                                                "",
                                                                "keyword=dkey_2",
                                                                "procedure=PushDevice",
                                                                ";RF r=1",
                                                                "procedure=PopDevice",
                                                                "",
                                                                "keyword=dkey_8",
                                                                "procedure=Nothing",
                                                                ""}));
    EXPECT_EQ(*Find(files, "Items&Menus/Sleep/menu.txt"),
              (Lines{"next=off", "execute=on", "sleep=on", "deviceselection=off", "doubledigits=on",
                     "", "keyword=orbik", "procedure=SetMenu(Main)", ";RF a=b", ""}));
    const Lines& keywords = *Find(files, "keywords.txt");
    Lines head(keywords.begin(), keywords.begin() + 18);
    EXPECT_EQ(head, (Lines{";*************************", ";ORBIK KEYWORDS.TXT File",
                           ";*************************", "", "", ";****** Tel Names ******",
                           "keyword=name_1", "type=telname", "English=Anna", "", "keyword=tv",
                           "type=deviceselection", "English=tv", "German=Fernseher", "",
                           ";****** Direct Keys ******", "", "keyword=dkey_2"}));
    EXPECT_EQ(keywords[18], "type=directkey");
    EXPECT_EQ(keywords[19], "German=Taste 2");
    EXPECT_EQ(keywords[27], "Norwegian=noekkel 2");
    EXPECT_EQ(keywords[29], "keyword=dkey_8");
    EXPECT_EQ(keywords.back(), ";***** End Keywordlist *****");
    EXPECT_EQ(keywords.size(), 30u + 12u);
}

TEST(ProjectSave, MainStartsWithTheSleepSequenceWhenItsFlagIsOn) {
    ProjectModel m = SmallModel();
    m.menus[0].sleep = true;
    auto files = SaveProject(m, kDir, "Proj");
    const Lines& main = *Find(files, "Items&Menus/Main/menu.txt");
    EXPECT_EQ(Lines(main.begin() + 6, main.begin() + 12),
              (Lines{"keyword=sleep", "procedure=DisplayLightOff", "procedure=PushMenu",
                     "procedure=SetMenu(Sleep)", "", "keyword=next"}));
}

// Generated projects: words from small pools so that names, keywords and
// sub-menus meet each other.
class Generator {
  public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    MemorySource Project() {
        ProjectModel m;
        const char* languages[] = {"English", "German", "French", "Dutch", "Italian"};
        int slots = Pick(5);
        for (int i = 0; i < slots; ++i) m.languages[i] = languages[Pick(5)];
        for (int i = Pick(8); i > 0; --i) {
            KeywordRecord k;
            k.name = Pick(6) == 0 ? "name_1" : Word("kw");
            k.type = Pick(2) ? "digit" : Word("type");
            for (int t = Pick(4); t > 0; --t) k.texts.push_back({languages[Pick(5)], Word("text")});
            m.keywords.push_back(k);
        }
        for (int i = Pick(4); i > 0; --i) m.devices.push_back({Word("dev"), 0, {}, {}, {}});
        for (int i = Pick(6); i > 0; --i) {
            ItemRecord item;
            item.name = Pick(4) == 0 ? "externaldisplay" : Word("item");
            item.keyword = Word("kw");
            item.type = Pick(2) ? "other" : "device";
            item.minOption = static_cast<int>(rng_());
            item.maxOption = Pick(100) - 50;
            for (int t = Pick(3); t > 0; --t) item.texts.push_back({languages[Pick(5)], Word("t")});
            if (!m.devices.empty() && Pick(2)) item.device = Pick(m.devices.size());
            for (int o = Pick(3); o > 0; --o) item.options.push_back(Word("opt"));
            m.items.push_back(item);
        }
        std::size_t menus = 2 + Pick(4);
        for (std::size_t i = 0; i < menus; ++i) {
            MenuRecord menu{i == 0   ? "Main"
                            : i == 1 ? "Sleep"
                                     : Word("sub"),
                            Pick(2) == 1,
                            Pick(2) == 1,
                            Pick(2) == 1,
                            Pick(2) == 1,
                            Pick(2) == 1,
                            {}};
            for (int e = Pick(4); e > 0; --e) {
                MenuEntry entry;
                entry.keyword = Word("kw");
                entry.procedure = Procedure();
                menu.entries.push_back(entry);
            }
            m.menus.push_back(menu);
        }
        for (auto& key : m.directKeys)
            if (Pick(3) == 0) key = {true, Procedure()};

        MemorySource source;
        // Device lists are the signal pages' files: the save leaves them.
        for (const auto& device : m.devices)
            source.Put(kDir / "Devices" / device.name / "devlist.txt", "a=1.icp\r\n");
        WriteProjectFiles(SaveProject(m, kDir, "Proj"), &source);
        return source;
    }

  private:
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }
    std::string Word(const char* stem) { return stem + std::to_string(Pick(4)); }
    std::vector<std::string> Procedure() {
        const std::string lines[] = {"SendButton(on)",   "Wait(10)",
                                     ";RF a=b",          "SetMenu(Sub1)",
                                     "SetMenu(SUB2)",    "SetMenu(Sleep)",
                                     "SetDevice(item0)", "SetDevice(ExternalDisplay)",
                                     "PushDevice",       "x=y"};
        std::vector<std::string> procedure;
        for (int i = Pick(4); i > 0; --i) procedure.push_back(lines[Pick(10)]);
        return procedure;
    }

    std::mt19937 rng_;
};

std::map<std::string, std::string> Saved(const ProjectModel& m, MemorySource base) {
    WriteProjectFiles(SaveProject(m, kDir, "Proj"), &base);
    return base.Files();
}

TEST(ProjectSave, LoadOfSaveIsTheModelAndTheSecondSaveIsIdentical) {
    int loadedProjects = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        MemorySource written = Generator(seed).Project();
        LoadResult first = LoadProject(written, kDir, "Proj", "English");
        if (!first.ok) continue;  // a device without an item: nothing to compare
        ++loadedProjects;
        auto once = Saved(first.model, written);
        MemorySource reread;
        for (const auto& [path, bytes] : once) reread.Put(path, bytes);
        LoadResult second = LoadProject(reread, kDir, "Proj", "English");
        ASSERT_TRUE(second.ok) << seed << ": " << second.message;
        ASSERT_EQ(second.model, first.model) << "seed " << seed;
        ASSERT_EQ(Saved(second.model, reread), once) << "seed " << seed;
    }
    EXPECT_GT(loadedProjects, 200);
}

TEST(ProjectSave, KeepsTheFourthLanguageAndDirectKeyRfLines) {
    ProjectModel m = SmallModel();
    m.languages = {"English", "German", "French", "Dutch"};
    MemorySource source;
    source.Put(kDir / "Devices/television/devlist.txt", "");
    WriteProjectFiles(SaveProject(m, kDir, "Proj"), &source);
    LoadResult loaded = LoadProject(source, kDir, "Proj", "English");
    ASSERT_TRUE(loaded.ok) << loaded.message;
    EXPECT_EQ(loaded.model.languages, m.languages);
    EXPECT_EQ(loaded.model.directKeys[1].procedure, m.directKeys[1].procedure);
    EXPECT_EQ(loaded.model.directKeys[7].procedure, std::vector<std::string>{"Nothing"});
}

TEST(ProjectSaveToDisk, AFileThatCannotBeWrittenIsReportedAndTheOthersAreWritten) {
    orbik::test::TempDir temp;
    fs::path dir = temp / "Proj";
    temp.Write("Proj/Devices/television/devlist.txt", "");
    // A folder where the project file should be: that one file fails.
    fs::create_directories(dir / "Proj.txt" / "x");
    auto failures = SaveProjectToDisk(SmallModel(), dir, "Proj", std::chrono::year(2026) / 3 / 7);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].message, orbik::platform::PathToMessage(dir / "Proj.txt") + " not found");
    EXPECT_FALSE(failures[0].reason.empty());
    EXPECT_EQ(temp.Read("Proj/Items&Menus/sub/menu.txt").substr(0, 9), "next=on\r\n");
    EXPECT_NE(temp.Read("Proj/keywords.txt").find("dkey_8"), std::string::npos);
    EXPECT_EQ(temp.Read("projectlist.INI"), "[Proj]\r\nchanged=07.03.2026\r\n");
    // No temporary file is left beside the targets.
    for (const auto& entry : fs::recursive_directory_iterator(temp.Path()))
        EXPECT_EQ(entry.path().filename().string().rfind(".", 0), std::string::npos)
            << entry.path();
}

TEST(ProjectSaveToDisk, AMissingDeviceFolderIsNotCreated) {
    orbik::test::TempDir temp;
    auto failures =
        SaveProjectToDisk(SmallModel(), temp / "Proj", "Proj", std::chrono::year(2026) / 12 / 31);
    ASSERT_EQ(failures.size(), 2u);  // the project file's folder and the device's are missing
    EXPECT_FALSE(fs::exists(temp / "Proj/Devices"));
    EXPECT_TRUE(fs::exists(temp / "Proj/Items&Menus/Main/menu.txt"));
}

TEST(ProjectSaveToDisk, ChangedDateIsSetInPlaceInTheListFile) {
    orbik::test::TempDir temp;
    temp.Write("a.ini", "[Other]\r\nchanged=1\r\n");
    temp.Write("list.INI", "[proj]\r\nname=Proj\r\nCHANGED=01.01.2000\r\ncreated=x\r\n");
    ASSERT_TRUE(SetChangedDate(temp.Path(), "Proj", std::chrono::year(2027) / 1 / 2));
    EXPECT_EQ(temp.Read("list.INI"), "[proj]\r\nname=Proj\r\nCHANGED=02.01.2027\r\ncreated=x\r\n");
    EXPECT_EQ(temp.Read("a.ini"), "[Other]\r\nchanged=1\r\n");

    // A missing key goes after the last non-empty line of its section.
    temp.Write("list.INI", "[Proj]\r\nname=Proj\r\n\r\n[Next]\r\nname=Next\r\n");
    ASSERT_TRUE(SetChangedDate(temp.Path(), "Proj", std::chrono::year(2027) / 11 / 30));
    EXPECT_EQ(temp.Read("list.INI"),
              "[Proj]\r\nname=Proj\r\nchanged=30.11.2027\r\n\r\n[Next]\r\nname=Next\r\n");
}

}  // namespace
