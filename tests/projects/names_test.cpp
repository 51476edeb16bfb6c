// The rules every typed name must pass before it names a file or folder.

#include "projects/Names.h"

#include <gtest/gtest.h>

namespace orbik::projects {
namespace {

TEST(ProjectNames, RefusesExactlyTheTenCharactersAndBlankNames) {
    int refused = 0;
    for (int c = 1; c < 256; ++c) refused += !ValidProjectName(std::string("a") + char(c) + "b");
    EXPECT_EQ(refused, 10);
    for (const char* bad : {"", " \t ", "../x", "x.icp"})
        EXPECT_FALSE(ValidProjectName(bad)) << bad;
    EXPECT_EQ(TrimName("  TV 2 \t"), "TV 2");
    EXPECT_EQ(NotAllowedText(), "No .\\/:;?\"*<> allowed!");
}

}  // namespace
}  // namespace orbik::projects
