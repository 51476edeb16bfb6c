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

TEST(ActionList, ProtectedLinesPerKind) {
    const struct {
        ActionListKind kind;
        const char* line;
        bool isProtected;
    } cases[] = {
        {kProc, "SetDevice(tv)", true},   {kProc, "SetMenu(sub)", true},
        {kProc, "SendButton(on)", false}, {kProc, "PushMenu", false},
        {kProc, "setmenu(sub)", false},   {kKey, "PushDevice", true},
        {kKey, "PopDevice", true},        {kKey, "PopMenu", true},
        {kKey, "SetDevice(tv)", false},   {kKey, "Wait(200)", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsProtectedLine(c.kind, c.line), c.isProtected) << c.line;
}

TEST(ActionList, ProcedureEditing) {
    Lines lines;
    AddActions(kProc, lines, IrSignalLines("ok", false, "vcr", "tv"));
    AddActions(kProc, lines, {WaitLine("500")});
    EXPECT_EQ(lines, (Lines{"SetDevice(vcr)", "SendButton(ok)", "SetDevice(tv)", "Wait(500)"}));

    // Nothing goes before a Set line, and Set lines stay.
    EXPECT_FALSE(InsertActions(kProc, lines, 0, {"Nothing"}));
    EXPECT_FALSE(DeleteAction(kProc, lines, 2));
    EXPECT_FALSE(InsertActions(kProc, lines, 4, {"Nothing"}));  // past the end
    EXPECT_TRUE(InsertActions(kProc, lines, 1, {"A", "B"}));
    EXPECT_EQ(lines,
              (Lines{"SetDevice(vcr)", "A", "B", "SendButton(ok)", "SetDevice(tv)", "Wait(500)"}));

    // Deleting selects the next line, or the previous one at the end.
    EXPECT_EQ(DeleteAction(kProc, lines, 1), 1u);
    EXPECT_EQ(DeleteAction(kProc, lines, 4), 3u);
    EXPECT_EQ(lines, (Lines{"SetDevice(vcr)", "B", "SendButton(ok)", "SetDevice(tv)"}));

    // Moves stop at both ends.
    EXPECT_EQ(MoveAction(kProc, lines, 1, true), 0u);
    EXPECT_EQ(lines[0], "B");
    EXPECT_FALSE(MoveAction(kProc, lines, 0, true));
    EXPECT_FALSE(MoveAction(kProc, lines, 3, false));
    EXPECT_EQ(MoveAction(kProc, lines, 2, false), 3u);
    EXPECT_EQ(lines, (Lines{"B", "SetDevice(vcr)", "SetDevice(tv)", "SendButton(ok)"}));

    Lines single{"Wait(200)"};
    EXPECT_FALSE(DeleteAction(kProc, single, 0));  // nothing left to select
    EXPECT_TRUE(single.empty());
}

TEST(ActionList, DirectKeyFrame) {
    Lines lines;
    AddActions(kKey, lines, {WaitLine("200")});
    EXPECT_EQ(lines, (Lines{"PushDevice", "Wait(200)", "PopDevice"}));
    AddActions(kKey, lines, DirectKeyIrSignalLines("on", "tv"));
    EXPECT_EQ(lines,
              (Lines{"PushDevice", "Wait(200)", "SetDevice(tv)", "SendButton(on)", "PopDevice"}));

    // The frame cannot be deleted, moved, swapped with or inserted before.
    EXPECT_FALSE(DeleteAction(kKey, lines, 0));
    EXPECT_FALSE(DeleteAction(kKey, lines, 4));
    EXPECT_FALSE(InsertActions(kKey, lines, 0, {"X"}));
    EXPECT_FALSE(InsertActions(kKey, lines, 4, {"X"}));
    EXPECT_FALSE(MoveAction(kKey, lines, 1, true));
    EXPECT_FALSE(MoveAction(kKey, lines, 3, false));
    EXPECT_FALSE(MoveAction(kKey, lines, 4, true));
    EXPECT_EQ(MoveAction(kKey, lines, 1, false), 2u);
    EXPECT_TRUE(InsertActions(kKey, lines, 1, {"X"}));
    EXPECT_EQ(lines, (Lines{"PushDevice", "X", "SetDevice(tv)", "Wait(200)", "SendButton(on)",
                            "PopDevice"}));
    EXPECT_EQ(DeleteAction(kKey, lines, 4), 4u);  // the next line is the frame's end
}

ProjectModel TwoLevelModel() {
    ProjectModel m;
    MenuRecord main{"Main", true, true, true, true, false, {}};
    main.entries.push_back({"tv", "tv", "", {"SetMenu(sub)"}, {}, 2, {}});
    main.entries.push_back({"radio", "radio", "", {"Nothing"}, {}, {}, {}});
    MenuRecord sleep{"Sleep", true, true, true, true, false, {}};
    MenuRecord sub{"sub", true, true, true, true, false, {}};
    sub.entries.push_back({"one", "one", "", {"SendButton(1)"}, {}, {}, {}});
    sub.entries.push_back({"two", "two", "", {"setmenu(sleep)"}, {}, {}, {}});
    sub.entries.push_back({"back", "back", "", {"POPMENU"}, {}, {}, {}});
    m.menus = {main, sleep, sub};
    return m;
}

TEST(ActionList, MenuGroupOfferedOnlyInSubMenusWithoutSleepOrReturn) {
    const auto m = TwoLevelModel();
    EXPECT_FALSE(MenuGroupOffered(m, {0, 0}));  // Main, and has a sub-menu
    EXPECT_FALSE(MenuGroupOffered(m, {0, 1}));  // Main
    EXPECT_TRUE(MenuGroupOffered(m, {2, 0}));
    EXPECT_FALSE(MenuGroupOffered(m, {2, 1}));  // already goes to sleep
    EXPECT_FALSE(MenuGroupOffered(m, {2, 2}));  // already returns
}

TEST(ActionList, ConfirmAndMenuReturnChangeTheModel) {
    auto m = TwoLevelModel();
    ConfirmProcedure(m, {0, 1}, {});
    EXPECT_EQ(m.menus[0].entries[1].procedure, Lines{"Nothing"});
    ConfirmProcedure(m, {0, 1}, {"Wait(200)", "Wait(500)"});
    EXPECT_EQ(m.menus[0].entries[1].procedure, (Lines{"Wait(200)", "Wait(500)"}));

    Lines list{"SendButton(2)"};
    ConfirmMenuReturn(m, {2, 0}, list);
    EXPECT_EQ(list, (Lines{"SendButton(2)", "PopMenu"}));
    EXPECT_EQ(m.menus[2].entries[0].procedure, list);
    EXPECT_EQ(m.menus[0].entries[0].procedure, (Lines{"PushMenu", "SetMenu(sub)"}));
    EXPECT_FALSE(m.menus[2].deviceSelection);
    EXPECT_TRUE(m.menus[0].deviceSelection);
    // A parent that pushes already gets no second PushMenu.
    Lines again;
    ConfirmMenuReturn(m, {2, 1}, again);
    EXPECT_EQ(m.menus[0].entries[0].procedure, (Lines{"PushMenu", "SetMenu(sub)"}));
}

TEST(ActionList, ConfirmDirectKey) {
    ProjectModel m;
    ConfirmDirectKey(m, 8, true, {});
    EXPECT_TRUE(m.directKeys[7].active);
    EXPECT_TRUE(m.directKeys[7].procedure.empty());
    ConfirmDirectKey(m, 1, true, {"PushDevice", "Wait(200)", "PopDevice"});
    EXPECT_EQ(m.directKeys[0].procedure.size(), 3u);
    ConfirmDirectKey(m, 1, false, {"PushDevice", "Wait(200)", "PopDevice"});
    EXPECT_FALSE(m.directKeys[0].active);
    EXPECT_TRUE(m.directKeys[0].procedure.empty());
    EXPECT_EQ(KeywordCount(m), 3 + 1);
}

}  // namespace
