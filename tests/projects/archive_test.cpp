// Export and import of project archives, malicious archives included.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "projects/Archive.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace orbik::projects;
using orbik::test::TempDir;

// Every file below `root` with its bytes, and every folder with "/".
std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::string rel = fs::relative(e.path(), root).generic_string();
        if (e.is_directory()) {
            tree[rel + "/"] = "";
        } else {
            std::string bytes;
            orbik::platform::ReadWholeFile(e.path(), &bytes, orbik::platform::kMaxTextFileSize);
            tree[rel] = bytes;
        }
    }
    return tree;
}

struct Entry {
    std::string name;
    std::string data;  // a folder entry when the name ends in "/"
    bool symlink = false;
};

// An archive made entry by entry, as other tools might make it; stored
// uncompressed, so that tests can damage the data.
void MakeArchive(const fs::path& path, const std::vector<Entry>& entries) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const auto& e : entries) {
        zip_int64_t index;
        if (!e.name.empty() && e.name.back() == '/') {
            index = zip_dir_add(archive, e.name.c_str(), ZIP_FL_ENC_RAW);
        } else {
            zip_source_t* source = zip_source_buffer(archive, e.data.data(), e.data.size(), 0);
            index = zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_RAW);
            if (index >= 0) zip_set_file_compression(archive, index, ZIP_CM_STORE, 0);
        }
        ASSERT_GE(index, 0) << e.name;
        if (e.symlink)
            zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX,
                                             (S_IFLNK | 0777u) << 16);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

struct Program {
    TempDir dir;
    fs::path projects = dir / "Project";
    fs::path templates = dir / "templates";
    Program() {
        dir.Write("Project/Demo/Demo.txt", "item=TV\r\nitem=ExternalDisplay\r\n");
        dir.Write("Project/Demo/Items&Menus/Main/menu.txt", std::string(5000, 'm'));
        dir.Write("Project/Demo/Devices/TV/tv.icp", std::string("\x00\x01\xff", 3));
        fs::create_directories(projects / "Demo/Empty folder");
        fs::create_directories(templates);
    }
    ImportResult Import(const fs::path& archive, const fs::path& dest,
                        std::vector<std::string> open = {}) {
        ImportRequest request;
        request.archive = archive;
        request.destFolder = dest;
        request.listName = dest == templates ? kTemplateListFile : kProjectListFile;
        request.openProjects = std::move(open);
        request.today = "08.12.2026";
        request.report = [this](const std::string& m) { messages.push_back(m); };
        return ImportProject(request);
    }
    std::vector<std::string> messages;
};

TEST(Archive, ExportThenImportOnTheOtherListGivesTheSameTree) {
    Program p;
    fs::path archive = p.dir / "demo.opr";
    auto exported = ExportProject(p.projects / "Demo/", archive);
    ASSERT_EQ(exported.outcome, Outcome::Done) << exported.detail;
    EXPECT_FALSE(fs::exists(p.dir / "demo.opr.partial"));

    // The project's folder first, names relative to the projects folder,
    // deflated at maximum compression.
    int code = 0;
    zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY, &code);
    ASSERT_NE(z, nullptr);
    EXPECT_STREQ(zip_get_name(z, 0, 0), "Demo/");
    zip_int64_t count = zip_get_num_entries(z, 0);
    EXPECT_EQ(count, 9);  // Demo/ + 5 folders + 3 files
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        ASSERT_EQ(zip_stat_index(z, i, 0, &st), 0);
        EXPECT_EQ(std::string(st.name).rfind("Demo/", 0), 0u) << st.name;
        if (st.name[std::string(st.name).size() - 1] != '/')
            EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE) << st.name;
    }
    zip_discard(z);

    auto imported = p.Import(archive, p.templates);
    ASSERT_EQ(imported.outcome, Outcome::Done) << imported.detail;
    EXPECT_EQ(imported.name, "Demo");
    EXPECT_EQ(imported.type, "max");
    EXPECT_TRUE(imported.notes.empty());
    EXPECT_EQ(Tree(p.templates / "Demo"), Tree(p.projects / "Demo"));
    orbik::platform::IniFile list(p.templates / "templates.INI");
    EXPECT_EQ(list.Read("Demo", "name"), "Demo");
    EXPECT_EQ(list.Read("Demo", "projecttype"), "max");
    EXPECT_EQ(list.Read("Demo", "created"), "08.12.2026");
    EXPECT_EQ(list.Read("Demo", "changed"), "08.12.2026");
}

