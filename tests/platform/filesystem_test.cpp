#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <sys/stat.h>

#include <csignal>
#include <fstream>

#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace orbik::platform;
using orbik::test::TempDir;

TEST(ResolvePath, FindsEveryComponentWithoutRegardToCase) {
    TempDir dir;
    dir.Write("Project/demo/items&menus/main/menu.txt", "x");
    fs::path resolved = ResolvePath(dir / "PROJECT/Demo/Items&Menus/Main/MENU.TXT");
    EXPECT_EQ(resolved, dir / "Project/demo/items&menus/main/menu.txt");
    EXPECT_TRUE(FileExists(dir / "project/DEMO/ITEMS&MENUS/MAIN/Menu.txt"));
    EXPECT_TRUE(DirectoryExists(dir / "PROJECT/DEMO"));
    EXPECT_FALSE(FileExists(dir / "PROJECT/DEMO"));  // a directory is no file
}

TEST(ResolvePath, PrefersExactNameThenFirstInSortedOrder) {
    TempDir dir;
    dir.Write("keywords.txt", "lower");
    dir.Write("Keywords.txt", "mixed");
    dir.Write("KEYWORDS.TXT", "upper");
    EXPECT_EQ(ResolvePath(dir / "Keywords.txt").filename(), "Keywords.txt");
    EXPECT_EQ(ResolvePath(dir / "kEYWORDS.txt").filename(), "KEYWORDS.TXT");  // 'K' < 'k'
}

TEST(ResolvePath, KeepsMissingTailAsGiven) {
    TempDir dir;
    dir.Write("Devices/x", "");
    EXPECT_EQ(ResolvePath(dir / "DEVICES/New/ITEM.TXT"), dir / "Devices/New/ITEM.TXT");
}

TEST(WriteFileAtomic, UpdatesExistingFileOfAnotherCase) {
    TempDir dir;
    dir.Write("Demo/item.txt", "old");
    ASSERT_TRUE(WriteFileAtomic(dir / "demo/ITEM.TXT", "new"));
    EXPECT_EQ(dir.Read("Demo/item.txt"), "new");
    EXPECT_EQ(ListDirectory(dir / "Demo").size(), 1u);  // no second file, no temp left
}

