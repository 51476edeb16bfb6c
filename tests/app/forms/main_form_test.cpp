#include "app/forms/TMainForm.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "support/Captions.h"
#include "support/FakeProjectWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "ui/WindowContext.h"

namespace orbik::app {
namespace {

using test::TempDir;

// What a port message adds: where the port is chosen.
const QString kPortHint = QString::fromUtf8("Choose the port under Extras \u203a Options.");

class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest() {
        // No serial ports but the ones a test publishes.
        setenv("ORBIK_COM_DIR", (dir.Path() / "com").c_str(), 1);
        std::filesystem::create_directories(dir.Path() / "com");
    }
    ~MainFormTest() override { unsetenv("ORBIK_COM_DIR"); }

    std::unique_ptr<TMainForm> Create() {
        auto form = std::make_unique<TMainForm>(dir.Path(), dialogs);
        form->SetProjectWindowFactory([this](const std::string& name) {
            projects.push_back(new test::FakeProjectWindow(name));
            return projects.back();
        });
        return form;
    }
    template <class T>
    static T* Find(QObject* parent, const char* name) {
        auto* found = parent->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }

    TempDir dir;
    test::ScriptedDialogs dialogs;
    std::vector<test::FakeProjectWindow*> projects;  // owned by the main window
};

TEST_F(MainFormTest, TextsComeFromTheTableInTheProgramLanguage) {
    dir.Write("orbik.ini", "[Language]\r\nProgram=German\r\n");
    dir.Write("formcaps.txt",
              "[mainform]\r\nGerman=Hauptfenster\r\n"
              "[DataTransConfig]\r\nGerman=Konfiguration senden\r\n"
              "[EditShow]\r\nGerman=Direkttasten zeigen\r\n"
              "[MenuFile]\r\nGerman=Datei\r\nEnglish=File!\r\n");
    auto form = Create();
    EXPECT_EQ(form->windowTitle(), "Hauptfenster");
    // One section gives a tool button its hint and a menu item its caption.
    EXPECT_EQ(Find<QAction>(form.get(), "ToolButton7")->toolTip(), "Konfiguration senden");
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "DataTransConfig")->text()),
              "Konfiguration senden");
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "ShowDirectKeys1")->text()),
              "Direkttasten zeigen");
    EXPECT_EQ(test::Caption(Find<QMenu>(form.get(), "MenuFile")->title()), "Datei");
    // Missing entries keep the defaults; the two sides of a section differ.
    EXPECT_EQ(Find<QAction>(form.get(), "ToolButton10")->toolTip(), "Transfer Memory");
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "DataTransMem")->text()), "Transfer Mem");
    EXPECT_EQ(Find<QAction>(form.get(), "ToolProjects")->toolTip(), "Projectlist");
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "FileClose")->text()), "Exit");
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "MenuInfo")->text()), "Info");
    // Items without an entry keep their designed captions.
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "DataCreateFile")->text()), "Create File");
    EXPECT_EQ(test::Caption(Find<QAction>(form.get(), "ExtrasBackup")->text()), "Open Backup");

    form->ApplyMainTexts("English");
    EXPECT_EQ(test::Caption(Find<QMenu>(form.get(), "MenuFile")->title()), "File!");
    EXPECT_EQ(form->windowTitle(), "MainForm");
}