TEST(Archive, ExportReplacesAnArchiveOnlyWhenComplete) {
    Program p;
    p.dir.Write("old.opr", "previous archive");
    EXPECT_EQ(ExportProject(p.projects / "Missing", p.dir / "old.opr").outcome, Outcome::NotFound);
    EXPECT_EQ(p.dir.Read("old.opr"), "previous archive");
    ASSERT_EQ(ExportProject(p.projects / "Demo", p.dir / "old.opr").outcome, Outcome::Done);
    EXPECT_NE(p.dir.Read("old.opr"), "previous archive");
    EXPECT_FALSE(fs::exists(p.dir / "old.opr.partial"));

    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    p.dir.Write("old.opr", "previous archive");
    fs::permissions(p.projects / "Demo/Demo.txt", fs::perms::none);
    auto failed = ExportProject(p.projects / "Demo", p.dir / "old.opr");
    fs::permissions(p.projects / "Demo/Demo.txt", fs::perms::owner_all);
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_EQ(p.dir.Read("old.opr"), "previous archive");
    EXPECT_FALSE(fs::exists(p.dir / "old.opr.partial"));
}

TEST(Archive, ImportSkipsEveryEntryThatWouldLeaveTheProjectFolder) {
    Program p;
    fs::path archive = p.dir / "evil.zip";
    MakeArchive(archive, {
                             {"Evil/", ""},
                             {"Evil/Evil.txt", "item=Volume\r\n"},
                             {"/tmp/abs.txt", "x"},
                             {"Evil/../../escaped.txt", "x"},
                             {"Evil/..\\..\\escaped2.txt", "x"},
                             {"C:/drive.txt", "x"},
                             {"Evil/C:drive.txt", "x"},
                             {"Evil/link", "/etc", true},
                             {"Evil\\sub\\ok.txt", "fine"},
                             {"Other/outside.txt", "x"},
                         });
    auto before = Tree(p.dir.Path());
    auto result = p.Import(archive, p.projects);
    ASSERT_EQ(result.outcome, Outcome::Done) << result.detail;
    EXPECT_EQ(result.type, "solo");
    EXPECT_EQ(result.notes.size(), 7u);
    // Only the new project's folder and the list file changed.
    auto after = Tree(p.dir.Path());
    for (const auto& [name, bytes] : after) {
        if (before.count(name) && before[name] == bytes) continue;
        EXPECT_TRUE(name.rfind("Project/Evil/", 0) == 0 || name == "Project/projectlist.INI")
            << name;
    }
    EXPECT_EQ(Tree(p.projects / "Evil"),
              (std::map<std::string, std::string>{
                  {"Evil.txt", "item=Volume\r\n"}, {"sub/", ""}, {"sub/ok.txt", "fine"}}));
}

TEST(Archive, ImportTakesTheNameFromTheFirstEntryEvenWhenItIsAFile) {
    Program p;
    fs::path archive = p.dir / "file-first.zip";
    MakeArchive(archive, {{"Hall/Hall.txt", "item=ExternalDisplay\r\n"},
                          {"Hall//Items&Menus//Main//menu.txt", "k"},
                          {"Hall\\Devices\\", ""},
                          {"Stray/x.txt", "x"}});
    auto result = p.Import(archive, p.projects);
    ASSERT_EQ(result.outcome, Outcome::Done) << result.detail;
    EXPECT_EQ(result.name, "Hall");
    EXPECT_EQ(result.type, "max");
    EXPECT_EQ(p.dir.Read("Project/Hall/Items&Menus/Main/menu.txt"), "k");
    EXPECT_TRUE(fs::is_directory(p.projects / "Hall/Devices"));
    EXPECT_FALSE(fs::exists(p.projects / "Stray"));
    EXPECT_FALSE(fs::exists(p.projects / "Hall/Stray"));
}

