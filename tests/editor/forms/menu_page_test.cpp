// The "Edit Menu" page in the project window, offscreen: adding, deleting,
// Create Device and the flags, each saved so that the project loads back to
// the same model and builds.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "editor/ProjectLoad.h"
#include "editor/forms/TProjectForm.h"
#include "platform/FileSystem.h"
#include "support/SavedModel.h"
#include "support/TestContext.h"
#include "support/TestProject.h"

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;

class MenuPageTest : public ::testing::Test {
  protected:
    MenuPageTest() {
        p.File("P.txt", {"descriptor=P", "language=English", "item=A", "item=ExternalDisplay"});
        p.File("KEYWORDS.TXT",
               {"keyword=wake", "type=wakeup", "English=wake up", "keyword=tv",
                "type=deviceselection", "English=tv", "keyword=radio", "type=deviceselection",
                "English=radio", "keyword=louder", "type=control", "English=louder",
                "keyword=mother", "type=telname", "English=mother"});
        for (const char* k : {"radio", "louder", "mother"}) p.Recordings("English", k);
        p.File("Items&Menus/ExternalDisplay/ITEM.TXT",
               {"type=externaldisplay", "English=Display", "keyword=none", "option=+"});
        p.File("Items&Menus/Sleep/MENU.TXT", {"keyword=wake", "procedure=SetMenu(Main)"});
        fs::create_directories(p.ProgramDir() / "IR");
        fs::copy_file(fs::path(ORBIK_DEMO_DIR) / "IR" / "Empty.ixp",
                      p.ProgramDir() / "IR" / "Empty.ixp");
    }
    static settings::Settings SettingsOf(const test::TestProject& p) {
        settings::Settings s;
        s.programDir = p.ProgramDir();
        s.projectPath = "\\Project";
        s.defIr = "\\IR";
        s.projectLanguage = s.programLanguage = "English";
        return s;
    }
    // Names resolve without regard to case, as the program finds them.
    bool Exists(const char* relative) const {
        return platform::FileExists(p.ProjectDir() / relative) ||
               platform::DirectoryExists(p.ProjectDir() / relative);
    }

