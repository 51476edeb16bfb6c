// The rules every typed name must pass before it names a file or folder.

#include "projects/NewName.h"

#include <gtest/gtest.h>

namespace orbik::projects {
namespace {

TEST(ProjectNames, RefusesExactlyTheTenCharactersAndBlankNames) {
    int refused = 0;
    for (int c = 1; c < 256; ++c)
        refused += CheckNewName(std::string("a") + char(c) + "b") == NameCheck::RefusedChar;
    EXPECT_EQ(refused, 10);
    for (const char* bad : {"", "   ", "../x", "x.icp"})
        EXPECT_NE(CheckNewName(bad), NameCheck::Ok) << bad;
    EXPECT_EQ(TrimBlanks("  TV 2  "), "TV 2");
    EXPECT_EQ(NotAllowedText(), "No .\\/:;?\"*<> allowed!");
}

}  // namespace
}  // namespace orbik::projects
