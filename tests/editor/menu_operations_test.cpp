// Adding and deleting menu entries, Create Device and the menu flags on the
// model; the disk side; and a property: any sequence of changes saves and
// loads back to the same model.

#include <gtest/gtest.h>

#include <unistd.h>

#include <random>

#include "editor/MenuDisk.h"
#include "editor/MenuOperations.h"
#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "platform/FileSystem.h"
#include "support/SavedModel.h"
#include "support/TempDir.h"
#include "support/TestProject.h"

namespace {

using namespace orbik::editor;
using Kind = FolderChange::Kind;

MenuRecord Menu(std::string name) {
    MenuRecord menu;
    menu.name = std::move(name);
    return menu;
}

ItemRecord Item(std::string name) {
    ItemRecord item;
    item.name = std::move(name);
    return item;
}

KeywordRecord Keyword(std::string name, std::string type) {
    std::string text = name;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return {name, text, {{"English", text}, {"German", text + "_de"}}, type};
}

// Keywords of every type, Main and Sleep, and the external display.
ProjectModel Base() {
    ProjectModel m;
    m.languages = {"English", "German", "", ""};
    m.keywords = {Keyword("tv", "deviceselection"),  Keyword("radio", "deviceselection"),
                  Keyword("mother", "telname"),      Keyword("teletext", "teletextitem"),
                  Keyword("louder", "control"),      Keyword("one", "digit"),
                  Keyword("temp", "deviceselection")};
    MenuRecord main = Menu("Main");
    main.deviceSelection = false;
    MenuRecord sleep = Menu("Sleep");
    sleep.entries.push_back({"orbik", "ORBIK", "wakeup", {"SetMenu(Main)"}, {}, {}, {}});
    m.menus = {main, sleep};
    ItemRecord display;
    display.name = "externaldisplay";
    display.options = {"+"};
    m.items = {display};
    m.hasExternalDisplay = true;
    return m;
}

EntryRef Added(ProjectModel& m, std::string_view keyword, std::optional<EntryRef> under = {}) {
    AddResult r = AddKeyword(m, keyword, under);
    EXPECT_TRUE(r.ok) << keyword;
    return r.added;
}

// Main: tv (with a sub-menu holding louder), radio; an entry opening Sleep
// and one popping the menu inside tv's sub-menu.
struct Scene {
    ProjectModel m = Base();
    EntryRef tv, radio, louder, sleeper, popper;
    Scene() {
        tv = Added(m, "tv");
        radio = Added(m, "radio");
        louder = Added(m, "louder", tv);
        sleeper = Added(m, "one", tv);
        m.menus[sleeper.menu].entries[sleeper.entry].procedure = {"setmenu(sleep)"};
        popper = Added(m, "teletext", tv);
        m.menus[popper.menu].entries[popper.entry].procedure = {"POPMENU"};
    }
};

TEST(MenuAdmission, EachTypeAgainstEachTarget) {
    enum Target { kMain, kNewSub, kExistingSub, kSleepEntry, kPopEntry };
    struct Case {
        const char* keyword;
        Target target;
        bool admitted;
    } cases[] = {
        {"radio", kMain, false},  // used already
        {"temp", kMain, true},           {"louder", kMain, false},
        {"one", kMain, false},           {"mother", kMain, false},
        {"teletext", kMain, false},      {"nosuchword", kMain, false},
        {"louder", kNewSub, true},       {"mother", kNewSub, true},
        {"one", kNewSub, true},          {"tv", kNewSub, false},        // Main has it
        {"temp", kNewSub, true},         {"teletext", kNewSub, false},  // once per project
        {"louder", kExistingSub, false},                                // the sub-menu has it
        {"one", kExistingSub, false},    {"LOUDER", kExistingSub, false},
        {"mother", kExistingSub, true},  {"radio", kExistingSub, false},
        {"temp", kExistingSub, true},    {"louder", kSleepEntry, false},
        {"mother", kSleepEntry, false},  {"louder", kPopEntry, false},
    };
    for (const auto& c : cases) {
        Scene s;
        ProjectModel before = s.m;
        std::optional<EntryRef> under;
        if (c.target == kNewSub) under = s.radio;
        if (c.target == kExistingSub) under = s.tv;
        if (c.target == kSleepEntry) under = s.sleeper;
        if (c.target == kPopEntry) under = s.popper;
        AddResult r = AddKeyword(s.m, c.keyword, under);
        EXPECT_EQ(r.ok, c.admitted) << c.keyword << " target " << c.target;
        if (!r.ok) {
            EXPECT_EQ(s.m, before) << c.keyword << ": a refusal changes nothing";
        }
    }
}

TEST(MenuAdd, MainGetsAnItemBeforeTheExternalDisplayNamedUniquely) {
    ProjectModel m = Base();
    m.menus.push_back(Menu("tv"));  // a menu takes the name
    ItemRecord tv1;
    tv1.name = "tv1";
    m.items.insert(m.items.begin(), tv1);
    AddResult r = AddKeyword(m, "TV", std::nullopt);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(m.items.size(), 3u);
    EXPECT_EQ(*r.newItem, 1u);
    EXPECT_EQ(m.items[1].name, "tv2");
    EXPECT_EQ(m.items[1].keyword, "tv");
    EXPECT_EQ(m.items[1].texts,
              (std::vector<LanguageText>{{"English", "Tv2"}, {"German", "Tv_de2"}}));
    EXPECT_EQ(m.items[1].options, std::vector<std::string>{"+"});
    EXPECT_EQ(m.items[2].name, "externaldisplay");
    EXPECT_EQ(m.menus[0].entries.back().item, 1u);
    EXPECT_EQ(m.usedKeywords, (std::vector<UsedKeyword>{{"tv", 1}}));
    EXPECT_EQ(KeywordGauge(m), "4 Keywords used");
}

TEST(MenuAdd, UniqueNamesKeepTheirNumberWithinTwentyCharacters) {
    auto taken = [](std::vector<std::string> names) {
        return [names](const std::string& n) {
            return std::find(names.begin(), names.end(), n) != names.end();
        };
    };
    const std::string long20 = "abcdefghijklmnopqrst";
    EXPECT_EQ(MakeUnique("tv", taken({})).name, "tv");
    EXPECT_EQ(MakeUnique(long20 + "uv", taken({})).name, long20);
    UniqueName one = MakeUnique(long20, taken({long20}));
    EXPECT_EQ(one.name, "abcdefghijklmnopqrs1");
    EXPECT_EQ(one.number, 1);
    std::vector<std::string> names{long20};
    for (int n = 1; n <= 9; ++n) names.push_back(long20.substr(0, 19) + std::to_string(n));
    EXPECT_EQ(MakeUnique(long20, taken(names)).name, "abcdefghijklmnopqr10");
    // Two long keywords on Main never share an item folder.
    ProjectModel m = Base();
    m.keywords.push_back(Keyword(long20 + "1", "deviceselection"));
    m.keywords.push_back(Keyword(long20 + "2", "deviceselection"));
    ASSERT_TRUE(AddKeyword(m, long20 + "1", std::nullopt).ok);
    ASSERT_TRUE(AddKeyword(m, long20 + "2", std::nullopt).ok);
    EXPECT_EQ(m.items[0].name, long20);
    EXPECT_EQ(m.items[1].name, "abcdefghijklmnopqrs1");
}

TEST(MenuAdd, ANewSubMenuIsNamedAfterTheItemAndOpenedFirst) {
    ProjectModel m = Base();
    EntryRef tv = Added(m, "tv");
    m.menus[0].entries[0].procedure = {"SendButton(on)"};
    AddResult r = AddKeyword(m, "louder", tv);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(*r.newMenu, 2u);
    const MenuRecord& sub = m.menus[2];
    EXPECT_EQ(sub.name, "tv");
    EXPECT_TRUE(sub.next && sub.execute && sub.sleep && sub.deviceSelection && !sub.doubleDigits);
    EXPECT_EQ(m.menus[0].entries[0].procedure,
              (std::vector<std::string>{"SetMenu(tv)", "SendButton(on)"}));
    EXPECT_EQ(m.menus[0].entries[0].subMenu, 2u);
    // An entry without an item names its sub-menu after its keyword, made unique.
    AddResult deeper = AddKeyword(m, "one", r.added);
    ASSERT_TRUE(deeper.ok);
    EXPECT_EQ(m.menus[*deeper.newMenu].name, "louder");
    m.items.push_back(Item("one"));
    AddResult deepest = AddKeyword(m, "mother", deeper.added);
    ASSERT_TRUE(deepest.ok);
    EXPECT_EQ(m.menus[*deepest.newMenu].name, "one1");
}

TEST(MenuDelete, Cascade) {
    {  // the last entry of a sub-menu takes the sub-menu and its SetMenu line
        ProjectModel m = Base();
        EntryRef tv = Added(m, "tv");
        m.menus[0].entries[0].procedure.push_back("SendButton(on)");
        EntryRef louder = Added(m, "louder", tv);
        auto changes = DeleteEntry(m, louder).changes;
        EXPECT_EQ(changes, (std::vector<FolderChange>{{Kind::RemoveMenu, "tv"}}));
        EXPECT_EQ(m.menus.size(), 2u);
        EXPECT_FALSE(m.menus[0].entries[0].subMenu);
        EXPECT_EQ(m.menus[0].entries[0].procedure, std::vector<std::string>{"SendButton(on)"});
        EXPECT_EQ(m.usedKeywords, (std::vector<UsedKeyword>{{"tv", 1}}));
    }
    {  // an unshared device goes, entries below go last first
        ProjectModel m = Base();
        EntryRef tv = Added(m, "tv");
        ASSERT_TRUE(CreateDevice(m, tv).ok);
        EntryRef louder = Added(m, "louder", tv);
        Added(m, "one", tv);
        Added(m, "mother", louder);
        Added(m, "radio");
        auto changes = DeleteEntry(m, tv).changes;
        // one goes first (last first), then louder with mother below it.
        EXPECT_EQ(changes, (std::vector<FolderChange>{{Kind::RemoveItem, "mother"},
                                                      {Kind::RemoveMenu, "louder"},
                                                      {Kind::RemoveMenu, "tv"},
                                                      {Kind::RemoveDevice, "tv"},
                                                      {Kind::RemoveItem, "tv"}}));
        EXPECT_TRUE(m.devices.empty());
        EXPECT_EQ(m.menus.size(), 2u);
        ASSERT_EQ(m.menus[0].entries.size(), 1u);
        EXPECT_EQ(m.menus[0].entries[0].keyword, "radio");
        EXPECT_EQ(m.menus[0].entries[0].item, 0u);
        ASSERT_EQ(m.items.size(), 2u);
        EXPECT_EQ(m.items[1].name, "externaldisplay");
        EXPECT_EQ(m.usedKeywords, (std::vector<UsedKeyword>{{"radio", 1}}));
        EXPECT_TRUE(m.telNames.empty());
        EXPECT_TRUE(AddKeyword(m, "mother", EntryRef{0, 0}).ok) << "mother is free again";
    }
    {  // a device another item uses is kept
        ProjectModel m = Base();
        EntryRef tv = Added(m, "tv");
        ASSERT_TRUE(CreateDevice(m, tv).ok);
        EntryRef radio = Added(m, "radio");
        m.items[1].device = 0;
        m.devices[0].userCount = 2;
        auto changes = DeleteEntry(m, radio).changes;
        EXPECT_EQ(changes, (std::vector<FolderChange>{{Kind::RemoveItem, "radio"}}));
        ASSERT_EQ(m.devices.size(), 1u);
        EXPECT_EQ(m.devices[0].userCount, 1);
    }
}

TEST(MenuCreateDevice, NamesSignalFilesAndPropagation) {
    ProjectModel m = Base();
    m.items.insert(m.items.begin(), Item("tv"));
    EntryRef tv = Added(m, "radio");
    EntryRef sub = Added(m, "tv", tv);  // a device selection inside radio's sub-menu
    Added(m, "louder", sub);            // opens the sub-menu tv1: the item tv has the name
    EXPECT_TRUE(CanCreateDevice(m, sub));
    CreateDeviceResult r = CreateDevice(m, sub);
    ASSERT_TRUE(r.ok) << r.message;
    const DeviceRecord& d = m.devices[r.device];
    EXPECT_EQ(d.name, "tv2");
    EXPECT_EQ(d.userCount, 1);
    EXPECT_EQ(d.signalFiles, std::vector<std::string>{"--01.icp"});
    EXPECT_EQ(d.vocabulary, std::vector<std::string>{"louder"});
    const MenuEntry& e = m.menus[sub.menu].entries[sub.entry];
    ASSERT_TRUE(e.item);
    const ItemRecord& item = m.items[*e.item];
    EXPECT_EQ(item.name, "tv2");
    EXPECT_EQ(item.type, "other");
    EXPECT_EQ(item.texts, (std::vector<LanguageText>{{"English", "Tv2"}, {"German", "Tv_de2"}}));
    EXPECT_EQ(item.options, std::vector<std::string>{"+"});
    EXPECT_EQ(m.items.back().name, "externaldisplay");
    EXPECT_EQ(e.procedure.back(), "SetDevice(tv2)");
    EXPECT_FALSE(CanCreateDevice(m, sub));

    // An entry with an item gives the device the item's name; "temp" is
    // never a device's name.
    ProjectModel t = Base();
    EntryRef temp = Added(t, "temp");
    EXPECT_FALSE(CanCreateDevice(t, EntryRef{1, 0}));  // not a device selection
    EXPECT_FALSE(CreateDevice(t, temp).ok) << "the item temp cannot lend its name";
    ProjectModel u = Base();
    EntryRef radio = Added(u, "radio");
    EntryRef inner = Added(u, "temp", radio);
    CreateDeviceResult ok = CreateDevice(u, inner);
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(u.devices[ok.device].name, "temp1");
}

TEST(MenuFlags, PushMenuHidesDeviceSelectionAndConfirmCopiesTheBoxes) {
    ProjectModel m = Base();
    EntryRef tv = Added(m, "tv");
    EXPECT_FALSE(ShowFlags(m, tv).enabled);
    EXPECT_FALSE(ConfirmFlags(m, tv, {}));
    Added(m, "louder", tv);
    FlagView view = ShowFlags(m, tv);
    EXPECT_TRUE(view.enabled && view.deviceSelectionEnabled);
    EXPECT_EQ(view.flags, MenuFlags{});
    m.menus[0].entries[0].procedure.push_back("PushMenu");
    view = ShowFlags(m, tv);
    EXPECT_TRUE(view.enabled);
    EXPECT_FALSE(view.deviceSelectionEnabled || view.flags.deviceSelection);
    ASSERT_TRUE(ConfirmFlags(m, tv, {false, true, false, false, true}));
    const MenuRecord& sub = m.menus[2];
    EXPECT_TRUE(!sub.next && sub.execute && !sub.sleep && !sub.deviceSelection && sub.doubleDigits);
}

// --- on disk ---

namespace fsys = std::filesystem;

std::map<fsys::path, std::string> Snapshot(const fsys::path& dir) {
    std::map<fsys::path, std::string> files;
    for (const auto& entry : fsys::recursive_directory_iterator(dir)) {
        std::string bytes;
        if (entry.is_regular_file())
            orbik::platform::ReadWholeFile(entry.path(), &bytes, orbik::platform::kMaxTextFileSize);
        files[entry.path().lexically_relative(dir)] = bytes;
    }
    return files;
}

TEST(MenuDisk, DeletingNeverFollowsALinkOutOfTheProject) {
    orbik::test::TempDir dir;
    fsys::path project = dir / "P", outside = dir / "outside";
    dir.Write("outside/keep.icp", "signals");
    dir.Write("outside/sub/keep.txt", "names");
    dir.Write("P/Items&Menus/tv/item.txt", "x");
    dir.Write("P/Items&Menus/tv/menu.txt", "x");
    dir.Write("P/Items&Menus/radio/item.txt", "x");
    dir.Write("P/Devices/radio/--01.icp", "x");
    dir.Write("P/Devices/radio/sub/x.txt", "x");
    fsys::create_directories(project / "Devices");
    fsys::create_symlink(outside, project / "Devices" / "tv");
    fsys::create_symlink(outside, project / "Items&Menus" / "linked");
    auto before = Snapshot(outside);
    auto failures = ApplyFolderChanges(project, {{Kind::RemoveDevice, "tv"},
                                                 {Kind::RemoveDevice, "radio"},
                                                 {Kind::RemoveItem, "linked"},
                                                 {Kind::RemoveItem, "tv"},
                                                 {Kind::RemoveItem, "radio"},
                                                 {Kind::RemoveMenu, "gone"}});
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(Snapshot(outside), before);
    EXPECT_FALSE(fsys::exists(fsys::symlink_status(project / "Devices" / "tv")));
    EXPECT_FALSE(fsys::exists(fsys::symlink_status(project / "Items&Menus" / "linked")));
    EXPECT_FALSE(fsys::exists(project / "Devices" / "radio"));
    EXPECT_FALSE(fsys::exists(project / "Items&Menus" / "radio"));
    // The folder that still holds a menu keeps it.
    EXPECT_FALSE(fsys::exists(project / "Items&Menus" / "tv" / "item.txt"));
    EXPECT_TRUE(fsys::exists(project / "Items&Menus" / "tv" / "menu.txt"));
}

// Random adds, deletes and devices on a copy of the demo project: after
// each step the saved project loads back to the same model.
class MenuProperty : public ::testing::Test {
  protected:
    void SetUp() override {
        fsys::copy(fsys::path(ORBIK_DEMO_DIR) / "Project" / "Demo", project,
                   fsys::copy_options::recursive);
        dir.Write("Empty.ixp", std::string(215, '\xFF'));
    }
    LoadResult Load() const { return LoadProject(DiskSource(), project, "Demo", "English"); }
    void Save(const ProjectModel& m) const {
        auto failures = WriteProjectFiles(SaveProject(m, project, "Demo"));
        ASSERT_TRUE(failures.empty()) << failures.front().message;
    }