TEST_F(MainFormTest, MenuToolBarAndInitialEnabling) {
    auto form = Create();
    const char* disabled[] = {"FileSave",  "FilePrint",       "EditCopy",
                              "EditPaste", "ShowDirectKeys1", "DataCreateFile"};
    for (const char* name : disabled)
        EXPECT_FALSE(Find<QAction>(form.get(), name)->isEnabled()) << name;
    const char* enabled[] = {"FileProjects",   "FileClose",     "DataTransConfig",
                             "DataReadConfig", "DataTransMem",  "DataReadMem",
                             "ExtrasBackup",   "ExtrasOptions", "MenuInfo"};
    for (const char* name : enabled)
        EXPECT_TRUE(Find<QAction>(form.get(), name)->isEnabled()) << name;

    QStringList buttons;
    for (QAction* a : Find<QToolBar>(form.get(), "ToolBar1")->actions())
        if (!a->isSeparator()) buttons << a->objectName();
    EXPECT_EQ(buttons,
              (QStringList{"ToolProjects", "ToolButton7", "ToolButton8", "ToolButton10",
                           "ToolButton11", "ToolClose", "ToolBackup", "ToolOpt", "ToolInfo"}));
    for (const QString& name : buttons) {
        auto* button = form->findChild<QToolButton*>(name);
        ASSERT_TRUE(button) << name.toStdString();
        EXPECT_FALSE(button->icon().isNull()) << name.toStdString();
    }
    QStringList data;
    for (QAction* a : Find<QMenu>(form.get(), "MenuData")->actions())
        data << (a->isSeparator() ? "-" : a->objectName());
    EXPECT_EQ(data, (QStringList{"DataCreateFile", "-", "DataTransConfig", "DataReadConfig", "-",
                                 "DataTransMem", "DataReadMem"}));
    ui::MainWindow& main = *form;
    main.SetCreateFileEnabled(true);
    EXPECT_TRUE(Find<QAction>(form.get(), "DataCreateFile")->isEnabled());
}

TEST_F(MainFormTest, StatusBarShowsDirectoryAndABadPortName) {
    dir.Write("orbik.ini", "[Port]\r\nInterface=LPT1\r\n");
    auto form = Create();
    EXPECT_EQ(form->DirectoryPanelText().toStdString(), dir.Path().string());
    EXPECT_TRUE(form->PortPanelText().contains("LPT1")) << form->PortPanelText().toStdString();
    EXPECT_TRUE(dialogs.Log().empty());  // start-up went on without a box

    dir.Write("orbik.ini", "");
    EXPECT_TRUE(Create()->PortPanelText().contains("No COM port"));
}

TEST_F(MainFormTest, MissingPortIsReportedAndStartUpGoesOn) {
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM9\r\n[Language]\r\nProgram=German\r\n");
    dir.Write("formcaps.txt", "[MenuData]\r\nGerman=Datenaustausch\r\n");
    auto form = Create();
    EXPECT_EQ(dialogs.Messages(), QStringList{"Cannot open COM9\n\n" + kPortHint});
    EXPECT_EQ(dialogs.Log()[0].kind, "warn");
    EXPECT_EQ(form->PortPanelText(), "");
    EXPECT_EQ(test::Caption(Find<QMenu>(form.get(), "MenuData")->title()), "Datenaustausch");
}

TEST_F(MainFormTest, ShowDirectKeysTogglesThePageOfTheProjectWindow) {
    auto form = Create();
    auto* item = Find<QAction>(form.get(), "ShowDirectKeys1");
    item->setEnabled(true);
    item->trigger();  // no project window: nothing happens
    EXPECT_EQ(test::Caption(item->text()), "Show Direct Keys");

    form->OpenProjectWindow("Demo");
    ASSERT_EQ(projects.size(), 1u);
    auto* project = projects[0];
    item->trigger();
    EXPECT_TRUE(project->DirectKeysShown());
    EXPECT_EQ(test::Caption(item->text()), "Hide Direct Keys");
    item->trigger();
    EXPECT_FALSE(project->DirectKeysShown());
    EXPECT_EQ(test::Caption(item->text()), "Show Direct Keys");

    auto* create = Find<QAction>(form.get(), "DataCreateFile");
    create->setEnabled(true);
    create->trigger();
    EXPECT_EQ(project->builds, 1);
}

