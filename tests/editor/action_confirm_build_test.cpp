// Composed actions confirmed into the demo project are saved into its files
// and the project still builds.

#include <gtest/gtest.h>

#include <algorithm>

#include "compiler/BuildConfiguration.h"
#include "compiler/BuildLog.h"
#include "editor/ActionLines.h"
#include "editor/ActionList.h"
#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "editor/ProjectSource.h"
#include "editor/RfLibrary.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

using namespace orbik;
using namespace orbik::editor;
using Lines = std::vector<std::string>;

bool Holds(const Lines& file, const Lines& wanted) {
    return std::search(file.begin(), file.end(), wanted.begin(), wanted.end()) != file.end();
}

TEST(ActionConfirm, ConfirmedLinesAreSavedAndBuild) {
    test::TempDir program;
    const fs::path demo = ORBIK_DEMO_DIR;
    fs::copy(demo / "Speech", program / "Speech", fs::copy_options::recursive);
    fs::create_directories(program / "Project");
    const fs::path dir = program / "Project" / "Demo";
    fs::copy(demo / "Project" / "Demo", dir, fs::copy_options::recursive);

    // The window reads an entry's lines up to the next empty line; the demo's
    // hand-written main menu has none between its entries.
    const fs::path mainMenu = dir / "Items&Menus" / "Main" / "menu.txt";
    Lines original, spaced;
    ASSERT_TRUE(platform::ReadTextFile(mainMenu, &original, {}));
    for (const auto& line : original) {
        if (line.rfind("keyword=", 0) == 0 && !spaced.empty() && !spaced.back().empty())
            spaced.emplace_back();
        spaced.push_back(line);
    }
    ASSERT_TRUE(platform::WriteTextFile(mainMenu, spaced, {}));

    LoadResult loaded = LoadProject(DiskSource(), dir, "Demo", "English");
    ASSERT_TRUE(loaded.ok) << loaded.message;
    ProjectModel& model = loaded.model;

    ParallelOutputs outputs{};
    outputs[0] = OutputChange::Close;
    outputs[7] = OutputChange::Open;
    Lines actions;
    AddActions(ActionListKind::Procedure, actions, {*WriteParallelIFLine(outputs)});
    AddActions(ActionListKind::Procedure, actions,
               {FindBtTelephoneNumberLine("Bo;b", "0123").line,
                ConnectBtByIdLine("00:1a:2b:3c:4d:5e", ContactSource::SimCard).line,
                ConnectBtByNameLine(std::string(29, 'p'), ContactSource::PhoneMemory).line,
                SendBtLine(BtCommand::VoiceRecognition), AddTelNumberDigitLine(7)});
    RfTiming timing;
    timing.firstName = "Lamp";
    timing.data = "1,2,3,4";
    const auto rf = ParseRfLibrary(RfLibraryLines({timing}));
    AddActions(ActionListKind::Procedure, actions, RfActionLines(rf.at(0), 2));
    ASSERT_FALSE(model.menus.at(0).entries.empty());
    const EntryRef entry{0, model.menus[0].entries.size() - 1};
    const std::string keyword = EntryAt(model, entry).keyword;
    ConfirmProcedure(model, entry, actions);

    Lines key;
    AddActions(ActionListKind::DirectKey, key, {WaitLine("200")});
    AddActions(ActionListKind::DirectKey, key, DirectKeyIrSignalLines("on", ""));
    ConfirmDirectKey(model, 3, true, key);

    const auto failures = SaveProjectToDisk(model, dir, "Demo", std::chrono::year(2026) / 12 / 8);
    ASSERT_TRUE(failures.empty());

    Lines menu, keywords;
    ASSERT_TRUE(platform::ReadTextFile(dir / "Items&Menus" / "Main" / "menu.txt", &menu, {}));
    ASSERT_TRUE(platform::ReadTextFile(dir / "keywords.txt", &keywords, {}));
    Lines stored{"keyword=" + keyword};
    for (const auto& line : actions)
        stored.push_back(line.rfind(";RF", 0) == 0 ? line : "procedure=" + line);
    EXPECT_TRUE(Holds(menu, stored));
    EXPECT_TRUE(Holds(menu, {"keyword=dkey_3", "procedure=PushDevice", "procedure=Wait(200)",
                             "procedure=SendButton(on)", "procedure=PopDevice"}));
    EXPECT_TRUE(Holds(keywords, {"keyword=dkey_3", "type=directkey"}));

    compiler::StatusLines log;
    EXPECT_TRUE(compiler::BuildConfiguration("Demo", dir, program.Path(), log)) << log.Status();
}

}  // namespace
