// Undo and redo of a project's files: random changes taken back and done
// again leave every file, folder and link exactly as it was.

#include "editor/ProjectHistory.h"

#include <gtest/gtest.h>

#include <random>

#include "editor/MenuDisk.h"
#include "editor/MenuOperations.h"
#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace orbik::editor {
namespace {

// Every entry below `dir`: a file's bytes, a link's target, "<dir>" for a folder.
std::map<fs::path, std::string> Contents(const fs::path& dir) {
    std::map<fs::path, std::string> found;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
         ++it) {
        std::string what = "<dir>";
        if (it->is_symlink())
            what = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file())
            platform::ReadWholeFile(it->path(), &what, 1 << 24);
        found[it->path().lexically_relative(dir)] = what;
    }
    return found;
}

class ProjectHistoryTest : public ::testing::Test {
  protected:
    std::unique_ptr<ProjectHistory> Open(std::size_t steps = ProjectHistory::kDefaultSteps) {
        std::string error;
        fs::create_directories(dir / "tmp");
        auto history = ProjectHistory::Create(project, dir / "tmp", &error, steps);
        EXPECT_TRUE(history) << error;
        return history;
    }
    test::TempDir dir;
    fs::path project = dir / "Demo";
};

TEST_F(ProjectHistoryTest, RandomChangesUndoneAndRedoneRestoreEveryFile) {
    fs::copy(fs::path(ORBIK_DEMO_DIR) / "Project" / "Demo", project, fs::copy_options::recursive);
    dir.Write("Empty.ixp", std::string(215, '\xFF'));
    // Unchanged by any step, but a link must come back as a link.
    fs::create_symlink(dir / "Empty.ixp", project / "linked.ixp");
    auto history = Open();
    LoadResult loaded = LoadProject(DiskSource(), project, "Demo", "English");
    ASSERT_TRUE(loaded.ok) << loaded.message;
    ProjectModel m = loaded.model;

    std::vector<std::map<fs::path, std::string>> states{Contents(project)};
    std::mt19937 rng(8122026);
    for (int attempt = 0; attempt < 500 && states.size() < 26; ++attempt) {
        std::vector<EntryRef> entries;
        for (std::size_t menu = 2; menu < m.menus.size(); ++menu)
            for (std::size_t e = 0; e < m.menus[menu].entries.size(); ++e)
                entries.push_back({menu, e});
        for (std::size_t e = 0; e < m.menus[0].entries.size(); ++e) entries.push_back({0, e});
        std::optional<EntryRef> at;
        if (!entries.empty() && rng() % 4) at = entries[rng() % entries.size()];
        std::string error;
        ASSERT_TRUE(history->BeginChange(&error)) << error;
        switch (rng() % 3) {
            case 0: {
                const auto& k = m.keywords[rng() % m.keywords.size()];
                AddKeyword(m, k.name, at);
                break;
            }
            case 1: {
                if (!at) break;
                DeleteResult deleted = DeleteEntry(m, *at);
                ASSERT_TRUE(ApplyFolderChanges(project, deleted.changes).empty());
                break;
            }
            default: {
                if (!at || !CanCreateDevice(m, *at)) break;
                CreateDeviceResult created = CreateDevice(m, *at);
                ASSERT_TRUE(created.ok);
                ASSERT_TRUE(
                    CreateDeviceFolder(m, created.device, project, dir / "Empty.ixp", &error))
                    << error;
            }
        }
        ASSERT_TRUE(WriteProjectFiles(SaveProject(m, project, "Demo")).empty());
        history->EndChange();
        auto now = Contents(project);
        // A change that left the folder as it was is no step.
        if (now != states.back()) states.push_back(now);
    }
    ASSERT_EQ(states.size(), 26u);

    // Twenty steps back: as after the fifth change; no further.
    for (std::size_t back = 1; back <= ProjectHistory::kDefaultSteps; ++back) {
        std::string error;
        ASSERT_TRUE(history->Undo(&error)) << error;
        ASSERT_EQ(Contents(project), states[states.size() - 1 - back]) << "undo " << back;
    }
    EXPECT_FALSE(history->CanUndo());
    EXPECT_FALSE(history->Undo(nullptr));
    for (std::size_t forward = 1; forward <= ProjectHistory::kDefaultSteps; ++forward) {
        ASSERT_TRUE(history->Redo(nullptr));
        ASSERT_EQ(Contents(project), states[states.size() - 1 - 20 + forward])
            << "redo " << forward;
    }
    EXPECT_FALSE(history->CanRedo());
    EXPECT_TRUE(fs::is_symlink(project / "linked.ixp"));
}

