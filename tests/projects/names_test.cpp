// The rules every typed name must pass before it names a file or folder.

#include "projects/Names.h"

#include <gtest/gtest.h>

namespace orbik::projects {
namespace {

TEST(ProjectNames, RefusesExactlyTheTenCharactersAndBlankNames) {
    int refused = 0;
    for (int c = 1; c < 256; ++c) {
        std::string name = std::string("a") + static_cast<char>(c) + "b";
        if (!ValidProjectName(name)) ++refused;
    }
    EXPECT_EQ(refused, 10);
    for (const char* bad : {"", "   ", "\t", "../x", "a\\b", "x.icp", "a<b>"})
        EXPECT_FALSE(ValidProjectName(bad)) << bad;
    for (const char* good : {"a", " TV 2 ", "--01", "K\xFC\x63he"})
        EXPECT_TRUE(ValidProjectName(good)) << good;
    EXPECT_EQ(TrimName("  TV 2 \t"), "TV 2");
    EXPECT_EQ(NotAllowedText(), "No .\\/:;?\"*<> allowed!");
}

}  // namespace
}  // namespace orbik::projects
