// orbik-cli listing, run in a program directory as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using orbik::platform::SplitLines;

std::vector<std::string> Golden(const char* name) {
    std::string bytes;
    orbik::platform::ReadWholeFile(fs::path(ORBIK_SOURCE_DIR) / "tests/editor/golden" / name,
                                   &bytes, orbik::platform::kMaxTextFileSize);
    return SplitLines(bytes);
}

TEST(ListingCommand, PrintsTheListingDatedTodayAndRejectsBadArguments) {
    orbik::test::TempDir program;
    fs::copy(fs::path(ORBIK_DEMO_DIR) / "orbik.ini", program / "orbik.ini");
    auto run = [&](const std::string& args) {
        return orbik::test::RunProcess(
            {"/bin/sh", "-c",
             "cd '" + program.Path().string() + "' && '" + ORBIK_CLI_PATH + "' listing " + args});
    };
    const std::string demo = "'" + std::string(ORBIK_DEMO_DIR) + "/Project/Demo'";
    for (bool actions : {false, true}) {
        auto result = run(actions ? "--actions " + demo : demo);
        ASSERT_EQ(result.status, 0) << result.output;
        auto lines = SplitLines(result.output);
        auto expected = Golden(actions ? "demo_listing_actions.txt" : "demo_listing.txt");
        ASSERT_EQ(lines.size(), expected.size());
        EXPECT_TRUE(
            std::regex_match(lines[4], std::regex("     Printdate: \\d\\d\\.\\d\\d\\.\\d{4}")))
            << lines[4];
        lines[4] = expected[4];
        EXPECT_EQ(lines, expected);
    }
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run(demo + " " + demo).status, 2);
    auto missing = run("'" + program.Path().string() + "/Project/None'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("not found"), std::string::npos) << missing.output;
}

}  // namespace
