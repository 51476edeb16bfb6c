// The lists of projects and templates and the operations on them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "projects/NewName.h"
#include "projects/ProjectList.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace orbik::projects;
using orbik::test::TempDir;

std::vector<std::string> Names(const std::vector<ListEntry>& list) {
    std::vector<std::string> names;
    for (const auto& e : list) names.push_back(e.name);
    return names;
}

TEST(NewName, RefusesBlankNamesAndEachOfTheTenCharacters) {
    EXPECT_EQ(CheckNewName("Kitchen"), NameCheck::Ok);
    EXPECT_EQ(CheckNewName(" Living room "), NameCheck::Ok);
    EXPECT_EQ(CheckNewName(""), NameCheck::Empty);
    EXPECT_EQ(CheckNewName("   "), NameCheck::Empty);
    ASSERT_EQ(kRefusedNameChars.size(), 10u);
    for (char c : kRefusedNameChars) {
        EXPECT_EQ(CheckNewName(std::string("a") + c + "b"), NameCheck::RefusedChar) << c;
        EXPECT_EQ(CheckNewName(std::string(1, c)), NameCheck::RefusedChar) << c;
    }
    // "." and ".." would name the folder itself or its parent.
    EXPECT_NE(CheckNewName("."), NameCheck::Ok);
    EXPECT_NE(CheckNewName(".."), NameCheck::Ok);
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
}

TEST(ProjectList, ListsDirectoriesInNameOrderWithWhatTheListFileSays) {
    TempDir dir;
    dir.Write("b/b.txt", "");
    dir.Write("A/A.txt", "");
    dir.Write(".hidden/x.txt", "");
    dir.Write("plain.txt", "not a project");
    dir.Write("projectlist.INI", "[b]\r\nprojecttype=solo\r\ncreated=02.03.2004\r\n");
    auto list = ReadList(dir.Path(), kProjectListFile);
    ASSERT_EQ(Names(list), (std::vector<std::string>{"A", "b"}));
    // A directory without a section is listed with the defaults.
    EXPECT_EQ(list[0].type, "max");
    EXPECT_EQ(list[0].created, "01.01.2000");
    EXPECT_EQ(list[0].changed, "01.01.2000");
    EXPECT_TRUE(list[1].IsSolo());
    EXPECT_EQ(list[1].created, "02.03.2004");
    EXPECT_EQ(list[1].changed, "01.01.2000");
}

TEST(ProjectList, ListFileIsTheLastIniInNameOrderElseTheDefault) {
    TempDir dir;
    EXPECT_EQ(ListFileOf(dir.Path(), kTemplateListFile), dir / "templates.INI");
    dir.Write("B.INI", "");
    dir.Write("a.ini", "");
    dir.Write("c.inix", "");
    EXPECT_EQ(ListFileOf(dir.Path(), kTemplateListFile), dir / "a.ini");
}

TEST(ProjectList, FormatsDatesAsDayMonthYear) {
    using namespace std::chrono;
    EXPECT_EQ(FormatDate(year{2026} / January / day{5}), "05.01.2026");
    EXPECT_EQ(FormatDate(year{1999} / December / day{31}), "31.12.1999");
}

TEST(ProjectList, TypeIsMaxOnlyForAnItemExternalDisplay) {
    TempDir dir;
    struct Case {
        const char* text;
        const char* type;
    } cases[] = {
        {"item=TV\r\nitem=ExternalDisplay\r\n", "max"},
        {"item=  externaldisplay  \r\n", "max"},
        {";item=ExternalDisplay\r\n", "solo"},
        {"items=ExternalDisplay\r\n", "solo"},
        {"Item=ExternalDisplay\r\n", "solo"},
        {"item=ExternalDisplay2\r\n", "solo"},
        {"", "solo"},
    };
    for (const auto& c : cases) {
        dir.Write("p.txt", c.text);
        std::vector<std::string> messages;
        EXPECT_EQ(
            ProjectTypeOf(dir / "p.txt", [&](const std::string& m) { messages.push_back(m); }),
            c.type)
            << c.text;
        EXPECT_TRUE(messages.empty());
    }
    std::vector<std::string> messages;
    EXPECT_EQ(
        ProjectTypeOf(dir / "missing.txt", [&](const std::string& m) { messages.push_back(m); }),
        "solo");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("missing.txt not found"), std::string::npos);
}

struct Program {
    TempDir dir;
    fs::path projects = dir / "Project";
    fs::path templates = dir / "templates";
    Program() {
        dir.Write("templates/Solo/Solo.txt", "item=Volume\r\n");
        dir.Write("templates/Solo/Items&Menus/Main/menu.txt", "keyword=sleep\r\n");
        dir.Write("templates/Odd/Other.txt", "item=ExternalDisplay\r\n");
        dir.Write("templates/templates.INI", "[Solo]\r\nprojecttype=solo\r\n");
        dir.Write("Project/Demo/Demo.txt", "item=ExternalDisplay\r\n");
        dir.Write("Project/projectlist.INI", "[Demo]\r\nname=Demo\r\nprojecttype=max\r\n");
    }
    ListEntry Template(const std::string& name) {
        return *FindEntry(ReadList(templates, kTemplateListFile), name);
    }
};

