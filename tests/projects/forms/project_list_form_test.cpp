// The project list and the new-name dialog as a user meets them.

#include <gtest/gtest.h>

#include <QAction>
#include <QDragMoveEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "platform/Ini.h"
#include "projects/forms/TNewNameForm.h"
#include "projects/forms/TProjectlist.h"
#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::projects {
namespace {

namespace fs = std::filesystem;

class ProjectListForm : public ::testing::Test {
  protected:
    // Runs before the settings are read.
    static bool Prepare(const test::TempDir& dir) {
        fs::copy(ORBIK_DEMO_DIR "/formcaps.txt", dir / "formcaps.txt");
        dir.Write("orbik.ini",
                  "[Paths]\r\nProject=\\Project\r\nTemplates=\\templates\r\n"
                  "[Language]\r\nProgram=English\r\n");
        dir.Write("Project/Demo/Demo.txt", "item=ExternalDisplay\r\n");
        dir.Write("Project/Hall/Hall.txt", "item=TV\r\n");
        dir.Write("Project/Kitchen/Kitchen.txt", "item=TV\r\n");
        dir.Write("Project/projectlist.INI", "[Hall]\r\nprojecttype=solo\r\n");
        dir.Write("templates/Project/Solo/Solo.txt", "item=TV\r\n");
        dir.Write("templates/Project/templates.INI", "[Solo]\r\nprojecttype=solo\r\n");
        return true;
    }
    std::unique_ptr<TProjectlist> Create() { return std::make_unique<TProjectlist>(env.context); }
    template <class T>
    static T* Find(QWidget* w, const char* name) {
        T* found = w->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QTreeWidget* List(QWidget* w) { return Find<QTreeWidget>(w, "LV_Projectlist"); }
    static QTabBar* Tabs(QWidget* w) { return Find<QTabBar>(w, "TC_Projectlist"); }
    static QStringList Rows(QWidget* w) {
        QStringList rows;
        for (int i = 0; i < List(w)->topLevelItemCount(); ++i)
            rows << List(w)->topLevelItem(i)->text(0);
        return rows;
    }
    static void Select(QWidget* w, std::initializer_list<int> rows) {
        List(w)->clearSelection();
        for (int r : rows) List(w)->topLevelItem(r)->setSelected(true);
    }
    // "New", "Open", "Copy", "Delete", "Import", "Export", "Close" as enabled now.
    static QString Enabled(QWidget* w) {
        QString on;
        for (const char* name : {"ToolNew", "ToolOpen", "ToolCopy", "ToolDelete", "ToolImport",
                                 "ToolExport", "ToolClose"})
            on += Find<QAction>(w, name)->isEnabled() ? "1" : "0";
        return on;
    }
    // The new-name dialog answers `name` through its OK button.
    void QueueName(const QString& name) {
        env.dialogs.QueueWindow("NewNameForm", [name](QDialog& form) {
            form.findChild<QLineEdit*>("E_NewName")->setText(name);
            form.findChild<QPushButton*>("Ok_B")->click();
        });
    }
    void QueueCancel() {
        env.dialogs.QueueWindow("NewNameForm", [](QDialog& form) {
            form.findChild<QPushButton*>("Cancel_B")->click();
        });
    }
    test::TempDir dir;
    const bool prepared = Prepare(dir);
    test::TestContext env{settings::LoadSettings(dir.Path())};
};

TEST_F(ProjectListForm, SelectionRulesPerTab) {
    auto form = Create();
    EXPECT_EQ(form->windowTitle(), "Project list");
    EXPECT_EQ(Rows(form.get()), (QStringList{"Demo", "Hall", "Kitchen"}));
    EXPECT_EQ(Enabled(form.get()), "0000101");
    Select(form.get(), {1});
    EXPECT_EQ(Enabled(form.get()), "0111111");  // open, copy, delete, export
    Select(form.get(), {0, 2});
    EXPECT_EQ(Enabled(form.get()), "0000101");
    Tabs(form.get())->setCurrentIndex(1);
    EXPECT_EQ(Rows(form.get()), (QStringList{"Solo"}));
    EXPECT_EQ(Enabled(form.get()), "0000101");
    Select(form.get(), {0});
    EXPECT_EQ(Enabled(form.get()), "1001111");  // new, delete, export
    EXPECT_FALSE(List(form.get())->toolTip().isEmpty());
    // A double click on the Templates tab opens nothing.
    Q_EMIT List(form.get())->itemDoubleClicked(List(form.get())->topLevelItem(0), 0);
    EXPECT_TRUE(env.mainWindow.projects.empty());
    EXPECT_TRUE(env.dialogs.Log().empty());
}

TEST_F(ProjectListForm, NewFromTemplatesMakesAProjectAndNamesTheOtherTabWhenTaken) {
    auto form = Create();
    Tabs(form.get())->setCurrentIndex(1);
    Select(form.get(), {0});
    QueueName("Demo");   // taken in the projects
    QueueName(" Den ");  // the second try
    Find<QAction>(form.get(), "ToolNew")->trigger();
    ASSERT_TRUE(env.dialogs.AllAnswersUsed());
    EXPECT_TRUE(env.dialogs.Messages().contains("Name in Projects already exists!"))
        << env.dialogs.Messages().join("|").toStdString();
    EXPECT_EQ(Tabs(form.get())->currentIndex(), 0);
    EXPECT_EQ(Rows(form.get()), (QStringList{"Demo", "Den", "Hall", "Kitchen"}));
    ASSERT_EQ(List(form.get())->selectedItems().size(), 1);
    EXPECT_EQ(List(form.get())->selectedItems()[0]->text(0), "Den");
    EXPECT_EQ(List(form.get())->selectedItems()[0]->text(1), "08.12.2026");
    EXPECT_TRUE(fs::is_regular_file(dir / "Project/Den/Den.txt"));
    EXPECT_EQ(platform::ReadProfileString(dir / "Project/projectlist.INI", "Den", "projecttype"),
              "solo");
    EXPECT_FALSE(Find<QLabel>(form.get(), "L_Creating")->isVisible());

    // From the projects a template is made; a taken name names the Templates tab.
    Select(form.get(), {0});
    Find<QAction>(form.get(), "ToolNew")->setEnabled(true);  // reached by a drop
    QueueName("Solo");
    QueueCancel();
    env.dialogs.Clear();
    Find<QAction>(form.get(), "ToolNew")->trigger();
    EXPECT_TRUE(env.dialogs.Messages().contains("Name in Templates already exists!"))
        << env.dialogs.Messages().join("|").toStdString();
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(ProjectListForm, CopyNamesTheCurrentTabWhenTaken) {
    auto form = Create();
    Select(form.get(), {0});
    QueueName("Hall ");
    QueueName("Attic");
    Find<QAction>(form.get(), "ToolCopy")->trigger();
    EXPECT_TRUE(env.dialogs.Messages().contains("Name in Projects already exists!"));
    EXPECT_EQ(Rows(form.get()), (QStringList{"Attic", "Demo", "Hall", "Kitchen"}));
    EXPECT_EQ(List(form.get())->selectedItems()[0]->text(0), "Attic");
    EXPECT_TRUE(fs::is_regular_file(dir / "Project/Attic/Attic.txt"));
    EXPECT_EQ(platform::ReadProfileString(dir / "Project/projectlist.INI", "Attic", "projecttype"),
              "max");
}

TEST_F(ProjectListForm, DeleteSelectsTheRowThatTookItsPlace) {
    auto form = Create();
    Select(form.get(), {2});
    env.dialogs.QueueAnswer(true);
    Find<QAction>(form.get(), "ToolDelete")->trigger();
    EXPECT_EQ(Rows(form.get()), (QStringList{"Demo", "Hall"}));
    EXPECT_EQ(List(form.get())->selectedItems()[0]->text(0), "Hall");
    EXPECT_FALSE(fs::exists(dir / "Project/Kitchen"));
    EXPECT_TRUE(env.dialogs.Messages().contains("Delete Project?"));

    Select(form.get(), {0});
    env.dialogs.QueueAnswer(false);  // No keeps it
    Find<QAction>(form.get(), "ToolDelete")->trigger();
    EXPECT_EQ(Rows(form.get()).size(), 2);

    // An open project is not deleted.
    env.mainWindow.OpenProjectWindow("Demo");
    env.dialogs.QueueAnswer(true);
    Find<QAction>(form.get(), "ToolDelete")->trigger();
    EXPECT_TRUE(env.dialogs.Messages().contains("Project already open!"));
    EXPECT_TRUE(fs::exists(dir / "Project/Demo/Demo.txt"));

    // The only row of the Templates tab.
    Tabs(form.get())->setCurrentIndex(1);
    Select(form.get(), {0});
    env.dialogs.QueueAnswer(true);
    Find<QAction>(form.get(), "ToolDelete")->trigger();
    EXPECT_TRUE(Rows(form.get()).isEmpty());
    EXPECT_EQ(Enabled(form.get()), "0000101");
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(ProjectListForm, OpenHandsTheProjectToTheMainWindowUnlessItIsOpen) {
    auto form = Create();
    env.mainWindow.OpenProjectWindow("Hall");
    Select(form.get(), {1});
    Find<QAction>(form.get(), "ToolOpen")->trigger();
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Project already open!"});
    EXPECT_EQ(env.mainWindow.projects.size(), 1u);
    EXPECT_EQ(form->result(), QDialog::Rejected);

    Select(form.get(), {0});
    Q_EMIT List(form.get())->itemDoubleClicked(List(form.get())->topLevelItem(0), 0);
    ASSERT_EQ(env.mainWindow.projects.size(), 2u);
    EXPECT_EQ(env.mainWindow.ProjectWindowCaptions().back(), "Demo");
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(ProjectListForm, DropIsRefusedOnTheShownTabsHeaderAndFromElsewhere) {
    auto form = Create();
    form->show();
    QTabBar* tabs = Tabs(form.get());
    for (int tab : {0, 1}) {
        tabs->setCurrentIndex(tab);
        EXPECT_FALSE(form->DropAllowedAt(tabs->tabRect(tab).center())) << tab;
        EXPECT_TRUE(form->DropAllowedAt(tabs->tabRect(1 - tab).center())) << tab;
    }
    // A drag that did not start in the list is refused anywhere.
    QMimeData data;
    data.setText("Demo");
    QDragMoveEvent move(tabs->tabRect(0).center(), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(tabs, &move);
    EXPECT_FALSE(move.isAccepted());
}

TEST_F(ProjectListForm, ExportThenImportOnTheTemplatesTab) {
    auto form = Create();
    Select(form.get(), {0});
    QString archive = ui::QStringFromPath(dir / "demo");
    env.dialogs.QueueFileName(archive);
    Find<QAction>(form.get(), "ToolExport")->trigger();
    ASSERT_TRUE(fs::is_regular_file(dir / "demo.opr"));

    Tabs(form.get())->setCurrentIndex(1);
    env.dialogs.QueueFileName(archive + ".opr");
    Find<QAction>(form.get(), "ToolImport")->trigger();
    EXPECT_EQ(Rows(form.get()), (QStringList{"Solo", "Demo"}));
    EXPECT_EQ(List(form.get())->selectedItems()[0]->text(0), "Demo");
    EXPECT_TRUE(fs::is_regular_file(dir / "templates/Project/Demo/Demo.txt"));
    EXPECT_EQ(
        platform::ReadProfileString(dir / "templates/Project/templates.INI", "Demo", "projecttype"),
        "max");
    // Again: the name is taken now.
    env.dialogs.QueueFileName(archive + ".opr");
    Find<QAction>(form.get(), "ToolImport")->trigger();
    EXPECT_TRUE(env.dialogs.Messages().contains("Projectname \"Demo\" already exists!"));
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST(NewNameForm, OkOnlyForANameTheFolderCanTake) {
    test::TempDir dir;
    fs::copy(ORBIK_DEMO_DIR "/formcaps.txt", dir / "formcaps.txt");
    dir.Write("orbik.ini", "[Language]\r\nProgram=German\r\n");
    test::TestContext env{settings::LoadSettings(dir.Path())};
    TNewNameForm form(env.context);
    EXPECT_EQ(form.windowTitle(), "Neuer Name");
    auto* edit = form.findChild<QLineEdit*>("E_NewName");
    auto* ok = form.findChild<QPushButton*>("Ok_B");
    auto* notAllowed = form.findChild<QLabel*>("L_NotAllowed");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(notAllowed->text(), "No .\\/:;?\"*<> allowed!");
    form.show();
    edit->setText("   ");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(notAllowed->isVisible());
    for (QChar c : QString(".\\/:;?\"*<>")) {
        edit->setText(QString("Kit") + c + "chen");
        EXPECT_FALSE(ok->isEnabled()) << c.toLatin1();
        EXPECT_TRUE(notAllowed->isVisible()) << c.toLatin1();
    }
    edit->setText("Küche");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_FALSE(notAllowed->isVisible());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Result().name,
              "K\xfc"
              "che");
}

}  // namespace
}  // namespace orbik::projects
