#include "editor/forms/TProjectForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <map>

#include "editor/ProjectTree.h"
#include "support/Captions.h"
#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A max project: TV with a device and a sub-menu holding a digit, an item
// without device and a plain entry; the external display; direct key 2.
void WriteMaxProject(const TempDir& dir) {
    auto put = [&](const std::string& relative, const std::string& text) {
        dir.Write("Project/Max/" + relative, text);
    };
    dir.Write("Project/projectlist.INI", "[Max]\r\nname=Max\r\nchanged=01.01.2020\r\n");
    put("Max.txt",
        "descriptor=Max\r\nlanguage=English\r\nlanguage=German\r\nitem=TV\r\nitem=Volume\r\n"
        "item=ExternalDisplay\r\n");
    put("keywords.txt",
        "keyword=television\r\ntype=deviceselection\r\nEnglish=television\r\n"
        "German=Fernseher\r\n\r\nkeyword=one\r\ntype=digit\r\nEnglish=one\r\n\r\n"
        "keyword=volume\r\ntype=other\r\nEnglish=Volume\r\n\r\nkeyword=mute\r\ntype=other\r\n"
        "English=mute\r\n\r\nkeyword=display\r\ntype=other\r\nEnglish=display\r\n\r\n"
        "keyword=next\r\ntype=other\r\nEnglish=next\r\n\r\nkeyword=german_only\r\n"
        "type=other\r\nGerman=nur\r\n");
    put("Items&Menus/TV/item.txt",
        "type=other\r\nEnglish=TV\r\nkeyword=television\r\noption=devices=Television\r\n");
    put("Items&Menus/Volume/item.txt", "type=other\r\nkeyword=volume\r\n");
    put("Items&Menus/ExternalDisplay/item.txt", "type=display\r\nkeyword=display\r\n");
    put("Devices/television/devlist.txt", "file=tv.icp\r\n");
    put("Devices/television/devvocab.txt", "keyword=one\r\n");
    put("Devices/temp/scratch.icp", "left over");
    put("Items&Menus/Main/menu.txt",
        "keyword=television\r\nprocedure=SetMenu(TV)\r\n\r\nkeyword=display\r\n"
        "procedure=Nothing\r\n\r\nkeyword=dkey_2\r\nprocedure=PushDevice\r\n");
    put("Items&Menus/Sleep/menu.txt", "keyword=next\r\nprocedure=SetMenu(Main)\r\n");
    put("Items&Menus/TV/menu.txt",
        "keyword=one\r\nprocedure=SendDigit(1)\r\n\r\nkeyword=volume\r\n"
        "procedure=SetDevice(Volume)\r\n\r\nkeyword=mute\r\nprocedure=Nothing\r\n");
}

// Every file below `root` with its bytes and time: what "writes nothing" means.
std::map<std::string, std::pair<std::string, fs::file_time_type>> Snapshot(const fs::path& root) {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), {});
            files[entry.path().string()] = {bytes, entry.last_write_time()};
        }
    return files;
}

// Node texts with their image, two blanks of indent per level.
QStringList TreeWithImages(const QTreeWidget& tree) {
    QStringList lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
        lines << QString(2 * depth, ' ') + item->text(0) + " [" +
                     item->data(0, TProjectForm::kImageRole).toString() + "]";
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i) walk(tree.topLevelItem(i), 0);
    return lines;
}

