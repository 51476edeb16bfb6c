// The printable listing: header, depth-first tree, actions at a fixed column.

#include <gtest/gtest.h>

#include "editor/Listing.h"
#include "editor/ProjectLoad.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {

using namespace orbik::editor;
using Lines = std::vector<std::string>;
using namespace std::chrono;

MenuRecord Menu(std::string name) {
    MenuRecord menu;
    menu.name = std::move(name);
    return menu;
}

const year_month_day kDate{year(2026), month(3), day(7)};
const std::string kRule(40, '*');
const std::string kActions(45, ' ');

Lines Header(const std::string& project) {
    return {"", kRule, "", "     Project:   " + project, "     Printdate: 07.03.2026", "", kRule};
}

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Listing, AProjectWithoutEntriesHoldsOnlyTheHeader) {
    ProjectModel model;
    model.menus = {Menu("Main"), Menu("Sleep")};
    model.menus[1].entries.push_back({"orbik", "ORBIK", "wakeup", {"SetMenu(Main)"}, {}, {}, {}});
    EXPECT_EQ(ListingLines(model, "Empty", kDate, true), Header("Empty"));
    EXPECT_EQ(ListingLines(ProjectModel{}, "None", kDate, false), Header("None"));
}

Lines Golden(const char* name) {
    std::string bytes;
    EXPECT_TRUE(
        orbik::platform::ReadWholeFile(fs::path(ORBIK_SOURCE_DIR) / "tests/editor/golden" / name,
                                       &bytes, orbik::platform::kMaxTextFileSize));
    return orbik::platform::SplitLines(bytes);
}

// Each entry of the demo's main menu reads its procedure up to the next
// empty line, which its file does not have: every entry runs on to the
// end and opens the teletext menu.
TEST(Listing, DemoProjectWithAndWithoutActions) {
    LoadResult loaded =
        LoadProject(DiskSource(), fs::path(ORBIK_DEMO_DIR) / "Project" / "Demo", "Demo", "English");
    ASSERT_TRUE(loaded.ok) << loaded.message;
    Lines plain = ListingLines(loaded.model, "Demo", kDate, false);
    EXPECT_EQ(plain, Golden("demo_listing.txt"));
    EXPECT_EQ(Lines(plain.begin(), plain.begin() + 7), Header("Demo"));
    EXPECT_EQ(ListingLines(loaded.model, "Demo", kDate, true), Golden("demo_listing_actions.txt"));
}

TEST(Listing, SubMenusIndentFifteenPerLevelAndActionsStayAtOneColumn) {
    ProjectModel model;
    model.menus = {Menu("Main"), Menu("Sleep"), Menu("tv"), Menu("deep")};
    model.menus[0].entries = {{"tv", "TV", "", {"SetMenu(tv)"}, {}, 2, {}},
                              {"radio", "Radio", "", {}, {}, {}, {}}};
    model.menus[2].entries = {{"louder", "louder", "", {"SetMenu(deep)", "Up"}, {}, 3, {}},
                              {"quiet", "quieter", "", {}, {}, {}, {}}};
    model.menus[3].entries = {{"one", "one", "", {"SendDigit(1)"}, {}, {}, {}}};
    const std::string level1(15, ' '), level2(30, ' ');
    EXPECT_EQ(ListingLines(model, "P", kDate, true),
              Concat(Header("P"), {"", "TV", kActions + "SetMenu(tv)", level1 + "louder",
                                   kActions + "SetMenu(deep)", kActions + "Up", level2 + "one",
                                   kActions + "SendDigit(1)", level1 + "quieter", "", "Radio"}));
}

TEST(Listing, RtfKeepsTheLinesAndEscapesWhatRtfReserves) {
    EXPECT_EQ(ListingRtf({"", "   a{b}\\c", "caf\xE9"}, "Courier New", 10),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\r\n"
              "\\f0\\fs20\r\n\\par\r\n   a\\{b\\}\\\\c\\par\r\ncaf\\'e9\\par\r\n}\r\n");
    // No size known: 10 points.
    EXPECT_NE(ListingRtf({}, "x", -1).find("\\fs20\r\n}"), std::string::npos);
}

}  // namespace
