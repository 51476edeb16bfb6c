// The Configure and DKeys pages in the project window: composing lines in
// each group, the list rules, confirm and restore, and the saved project
// building afterwards.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
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
#include "editor/ActionLines.h"
#include "editor/forms/TCreateRFForm.h"
#include "editor/forms/TLinkBTForm.h"
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

LinkBtResult LinkBtResultFor(const std::string& name, bool sim) {
    return {
        ConnectBtByNameLine(name, sim ? ContactSource::SimCard : ContactSource::PhoneMemory).line};
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
    // Item A (the "tv" entry) gets the device television, item B the device
    // radio; direct key 2 is active.
    void AddDevicesAndDirectKey() {
        project.File("P.txt", {"descriptor=Test", "language=English", "item=A", "item=B",
                               "item=ExternalDisplay"});
        project.File("Items&Menus/A/ITEM.TXT",
                     {"English=A", "keyword=tv", "option=devices=television"});
        project.File("Items&Menus/B/ITEM.TXT",
                     {"English=B", "keyword=two", "option=devices=radio"});
        for (const char* device : {"television", "radio"}) {
            project.File(std::string("Devices/") + device + "/devlist.txt", {"file=x.icp"});
            project.File(std::string("Devices/") + device + "/devvocab.txt", {});
        }
        project.File("Items&Menus/Main/MENU.TXT",
                     {"keyword=tv", "procedure=SetMenu(TV)", "", "keyword=display",
                      "procedure=Nothing", "", "keyword=dkey_2", "procedure=PushDevice",
                      "procedure=SendButton(on)", "procedure=PopDevice"});
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

TEST_F(ActionsPageTest, ListKeepsItsSetLinesMovesRestoresAndAsksBeforeLeaving) {
    AddDevicesAndDirectKey();
    auto form = Open();
    QWidget* f = form.get();
    SelectEntry(*form, "tv");
    auto* devices = Find<QComboBox>(f, "CB_Devices");
    EXPECT_TRUE(devices->isEnabled());
    EXPECT_EQ(devices->currentText(), "television");
    EXPECT_EQ(devices->count(), 2);
    // A main-menu entry with a sub-menu has no Menu group.
    EXPECT_FALSE(Enabled(f, "RG_Extra"));
    EXPECT_FALSE(Find(f, "Add_B3")->isVisibleTo(f));

    // Another device: the send framed by two switches; its own: one line.
    Click(f, "RG_Signals0");
    Pick(f, "CB_Devices", "radio");
    Click(f, "Add_B1");
    Pick(f, "CB_Devices", "television");
    Pick(f, "CB_Buttons", "off");
    Click(f, "Add_B1");
    EXPECT_EQ(Lines(f, "LB_Actions"),
              (QStringList{"SetMenu(TV)", "SetDevice(radio)", "SendButton(on)",
                           "SetDevice(television)", "SendButton(off)"}));

    // "Set" lines are neither deleted nor inserted before; others are.
    for (int row : {0, 1, 3}) {
        SelectLine(f, "LB_Actions", row);
        EXPECT_FALSE(Enabled(f, "Delete_B1")) << row;
        EXPECT_FALSE(Enabled(f, "Insert_B1")) << row;
        QTest::keyClick(Find(f, "LB_Actions"), Qt::Key_Delete);
        EXPECT_EQ(Lines(f, "LB_Actions").size(), 5) << row;
    }
    SelectLine(f, "LB_Actions", 0);
    EXPECT_FALSE(Enabled(f, "SpinButton1Up"));  // the first line
    EXPECT_TRUE(Enabled(f, "SpinButton1Down"));
    SelectLine(f, "LB_Actions", 2);
    Click(f, "RG_Signals5");
    Click(f, "Insert_B1");
    Click(f, "Insert_B1");  // the selection stays on the line inserted before
    EXPECT_EQ(Lines(f, "LB_Actions")[4], "SendButton(on)");
    QTest::keyClick(Find(f, "LB_Actions"), Qt::Key_Delete);  // as Delete_B1
    EXPECT_EQ(Lines(f, "LB_Actions"),
              (QStringList{"SetMenu(TV)", "SetDevice(radio)", "Wait(200)", "Wait(200)",
                           "SetDevice(television)", "SendButton(off)"}));
    SelectLine(f, "LB_Actions", 5);
    EXPECT_FALSE(Enabled(f, "SpinButton1Down"));  // the last line
    Click(f, "SpinButton1Up");
    EXPECT_EQ(Lines(f, "LB_Actions")[4], "SendButton(off)");
    EXPECT_EQ(Find<QListWidget>(f, "LB_Actions")->currentRow(), 4);

    // Restore: the stored procedure again, nothing pending.
    Click(f, "Restore_B");
    EXPECT_EQ(Lines(f, "LB_Actions"), QStringList{"SetMenu(TV)"});
    EXPECT_TRUE(form->IsClean());
    EXPECT_TRUE(env.mainWindow.createFileEnabled);
    EXPECT_FALSE(Enabled(f, "Confirm_B") || Enabled(f, "Restore_B"));

    // Leaving a pending list asks; Yes confirms and saves it.
    Click(f, "Add_B1");  // the pause
    env.dialogs.QueueAnswer(true);
    SelectEntry(*form, "display");
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Confirm Changes?"});
    EXPECT_EQ(Lines(f, "LB_Actions"), QStringList{"Nothing"});
    EXPECT_TRUE(
        Holds(MenuFile("Main"), {"keyword=tv", "procedure=SetMenu(TV)", "procedure=Wait(200)"}))
        << MenuFile("Main");
    // No drops it.
    Click(f, "RG_Signals5");
    Click(f, "Add_B1");
    env.dialogs.QueueAnswer(false);
    SelectEntry(*form, "one");
    EXPECT_EQ(EntryAt(form->Model(), {0, 1}).procedure, std::vector<std::string>{"Nothing"});
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(ActionsPageTest, MenuGroupSleepsOrReturnsOnceAsked) {
    auto form = Open();
    QWidget* f = form.get();
    SelectEntry(*form, "one");  // in the sub-menu TV, without a sub-menu of its own
    EXPECT_TRUE(Enabled(f, "RG_Extra"));
    EXPECT_TRUE(Find(f, "Add_B3")->isVisibleTo(f));
    Click(f, "RG_Extra0");
    Click(f, "Add_B3");
    EXPECT_EQ(Lines(f, "LB_Actions"),
              (QStringList{"SendButton(on)", "DisplayLightOff", "PushMenu", "SetMenu(Sleep)"}));
    EXPECT_FALSE(Enabled(f, "RG_Extra"));  // asleep once is enough
    Click(f, "Restore_B");
    EXPECT_TRUE(Enabled(f, "RG_Extra"));

    // Return: No leaves everything as stored.
    Click(f, "RG_Extra1");
    env.dialogs.QueueAnswer(false);
    Click(f, "Add_B3");
    EXPECT_EQ(env.dialogs.Messages(), QStringList{"Deviceselection must be switched off, ok?"});
    EXPECT_EQ(Lines(f, "LB_Actions"), QStringList{"SendButton(on)"});
    EXPECT_TRUE(form->IsClean());
    // Yes: confirmed and saved at once, with the parent's PushMenu and the
    // menu's device selection off.
    env.dialogs.QueueAnswer(true);
    Click(f, "Add_B3");
    EXPECT_EQ(Lines(f, "LB_Actions"), (QStringList{"SendButton(on)", "PopMenu"}));
    EXPECT_FALSE(Enabled(f, "RG_Extra"));
    EXPECT_FALSE(Enabled(f, "Confirm_B"));
    EXPECT_TRUE(form->IsClean());
    EXPECT_TRUE(
        Holds(MenuFile("TV"), {"keyword=one", "procedure=SendButton(on)", "procedure=PopMenu"}))
        << MenuFile("TV");
    EXPECT_TRUE(Holds(MenuFile("TV"), {"deviceselection=off"})) << MenuFile("TV");
    EXPECT_TRUE(
        Holds(MenuFile("Main"), {"keyword=tv", "procedure=PushMenu", "procedure=SetMenu(TV)"}))
        << MenuFile("Main");
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(ActionsPageTest, EditReplacesLinesAndMarksWhatTheBuildWouldRefuse) {
    auto form = Open();
    QWidget* f = form.get();
    SelectEntry(*form, "one");
    auto* list = Find<QListWidget>(f, "LB_Actions");
    SelectLine(f, "LB_Actions", 0);
    env.dialogs.QueueWindow("EditActionForm", [](QDialog& d) {
        auto* action = Find<QLineEdit>(&d, "E_Action");
        EXPECT_EQ(action->text(), "SendButton(on)");
        EXPECT_FALSE(Find(&d, "E_bt_find")->isVisibleTo(&d));
        action->setText("sendbutton(on)");
        Click(&d, "Ok_B");
    });
    Click(f, "EditAction_B");
    // Kept as typed, marked with the build's message.
    EXPECT_EQ(list->item(0)->text(), "sendbutton(on)");
    EXPECT_FALSE(list->item(0)->icon().isNull());
    EXPECT_TRUE(list->item(0)->toolTip().startsWith("invalid procedure sendbutton"))
        << list->item(0)->toolTip().toStdString();

    // A Find Name line is edited in its fields; "Manual" as text.
    Click(f, "RG_BT4");
    Find<QLineEdit>(f, "E_bt_find")->setText("Bob");
    Find<QLineEdit>(f, "E_bt_send")->setText("123");
    Click(f, "Add_B4");
    EXPECT_TRUE(list->item(1)->icon().isNull());
    env.dialogs.QueueWindow("EditActionForm", [](QDialog& d) {
        EXPECT_FALSE(Find(&d, "E_Action")->isVisibleTo(&d));
        auto* name = Find<QLineEdit>(&d, "E_bt_find");
        EXPECT_EQ(name->text(), "Bob");
        EXPECT_EQ(Find<QLineEdit>(&d, "E_bt_send")->text(), "123");
        name->setText("");
        QTest::keyClicks(name, "A,l");  // "," is refused
        Click(&d, "Ok_B");
    });
    Click(f, "EditAction_B");
    EXPECT_EQ(list->item(1)->text(), "FindBtTelephoneNumber(2,A,l" + QString(", ").repeated(22) +
                                         ",3,1,2,3" + QString(", ").repeated(17) + ")");
    env.dialogs.QueueWindow("EditActionForm", [](QDialog& d) {
        Find<QCheckBox>(&d, "CB_manual")->setChecked(true);
        auto* action = Find<QLineEdit>(&d, "E_Action");
        EXPECT_TRUE(action->isVisibleTo(&d));
        EXPECT_TRUE(action->text().startsWith("FindBtTelephoneNumber(2,A,l,"));
        action->setText("FindBtTelephoneNumber(9)");
        Click(&d, "Ok_B");
    });
    Click(f, "EditAction_B");
    EXPECT_EQ(list->item(1)->text(), "FindBtTelephoneNumber(9)");
    EXPECT_TRUE(list->item(1)->toolTip().contains("too few arguments"));

    // A link line opens Link BT filled from it; its answer replaces the line.
    Click(f, "RG_BT2");
    env.dialogs.QueueWindowResult("LinkBTForm", LinkBtResultFor("Phone", false));
    Click(f, "Add_B4");
    env.dialogs.QueueWindow("LinkBTForm", [](QDialog& d) {
        EXPECT_TRUE(Find<QAbstractButton>(&d, "RG10")->isChecked());
        EXPECT_TRUE(Find<QAbstractButton>(&d, "RG20")->isChecked());
        EXPECT_EQ(Find<QLineEdit>(&d, "E_bt_name")->text(), "Phone");
        Click(&d, "RG21");
        Click(&d, "B_ok");
    });
    Click(f, "EditAction_B");
    EXPECT_EQ(list->item(2)->text(), QString::fromStdString(LinkBtResultFor("Phone", true).line));
    // Cancelled: nothing changes.
    env.dialogs.QueueWindow("LinkBTForm", [](QDialog& d) { Click(&d, "B_cancel"); });
    Click(f, "EditAction_B");
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QString::fromStdString(LinkBtResultFor("Phone", true).line));

    // The hidden tool button opens the RF file writer.
    env.dialogs.QueueWindowResult("CreateRFForm", CreatedRfFiles{});
    Find<QAction>(f, "ToolButton3")->trigger();

    // Nothing is refused: confirmed as shown.
    Click(f, "Confirm_B");
    EXPECT_TRUE(Holds(MenuFile("TV"), {"keyword=one", "procedure=sendbutton(on)"}));
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(ActionsPageTest, DirectKeysKeepTheirFrameAndDeactivateWithTheGauge) {
    AddDevicesAndDirectKey();
    auto form = Open();
    QWidget* f = form.get();
    form->SetDirectKeysShown(true);
    Find<QTabWidget>(f, "PC_Config")->setCurrentWidget(Find(f, "TS_DKeys"));
    auto gauge = [&] { return Find<QLabel>(f, "StatusPanel2")->text(); };
    const QString before = gauge();

    // An inactive key: nothing to choose from.
    EXPECT_FALSE(Find<QCheckBox>(f, "CB_Active")->isChecked());
    EXPECT_FALSE(Enabled(f, "RG_DKeySignals"));
    EXPECT_FALSE(Enabled(f, "DKeyAdd_B"));
    // Key 2 as stored; no item chosen, no input shown.
    Pick(f, "CB_DKeys", "Direct Key 2");
    EXPECT_TRUE(Find<QCheckBox>(f, "CB_Active")->isChecked());
    EXPECT_TRUE(Enabled(f, "RG_DKeySignals"));
    EXPECT_FALSE(Enabled(f, "DKeyAdd_B"));
    EXPECT_FALSE(Find(f, "CB_DKeyButtons1")->isVisibleTo(f));
    EXPECT_EQ(Lines(f, "LB_DKey_Actions"),
              (QStringList{"PushDevice", "SendButton(on)", "PopDevice"}));

    // The frame stays: its lines are neither deleted, moved nor inserted before.
    for (int row : {0, 2}) {
        SelectLine(f, "LB_DKey_Actions", row);
        EXPECT_FALSE(Enabled(f, "DKeyDelete_B") || Enabled(f, "SpinButton2Up") ||
                     Enabled(f, "SpinButton2Down"))
            << row;
    }
    // A device switch goes before the send; "PopDevice" switches back.
    Click(f, "RG_DKeySignals0");
    EXPECT_FALSE(Enabled(f, "DKeyInsert_B"));  // still on the frame
    Pick(f, "CB_DKeyDevices", "radio");
    Pick(f, "CB_DKeyButtons1", "ok");
    Click(f, "DKeyAdd_B");
    EXPECT_EQ(Lines(f, "LB_DKey_Actions"),
              (QStringList{"PushDevice", "SendButton(on)", "SetDevice(radio)", "SendButton(ok)",
                           "PopDevice"}));
    SelectLine(f, "LB_DKey_Actions", 1);
    EXPECT_FALSE(Enabled(f, "SpinButton2Up"));  // it would pass the frame
    Click(f, "DKeyDelete_B");
    EXPECT_EQ(Find<QListWidget>(f, "LB_DKey_Actions")->currentRow(), 1);  // the next line
    Click(f, "RestoreDKey_B");
    EXPECT_EQ(Lines(f, "LB_DKey_Actions"),
              (QStringList{"PushDevice", "SendButton(on)", "PopDevice"}));
    EXPECT_TRUE(form->IsClean());
    EXPECT_TRUE(Enabled(f, "CB_DKeys"));

    // Ticking back to the stored state leaves nothing pending.
    Click(f, "CB_Active");
    EXPECT_TRUE(Enabled(f, "ConfirmDKey_B"));
    EXPECT_FALSE(Enabled(f, "RG_DKeySignals"));
    Click(f, "CB_Active");
    EXPECT_FALSE(Enabled(f, "ConfirmDKey_B"));
    EXPECT_TRUE(form->IsClean());

    // Deactivated and confirmed: gone from both files and the structure
    // list, one keyword less; the menu tree keeps its selection.
    SelectEntry(*form, "display");
    Click(f, "CB_Active");
    Click(f, "ConfirmDKey_B");
    EXPECT_TRUE(Lines(f, "LB_DKey_Actions").isEmpty());
    EXPECT_EQ(MenuFile("Main").find("dkey_2"), std::string::npos) << MenuFile("Main");
    EXPECT_EQ(project.ReadProjectFile("KEYWORDS.TXT").find("dkey_2"), std::string::npos);
    EXPECT_EQ(Find<QTreeWidget>(f, "TV_DKeys")->topLevelItemCount(), 0);
    EXPECT_EQ(Find<QTreeWidget>(f, "TV_Project")->currentItem()->text(0), "display");
    EXPECT_EQ(gauge().split(' ')[0].toInt(), before.split(' ')[0].toInt() - 1)
        << gauge().toStdString();
    EXPECT_TRUE(env.dialogs.Log().empty());
}

TEST_F(ActionsPageTest, SoloProjectShowsActionsWithoutComposing) {
    project.File("P.txt", {"descriptor=Test", "language=English", "item=A"});
    auto form = Open();
    QWidget* f = form.get();
    SelectEntry(*form, "one");
    EXPECT_EQ(Lines(f, "LB_Actions"), QStringList{"SendButton(on)"});
    for (const char* group : {"RG_Signals", "RG_Number", "RG_Extra", "RG_BT"})
        EXPECT_FALSE(Enabled(f, group)) << group;
    SelectLine(f, "LB_Actions", 0);
    EXPECT_FALSE(Enabled(f, "EditAction_B"));
}

}  // namespace
}  // namespace orbik::editor
