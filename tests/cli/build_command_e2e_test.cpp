// orbik-cli build, run as a user runs it: in the program directory.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::vector<std::string> out, err;
};

CliRun BuildInProgramDir(const fs::path& programDir, const std::string& project) {
    fs::path cli = ORBIK_CLI_PATH;
    fs::path errFile = programDir / "stderr.txt";
    std::string command = "cd '" + programDir.string() + "' && '" + cli.string() + "' build '" +
                          project + "' 2>'" + errFile.string() + "'";
    CliRun run;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.out = orbik::platform::SplitLines(out);
    std::string err;
    if (FILE* f = std::fopen(errFile.c_str(), "rb")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, f)) err.append(buffer, n);
        std::fclose(f);
    }
    run.err = orbik::platform::SplitLines(err);
    return run;
}

TEST(BuildCommand, PrintsEachFinishedStepThenTheFinalStatus) {
    orbik::test::TempDir program;
    fs::path demo = ORBIK_DEMO_DIR;
    fs::copy(demo / "Speech", program / "Speech", fs::copy_options::recursive);
    fs::create_directories(program / "Project");
    fs::copy(demo / "Project" / "Demo", program / "Project" / "Demo", fs::copy_options::recursive);

    CliRun ok = BuildInProgramDir(program.Path(), "Project/Demo");
    EXPECT_EQ(ok.status, 0);
    ASSERT_EQ(ok.out.size(), 22u);
    EXPECT_EQ(ok.out[0], "checking languages ....... ....................ok");
    EXPECT_EQ(ok.out[4], "packing keywords ......... .....................ok");
    EXPECT_EQ(ok.out[20].rfind("framing configuration .... ", 0), 0u);
    EXPECT_EQ(ok.out[21], "writing protocol........ ok");
    EXPECT_TRUE(fs::exists(program / "Project/Demo/Demo.CIF"));

    fs::remove(program / "Project/Demo/Items&Menus/Sleep/menu.txt");
    CliRun failed = BuildInProgramDir(program.Path(), "Project/Demo");
    EXPECT_EQ(failed.status, 1);
    ASSERT_FALSE(failed.err.empty());
    EXPECT_EQ(failed.err.back(),
              "invalid procedure SetMenu in Project/Demo/Items&Menus/Main/MENU.TXT");
    ASSERT_FALSE(failed.out.empty());
    EXPECT_EQ(failed.out.back(), "checking items ........... ....................ok");
}

TEST(BuildCommand, FailureLineIsFollowedByTheReasonWhenKnown) {
    orbik::test::TempDir program, elsewhere;
    fs::path demo = ORBIK_DEMO_DIR;
    fs::copy(demo / "Speech", program / "Speech", fs::copy_options::recursive);
    fs::create_directories(program / "Project");
    fs::copy(demo / "Project" / "Demo", program / "Project" / "Demo", fs::copy_options::recursive);
    fs::path main = program / "Project/Demo/Demo.txt";
    fs::rename(main, elsewhere / "Demo.txt");
    fs::create_symlink(elsewhere / "Demo.txt", main);

    CliRun failed = BuildInProgramDir(program.Path(), "Project/Demo");
    EXPECT_EQ(failed.status, 1);
    ASSERT_GE(failed.err.size(), 2u);
    EXPECT_EQ(failed.err[failed.err.size() - 2], "file Project/Demo/Demo.txt not found");
    EXPECT_EQ(failed.err.back(), "a symbolic link leads outside the folder");
}

}  // namespace
