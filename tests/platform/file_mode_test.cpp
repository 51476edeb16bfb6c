// An atomic rewrite replaces the file through a temporary one; the file
// must come out with the mode it had, and a new file with the umask's.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace orbik::platform {
namespace {

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Sets the umask for one test and puts the old one back.
class Umask {
  public:
    explicit Umask(mode_t mask) : old_(umask(mask)) {}
    ~Umask() { umask(old_); }

  private:
    mode_t old_;
};

TEST(AtomicWriteMode, RewriteKeepsTheFilesMode) {
    test::TempDir dir;
    Umask mask(022);
    for (mode_t mode : {mode_t(0640), mode_t(0600), mode_t(0604)}) {
        std::filesystem::path file = dir.Write("kept.txt", "old");
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomic(file, "new"));
        EXPECT_EQ(dir.Read("kept.txt"), "new");
        EXPECT_EQ(ModeOf(file), mode) << std::oct << mode;
    }
}

TEST(AtomicWriteMode, NewFileFollowsTheUmask) {
    test::TempDir dir;
    for (mode_t mask : {mode_t(022), mode_t(027), mode_t(077)}) {
        Umask set(mask);
        std::filesystem::path file = dir.Path() / "new.txt";
        std::filesystem::remove(file);
        ASSERT_TRUE(WriteFileAtomic(file, "data"));
        EXPECT_EQ(ModeOf(file), 0666 & ~mask) << std::oct << mask;
    }
}

}  // namespace
}  // namespace orbik::platform