    std::unique_ptr<TProjectForm> Open() {
        auto form = std::make_unique<TProjectForm>(env.context, "P");
        EXPECT_TRUE(form->Load()) << qPrintable(env.dialogs.Messages().join("|"));
        form->show();
        tabs(*form)->setCurrentWidget(form->PageTab(TProjectForm::Page::Tree));
        return form;
    }
    static QTabWidget* tabs(QWidget& form) { return form.findChild<QTabWidget*>("PC_Config"); }
    template <class T = QPushButton>
    static T* Control(QWidget& form, const char* name) {
        auto* found = form.findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    static void Select(QWidget& form, const QString& text) {
        auto* tree = Control<QTreeWidget>(form, "TV_Project");
        auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << qPrintable(text);
        tree->setCurrentItem(found[0]);
    }
    static void Unselect(QWidget& form) {
        Control<QTreeWidget>(form, "TV_Project")->setCurrentItem(nullptr);
    }
    static void ChooseKeyword(QWidget& form, const QString& text) {
        auto* tree = Control<QTreeWidget>(form, "TV_KeyList");
        auto found = tree->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << qPrintable(text);
        tree->setCurrentItem(found[0]);
    }
    // The saved project loads to the window's model and builds.
    void ExpectSavedAndBuilds(const TProjectForm& form, const char* step) {
        SCOPED_TRACE(step);
        LoadResult again = LoadProject(DiskSource(), p.ProjectDir(), "P", "English");
        ASSERT_TRUE(again.ok) << again.message;
        EXPECT_TRUE(test::AsSaved(again.model) == test::AsSaved(form.Model()));
        auto log = p.Build();
        EXPECT_FALSE(log.Failed()) << log.Status() << " " << log.Detail();
    }

    test::TestProject p;
    test::TestContext env{SettingsOf(p)};
};

TEST_F(MenuPageTest, AddDeleteAndCreateDeviceSaveAProjectThatLoadsBackAndBuilds) {
    auto form = Open();
    ExpectSavedAndBuilds(*form, "as opened");

    // A double click in the project tree clears the selection: Main, and
    // only a device selection.
    Select(*form, "tv");
    auto* tree = Control<QTreeWidget>(*form, "TV_Project");
    Q_EMIT tree->itemDoubleClicked(tree->currentItem(), 0);
    EXPECT_FALSE(tree->currentItem());
    EXPECT_FALSE(Control(*form, "DeleteItem_B")->isEnabled());
    ChooseKeyword(*form, "radio");
    Control(*form, "AddItem_B")->click();
    EXPECT_TRUE(env.dialogs.Log().empty());
    EXPECT_TRUE(Exists("Items&Menus/radio/item.txt"));
    ExpectSavedAndBuilds(*form, "radio on Main");
    ChooseKeyword(*form, "louder");
    Control(*form, "AddItem_B")->click();
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Command not allowed here"});

    // A double click in the keyword tree adds below the selected entry,
    // which keeps its selection.
    Select(*form, "radio");
    auto* keys = Control<QTreeWidget>(*form, "TV_KeyList");
    ChooseKeyword(*form, "louder");
    Q_EMIT keys->itemDoubleClicked(keys->currentItem(), 0);
    EXPECT_EQ(Control<QTreeWidget>(*form, "TV_Project")->currentItem()->text(0), "radio");
    EXPECT_TRUE(Exists("Items&Menus/radio/menu.txt"));
    ExpectSavedAndBuilds(*form, "louder below radio");

    // Create Device for tv (an item without device, no sub-menu).
    Select(*form, "tv");
    ASSERT_TRUE(Control(*form, "CreateDevice_B")->isEnabled());
    Control(*form, "CreateDevice_B")->click();
    EXPECT_EQ(p.ReadProjectFile("Devices/a/devlist.txt"), "device=--01.icp\r\n");
    EXPECT_FALSE(Control(*form, "CreateDevice_B")->isEnabled());
    ChooseKeyword(*form, "louder");
    Control(*form, "AddItem_B")->click();
    EXPECT_EQ(p.ReadProjectFile("Devices/a/devvocab.txt"), "keyword=louder\r\n");
    ExpectSavedAndBuilds(*form, "device for tv");

    // Delete radio: No keeps everything, Yes takes its sub-menu and folder.
    Select(*form, "radio");
    env.dialogs.Clear();
    env.dialogs.QueueAnswer(false);
    Control(*form, "DeleteItem_B")->click();
    EXPECT_TRUE(Exists("Items&Menus/radio"));
    env.dialogs.QueueAnswer(true);
    Control(*form, "DeleteItem_B")->click();
    EXPECT_EQ(env.dialogs.Messages(), (QStringList{"Delete Selected?", "Delete Selected?"}));
    EXPECT_FALSE(Exists("Items&Menus/radio"));
    ExpectSavedAndBuilds(*form, "radio deleted");
    // Its place goes to the entry before it.
    EXPECT_EQ(Control<QTreeWidget>(*form, "TV_Project")->currentItem()->text(0), "tv");

    // The last entry of tv's sub-menu takes the sub-menu with it; the
    // device stays with its item.
    Select(*form, "louder");
    env.dialogs.QueueAnswer(true);
    Control(*form, "DeleteItem_B")->click();
    EXPECT_FALSE(Exists("Items&Menus/a/menu.txt"));
    EXPECT_TRUE(Exists("Devices/a/--01.icp"));
    EXPECT_EQ(Control<QTreeWidget>(*form, "TV_Project")->currentItem()->text(0), "tv");
    ExpectSavedAndBuilds(*form, "louder deleted");
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(MenuPageTest, FlagBoxesFollowTheEntryAndConfirmSaves) {
    p.File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=SetMenu(A)"});
    p.File("Items&Menus/A/MENU.TXT",
           {"next=off", "keyword=radio", "procedure=PushMenu", "procedure=SetMenu(R)"});
    p.File("Items&Menus/R/MENU.TXT", {"doubledigits=on", "keyword=louder", "procedure=Nothing"});
    auto form = Open();
    auto* next = Control<QCheckBox>(*form, "CB_Next");
    auto* devsel = Control<QCheckBox>(*form, "CB_devsel");
    auto* confirm = Control(*form, "ConfirmSet_B");

    Select(*form, "tv");
    EXPECT_FALSE(next->isChecked());
    EXPECT_TRUE(devsel->isChecked() && devsel->isEnabled());
    // PushMenu: Deviceselection shown off and not to be changed.
    Select(*form, "radio");
    EXPECT_TRUE(Control<QCheckBox>(*form, "CB_double")->isChecked());
    EXPECT_FALSE(devsel->isChecked() || devsel->isEnabled());
    Select(*form, "louder");  // no sub-menu
    EXPECT_FALSE(next->isEnabled() || confirm->isEnabled() || devsel->isEnabled());

    // A change is pending until Confirm, which saves.
    Select(*form, "tv");
    next->click();
    EXPECT_FALSE(form->IsClean());
    EXPECT_FALSE(env.mainWindow.createFileEnabled);
    confirm->click();
    EXPECT_TRUE(form->IsClean());
    EXPECT_EQ(p.ReadProjectFile("Items&Menus/A/MENU.TXT").rfind("next=on\r\n", 0), 0u);

    // Another node with a pending change: No drops it and shows the next entry.
    next->click();
    env.dialogs.QueueAnswer(false);
    Select(*form, "radio");
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Confirm Changes?"});
    EXPECT_EQ(p.ReadProjectFile("Items&Menus/A/MENU.TXT").rfind("next=on\r\n", 0), 0u);
    EXPECT_TRUE(next->isChecked());

    // A double click on the group shows the structure page, and again hides it.
    auto* pages = tabs(*form);
    auto* structure = Control<QWidget>(*form, "TS_Struct");
    QTest::mouseDClick(Control<QGroupBox>(*form, "GB_MenuSet"), Qt::LeftButton);
    EXPECT_TRUE(pages->isTabVisible(pages->indexOf(structure)));
    QTest::mouseDClick(Control<QGroupBox>(*form, "GB_MenuSet"), Qt::LeftButton);
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(structure)));
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

// Every file below the project: its bytes, "<dir>" for a folder.
std::map<fs::path, std::string> Files(const fs::path& dir) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::string bytes = "<dir>";
        if (entry.is_regular_file()) platform::ReadWholeFile(entry.path(), &bytes, 1 << 24);
        files[entry.path().lexically_relative(dir)] = bytes;
    }
    return files;
}