TEST_F(ProjectHistoryTest, OneChangeInSeveralWritesIsOneStepAndANewChangeEndsRedo) {
    dir.Write("Demo/a.txt", "1");
    auto history = Open();
    ASSERT_TRUE(history->BeginChange(nullptr));
    dir.Write("Demo/a.txt", "2");
    ASSERT_TRUE(history->BeginChange(nullptr));  // the same change
    dir.Write("Demo/sub/b.txt", "new");
    history->EndChange();
    ASSERT_TRUE(history->BeginChange(nullptr));  // writes nothing new: no step
    history->EndChange();
    ASSERT_TRUE(history->Undo(nullptr));
    EXPECT_EQ(Contents(project), (std::map<fs::path, std::string>{{"a.txt", "1"}}));
    EXPECT_FALSE(history->CanUndo());
    ASSERT_TRUE(history->CanRedo());
    ASSERT_TRUE(history->BeginChange(nullptr));
    dir.Write("Demo/a.txt", "3");
    history->EndChange();
    EXPECT_FALSE(history->CanRedo());
}

// The device page's working copies are no part of the project: a change of
// them alone is no step, and undo leaves them as they are.
TEST_F(ProjectHistoryTest, AnIgnoredFolderIsNeitherCopiedNorPutBack) {
    dir.Write("Demo/a.txt", "1");
    dir.Write("Demo/Devices/temp/work.ixp", "before");
    dir.Write("Demo/Devices/tv/devlist.txt", "device=--01.icp");
    auto history = Open();
    history->Ignore("Devices/temp");
    ASSERT_TRUE(history->BeginChange(nullptr));
    dir.Write("Demo/Devices/temp/work.ixp", "working");
    history->EndChange();
    EXPECT_FALSE(history->CanUndo());

    ASSERT_TRUE(history->BeginChange(nullptr));
    dir.Write("Demo/a.txt", "2");
    dir.Write("Demo/Devices/temp/other.ixp", "new");
    history->EndChange();
    for (const auto& entry : fs::recursive_directory_iterator(history->Folder()))
        EXPECT_EQ(entry.path().string().find("temp"), std::string::npos) << entry.path();
    ASSERT_TRUE(history->Undo(nullptr));
    EXPECT_EQ(dir.Read("Demo/a.txt"), "1");
    EXPECT_EQ(dir.Read("Demo/Devices/temp/work.ixp"), "working");
    EXPECT_EQ(dir.Read("Demo/Devices/temp/other.ixp"), "new");
    EXPECT_EQ(dir.Read("Demo/Devices/tv/devlist.txt"), "device=--01.icp");
    ASSERT_TRUE(history->Redo(nullptr));
    EXPECT_EQ(dir.Read("Demo/a.txt"), "2");
}

TEST_F(ProjectHistoryTest, LinksAreKeptAsLinksAndWhatTheyPointAtIsLeftAlone) {
    dir.Write("outside/keep.icp", "signals");
    dir.Write("Demo/Devices/tv/--01.icp", "x");
    fs::create_symlink(dir / "outside", project / "Devices" / "linked");
    auto history = Open();
    ASSERT_TRUE(history->BeginChange(nullptr));
    fs::remove(project / "Devices" / "linked");
    fs::remove_all(project / "Devices" / "tv");
    fs::create_symlink(dir / "outside", project / "Devices" / "tv");
    history->EndChange();
    ASSERT_TRUE(history->Undo(nullptr));
    EXPECT_TRUE(fs::is_symlink(project / "Devices" / "linked"));
    EXPECT_FALSE(fs::is_symlink(project / "Devices" / "tv"));
    EXPECT_EQ(dir.Read("Demo/Devices/tv/--01.icp"), "x");
    EXPECT_EQ(Contents(dir / "outside"),
              (std::map<fs::path, std::string>{{"keep.icp", "signals"}}));
    ASSERT_TRUE(history->Redo(nullptr));
    EXPECT_TRUE(fs::is_symlink(project / "Devices" / "tv"));
    EXPECT_EQ(Contents(dir / "outside"),
              (std::map<fs::path, std::string>{{"keep.icp", "signals"}}));
}

TEST_F(ProjectHistoryTest, KeptOutsideTheProjectAndDroppedWithTheHistory) {
    dir.Write("Demo/a.txt", "1");
    std::string error;
    EXPECT_FALSE(ProjectHistory::Create(project, project / "tmp", &error));
    EXPECT_NE(error.find("inside the project"), std::string::npos) << error;
    fs::path folder;
    {
        auto history = Open();
        folder = history->Folder();
        ASSERT_TRUE(history->BeginChange(nullptr));
        dir.Write("Demo/a.txt", "2");
        history->EndChange();
        EXPECT_TRUE(fs::exists(folder));
    }
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace orbik::editor
