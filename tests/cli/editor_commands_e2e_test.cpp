// orbik-cli resave and tree, run as a user runs them: in the program directory.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using orbik::platform::SplitLines;

struct CliRun {
    int status = -1;
    std::vector<std::string> out, err;
};

std::string ReadAll(const fs::path& path) {
    std::string bytes;
    orbik::platform::ReadWholeFile(path, &bytes, orbik::platform::kMaxTextFileSize);
    return bytes;
}

CliRun RunIn(const fs::path& programDir, const std::string& command, const std::string& project) {
    fs::path errFile = programDir / "stderr.txt";
    std::string line = "cd '" + programDir.string() + "' && '" + std::string(ORBIK_CLI_PATH) +
                       "' " + command + " '" + project + "' 2>'" + errFile.string() + "'";
    CliRun run;
    std::string out;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.out = SplitLines(out);
    run.err = SplitLines(ReadAll(errFile));
    fs::remove(errFile);
    return run;
}

// Every file below the directory with its bytes.
std::map<fs::path, std::string> Snapshot(const fs::path& dir) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(dir)] = ReadAll(entry.path());
    return files;
}

class EditorCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::path demo = ORBIK_DEMO_DIR;
        fs::copy(demo / "orbik.ini", program / "orbik.ini");
        fs::copy(demo / "Project", program / "Project", fs::copy_options::recursive);
    }
    orbik::test::TempDir program;
};

// The demo is kept in the form the editor writes: resaving it changes
// nothing but the project list's date, the first time and every time.
TEST_F(EditorCommands, ResavingTheDemoChangesNothingButTheChangedDate) {
    fs::path list = program / "Project/projectlist.INI";
    std::string listText = ReadAll(list);
    auto at = listText.find("changed=");
    ASSERT_NE(at, std::string::npos);
    listText.replace(at + 8, 10, "01.01.2000");
    orbik::platform::WriteFileAtomic(list, listText);
    auto before = Snapshot(program.Path());

    CliRun first;
    for (const char* dir : {"Project/Demo", "Project/Demo/"}) {
        CliRun run = RunIn(program.Path(), "resave", dir);
        ASSERT_EQ(run.status, 0) << (run.err.empty() ? "" : run.err[0]);
        EXPECT_TRUE(run.err.empty()) << run.err[0];
        EXPECT_EQ(run.out, (std::vector<std::string>{"ORBIK max", "20 Keywords used"}));
        auto after = Snapshot(program.Path());
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [path, bytes] : before) {
            if (path == "Project/projectlist.INI") continue;
            EXPECT_EQ(after[path], bytes) << path;
        }
        std::string changed = after["Project/projectlist.INI"];
        EXPECT_EQ(changed.find("01.01.2000"), std::string::npos);
        EXPECT_EQ(changed.size(), listText.size());
    }
}

TEST_F(EditorCommands, ALoadFailureWritesNothing) {
    fs::remove(program / "Project/Demo/Devices/television/devvocab.txt");
    auto before = Snapshot(program.Path());
    CliRun run = RunIn(program.Path(), "resave", "Project/Demo");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err[0], "Cannot find file Project/Demo/Devices/television/devvocab.txt");
    EXPECT_EQ(Snapshot(program.Path()), before);
    EXPECT_EQ(RunIn(program.Path(), "tree", "Project/Demo").status, 1);
}

TEST_F(EditorCommands, ResaveWarnsAboutMainEntriesNoItemNames) {
    fs::path main = program / "Project/Demo/Items&Menus/Main";
    std::string text = ReadAll(orbik::platform::ResolvePath(main / "menu.txt"));
    orbik::platform::WriteFileAtomic(main / "menu.txt",
                                     "keyword=lamp\r\nprocedure=Nothing\r\n\r\n" + text);
    CliRun run = RunIn(program.Path(), "resave", "Project/Demo");
    EXPECT_EQ(run.status, 0);
    ASSERT_FALSE(run.err.empty());
    EXPECT_NE(run.err[0].find(": lamp"), std::string::npos) << run.err[0];
}

TEST_F(EditorCommands, TreePrintsTheMenuTreeIndented) {
    CliRun run = RunIn(program.Path(), "tree", "Project/Demo");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, (std::vector<std::string>{"television", "  louder", "  quieter", "  one",
                                                 "  two", "  three", "  teletext", "    one",
                                                 "    two", "    three", "    next", "    go",
                                                 "radio", "phone", "  mother", "  office"}));
}

}  // namespace
