// The main window with its own project windows, on a copy of the demo
// installation.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>

#include "app/forms/TMainForm.h"
#include "editor/forms/TProjectForm.h"
#include "platform/FileSystem.h"
#include "support/Captions.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace orbik::app {
namespace {

namespace fs = std::filesystem;

class MainFormProjectTest : public ::testing::Test {
  protected:
    MainFormProjectTest() {
        setenv("ORBIK_COM_DIR", (dir.Path() / "com").c_str(), 1);
        fs::create_directories(dir.Path() / "com");
        fs::copy(ORBIK_DEMO_DIR, dir.Path() / "demo", fs::copy_options::recursive);
        form = std::make_unique<TMainForm>(dir.Path() / "demo", dialogs);
    }
    ~MainFormProjectTest() override {
        form.reset();
        unsetenv("ORBIK_COM_DIR");
    }
    QAction* Action(const char* name) { return form->findChild<QAction*>(name); }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormProjectTest, OpensTheDemoMaximisedOnceAndBuildsItFromTheMenu) {
    dialogs.Clear();  // the port test at start
    EXPECT_FALSE(Action("DataCreateFile")->isEnabled());
    form->OpenProjectWindow("Demo");
    ASSERT_EQ(form->ProjectWindowCaptions(), QStringList{"Demo"});
    auto* project = dynamic_cast<editor::TProjectForm*>(form->ActiveProjectWindow());
    ASSERT_TRUE(project);
    EXPECT_TRUE(project->parentWidget()->isMaximized());
    EXPECT_TRUE(form->windowTitle().endsWith("[Demo]")) << qPrintable(form->windowTitle());
    EXPECT_TRUE(Action("DataCreateFile")->isEnabled());
    // The demo is a max project in the editor's own form: nothing to warn about.
    EXPECT_TRUE(dialogs.Log().empty());
    EXPECT_TRUE(Action("ShowDirectKeys1")->isEnabled());

    // Open again: refused, and the open one stays.
    form->OpenProjectWindow("Demo");
    EXPECT_EQ(dialogs.Messages(), QStringList{"Project already open!"});
    EXPECT_EQ(form->ProjectWindowCaptions(), QStringList{"Demo"});

    // Create File builds the project in the progress window; Transfer Config
    // then has the project's image.
    Action("DataCreateFile")->trigger();
    auto* created = project->findChild<QDialog*>("CreateForm");
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->findChild<QPushButton*>("Close_B")->isEnabled());
    EXPECT_TRUE(platform::FileExists(dir.Path() / "demo/Project/Demo/Demo.cif"));
    EXPECT_TRUE(Action("ToolButton7")->isEnabled());

    // Its Close: asks nothing; the commands that need a project go.
    dialogs.Clear();
    project->findChild<QAction*>("TB_ClosePr")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->ProjectWindowCaptions().isEmpty());
    EXPECT_EQ(form->windowTitle(), "ORBIK Configuration");
    EXPECT_TRUE(dialogs.Log().empty());
    EXPECT_FALSE(Action("DataCreateFile")->isEnabled());
    EXPECT_FALSE(Action("ShowDirectKeys1")->isEnabled());
}

TEST_F(MainFormProjectTest, MainEntriesOfNoItemAreToldOnceBeforeAnySave) {
    dialogs.Clear();
    fs::path menu = dir.Path() / "demo/Project/Demo/Items&Menus/Main/menu.txt";
    std::string text;
    ASSERT_TRUE(platform::ReadWholeFile(menu, &text, 1 << 20));
    ASSERT_TRUE(
        platform::WriteFileAtomic(menu, "keyword=lamp\r\nprocedure=Nothing\r\n\r\n" + text));
    form->OpenProjectWindow("Demo");
    ASSERT_EQ(dialogs.Log().size(), 1u);
    EXPECT_EQ(dialogs.Log()[0].kind, "warn");
    EXPECT_TRUE(dialogs.Log()[0].text.startsWith("Main menu entries that no item names"));
    EXPECT_TRUE(dialogs.Log()[0].text.contains("lamp"));
    std::string after;
    ASSERT_TRUE(platform::ReadWholeFile(menu, &after, 1 << 20));
    EXPECT_EQ(after, "keyword=lamp\r\nprocedure=Nothing\r\n\r\n" + text);
}

// With two projects open the commands follow the one in front, and closing
// one leaves them as the other needs them.
TEST_F(MainFormProjectTest, CommandsFollowTheProjectInFront) {
    fs::path projects = dir.Path() / "demo/Project";
    fs::copy(projects / "Demo", projects / "Solo", fs::copy_options::recursive);
    fs::rename(projects / "Solo/Demo.txt", projects / "Solo/Solo.txt");
    std::string main;
    ASSERT_TRUE(platform::ReadWholeFile(projects / "Solo/Solo.txt", &main, 1 << 20));
    main.erase(main.find("item=externaldisplay"));
    ASSERT_TRUE(platform::WriteFileAtomic(projects / "Solo/Solo.txt", main));

    form->OpenProjectWindow("Demo");
    form->OpenProjectWindow("Solo");
    ASSERT_EQ(form->ProjectWindowCaptions(), (QStringList{"Demo", "Solo"}));
    EXPECT_TRUE(Action("DataCreateFile")->isEnabled());
    EXPECT_FALSE(Action("ShowDirectKeys1")->isEnabled()) << "a solo project has none";

    form->OpenProjectWindow("Demo");  // refused, but brings it to the front
    EXPECT_TRUE(Action("ShowDirectKeys1")->isEnabled());
    Action("ShowDirectKeys1")->trigger();
    EXPECT_EQ(Action("ShowDirectKeys1")->text().remove('&'), "Hide Direct Keys");

    form->CloseActiveProjectWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(form->ProjectWindowCaptions(), QStringList{"Solo"});
    EXPECT_TRUE(Action("DataCreateFile")->isEnabled()) << "Solo is still open";
    EXPECT_FALSE(Action("ShowDirectKeys1")->isEnabled());
    EXPECT_EQ(Action("ShowDirectKeys1")->text().remove('&'), "Show Direct Keys");

    form->CloseActiveProjectWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Action("DataCreateFile")->isEnabled());
    EXPECT_TRUE(Action("ToolButton7")->isEnabled());
}

TEST_F(MainFormProjectTest, ClosingTheChildWindowClosesTheProject) {
    form->OpenProjectWindow("Demo");
    ASSERT_EQ(form->ProjectWindowCaptions().size(), 1);
    form->SetStatusText("busy");
    form->CloseActiveProjectWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->ProjectWindowCaptions().isEmpty());
    EXPECT_EQ(form->PortPanelText(), "");
    EXPECT_FALSE(Action("DataCreateFile")->isEnabled());
}

}  // namespace
}  // namespace orbik::app
