// The printable listing: header, depth-first tree, actions at a fixed column.

#include <gtest/gtest.h>

#include "editor/Listing.h"
#include "editor/ProjectLoad.h"

namespace {

using namespace orbik::editor;
using Lines = std::vector<std::string>;
using namespace std::chrono;

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
    model.menus = {{"Main"}, {"Sleep"}};
    model.menus[1].entries.push_back({"orbik", "ORBIK", "wakeup", {"SetMenu(Main)"}, {}, {}, {}});
    EXPECT_EQ(ListingLines(model, "Empty", kDate, true), Header("Empty"));
    EXPECT_EQ(ListingLines(ProjectModel{}, "None", kDate, false), Header("None"));
}

TEST(Listing, DemoProjectWithAndWithoutActions) {
    LoadResult loaded =
        LoadProject(DiskSource(), fs::path(ORBIK_DEMO_DIR) / "Project" / "Demo", "Demo", "English");
    ASSERT_TRUE(loaded.ok) << loaded.message;
    EXPECT_EQ(ListingLines(loaded.model, "Demo", kDate, false),
              Concat(Header("Demo"), {"", "television", "", "radio", "", "phone"}));
    EXPECT_EQ(
        ListingLines(loaded.model, "Demo", kDate, true),
        Concat(Header("Demo"),
               {"", "television", kActions + "SetDevice(TV)", kActions + "SendButton(on)", "",
                "radio", kActions + "SetDevice(Radio)", kActions + "WriteSerialIF(9600,none,0x0D)",
                "", "phone", kActions + "SetDevice(Phone)",
                kActions + "ConnectBt(12,0,0,1,6,A,4,C,2,E,9,1,F, , , , , , , , , , , , , , "
                           ", , , , , )"}));
}

TEST(Listing, SubMenusIndentFifteenPerLevelAndActionsStayAtOneColumn) {
    ProjectModel model;
    model.menus = {{"Main"}, {"Sleep"}, {"tv"}, {"deep"}};
    model.menus[0].entries = {{"tv", "TV", "", {"SetMenu(tv)"}, {}, 2, {}},
                              {"radio", "Radio", "", {}, {}, {}, {}}};
    model.menus[2].entries = {{"louder", "louder", "", {"SetMenu(deep)", "Up"}, {}, 3, {}},
                              {"quiet", "quieter", "", {}, {}, {}, {}}};
    model.menus[3].entries = {{"one", "one", "", {"SendDigit(1)"}, {}, {}, {}}};
    const std::string level1(15, ' '), level2(30, ' ');
    EXPECT_EQ(ListingLines(model, "P", kDate, false),
              Concat(Header("P"), {"", "TV", level1 + "louder", level2 + "one", level1 + "quieter",
                                   "", "Radio"}));
    EXPECT_EQ(ListingLines(model, "P", kDate, true),
              Concat(Header("P"), {"", "TV", kActions + "SetMenu(tv)", level1 + "louder",
                                   kActions + "SetMenu(deep)", kActions + "Up", level2 + "one",
                                   kActions + "SendDigit(1)", level1 + "quieter", "", "Radio"}));
}

TEST(Listing, AMenuNamedInsideItselfIsListedOnce) {
    ProjectModel model;
    model.menus = {{"Main"}, {"Sleep"}, {"loop"}};
    model.menus[0].entries = {{"a", "A", "", {}, {}, 2, {}}};
    model.menus[2].entries = {{"b", "B", "", {}, {}, 2, {}}};
    EXPECT_EQ(ListingLines(model, "P", kDate, false),
              Concat(Header("P"), {"", "A", std::string(15, ' ') + "B"}));
}

}  // namespace