TEST_F(MainFormTest, EditUndoAndRedoFollowTheActiveProjectWindow) {
    auto form = Create();
    auto* menu = Find<QMenu>(form.get(), "MenuEdit");
    auto* undo = Find<QAction>(form.get(), "EditUndo");
    auto* redo = Find<QAction>(form.get(), "EditRedo");
    Q_EMIT menu->aboutToShow();
    EXPECT_FALSE(undo->isEnabled() || redo->isEnabled());  // no project
    form->OpenProjectWindow("Demo");
    ASSERT_EQ(projects.size(), 1u);
    projects[0]->canUndo = true;
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    projects[0]->canRedo = true;
    Q_EMIT menu->aboutToShow();
    redo->trigger();
    EXPECT_EQ(projects[0]->undos, 1);
    EXPECT_EQ(projects[0]->redos, 1);
    // The keys belong to the project window; the menu only shows them.
    EXPECT_EQ(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(undo->shortcutContext(), Qt::WidgetShortcut);
}

TEST_F(MainFormTest, ProgramLanguageChosenInOptionsAppliesAtOnce) {
    dir.Write("orbik.ini", "[Language]\r\nProgram=English\r\nProject=English\r\n");
    dir.Write("formcaps.txt",
              "[MenuExtras]\r\nEnglish=Extras\r\nGerman=Zusatz\r\n"
              "[ToolOpt]\r\nEnglish=Settings\r\nGerman=Einstellungen\r\n");
    auto form = Create();
    EXPECT_EQ(test::Caption(Find<QMenu>(form.get(), "MenuExtras")->title()), "Extras");
    dialogs.QueueWindow("OptionsForm", [](QDialog& options) {
        auto* language = options.findChild<QComboBox*>("CB_MainLang");
        language->setCurrentText("German");
        options.findChild<QPushButton*>("Close_B")->click();
    });
    Find<QAction>(form.get(), "ToolOpt")->trigger();
    EXPECT_EQ(test::Caption(Find<QMenu>(form.get(), "MenuExtras")->title()), "Zusatz");
    EXPECT_EQ(Find<QAction>(form.get(), "ToolOpt")->toolTip(), "Einstellungen");
    EXPECT_EQ(form->Context().settings.programLanguage, "German");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainFormTest, TransferMemoryRefusesOtherStartAddressesAndAsksForShortImages) {
    auto form = Create();
    auto other = dir.Write("o.mem", std::string("\x09\x00\x00", 3) + std::string(0x380000, 'x'));
    dialogs.QueueFileName(QString::fromStdString(other.string()));
    Find<QAction>(form.get(), "DataTransMem")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].title, "Transfer Memory");
    EXPECT_EQ(dialogs.Log()[0].text, "MEM Image (*.mem)");
    EXPECT_EQ(dialogs.Log()[1].title, "  PC to ORBIK");
    EXPECT_EQ(dialogs.Log()[1].text, "invalid start address");

    dialogs.Clear();
    auto small = dir.Write("s.mem", std::string(1000, 'x'));
    dialogs.QueueFileName(QString::fromStdString(small.string()));
    dialogs.QueueAnswer(false);
    Find<QAction>(form.get(), "ToolButton10")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[1].text, "memory shorter than memory space; continue?");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainFormTest, TransferConfigOpensThePortBeforeAskingForAFile) {
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM9\r\n");
    auto form = Create();
    dialogs.Clear();
    Find<QAction>(form.get(), "DataTransConfig")->trigger();
    EXPECT_EQ(dialogs.Messages(), QStringList{"Cannot open COM9\n\n" + kPortHint});
    EXPECT_EQ(dialogs.Log()[0].kind, "warn");
}