TEST_F(MenuPageTest, UndoAfterADeleteRestoresEveryFileAndRedoDoesItAgain) {
    auto form = Open();
    auto* undo = Control<QAction>(*form, "TB_Undo");
    auto* redo = Control<QAction>(*form, "TB_Redo");
    EXPECT_FALSE(undo->isEnabled() || redo->isEnabled());
    Unselect(*form);
    ChooseKeyword(*form, "radio");
    Control(*form, "AddItem_B")->click();
    Select(*form, "radio");
    ChooseKeyword(*form, "louder");
    Control(*form, "AddItem_B")->click();
    const auto before = Files(p.ProjectDir());

    env.dialogs.QueueAnswer(true);
    Control(*form, "DeleteItem_B")->click();
    const auto after = Files(p.ProjectDir());
    ASSERT_NE(after, before);
    ASSERT_TRUE(undo->isEnabled());
    // Ctrl+Z in the window: one step back, the model read again.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(Control<QTreeWidget>(*form, "TV_Project"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Files(p.ProjectDir()), before);
    EXPECT_EQ(
        Control<QTreeWidget>(*form, "TV_Project")->findItems("louder", Qt::MatchRecursive).size(),
        1);
    EXPECT_TRUE(tabs(*form)->currentWidget() == form->PageTab(TProjectForm::Page::Tree));
    ExpectSavedAndBuilds(*form, "undone");
    ASSERT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(Files(p.ProjectDir()), after);
    // Back to the project as opened; the history stays outside the project.
    for (int step = 0; step < 3; ++step) undo->trigger();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(Exists("Items&Menus/radio"));
    ExpectSavedAndBuilds(*form, "as opened");

    // A pending change is taken back first, without touching the files.
    redo->trigger();
    redo->trigger();
    Select(*form, "radio");
    const auto saved = Files(p.ProjectDir());
    Control<QCheckBox>(*form, "CB_Next")->click();
    ASSERT_FALSE(form->IsClean());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(form->IsClean());
    EXPECT_EQ(Files(p.ProjectDir()), saved);
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(MenuPageTest, SoloProjectOffersNoEditing) {
    p.File("P.txt", {"descriptor=P", "language=English", "item=A"});
    auto form = Open();
    Select(*form, "tv");
    for (const char* name : {"AddItem_B", "DeleteItem_B", "CreateDevice_B", "ConfirmSet_B"})
        EXPECT_FALSE(Control(*form, name)->isEnabled()) << name;
}

}  // namespace
}  // namespace orbik::editor
