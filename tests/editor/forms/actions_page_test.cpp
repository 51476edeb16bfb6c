// The Configure and DKeys pages in the project window: composing lines in
// each group, the list rules, confirm and restore, and the saved project
// building afterwards.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "compiler/BuildConfiguration.h"
#include "compiler/BuildLog.h"
#include "editor/forms/TProjectForm.h"
#include "support/TestContext.h"
#include "support/TestProject.h"

// Readable failures: a QString as its text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;

template <class T = QWidget>
T* Find(QObject* parent, const QString& name) {
    auto* found = parent->findChild<T*>(name);
    EXPECT_TRUE(found) << name.toStdString();
    return found;
}
void Click(QObject* parent, const QString& name) {
    auto* button = Find<QAbstractButton>(parent, name);
    ASSERT_TRUE(button);
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    button->click();
}
bool Enabled(QObject* parent, const QString& name) {
    return Find(parent, name)->isEnabled();
}
void Pick(QObject* parent, const QString& box, const QString& text) {
    auto* combo = Find<QComboBox>(parent, box);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
}
QStringList Lines(QObject* parent, const QString& list) {
    QStringList lines;
    auto* widget = Find<QListWidget>(parent, list);
    for (int i = 0; i < widget->count(); ++i) lines << widget->item(i)->text();
    return lines;
}
void SelectLine(QObject* parent, const QString& list, int row) {
    Find<QListWidget>(parent, list)->setCurrentRow(row);
}
std::string Crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toStdString();
}
bool Holds(const std::string& file, const QStringList& lines) {
    return file.find(Crlf(lines)) != std::string::npos;
}

// A max project that builds: the external display, the device selection
// "tv" whose entry opens the sub-menu TV, and in it the entries "one" and
// "two"; an RF library in the RF folder.
class ActionsPageTest : public ::testing::Test {
  protected:
    ActionsPageTest() {
        project.File("P.txt",
                     {"descriptor=Test", "language=English", "item=A", "item=ExternalDisplay"});
        project.File(
            "KEYWORDS.TXT",
            {"keyword=wake", "type=wakeup", "English=wake up", "keyword=tv", "type=deviceselection",
             "English=tv", "keyword=one", "type=other", "English=one", "keyword=two", "type=other",
             "English=two", "keyword=display", "type=other", "English=display"});
        project.File("Items&Menus/ExternalDisplay/ITEM.TXT",
                     {"type=display", "English=display", "keyword=display"});
        project.File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=SetMenu(TV)", "",
                                                   "keyword=display", "procedure=Nothing"});
        project.File("Items&Menus/TV/MENU.TXT", {"keyword=one", "procedure=SendButton(on)", "",
                                                 "keyword=two", "procedure=SetMenu(Main)"});
        project.File("Items&Menus/Sleep/MENU.TXT", {"keyword=wake", "procedure=SetMenu(Main)"});
        for (const char* keyword : {"one", "two", "display"})
            project.Recordings("English", keyword);
        WriteFile("RFFiles/Sockets.rft", ";RF Lamp on\r\nParam=1,2\r\nParam=3\r\n;RF Lamp off\r\n");
        WriteFile("RFFiles/Empty.rft", "; nothing here\r\n");
        WriteFile("RFFiles/notes.doc", ";RF not a library\r\n");
    }
    void WriteFile(const std::string& relative, const std::string& text) {
        fs::create_directories((project.ProgramDir() / relative).parent_path());
        std::ofstream(project.ProgramDir() / relative, std::ios::binary) << text;
    }
    static settings::Settings SettingsOf(const test::TestProject& p) {
        settings::Settings s;
        s.programDir = p.ProgramDir();
        s.projectPath = "\\Project";
        s.rfDbs = "\\RFFiles";
        s.projectLanguage = "English";
        s.programLanguage = "English";
        return s;
    }
    std::unique_ptr<TProjectForm> Open() {
        auto form = std::make_unique<TProjectForm>(env.context, "P");
        EXPECT_TRUE(form->Load()) << env.dialogs.Messages().join("|").toStdString();
        return form;
    }
    static void SelectEntry(TProjectForm& form, const QString& text) {
        auto* tree = Find<QTreeWidget>(&form, "TV_Project");
        auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        tree->setCurrentItem(found[0]);
    }
    std::string MenuFile(const char* menu) const {
        return project.ReadProjectFile(std::string("Items&Menus/") + menu + "/MENU.TXT");
    }

    test::TestProject project;
    settings::Settings settings = SettingsOf(project);
    test::TestContext env{settings};
};