// Reads write their file: they choose it with a save dialog, which asks
// before an existing file is replaced; No leaves it and the device alone.
TEST_F(MainFormTest, ReadsAskBeforeReplacingAFile) {
    auto form = Create();
    dialogs.Clear();
    auto existing = dir.Write("back.mem", "keep");
    dialogs.QueueFileName(ui::QStringFromPath(dir / "back"));  // the suffix is added
    dialogs.QueueAnswer(false);
    Find<QAction>(form.get(), "DataReadMem")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].kind, "save");
    EXPECT_EQ(dialogs.Log()[0].title, "Read Memory");
    EXPECT_EQ(dialogs.Log()[1].kind, "replace");
    EXPECT_EQ(dialogs.Log()[1].text, ui::QStringFromPath(existing));
    EXPECT_EQ(dir.Read("back.mem"), "keep");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainFormTest, KeyboardReachesEveryCommand) {
    for (const char* language : {"English", "German"}) {
        dir.Write("orbik.ini", std::string("[Language]\r\nProgram=") + language + "\r\n");
        dir.Write("formcaps.txt",
                  "[MenuData]\r\nGerman=Datenaustausch\r\n[MenuEdit]\r\n"
                  "German=Bearbeiten\r\n[DataReadMem]\r\nGerman=Speicher lesen\r\n");
        auto form = Create();
        // Each menu title and each item of a menu has a key of its own.
        auto expectOwnKeys = [](const QList<QAction*>& actions) {
            QSet<QString> keys;
            for (QAction* action : actions) {
                if (action->isSeparator()) continue;
                QString key = QKeySequence::mnemonic(action->text()).toString();
                EXPECT_FALSE(key.isEmpty()) << action->text().toStdString();
                EXPECT_FALSE(keys.contains(key)) << action->text().toStdString();
                keys.insert(key);
            }
        };
        expectOwnKeys(form->menuBar()->actions());
        for (QAction* title : form->menuBar()->actions())
            if (title->menu()) expectOwnKeys(title->menu()->actions());
    }
    auto form = Create();
    EXPECT_EQ(Find<QAction>(form.get(), "FileClose")->shortcut(), QKeySequence(QKeySequence::Quit));
    EXPECT_EQ(Find<QAction>(form.get(), "MenuInfo")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Find<QAction>(form.get(), "FileProjects")->shortcut(), QKeySequence("Ctrl+O"));
    // "..." exactly on the commands that open a dialog.
    for (const char* name : {"FileProjects", "DataTransConfig", "DataReadConfig", "DataTransMem",
                             "DataReadMem", "ExtrasBackup", "ExtrasOptions"})
        EXPECT_TRUE(Find<QAction>(form.get(), name)->text().endsWith("...")) << name;
    for (const char* name : {"FileClose", "DataCreateFile", "ShowDirectKeys1", "MenuInfo"})
        EXPECT_FALSE(Find<QAction>(form.get(), name)->text().endsWith("...")) << name;
}

TEST_F(MainFormTest, TransferConfigNamesAMissingOrUnusableFile) {
    test::SimulatedDevice sim;
    dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    auto form = Create();
    auto missing = dir / "none.cif";
    dialogs.QueueFileName(QString::fromStdString(missing.string()));
    Find<QAction>(form.get(), "DataTransConfig")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].text, "Config Image cim/cif (*.ci?)");
    EXPECT_EQ(dialogs.Log()[1].text.toStdString(), missing.string() + " not found");

    dialogs.Clear();
    auto empty = dir.Write("empty.cim", "");
    dialogs.QueueFileName(QString::fromStdString(empty.string()));
    Find<QAction>(form.get(), "ToolButton7")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[1].text.toStdString(), empty.string() + " is empty");
}

// What the other windows ask of the main window reaches its status bar and
// its commands.
TEST_F(MainFormTest, ServesTheOtherWindowsAsTheirMainWindow) {
    dir.Write("orbik.ini", "[Port]\r\nInterface=LPT1\r\n");
    auto form = Create();
    ui::MainWindow& main = *form;
    main.SetStatusText("reading keywords");
    EXPECT_EQ(form->PortPanelText(), "reading keywords");

    auto* create = Find<QAction>(form.get(), "DataCreateFile");
    auto* keys = Find<QAction>(form.get(), "ShowDirectKeys1");
    auto* transferButton = Find<QAction>(form.get(), "ToolButton7");
    main.SetShowDirectKeysEnabled(true);
    EXPECT_TRUE(keys->isEnabled());
    EXPECT_FALSE(create->isEnabled());
    main.SetCreateFileEnabled(true);
    main.SetShowDirectKeysEnabled(false);
    EXPECT_TRUE(create->isEnabled());
    EXPECT_FALSE(keys->isEnabled());
    main.SetTransferConfigEnabled(false);
    EXPECT_FALSE(transferButton->isEnabled());
    EXPECT_TRUE(Find<QAction>(form.get(), "DataTransConfig")->isEnabled());  // the button only
    main.SetTransferConfigEnabled(true);
    EXPECT_TRUE(transferButton->isEnabled());
}

