// orbik-cli's project commands, run in a copy of the demo installation, and
// archives exchanged with Info-ZIP and Python's zipfile.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Ini.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using orbik::test::ProcessResult;
using orbik::test::RunProcess;
using orbik::test::TempDir;

class ProjectCommands : public ::testing::Test {
  protected:
    void SetUp() override { fs::copy(ORBIK_DEMO_DIR, program.Path(), fs::copy_options::recursive); }
    // orbik-cli run in the program directory, as a user runs it.
    ProcessResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"/usr/bin/env", "-C", program.Path().string(), ORBIK_CLI_PATH});
        return RunProcess(args);
    }
    ProcessResult Shell(const std::string& script) {
        return RunProcess({"/bin/sh", "-c", "cd '" + program.Path().string() + "' && " + script});
    }
    fs::path Projects() const { return program / "Project"; }
    fs::path Templates() const { return program / "templates/Project"; }
    TempDir program;
};

TEST_F(ProjectCommands, ListsNewCopiesAndDeletes) {
    auto list = Cli({"projects", "--templates"});
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(list.output,
              "Duo\tmax\t08.12.2026\t08.12.2026\n"
              "Empty\tmax\t08.12.2026\t08.12.2026\n"
              "Solo\tsolo\t08.12.2026\t08.12.2026\n");

    auto made = Cli({"new", "Duo", "Kitchen"});
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_TRUE(fs::is_regular_file(Projects() / "Kitchen/Kitchen.txt"));
    auto copied = Cli({"copy", "Kitchen", "Hall"});
    ASSERT_EQ(copied.status, 0) << copied.output;
    list = Cli({"projects"});
    ASSERT_EQ(list.status, 0);
    EXPECT_EQ(list.output.rfind("Demo\tmax\t", 0), 0u) << list.output;
    EXPECT_NE(list.output.find("\nHall\tmax\t"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("\nKitchen\tmax\t"), std::string::npos) << list.output;

    auto taken = Cli({"copy", "Kitchen", "Hall"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.output.find("Projectname \"Hall\" already exists!"), std::string::npos);
    EXPECT_EQ(Cli({"new", "Solo", "a/b"}).status, 1);
    EXPECT_EQ(Cli({"new", "Missing", "X"}).status, 1);

    EXPECT_EQ(Cli({"delete", "Hall"}).status, 2) << "needs --yes";
    EXPECT_TRUE(fs::exists(Projects() / "Hall"));
    auto deleted = Cli({"delete", "Hall", "--yes"});
    ASSERT_EQ(deleted.status, 0) << deleted.output;
    EXPECT_FALSE(fs::exists(Projects() / "Hall"));
    EXPECT_FALSE(orbik::platform::IniFile(Projects() / "projectlist.INI").HasSection("Hall"));
    EXPECT_EQ(Cli({"delete", "Solo", "--templates", "--yes"}).status, 0);
    EXPECT_FALSE(fs::exists(Templates() / "Solo"));
    EXPECT_EQ(Cli({"delete", "..", "--yes"}).status, 1);
    EXPECT_TRUE(fs::exists(Projects()));
}

TEST_F(ProjectCommands, ExportedArchivesPassInfoZipAndPython) {
    auto exported = Cli({"export", "Project/Demo", "demo.opr"});
    ASSERT_EQ(exported.status, 0) << exported.output;
    auto test = Shell("unzip -t demo.opr");
    EXPECT_EQ(test.status, 0) << test.output;
    auto python = Shell(
        "python3 -c 'import zipfile,sys; z=zipfile.ZipFile(\"demo.opr\"); "
        "sys.exit(z.testzip() is not None or z.namelist()[0] != \"Demo/\")'");
    EXPECT_EQ(python.status, 0) << python.output;

    auto imported = Cli({"import", "demo.opr", "templates/Project"});
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_EQ(imported.output, "Demo\tmax\n");
    auto same = Shell("diff -r Project/Demo templates/Project/Demo");
    EXPECT_EQ(same.status, 0) << same.output;
    EXPECT_EQ(orbik::platform::IniFile(Templates() / "templates.INI").Read("Demo", "projecttype"),
              "max");

    auto again = Cli({"import", "demo.opr", "Project"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("Projectname \"Demo\" already exists!"), std::string::npos)
        << again.output;
}

TEST_F(ProjectCommands, ImportsArchivesOfInfoZipAndOfPythonWithBackslashNames) {
    auto zipped = Shell("cd templates/Project && zip -qr ../../duo.zip Duo");
    ASSERT_EQ(zipped.status, 0) << zipped.output;
    fs::rename(Templates() / "Duo", program / "Duo.orig");
    auto imported = Cli({"import", "duo.zip", "Project"});
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_EQ(imported.output, "Duo\tmax\n");
    EXPECT_EQ(Shell("diff -r Duo.orig Project/Duo").status, 0);

    auto python = Shell(
        "python3 -c 'import zipfile; z=zipfile.ZipFile(\"win.zip\", \"w\"); "
        "z.writestr(\"Win\\\\Win.txt\", \"item=ExternalDisplay\\r\\n\"); "
        "z.writestr(\"Win\\\\Items&Menus\\\\Main\\\\menu.txt\", \"keyword=sleep\"); "
        "z.writestr(\"../escape.txt\", \"x\"); z.close()'");
    ASSERT_EQ(python.status, 0) << python.output;
    imported = Cli({"import", "win.zip", "Project"});
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_NE(imported.output.find("skipped"), std::string::npos) << imported.output;
    EXPECT_TRUE(fs::is_regular_file(Projects() / "Win/Items&Menus/Main/menu.txt"));
    EXPECT_FALSE(fs::exists(program / "escape.txt"));
    EXPECT_FALSE(fs::exists(Projects() / "escape.txt"));

    // Not an archive: a clear message, exit 1, nothing written.
    auto bad = Cli({"import", "orbik.ini", "Project"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("This ZIP file has bad entries!"), std::string::npos) << bad.output;
}

}  // namespace