TEST(CreateEntry, MakesAProjectFromATemplateUnderTheNewName) {
    Program p;
    auto result = CreateEntry(p.templates, p.Template("Solo"), p.projects, "  Kitchen ",
                              kProjectListFile, "08.12.2026");
    ASSERT_EQ(result.outcome, Outcome::Done) << result.detail;
    EXPECT_EQ(result.name, "Kitchen");
    EXPECT_TRUE(fs::is_regular_file(p.projects / "Kitchen/Kitchen.txt"));
    EXPECT_FALSE(fs::exists(p.projects / "Kitchen/Solo.txt"));
    EXPECT_TRUE(fs::is_regular_file(p.projects / "Kitchen/Items&Menus/Main/menu.txt"));
    EXPECT_TRUE(fs::is_regular_file(p.templates / "Solo/Solo.txt")) << "the source stays";
    orbik::platform::IniFile list(p.projects / "projectlist.INI");
    EXPECT_EQ(list.Read("Kitchen", "name"), "Kitchen");
    EXPECT_EQ(list.Read("Kitchen", "projecttype"), "solo");
    EXPECT_EQ(list.Read("Kitchen", "created"), "08.12.2026");
    EXPECT_EQ(list.Read("Kitchen", "changed"), "08.12.2026");
    EXPECT_EQ(list.Read("Demo", "projecttype"), "max") << "other sections stay";
    // The type follows the source's list entry: a template without a section is "max".
    ASSERT_EQ(CreateEntry(p.templates, p.Template("Odd"), p.projects, "Hall", kProjectListFile,
                          "08.12.2026")
                  .outcome,
              Outcome::Done);
    EXPECT_EQ(orbik::platform::IniFile(p.projects / "projectlist.INI").Read("Hall", "projecttype"),
              "max");
    // A main file named otherwise than its template keeps its name.
    EXPECT_TRUE(fs::is_regular_file(p.projects / "Hall/Other.txt"));
}

TEST(CreateEntry, RefusesATakenDestinationAndBadNamesWithoutWriting) {
    Program p;
    p.dir.Write("Project/Empty folder/readme", "mine");  // no main file, still taken
    std::string listBefore = p.dir.Read("Project/projectlist.INI");
    struct Case {
        const char* name;
        Outcome outcome;
    } cases[] = {
        {"Demo", Outcome::NameExists},        {" Demo ", Outcome::NameExists},
        {"demo", Outcome::NameExists},        {"Empty folder", Outcome::NameExists},
        {"   ", Outcome::NameRefused},        {"", Outcome::NameRefused},
        {"../outside", Outcome::NameRefused}, {"a:b", Outcome::NameRefused},
    };
    for (const auto& c : cases) {
        auto result = CreateEntry(p.templates, p.Template("Solo"), p.projects, c.name,
                                  kProjectListFile, "08.12.2026");
        EXPECT_EQ(result.outcome, c.outcome) << c.name;
    }
    EXPECT_EQ(p.dir.Read("Project/Empty folder/readme"), "mine");
    EXPECT_FALSE(fs::exists(p.projects / "Empty folder/Solo.txt"));
    EXPECT_FALSE(fs::exists(p.dir / "outside"));
    EXPECT_EQ(p.dir.Read("Project/projectlist.INI"), listBefore);
}

TEST(DeleteEntry, RemovesFolderAndSectionByAbsolutePathWithoutFollowingLinks) {
    Program p;
    p.dir.Write("Project/Other/Other.txt", "");
    p.dir.Write("keep/precious.txt", "keep me");
    fs::create_directory_symlink(p.dir / "keep", p.projects / "Demo/link");
    std::error_code ec;
    fs::path cwd = fs::current_path();

    auto result = DeleteEntry(p.projects, "Demo", kProjectListFile, {});
    EXPECT_EQ(result.outcome, Outcome::Done) << result.detail;
    EXPECT_FALSE(fs::exists(fs::symlink_status(p.projects / "Demo")));
    EXPECT_EQ(p.dir.Read("keep/precious.txt"), "keep me");
    EXPECT_EQ(fs::current_path(), cwd);
    orbik::platform::IniFile list(p.projects / "projectlist.INI");
    EXPECT_FALSE(list.HasSection("Demo"));
    EXPECT_TRUE(fs::exists(p.projects / "Other/Other.txt"));
}

TEST(DeleteEntry, RefusesOpenProjectsAndNamesThatAreNoEntry) {
    Program p;
    EXPECT_EQ(DeleteEntry(p.projects, "Demo", kProjectListFile, {"Other", "Demo"}).outcome,
              Outcome::AlreadyOpen);
    EXPECT_TRUE(fs::exists(p.projects / "Demo/Demo.txt"));
    for (const char* name : {"..", ".", "../templates", "Missing", "projectlist.INI", ""})
        EXPECT_EQ(DeleteEntry(p.projects, name, kProjectListFile, {}).outcome, Outcome::NotFound)
            << name;
    EXPECT_TRUE(fs::exists(p.templates / "Solo/Solo.txt"));
    EXPECT_TRUE(fs::exists(p.projects / "projectlist.INI"));
}

TEST(DeleteEntry, KeepsTheRowWhenTheFolderCannotBeRemoved) {
    Program p;
    // A dot folder inside is not emptied, so the project folder stays.
    p.dir.Write("Project/Demo/.cache/x", "");
    auto result = DeleteEntry(p.projects, "Demo", kProjectListFile, {});
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_FALSE(result.detail.empty());
    EXPECT_EQ(Names(ReadList(p.projects, kProjectListFile)), (std::vector<std::string>{"Demo"}));
}

TEST(Folders, TemplatesFolderJoinsTemplatesAndProjectPaths) {
    orbik::settings::Settings s;
    s.programDir = "/prog";
    s.projectPath = "\\Project";
    s.templates = "\\Vorlagen";
    auto folders = FoldersOf(s);
    EXPECT_EQ(folders.projects, fs::path("/prog/Project"));
    EXPECT_EQ(folders.templates, fs::path("/prog/Vorlagen/Project"));
    EXPECT_EQ(folders.templatesList, fs::path("/prog/templates/Project"));
}

}  // namespace