TEST_F(MainFormTest, OpensListsAndClosesProjectWindows) {
    TMainForm bare(dir.Path(), dialogs);  // its own project windows: no project "Demo"
    bare.OpenProjectWindow("Demo");
    ASSERT_EQ(dialogs.Log().size(), 1u);
    EXPECT_TRUE(dialogs.Log()[0].text.contains("keywords.txt not found"))
        << qPrintable(dialogs.Log()[0].text);
    EXPECT_TRUE(bare.ProjectWindowCaptions().isEmpty());
    dialogs.Clear();

    auto form = Create();
    ui::MainWindow& main = *form;
    EXPECT_EQ(main.ActiveProjectWindow(), nullptr);
    main.CloseActiveProjectWindow();  // none open: nothing happens
    main.OpenProjectWindow("Demo");
    main.OpenProjectWindow(
        "K\xFC"
        "che");
    EXPECT_EQ(main.ProjectWindowCaptions(), (QStringList{"Demo", QString::fromUtf8("Küche")}));
    ASSERT_EQ(projects.size(), 2u);
    EXPECT_EQ(main.ActiveProjectWindow(), projects[1]);
    main.CloseActiveProjectWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main.ProjectWindowCaptions(), QStringList{"Demo"});
    EXPECT_EQ(main.ActiveProjectWindow(), projects[0]);
}

TEST_F(MainFormTest, InfoWindowIsAnsweredThroughTheDialogs) {
    dir.Write("orbik.ini", "[Version]\r\nprog_ver=2.7\r\n");
    auto form = Create();
    QString version;
    dialogs.QueueWindow("InfoForm", [&version](QDialog& info) {
        version = info.findChild<QLabel*>("Label5")->text();
        info.findChild<QPushButton*>("Ok_B")->click();
    });
    Find<QAction>(form.get(), "ToolInfo")->trigger();
    EXPECT_EQ(version, "Version 2.7");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
    // A window that no test expects fails it.
    EXPECT_NONFATAL_FAILURE(Find<QAction>(form.get(), "MenuInfo")->trigger(),
                            "unexpected window: InfoForm");
}

TEST_F(MainFormTest, BackupWindowOpensModallyFromMenuAndToolBar) {
    auto form = Create();
    for (const char* command : {"ExtrasBackup", "ToolBackup"}) {
        dialogs.QueueWindow("OpenBackup", [](QDialog& backup) {
            backup.findChild<QPushButton*>("B_Close")->click();
        });
        Find<QAction>(form.get(), command)->trigger();
    }
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainFormTest, ProjectsOpensTheListModallyAndItsOpenMakesAProjectWindow) {
    dir.Write("orbik.ini", "[Paths]\r\nProject=\\Project\r\n[Port]\r\nInterface=LPT1\r\n");
    dir.Write("Project/Demo/Demo.txt", "");
    auto form = Create();
    dialogs.QueueWindow("Projectlist", [](QDialog& list) {
        list.findChild<QTreeWidget*>("LV_Projectlist")->topLevelItem(0)->setSelected(true);
        list.findChild<QAction*>("ToolOpen")->trigger();
    });
    Find<QAction>(form.get(), "FileProjects")->trigger();
    EXPECT_EQ(form->ProjectWindowCaptions(), QStringList{"Demo"});
    dialogs.QueueWindow("Projectlist",
                        [](QDialog& list) { list.findChild<QAction*>("ToolClose")->trigger(); });
    Find<QAction>(form.get(), "ToolProjects")->trigger();
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

}  // namespace
}  // namespace orbik::app