class ProjectFormTest : public ::testing::Test {
  protected:
    ProjectFormTest() { WriteMaxProject(dir); }
    static settings::Settings SettingsOf(const TempDir& dir) {
        settings::Settings s;
        s.programDir = dir.Path();
        s.projectPath = "\\Project";
        s.projectLanguage = "English";
        s.programLanguage = "English";
        return s;
    }
    std::unique_ptr<TProjectForm> Open(const std::string& name = "Max") {
        auto form = std::make_unique<TProjectForm>(env.context, name);
        loaded = form->Load();
        EXPECT_TRUE(loaded || !env.dialogs.Log().empty());
        if (!loaded) ADD_FAILURE() << qPrintable(env.dialogs.Messages().join("|"));
        return form;
    }
    template <class T>
    static T* Find(QObject* parent, const char* name) {
        auto* found = parent->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    static bool PageShown(QWidget& form, const char* page) {
        auto* tabs = Find<QTabWidget>(&form, "PC_Config");
        return tabs->isTabVisible(tabs->indexOf(Find<QWidget>(&form, page)));
    }
    static QString Panel(QWidget& form, int n) {
        return Find<QLabel>(&form, qPrintable(QString("StatusPanel%1").arg(n)))->text();
    }
    static void Select(QWidget& form, const QString& text) {
        auto* tree = Find<QTreeWidget>(&form, "TV_Project");
        auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << qPrintable(text);
        tree->setCurrentItem(found[0]);
    }

    TempDir dir;
    settings::Settings settings = SettingsOf(dir);
    test::TestContext env{settings};
    bool loaded = false;
};

TEST_F(ProjectFormTest, MaxProjectOpensWithTreeImagesKeywordsGaugesAndProgress) {
    auto form = Open();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(form->windowTitle(), "Max");
    EXPECT_EQ(
        TreeWithImages(*Find<QTreeWidget>(form.get(), "TV_Project")),
        (QStringList{"television [1]", "  one [4]", "  Volume [5]", "  mute [2]", "display [3]"}));
    // Keywords to add: with an English text, without the fixed ones, sorted;
    // a device selection has its own image.
    EXPECT_EQ(TreeWithImages(*Find<QTreeWidget>(form.get(), "TV_KeyList")),
              (QStringList{"Volume [2]", "display [2]", "mute [2]", "one [2]", "television [3]"}));
    EXPECT_TRUE(Find<QWidget>(form.get(), "PC_Keywords")->isEnabled());

    EXPECT_EQ(Panel(*form, 0), "ORBIK max");
    EXPECT_EQ(Panel(*form, 2).toStdString(),
              "10 Keywords used");  // 6 used (Sleep too) + 3 fixed + 1 direct key
    EXPECT_EQ(Panel(*form, 2), QString::fromStdString(KeywordGauge(form->Model())));
    form->SetBytesUsed(1234);
    EXPECT_EQ(Panel(*form, 3), "1234 of 65320 Bytes used");

    // The pages: Configure shown; the others wait for their commands.
    auto* pages = Find<QTabWidget>(form.get(), "PC_Config");
    EXPECT_EQ(pages->currentWidget()->objectName(), "TS_Configure");
    EXPECT_TRUE(PageShown(*form, "TS_Tree"));
    for (const char* hidden : {"TS_Device", "TS_DKeys", "TS_Settings", "TS_Overview", "TS_Struct"})
        EXPECT_FALSE(PageShown(*form, hidden)) << hidden;
    form->SetDirectKeysShown(true);
    EXPECT_TRUE(form->DirectKeysShown());
    form->SetStructureShown(true);
    EXPECT_TRUE(PageShown(*form, "TS_Struct"));

    // The structure lists, and Expand All.
    auto* items = Find<QTreeWidget>(form.get(), "TV_Items");
    ASSERT_EQ(items->topLevelItemCount(), 3);
    EXPECT_EQ(items->topLevelItem(0)->text(0), "tv");
    EXPECT_EQ(Find<QTreeWidget>(form.get(), "TV_DKeys")->topLevelItem(0)->text(0), "dkey_2");
    EXPECT_EQ(Find<QTreeWidget>(form.get(), "TV_Keywords")->topLevelItem(0)->text(0).toStdString(),
              "6 Keywords");
    EXPECT_FALSE(items->topLevelItem(0)->isExpanded());
    Find<QPushButton>(form.get(), "ExpandAll_Items")->click();
    EXPECT_TRUE(items->topLevelItem(0)->isExpanded());

    // The main window: progress in its panel 1, then cleared; its commands.
    EXPECT_EQ(env.mainWindow.statusTexts,
              (QStringList{"Reading Keywordlist...", "Reading Projectfile...", "Reading Items...",
                           "Reading Devices...", "Reading Main Menu...", "Reading Sleep Menu...",
                           "Updating Structure Lists...", ""}));
    EXPECT_TRUE(env.mainWindow.createFileEnabled);
    EXPECT_TRUE(env.mainWindow.showDirectKeysEnabled);
    EXPECT_FALSE(env.mainWindow.transferConfigEnabled);  // no .cif yet
    EXPECT_TRUE(env.dialogs.Log().empty());
}

TEST_F(ProjectFormTest, EditDeviceShowsOnlyForAnEntryWithItemAndDevice) {
    auto form = Open();
    ASSERT_TRUE(loaded);
    Select(*form, "television");
    EXPECT_TRUE(PageShown(*form, "TS_Device"));
    Find<QTabWidget>(form.get(), "PC_Config")
        ->setCurrentWidget(Find<QWidget>(form.get(), "TS_Device"));
    Select(*form, "mute");
    EXPECT_FALSE(PageShown(*form, "TS_Device"));
    EXPECT_EQ(Find<QTabWidget>(form.get(), "PC_Config")->currentWidget()->objectName(),
              "TS_Configure");
    // Leaving the device page empties the project's working folder.
    EXPECT_FALSE(fs::exists(dir / "Project/Max/Devices/temp/scratch.icp"));
    EXPECT_TRUE(fs::exists(dir / "Project/Max/Devices/temp"));
    EXPECT_TRUE(env.dialogs.Log().empty());  // nothing was pending
}

TEST_F(ProjectFormTest, SoloProjectOpensReadOnlyWithoutDeviceAndDirectKeyPages) {
    dir.Write("Project/Max/Max.txt",
              "descriptor=Max\r\nlanguage=English\r\nitem=TV\r\nitem=Volume\r\n");
    auto form = Open();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Panel(*form, 0), "ORBIK solo");
    EXPECT_FALSE(Find<QWidget>(form.get(), "PC_Keywords")->isEnabled());
    EXPECT_EQ(Find<QTreeWidget>(form.get(), "TV_KeyList")->topLevelItemCount(), 0);
    Select(*form, "television");  // has item and device, still no device page
    form->SetDirectKeysShown(true);
    EXPECT_FALSE(PageShown(*form, "TS_Device"));
    EXPECT_FALSE(PageShown(*form, "TS_DKeys"));
    EXPECT_FALSE(form->DirectKeysShown());
    EXPECT_FALSE(env.mainWindow.showDirectKeysEnabled);
    // The main menu's "display" entry names no item now: told once, by name.
    ASSERT_EQ(env.dialogs.Log().size(), 1u);
    EXPECT_EQ(env.dialogs.Log()[0].kind, "warn");
    EXPECT_TRUE(env.dialogs.Log()[0].text.contains("display"))
        << qPrintable(env.dialogs.Log()[0].text);
}