TEST_F(ActionsPageTest, ComposedActionsAndDirectKeysAreSavedAndTheProjectBuilds) {
    auto form = Open();
    QWidget* f = form.get();
    SelectEntry(*form, "one");
    EXPECT_EQ(Lines(f, "LB_Actions"), QStringList{"SendButton(on)"});
    EXPECT_FALSE(Enabled(f, "Confirm_B"));
    EXPECT_FALSE(Enabled(f, "Add_B1"));  // no item chosen yet

    // Interface: IR Signal, as digit only for digits; Repeat; Pause.
    Click(f, "RG_Signals0");
    EXPECT_TRUE(Find(f, "CB_Buttons")->isVisibleTo(f));
    EXPECT_FALSE(Find(f, "CB_Pause")->isVisibleTo(f));
    Pick(f, "CB_Buttons", "ok");
    EXPECT_FALSE(Enabled(f, "CB_Digit"));
    Click(f, "Add_B1");
    Pick(f, "CB_Buttons", "7");
    Find<QCheckBox>(f, "CB_Digit")->setChecked(true);
    Click(f, "Add_B1");
    Click(f, "RG_Signals1");
    Pick(f, "CB_Buttons2", "vol_plus");
    Pick(f, "CB_RepTime", "500");
    Click(f, "Add_B1");
    Click(f, "RG_Signals5");
    EXPECT_TRUE(Find(f, "CB_Pause")->isVisibleTo(f));
    EXPECT_FALSE(Find(f, "CB_Buttons")->isVisibleTo(f));
    Click(f, "Add_B1");  // the first time, 200
    EXPECT_TRUE(Enabled(f, "Confirm_B") && Enabled(f, "Restore_B"));
    EXPECT_FALSE(form->IsClean());
    EXPECT_FALSE(env.mainWindow.createFileEnabled);

    // Parallel Port: the real dialog, two lines before Close.
    env.dialogs.QueueWindow("ParallelForm", [](QDialog& d) {
        EXPECT_FALSE(Enabled(&d, "Ok_B"));
        Find<QCheckBox>(&d, "CB_Out1Mask")->setChecked(true);
        Find<QCheckBox>(&d, "CB_Out8Mask")->setChecked(true);
        Find<QComboBox>(&d, "CB_Out8Value")->setCurrentIndex(1);  // OPEN
        Click(&d, "Ok_B");
        Find<QCheckBox>(&d, "CB_Out1Mask")->setChecked(false);
        Click(&d, "Ok_B");
        Click(&d, "Cancel_B");
    });
    Click(f, "RG_Signals3");
    Click(f, "Add_B1");
    // Radio Signal: a signal of the RF folder, twice.
    env.dialogs.QueueWindow("RFFilesForm", [](QDialog& d) {
        auto* tabs = Find<QTabBar>(&d, "TC_RFFiles");
        ASSERT_EQ(tabs->count(), 2);  // the libraries, not the other files
        EXPECT_EQ(tabs->tabText(0), "Empty.rft");
        EXPECT_EQ(Find<QListWidget>(&d, "LB_RFSignals")->count(), 0);
        tabs->setCurrentIndex(1);
        EXPECT_EQ(Lines(&d, "LB_RFSignals"), (QStringList{";RF Lamp on", ";RF Lamp off"}));
        Find<QListWidget>(&d, "LB_RFSignals")->setCurrentRow(0);
        Find<QLineEdit>(&d, "E_Count")->setText("2");
        Click(&d, "Ok_B");
        Click(&d, "Close_B");
    });
    Click(f, "RG_Signals2");
    Click(f, "Add_B1");

    // Telephone: Add Digit needs a digit.
    Click(f, "RG_Number2");
    EXPECT_FALSE(Enabled(f, "Add_B2"));
    Pick(f, "CB_AddDigit", "7");
    Click(f, "Add_B2");
    Click(f, "RG_Number1");
    Click(f, "Add_B2");

    // Bluetooth: Answer, Find Name, a link by ID, More...
    Click(f, "RG_BT0");
    Click(f, "Add_B4");
    Click(f, "RG_BT4");
    Find<QLineEdit>(f, "E_bt_find")->setText("Bo;b");
    Find<QLineEdit>(f, "E_bt_send")->setText(" 0123 ");
    Click(f, "Add_B4");
    env.dialogs.QueueWindow("LinkBTForm", [](QDialog& d) {
        Click(&d, "RG11");  // by ID
        auto* id = Find<QLineEdit>(&d, "BTID1");
        id->setFocus();
        id->home(false);
        QTest::keyClicks(id, "001a2b3c4d5");
        EXPECT_FALSE(Enabled(&d, "B_ok"));  // one position still blank
        QTest::keyClicks(id, "e");
        Click(&d, "RG21");  // SIM card
        Click(&d, "B_ok");
    });
    Click(f, "RG_BT2");
    Click(f, "Add_B4");
    Click(f, "RG_BT6");
    Pick(f, "CB_BT_More", "Redial");
    Click(f, "Add_B4");

    const QString blanks12 = QString(", ").repeated(12);
    const QStringList composed{
        "SendButton(on)",
        "SendButton(ok)",
        "SendDigit(7)",
        "StartScan(vol_plus,500)",
        "Wait(200)",
        "WriteParallelIF(129,1)",
        "WriteParallelIF(128,0)",
        ";RF Lamp on",
        "WriteRadioIF(1,2)",
        "WriteRadioIF(3)",
        "WriteRadioIF(1,2)",
        "WriteRadioIF(3)",
        "AddTelNumberDigit(7,7)",
        "ClearTelephoneNumber",
        "SendBt(6,A,T,A,\\r,\\n,1, , , , , , , , , , , , , , , , , , , , , , , , )",
        "FindBtTelephoneNumber(4,B,o,\\s,b" + QString(", ").repeated(20) + ",4,0,1,2,3" +
            QString(", ").repeated(16) + ")",
        "ConnectBt(18,0,0,:,1,A,:,2,B,:,3,C,:,4,D,:,5,E,1" + blanks12 + ")",
        "SendBt(10,A,T,+,B,L,D,N,\\r,\\n,1, , , , , , , , , , , , , , , , , , , , )"};
    EXPECT_EQ(Lines(f, "LB_Actions"), composed);
    Click(f, "Confirm_B");
    EXPECT_TRUE(form->IsClean());
    EXPECT_FALSE(Enabled(f, "Confirm_B"));
    EXPECT_TRUE(env.mainWindow.createFileEnabled);
    QStringList stored{"keyword=one"};
    for (const QString& line : composed)
        stored << (line.startsWith(";RF") ? line : "procedure=" + line);
    EXPECT_TRUE(Holds(MenuFile("TV"), stored)) << MenuFile("TV");

    // Direct key 3: ticked active, a pause and a send; key 5: active, empty.
    form->SetDirectKeysShown(true);
    Find<QTabWidget>(f, "PC_Config")->setCurrentWidget(Find(f, "TS_DKeys"));
    Pick(f, "CB_DKeys", "Direct Key 3");
    EXPECT_FALSE(Enabled(f, "RG_DKeySignals"));
    Click(f, "CB_Active");
    EXPECT_TRUE(Enabled(f, "ConfirmDKey_B"));
    Click(f, "RG_DKeySignals5");
    Click(f, "DKeyAdd_B");
    EXPECT_EQ(Lines(f, "LB_DKey_Actions"), (QStringList{"PushDevice", "Wait(200)", "PopDevice"}));
    EXPECT_FALSE(Enabled(f, "CB_DKeys"));
    EXPECT_FALSE(Enabled(f, "CB_Active"));
    Click(f, "RG_DKeySignals0");
    Pick(f, "CB_DKeyButtons1", "mute");
    Click(f, "DKeyAdd_B");
    Click(f, "ConfirmDKey_B");
    EXPECT_TRUE(Enabled(f, "CB_DKeys"));
    Pick(f, "CB_DKeys", "Direct Key 5");
    Click(f, "CB_Active");
    Click(f, "ConfirmDKey_B");

    const std::string menu = MenuFile("Main");
    EXPECT_TRUE(Holds(menu, {"keyword=dkey_3", "procedure=PushDevice", "procedure=Wait(200)",
                             "procedure=SendButton(mute)", "procedure=PopDevice"}))
        << menu;
    EXPECT_TRUE(Holds(menu, {"keyword=dkey_5", "procedure=Nothing"})) << menu;
    const std::string keywords = project.ReadProjectFile("KEYWORDS.TXT");
    EXPECT_TRUE(Holds(keywords, {"keyword=dkey_3", "type=directkey"})) << keywords;
    EXPECT_TRUE(Holds(keywords, {"keyword=dkey_5", "type=directkey"})) << keywords;

    compiler::StatusLines log;
    EXPECT_TRUE(compiler::BuildConfiguration("P", project.ProjectDir(), project.ProgramDir(), log))
        << log.Status();
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

}  // namespace
}  // namespace orbik::editor