TEST(WriteFileAtomic, FailedWriteLeavesOldFileIntact) {
    // A file size limit makes write() fail part-way, as a full disk would,
    // and works for root too.
    TempDir dir;
    dir.Write("keep.txt", "precious");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    bool written = WriteFileAtomic(dir / "keep.txt", std::string(1 << 20, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("keep.txt"), std::string::npos);
    EXPECT_EQ(dir.Read("keep.txt"), "precious");
    EXPECT_EQ(ListDirectory(dir.Path()).size(), 1u);  // the temporary file is gone
}

TEST(CopyFileNoOverwrite, FailsWhenTargetExistsInAnyCase) {
    TempDir dir;
    dir.Write("a.icp", "A");
    dir.Write("B.ICP", "B");
    EXPECT_FALSE(CopyFileNoOverwrite(dir / "a.icp", dir / "b.icp"));
    EXPECT_EQ(dir.Read("B.ICP"), "B");
    EXPECT_TRUE(CopyFileNoOverwrite(dir / "A.ICP", dir / "c.icp"));
    EXPECT_EQ(dir.Read("c.icp"), "A");
}

TEST(CopyDirectory, CopiesWholeTree) {
    TempDir dir;
    dir.Write("src/Demo.txt", "main");
    dir.Write("src/Items&Menus/Main/MENU.TXT", "menu");
    ASSERT_TRUE(CopyDirectory(dir / "src", dir / "dst/Copy"));
    EXPECT_EQ(dir.Read("dst/Copy/Items&Menus/Main/MENU.TXT"), "menu");
    EXPECT_EQ(dir.Read("dst/Copy/Demo.txt"), "main");
}

TEST(CopyDirectory, RefusesToCopyIntoItself) {
    TempDir dir;
    dir.Write("src/a.txt", "a");
    std::string error;
    EXPECT_FALSE(CopyDirectory(dir / "src", dir / "src/sub", &error));
    EXPECT_NE(error.find("into itself"), std::string::npos) << error;
    EXPECT_FALSE(CopyDirectory(dir / "src", dir / "SRC"));  // same folder by another case
    EXPECT_FALSE(CopyDirectory((dir / "src").string() + "/", dir / "src/sub"));
    EXPECT_FALSE(fs::exists(dir / "src/sub"));
    EXPECT_TRUE(CopyDirectory(dir / "src", dir / "src2"));  // a sibling sharing a prefix is fine
}

TEST(EmptyDirectory, DeletesLinksWithoutFollowingThem) {
    TempDir dir;
    dir.Write("outside/keep.txt", "keep");
    dir.Write("project/a.txt", "a");
    dir.Write("project/sub/deep/b.txt", "b");
    fs::create_directory_symlink(dir / "outside", dir / "project/sub/link");
    fs::create_symlink(dir / "outside/keep.txt", dir / "project/filelink");

    EXPECT_TRUE(EmptyDirectory(dir / "project"));
    EXPECT_TRUE(fs::is_directory(dir / "project"));
    EXPECT_TRUE(fs::is_empty(dir / "project"));
    EXPECT_EQ(dir.Read("outside/keep.txt"), "keep");
}

TEST(EmptyDirectory, SkipsDotDirectoriesAsFiles) {
    TempDir dir;
    dir.Write("p/.hidden/x", "x");
    dir.Write("p/y", "y");
    fs::create_directory(dir / "p/.empty");
    EXPECT_TRUE(EmptyDirectory(dir / "p"));
    EXPECT_TRUE(fs::exists(dir / "p/.hidden/x"));
    EXPECT_TRUE(fs::is_directory(dir / "p/.empty"));
    EXPECT_FALSE(fs::exists(dir / "p/y"));
}

TEST(TextHelpers, TrailingSeparatorAndSettingJoin) {
    EXPECT_EQ(IncludeTrailingBackslash("  /a/b  "), "/a/b/");
    EXPECT_EQ(IncludeTrailingBackslash("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeTrailingBackslash("   "), "");
    EXPECT_EQ(JoinSetting("/prog", "\\templates\\Solo"), fs::path("/prog/templates/Solo"));
    EXPECT_EQ(JoinSetting("/prog", "/IR"), fs::path("/prog/IR"));
    EXPECT_EQ(JoinSetting("/prog", ""), fs::path("/prog"));
}

namespace {

// Each a file that cannot be read whole: the read fails naming the file and
// the system's reason, and leaves the caller's data alone.
TEST(ReadWholeFile, RefusesWhatItCannotReadWhole) {
    TempDir dir;
    fs::create_symlink("/proc/self/mem", dir / "mem");        // stat size 0, reads fail
    fs::create_symlink("/proc/self/status", dir / "status");  // stat size 0, reads succeed
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    // Sparse: refused by its size, never read.
    { std::ofstream(dir / "huge"); }
    fs::resize_file(dir / "huge", 10ull << 30);
    const struct {
        const char* name;
        const char* reason;
    } kCases[] = {
        {"mem", "Input/output error"},         {"status", "size changed while reading"},
        {"fifo", "not a regular file"},        {"folder", "Is a directory"},
        {"gone", "No such file or directory"}, {"huge", "File too large"},
    };
    for (const auto& c : kCases) {
        std::string data = "untouched", error;
        EXPECT_FALSE(ReadWholeFile(dir / c.name, &data, 1 << 20, &error)) << c.name;
        EXPECT_EQ(error, (dir / c.name).string() + ": " + c.reason);
        EXPECT_EQ(ErrorReason(error), c.reason);
        EXPECT_EQ(data, "untouched");
    }
}

TEST(ReadWholeFile, ReadsUpToItsLimit) {
    TempDir dir;
    dir.Write("f", std::string(1000, 'x'));
    std::string data;
    EXPECT_TRUE(ReadWholeFile(dir / "F", &data, 1000));
    EXPECT_EQ(data, std::string(1000, 'x'));
    EXPECT_FALSE(ReadWholeFile(dir / "f", &data, 999));
}

TEST(FileReplacement, ReplacesAllFilesOrNone) {
    TempDir dir;
    dir.Write("a", "old a");
    dir.Write("b", "old b");
    fs::create_directory(dir / "c");
    {
        FileReplacement files;
        EXPECT_TRUE(files.Stage(dir / "a", "new a"));
        EXPECT_TRUE(files.Stage(dir / "b", "new b"));
        std::string error;
        EXPECT_FALSE(files.Stage(dir / "c", "new c", &error));  // a folder is in the way
        EXPECT_EQ(error, (dir / "c").string() + ": Is a directory");
    }
    EXPECT_EQ(dir.Read("a"), "old a");
    EXPECT_EQ(dir.Read("b"), "old b");
    EXPECT_EQ(ListDirectory(dir.Path()).size(), 3u);  // no temporary file left

    FileReplacement files;
    ASSERT_TRUE(files.Stage(dir / "A", "new a") && files.Stage(dir / "b", "new b"));
    EXPECT_EQ(dir.Read("a"), "old a");  // nothing changes before the commit
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(dir.Read("a"), "new a");
    EXPECT_EQ(dir.Read("b"), "new b");
    EXPECT_EQ(ListDirectory(dir.Path()).size(), 3u);
}

}  // namespace