TEST_F(ProjectFormTest, LoadFailureIsToldAndWritesNothing) {
    for (const char* broken : {"Project/Max/Items&Menus/Volume/item.txt",
                               "Project/Max/keywords.txt", "Project/Max/Items&Menus/TV/menu.txt"}) {
        SCOPED_TRACE(broken);
        TempDir fresh;
        WriteMaxProject(fresh);
        fs::remove(fresh / broken);
        settings.programDir = fresh.Path();
        test::TestContext context(settings);
        auto before = Snapshot(fresh.Path());
        TProjectForm form(context.context, "Max");
        EXPECT_FALSE(form.Load());
        ASSERT_EQ(context.dialogs.Log().size(), 1u);
        EXPECT_EQ(context.dialogs.Log()[0].kind, "warn");
        EXPECT_TRUE(context.dialogs.Log()[0].text.contains("not found") ||
                    context.dialogs.Log()[0].text.startsWith("Cannot find file"))
            << qPrintable(context.dialogs.Log()[0].text);
        form.close();
        EXPECT_EQ(Snapshot(fresh.Path()), before);
        EXPECT_FALSE(context.mainWindow.createFileEnabled);
        EXPECT_EQ(context.mainWindow.statusText, "");
    }
}

TEST_F(ProjectFormTest, CloseAsksNothingAndSavesNothing) {
    auto form = Open();
    ASSERT_TRUE(loaded);
    bool confirmed = false, discarded = false;
    form->SetPageHooks(Find<QWidget>(form.get(), "TS_Configure"),
                       {[&] { confirmed = true; }, [&] { discarded = true; }});
    form->Model().menus[0].entries.clear();  // an edit in memory
    form->MarkChanged();
    fs::remove(dir / "Project/Max/Devices/temp/scratch.icp");
    auto before = Snapshot(dir.Path());
    env.mainWindow.transferConfigEnabled = false;
    Find<QAction>(form.get(), "TB_ClosePr")->trigger();
    EXPECT_TRUE(env.dialogs.Log().empty());
    EXPECT_FALSE(confirmed || discarded);
    EXPECT_EQ(Snapshot(dir.Path()), before);
    EXPECT_FALSE(env.mainWindow.showDirectKeysEnabled);
    EXPECT_TRUE(env.mainWindow.transferConfigEnabled);
    EXPECT_EQ(env.mainWindow.statusText, "");
}