TEST(Archive, ImportRefusesBadNamesTakenNamesAndOpenProjectsWritingNothing) {
    Program p;
    struct Case {
        std::vector<Entry> entries;
        Outcome outcome;
    } cases[] = {
        {{{"Demo/", ""}, {"Demo/Demo.txt", "new"}}, Outcome::NameExists},
        {{{" Demo /", ""}}, Outcome::NameExists},
        {{{"demo/x.txt", "x"}}, Outcome::NameExists},
        {{{"../", ""}, {"../x.txt", "x"}}, Outcome::NameRefused},
        {{{"a.b/", ""}}, Outcome::NameRefused},
        {{{"top.txt", "x"}, {"Top/x.txt", "x"}}, Outcome::NameRefused},
        {{{"A/B/c.txt", "x"}}, Outcome::NameRefused},
        {{{"  /", ""}}, Outcome::NameRefused},
        {{{"C:/", ""}}, Outcome::NameRefused},
        {{{"\xcf\x86/", ""}}, Outcome::NameRefused},  // Greek phi: no Windows-1252 name
    };
    auto before = Tree(p.dir.Path());
    int n = 0;
    for (const auto& c : cases) {
        fs::path archive = p.dir / ("case" + std::to_string(n++) + ".zip");
        MakeArchive(archive, c.entries);
        before = Tree(p.dir.Path());
        auto result = p.Import(archive, p.projects);
        EXPECT_EQ(result.outcome, c.outcome) << c.entries[0].name;
        EXPECT_EQ(Tree(p.dir.Path()), before) << c.entries[0].name;
    }
    EXPECT_EQ(NameTakenMessage("Demo"), "Projectname \"Demo\" already exists!");

    // Over an open project: refused as already open, on either list.
    fs::path open = p.dir / "open.zip";
    MakeArchive(open, {{"Kitchen/", ""}});
    before = Tree(p.dir.Path());
    EXPECT_EQ(p.Import(open, p.templates, {"Kitchen"}).outcome, Outcome::AlreadyOpen);
    EXPECT_EQ(Tree(p.dir.Path()), before);
    // The name is compared with the list shown: a template may share a project's name.
    fs::path demo = p.dir / "demo.opr";
    ASSERT_EQ(ExportProject(p.projects / "Demo", demo).outcome, Outcome::Done);
    EXPECT_EQ(p.Import(demo, p.templates).outcome, Outcome::Done);
}

TEST(Archive, UnreadableOrCorruptArchivesLeaveNothingBehind) {
    Program p;
    p.dir.Write("garbage.opr", "PK\x03\x04 this is not an archive");
    p.dir.Write("empty.opr", "");
    auto before = Tree(p.projects);
    for (const char* name : {"garbage.opr", "empty.opr", "missing.opr"}) {
        auto result = p.Import(p.dir / name, p.projects);
        EXPECT_EQ(result.outcome, Outcome::Failed) << name;
        EXPECT_EQ(result.detail.rfind(std::string(kBadArchive), 0), 0u) << result.detail;
        EXPECT_EQ(Tree(p.projects), before) << name;
    }
    // A damaged entry (its stored checksum no longer fits) fails the import
    // and removes what was unpacked so far.
    fs::path archive = p.dir / "crc.zip";
    MakeArchive(archive, {{"Bad/", ""}, {"Bad/a.txt", std::string(64, 'a')}});
    std::string bytes = p.dir.Read("crc.zip");
    auto at = bytes.find(std::string(64, 'a'));
    ASSERT_NE(at, std::string::npos) << "stored uncompressed";
    bytes[at + 10] = 'b';
    p.dir.Write("crc.zip", bytes);
    auto result = p.Import(archive, p.projects);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(Tree(p.projects), before);

    // An archive that unpacks to more than allowed fails as a whole.
    fs::path big = p.dir / "big.zip";
    MakeArchive(big, {{"Big/", ""}, {"Big/a", std::string(600, 'a')}, {"Big/b", "bbb"}});
    ImportRequest request;
    request.archive = big;
    request.destFolder = p.projects;
    request.listName = kProjectListFile;
    request.maxBytes = 602;
    EXPECT_EQ(ImportProject(request).outcome, Outcome::Failed);
    EXPECT_EQ(Tree(p.projects), before);
    request.maxBytes = 603;
    EXPECT_EQ(ImportProject(request).outcome, Outcome::Done);
}

TEST(Archive, MissingMainFileIsToldAndListedAsSolo) {
    Program p;
    fs::path archive = p.dir / "nomain.zip";
    MakeArchive(archive, {{"Bare/", ""}, {"Bare/notes.txt", "x"}});
    auto result = p.Import(archive, p.projects);
    ASSERT_EQ(result.outcome, Outcome::Done);
    EXPECT_EQ(result.type, "solo");
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_NE(p.messages[0].find("Bare.txt not found"), std::string::npos);
    EXPECT_EQ(orbik::platform::IniFile(p.projects / "projectlist.INI").Read("Bare", "projecttype"),
              "solo");
}

}  // namespace
