// Editing action lists: protected lines, the direct keys' frame, and
// confirming into the model.

#include <gtest/gtest.h>

#include "editor/ActionLines.h"
#include "editor/ActionList.h"

namespace {

using namespace orbik::editor;
using Lines = std::vector<std::string>;
constexpr auto kProc = ActionListKind::Procedure;
constexpr auto kKey = ActionListKind::DirectKey;

TEST(ActionList, ProcedureKeepsItsSetLines) {
    Lines lines;
    AddActions(kProc, lines, IrSignalLines("ok", false, "vcr", "tv"));
    AddActions(kProc, lines, {"Wait(500)"});
    EXPECT_FALSE(InsertActions(kProc, lines, 0, {"X"}));  // before a Set line
    EXPECT_FALSE(InsertActions(kProc, lines, 4, {"X"}));  // past the end
    EXPECT_FALSE(DeleteAction(kProc, lines, 2));
    EXPECT_TRUE(InsertActions(kProc, lines, 1, {"A", "B"}));
    EXPECT_EQ(DeleteAction(kProc, lines, 1), 1u);  // the next line is selected
    EXPECT_EQ(DeleteAction(kProc, lines, 4), 3u);  // the previous one at the end
    EXPECT_EQ(lines, (Lines{"SetDevice(vcr)", "B", "SendButton(ok)", "SetDevice(tv)"}));
    EXPECT_EQ(MoveAction(kProc, lines, 1, true), 0u);
    EXPECT_FALSE(MoveAction(kProc, lines, 0, true));
    EXPECT_FALSE(MoveAction(kProc, lines, 3, false));
    EXPECT_EQ(MoveAction(kProc, lines, 2, false), 3u);
    EXPECT_EQ(lines, (Lines{"B", "SetDevice(vcr)", "SetDevice(tv)", "SendButton(ok)"}));
}

TEST(ActionList, DirectKeyKeepsItsFrame) {
    Lines lines;
    AddActions(kKey, lines, {WaitLine("200")});
    EXPECT_EQ(lines, (Lines{"PushDevice", "Wait(200)", "PopDevice"}));
    AddActions(kKey, lines, DirectKeyIrSignalLines("on", "tv"));
    for (std::size_t frame : {0u, 4u}) {
        EXPECT_FALSE(DeleteAction(kKey, lines, frame));
        EXPECT_FALSE(InsertActions(kKey, lines, frame, {"X"}));
    }
    EXPECT_FALSE(MoveAction(kKey, lines, 1, true));  // would move the frame
    EXPECT_FALSE(MoveAction(kKey, lines, 3, false));
    EXPECT_EQ(MoveAction(kKey, lines, 1, false), 2u);
    EXPECT_TRUE(InsertActions(kKey, lines, 1, {"X"}));
    EXPECT_EQ(lines, (Lines{"PushDevice", "X", "SetDevice(tv)", "Wait(200)", "SendButton(on)",
                            "PopDevice"}));
}

ProjectModel TwoLevelModel() {
    ProjectModel m;
    MenuRecord main{"Main", true, true, true, true, false, {}};
    main.entries.push_back({"tv", "tv", "", {"SetMenu(sub)"}, {}, 2, {}});
    main.entries.push_back({"radio", "radio", "", {"Nothing"}, {}, {}, {}});
    MenuRecord sub{"sub", true, true, true, true, false, {}};
    sub.entries.push_back({"one", "one", "", {"SendButton(1)"}, {}, {}, {}});
    sub.entries.push_back({"two", "two", "", {"setmenu(sleep)"}, {}, {}, {}});
    sub.entries.push_back({"back", "back", "", {"POPMENU"}, {}, {}, {}});
    MenuRecord sleep;
    sleep.name = "Sleep";
    m.menus = {main, sleep, sub};
    return m;
}

TEST(ActionList, ConfirmAndMenuReturn) {
    auto m = TwoLevelModel();
    const bool offered[] = {MenuGroupOffered(m, {0, 0}), MenuGroupOffered(m, {0, 1}),
                            MenuGroupOffered(m, {2, 0}), MenuGroupOffered(m, {2, 1}),
                            MenuGroupOffered(m, {2, 2})};
    EXPECT_EQ(std::vector<bool>(std::begin(offered), std::end(offered)),
              (std::vector<bool>{false, false, true, false, false}));

    ConfirmProcedure(m, {0, 1}, {});
    EXPECT_EQ(m.menus[0].entries[1].procedure, Lines{"Nothing"});
    Lines list{"SendButton(2)"};
    ConfirmMenuReturn(m, {2, 0}, list);
    EXPECT_EQ(list, (Lines{"SendButton(2)", "PopMenu"}));
    EXPECT_EQ(m.menus[2].entries[0].procedure, list);
    EXPECT_FALSE(m.menus[2].deviceSelection);
    EXPECT_TRUE(m.menus[0].deviceSelection);
    Lines again;
    ConfirmMenuReturn(m, {2, 1}, again);  // the parent pushes once only
    EXPECT_EQ(m.menus[0].entries[0].procedure, (Lines{"PushMenu", "SetMenu(sub)"}));

    ConfirmDirectKey(m, 8, true, {});
    ConfirmDirectKey(m, 1, false, {"PushDevice", "PopDevice"});
    EXPECT_TRUE(m.directKeys[7].active);
    EXPECT_FALSE(m.directKeys[0].active);
    EXPECT_TRUE(m.directKeys[0].procedure.empty());
}

}  // namespace