TEST_F(ProjectFormTest, SaveWritesTheModelAndTheDateFromTheContextsClock) {
    auto form = Open();
    ASSERT_TRUE(loaded);
    env.mainWindow.statusTexts.clear();
    // A change on a page holds Save and the build until it is confirmed.
    form->MarkChanged();
    EXPECT_FALSE(Find<QAction>(form.get(), "TB_Create")->isEnabled());
    EXPECT_FALSE(Find<QAction>(form.get(), "TB_SavePr")->isEnabled());
    EXPECT_FALSE(env.mainWindow.createFileEnabled);
    form->MarkClean();
    Find<QAction>(form.get(), "TB_SavePr")->trigger();
    EXPECT_TRUE(form->IsClean());
    EXPECT_TRUE(Find<QAction>(form.get(), "TB_Create")->isEnabled());
    EXPECT_TRUE(env.mainWindow.createFileEnabled);
    EXPECT_EQ(env.mainWindow.statusTexts.front(), "Saving Project");
    EXPECT_EQ(env.mainWindow.statusText, "");
    EXPECT_TRUE(dir.Read("Project/projectlist.INI").find("changed=08.12.2026") !=
                std::string::npos);
    // The descriptor is the name.
    EXPECT_TRUE(dir.Read("Project/Max/Max.txt").find("descriptor=Max\r\n") != std::string::npos);
    EXPECT_TRUE(env.dialogs.Log().empty());
    // Ctrl+S belongs to the Save button.
    EXPECT_EQ(Find<QAction>(form.get(), "TB_SavePr")->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(Find<QAction>(form.get(), "TB_Print")->shortcut(), QKeySequence(QKeySequence::Print));
}

TEST_F(ProjectFormTest, SaveNamesTheFilesItCouldNotWrite) {
    auto form = Open();
    ASSERT_TRUE(loaded);
    // A device folder that is gone is not created again: its file fails.
    fs::remove_all(dir / "Project/Max/Devices/television");
    form->SaveProject();
    ASSERT_EQ(env.dialogs.Log().size(), 1u);
    EXPECT_TRUE(env.dialogs.Log()[0].text.contains("devvocab.txt not found"))
        << qPrintable(env.dialogs.Log()[0].text);
    EXPECT_TRUE(dir.Read("Project/projectlist.INI").find("changed=08.12.2026") !=
                std::string::npos);
}

TEST_F(ProjectFormTest, PendingChangesAreConfirmedOrDiscardedOnLeavingAPageOrNode) {
    auto form = Open();
    ASSERT_TRUE(loaded);
    int confirms = 0, discards = 0;
    auto* configure = Find<QWidget>(form.get(), "TS_Configure");
    auto* menuPage = Find<QWidget>(form.get(), "TS_Tree");
    form->SetPageHooks(configure, {[&] { ++confirms; }, [&] { ++discards; }});
    auto* pages = Find<QTabWidget>(form.get(), "PC_Config");

    // Leaving a page: No discards.
    form->MarkChanged();
    env.dialogs.QueueAnswer(false);
    pages->setCurrentWidget(menuPage);
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Save Changes?"});
    EXPECT_EQ(discards, 1);
    EXPECT_TRUE(form->IsClean());
    EXPECT_TRUE(env.mainWindow.createFileEnabled);

    // Yes confirms, without saving.
    pages->setCurrentWidget(configure);  // clean: no question
    form->MarkChanged();
    env.dialogs.QueueAnswer(true);
    pages->setCurrentWidget(menuPage);
    EXPECT_EQ(confirms, 1);
    EXPECT_TRUE(form->IsClean());
    EXPECT_EQ(dir.Read("Project/projectlist.INI").find("08.12.2026"), std::string::npos);

    // Another node: Yes confirms and saves.
    pages->setCurrentWidget(configure);
    Select(*form, "television");
    form->MarkChanged();
    env.dialogs.Clear();
    env.dialogs.QueueAnswer(true);
    Select(*form, "display");
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Confirm Changes?"});
    EXPECT_EQ(confirms, 2);
    EXPECT_NE(dir.Read("Project/projectlist.INI").find("changed=08.12.2026"), std::string::npos);
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(ProjectFormTest, TextsComeFromTheTableWithAccessKeys) {
    dir.Write("formcaps.txt",
              "[PF_TB_SavePr]\r\nGerman=Speichern\r\n[PF_TS_Configure]\r\nGerman=Konfigurieren\r\n"
              "[PF_ExpandAll]\r\nGerman=Alle aufklappen\r\n");
    settings.programLanguage = "German";
    test::TestContext german(settings);
    TProjectForm form(german.context, "Max");
    ASSERT_TRUE(form.Load());
    EXPECT_EQ(
        Find<QAction>(&form, "TB_SavePr")->toolTip(),
        "Speichern (" + QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText) + ")");
    auto* pages = Find<QTabWidget>(&form, "PC_Config");
    EXPECT_EQ(pages->tabText(pages->indexOf(Find<QWidget>(&form, "TS_Configure"))),
              "Konfigurieren");
    EXPECT_EQ(pages->tabText(pages->indexOf(Find<QWidget>(&form, "TS_Tree"))), "Edit Menu");
    QString expand = Find<QPushButton>(&form, "ExpandAll_Menus")->text();
    EXPECT_EQ(test::Caption(expand), "Alle aufklappen");
    EXPECT_TRUE(expand.contains('&'));
}

}  // namespace
}  // namespace orbik::editor
