#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace orbik::platform {
namespace {

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PendingFile, FailsAtCreateWhenTheFolderCannotTakeTheFile) {
    test::TempDir dir;
    PendingFile file;
    std::string error;
    auto target = dir / "missing" / "r.cim";
    EXPECT_FALSE(file.Create(target, &error));
    EXPECT_EQ(error.find(target.string() + ": "), 0u) << error;
    EXPECT_EQ(error.find(target.string(), 1), std::string::npos) << "path repeated: " << error;
}

TEST(PendingFile, TargetChangesOnlyOnCommitAndNothingIsLeftBehind) {
    test::TempDir dir;
    auto target = dir.Write("kept.cim", "earlier");
    {
        PendingFile file;
        ASSERT_TRUE(file.Create(target));
        EXPECT_EQ(Contents(target), "earlier");
    }  // never committed
    EXPECT_EQ(Contents(target), "earlier");
    EXPECT_EQ(ListDirectory(dir.Path()).size(), 1u);

    chmod(target.c_str(), 0640);
    PendingFile file;
    ASSERT_TRUE(file.Create(target));
    ASSERT_TRUE(file.Commit("new"));
    EXPECT_EQ(Contents(target), "new");
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ListDirectory(dir.Path()).size(), 1u);
    std::string error;
    EXPECT_FALSE(file.Commit("again", &error));  // one commit per Create
}

}  // namespace
}  // namespace orbik::platform