    orbik::test::TempDir dir;
    fsys::path project = dir / "Demo";
};

using orbik::test::AsSaved;

std::vector<EntryRef> AllEntries(const ProjectModel& m) {
    std::vector<EntryRef> refs;
    for (std::size_t menu = 0; menu < m.menus.size(); ++menu)
        if (menu != 1)
            for (std::size_t e = 0; e < m.menus[menu].entries.size(); ++e)
                refs.push_back({menu, e});
    return refs;
}

TEST_F(MenuProperty, EveryStepSavesAndLoadsBackToTheSameModel) {
    LoadResult first = Load();
    ASSERT_TRUE(first.ok) << first.message;
    ProjectModel m = first.model;
    Save(m);  // the editor's own spelling of the demo, the starting point
    m = Load().model;
    int adds = 0, deletes = 0, devices = 0;
    std::mt19937 rng(20261208);
    for (int step = 0; step < 100; ++step) {
        auto entries = AllEntries(m);
        int choice = static_cast<int>(rng() % 10);
        std::optional<EntryRef> at;
        if (!entries.empty() && rng() % 4 != 0) at = entries[rng() % entries.size()];
        if (choice < 6) {
            const auto& k = m.keywords[rng() % m.keywords.size()];
            if (k.name.find("dkey") != std::string::npos) continue;
            adds += AddKeyword(m, k.name, at).ok;
        } else if (choice < 8 && at) {
            DeleteResult deleted = DeleteEntry(m, *at);
            deletes += deleted.ok;
            auto failures = ApplyFolderChanges(project, deleted.changes);
            ASSERT_TRUE(failures.empty()) << failures.front();
        } else if (choice >= 8) {
            std::vector<EntryRef> offered;
            for (const auto& ref : entries)
                if (CanCreateDevice(m, ref)) offered.push_back(ref);
            if (offered.empty()) continue;
            CreateDeviceResult r = CreateDevice(m, offered[rng() % offered.size()]);
            if (!r.ok) continue;
            ++devices;
            std::string error;
            ASSERT_TRUE(CreateDeviceFolder(m, r.device, project, dir / "Empty.ixp", &error))
                << error;
        }
        Save(m);
        LoadResult again = Load();
        ASSERT_TRUE(again.ok) << "step " << step << ": " << again.message;
        again.model = AsSaved(again.model);
        m = AsSaved(m);
        ASSERT_TRUE(again.model == m) << "step " << step;
    }
    EXPECT_GT(adds, 20);
    EXPECT_GT(deletes, 5);
    EXPECT_GE(devices, 1);
}

TEST(MenuBuild, AProjectWithANewDeviceEntryStillBuilds) {
    orbik::test::TestProject p;
    p.File("KEYWORDS.TXT",
           {"keyword=wake", "type=wakeup", "English=wake up", "keyword=tv", "type=deviceselection",
            "English=tv", "keyword=radio", "type=deviceselection", "English=radio"});
    p.Recordings("English", "radio");
    p.File("Items&Menus/Sleep/MENU.TXT", {"keyword=wake", "procedure=SetMenu(Main)"});
    ASSERT_FALSE(p.Build().Failed());
    LoadResult loaded = LoadProject(DiskSource(), p.ProjectDir(), "P", "English");
    ASSERT_TRUE(loaded.ok) << loaded.message;
    ProjectModel& m = loaded.model;
    AddResult radio = AddKeyword(m, "radio", std::nullopt);
    ASSERT_TRUE(radio.ok);
    CreateDeviceResult device = CreateDevice(m, radio.added);
    ASSERT_TRUE(device.ok) << device.message;
    std::string error;
    ASSERT_TRUE(CreateDeviceFolder(m, device.device, p.ProjectDir(),
                                   fsys::path(ORBIK_DEMO_DIR) / "IR" / "Empty.ixp", &error))
        << error;
    ASSERT_TRUE(WriteProjectFiles(SaveProject(m, p.ProjectDir(), "P")).empty());
    EXPECT_EQ(p.ReadProjectFile("Devices/radio/devlist.txt"), "device=--01.icp\r\n");
    EXPECT_TRUE(fsys::exists(p.ProjectDir() / "Devices/radio/--01.icp"));
    auto log = p.Build();
    EXPECT_FALSE(log.Failed()) << log.Status() << " " << log.Detail();
    LoadResult again = LoadProject(DiskSource(), p.ProjectDir(), "P", "English");
    ASSERT_TRUE(again.ok) << again.message;
    m.descriptor = "P";  // save names the project
    EXPECT_TRUE(AsSaved(again.model) == AsSaved(m));
}

// A folder that is there already may hold someone's code files: Create
// Device leaves it alone; a template that cannot be read makes no folder.
TEST(MenuDisk, CreateDeviceFolderNeverWritesIntoAFolderThatIsThere) {
    orbik::test::TempDir dir;
    ProjectModel m;
    m.devices.push_back({"radio", 1, {"--01.icp"}, {}, {}});
    m.devices.push_back({"fan", 1, {"--01.icp"}, {}, {}});
    dir.Write("Empty.ixp", std::string(215, '\xFF'));
    dir.Write("P/Devices/radio/--01.icp", "mine");
    std::string error;
    EXPECT_FALSE(CreateDeviceFolder(m, 0, dir / "P", dir / "Empty.ixp", &error));
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;
    EXPECT_EQ(dir.Read("P/Devices/radio/--01.icp"), "mine");
    EXPECT_FALSE(fsys::exists(dir / "P/Devices/radio/devlist.txt"));

    EXPECT_FALSE(CreateDeviceFolder(m, 1, dir / "P", dir / "Missing.ixp", &error));
    EXPECT_FALSE(fsys::exists(dir / "P/Devices/fan"));
    ASSERT_TRUE(CreateDeviceFolder(m, 1, dir / "P", dir / "Empty.ixp", &error)) << error;
    EXPECT_EQ(dir.Read("P/Devices/fan/--01.icp"), std::string(215, '\xFF'));
    EXPECT_EQ(dir.Read("P/Devices/fan/devlist.txt"), "device=--01.icp\r\n");
}

}  // namespace
