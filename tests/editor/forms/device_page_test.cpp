#include "editor/forms/DevicePage.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "editor/forms/TProjectForm.h"
#include "platform/FileSystem.h"
#include "projects/NewName.h"
#include "signals/IcpLibrary.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"
#include "signals/SlotData.h"
#include "support/IrLibraryFile.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "support/TestContext.h"
#include "ui/UiText.h"

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string Block(size_t count, char fill, char repetitions = 0) {
    std::string block(count * 8 + 8, fill);
    block[0] = char(count >> 8);
    block[1] = char(count);
    block[7] = repetitions;
    return block;
}

// An unpacked code file holding `first` (and `second`) for signal 0.
std::string CodeFile(const std::string& name, const std::string& first = {},
                     const std::string& second = {}) {
    signals::SlotData data;
    data.fileHeader = name;
    data.slots[0] = first;
    data.slots[1] = second;
    std::string file;
    EXPECT_TRUE(signals::WriteUnpacked(data, &file));
    return file;
}

// A max project whose entry "television" selects item TV with device tv
// (code files --01.icp and sony.icp, the latter ticked), the template and
// both libraries.
void WriteProject(const TempDir& dir) {
    auto put = [&](const std::string& relative, const std::string& text) {
        dir.Write("Project/Max/" + relative, text);
    };
    dir.Write("Project/projectlist.INI", "[Max]\r\nname=Max\r\nchanged=01.01.2020\r\n");
    put("Max.txt", "descriptor=Max\r\nlanguage=English\r\nitem=TV\r\nitem=ExternalDisplay\r\n");
    put("keywords.txt",
        "keyword=television\r\ntype=deviceselection\r\nEnglish=television\r\n\r\n"
        "keyword=display\r\ntype=other\r\nEnglish=display\r\n\r\n"
        "keyword=next\r\ntype=other\r\nEnglish=next\r\n");
    put("Items&Menus/TV/item.txt",
        "type=other\r\nEnglish=TV\r\nkeyword=television\r\nstartoption=1\r\n"
        "option=devices=tv\r\n");
    put("Items&Menus/ExternalDisplay/item.txt", "type=display\r\nkeyword=display\r\n");
    put("Devices/tv/devlist.txt", "device=--01.icp\r\ndevice=sony.icp\r\n");
    put("Devices/tv/devvocab.txt", "");
    put("Devices/tv/--01.icp", CodeFile("first", Block(1, 'a')));
    put("Devices/tv/sony.icp", CodeFile("sony"));
    put("Items&Menus/Main/menu.txt",
        "keyword=television\r\nprocedure=SetDevice(TV)\r\n\r\nkeyword=display\r\n"
        "procedure=Nothing\r\n");
    put("Items&Menus/Sleep/menu.txt", "keyword=next\r\nprocedure=SetMenu(Main)\r\n");
    dir.Write("IR/Empty.ixp", CodeFile(""));
    dir.Write("IR_ICP/lib.icp", CodeFile("lib", Block(2, 'l')));
    dir.Write("IR_ICP/lib.txt", "[signalnames]\r\non=Lib power\r\n");
    dir.Write("IR_IR/Philips.ir",
              test::IrLibraryBytes({{"Power", Block(2, 'p')}, {"Mute", Block(1, 'm')}}));
}

class DevicePageTest : public ::testing::Test {
  protected:
    DevicePageTest() {
        WriteProject(dir);
        form = std::make_unique<TProjectForm>(env.context, "Max");
        EXPECT_TRUE(form->Load()) << qPrintable(env.dialogs.Messages().join("|"));
    }
    static settings::Settings SettingsOf(const TempDir& dir) {
        settings::Settings s;
        s.programDir = dir.Path();
        s.projectPath = "\\Project";
        s.defIr = "\\IR";
        s.irIcp = "\\IR_ICP";
        s.irIr = "\\IR_IR";
        s.projectLanguage = "English";
        s.programLanguage = "English";
        s.SetPort("COM3");  // the simulated device's, for the tests that learn
        return s;
    }
    template <class T = QWidget>
    T* Find(const char* name) {
        auto* found = form->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    QAction* Tool(const char* name) { return Find<QAction>(name); }
    QListWidget* Files() { return Find<QListWidget>("LB_IRDevices"); }
    QTreeWidget* Signals() { return Find<QTreeWidget>("LV_Signals"); }
    // The messages and questions, without the dialog windows.
    QStringList Told() const {
        QStringList texts;
        for (const auto& shown : env.dialogs.Log())
            if (shown.kind != "window") texts << shown.text;
        return texts;
    }
    QString Gauge() { return Find<QLabel>("StatusPanel3")->text(); }
    // Selects the television entry and shows the device page.
    void ShowDevicePage() {
        auto* tree = Find<QTreeWidget>("TV_Project");
        tree->setCurrentItem(tree->findItems("television", Qt::MatchExactly)[0]);
        auto* pages = Find<QTabWidget>("PC_Config");
        pages->setCurrentWidget(Find("TS_Device"));
    }
    void SelectFile(int row) { Files()->setCurrentRow(row); }
    void SelectSignal(int k) { Signals()->setCurrentItem(Signals()->topLevelItem(k)); }
    bool Enabled(const char* tool) { return Tool(tool)->isEnabled(); }
    fs::path Work() const { return dir / "Project/Max/Devices/temp"; }
    fs::path DeviceDir() const { return dir / "Project/Max/Devices/tv"; }
    // Answers the new-name prompt with `name`.
    void QueueNewName(const QString& name) {
        env.dialogs.QueueWindow("NewNameForm", [name](QDialog& d) {
            d.findChild<QLineEdit*>("E_NewName")->setText(name);
            d.findChild<QPushButton*>("Ok_B")->click();
        });
    }
    // New IR Device "Philips" and Signal 0 from the library.
    void NewFile() {
        QueueNewName("Philips");
        Tool("TB_NewDev")->trigger();
    }

    TempDir dir;
    settings::Settings settings = SettingsOf(dir);
    test::TestContext env{settings};
    std::unique_ptr<TProjectForm> form;
};

TEST_F(DevicePageTest, ShowingCopiesTheFilesAndEnablesChangesOnlyForLaterOnes) {
    ShowDevicePage();
    ASSERT_EQ(Files()->count(), 2);
    EXPECT_EQ(Files()->item(1)->checkState(), Qt::Checked);
    EXPECT_FALSE(Files()->item(0)->flags() & Qt::ItemIsEnabled);  // one ticked: others locked
    EXPECT_TRUE(platform::FileExists(Work() / "sony.icp"));
    EXPECT_TRUE(platform::FileExists(Work() / "sony.txt"));  // written as 51 "<not used>"
    EXPECT_EQ(Files()->currentRow(), 1);
    for (const char* tool : {"TB_CopyDev", "TB_DelDev", "TB_EditDev", "TB_NewDev", "TB_AddDev"})
        EXPECT_TRUE(Enabled(tool)) << tool;
    EXPECT_FALSE(Enabled("TB_SaveDev"));
    SelectFile(0);  // --01.icp is never copied, deleted or edited
    for (const char* tool : {"TB_CopyDev", "TB_DelDev", "TB_EditDev"})
        EXPECT_FALSE(Enabled(tool)) << tool;
    ASSERT_EQ(Signals()->topLevelItemCount(), 51);
    EXPECT_EQ(Signals()->topLevelItem(0)->text(0), "on");
    EXPECT_EQ(Signals()->topLevelItem(0)->text(1), "<in use>");
    EXPECT_EQ(Signals()->topLevelItem(0)->text(2), "n.a.");
    EXPECT_EQ(Signals()->topLevelItem(1)->text(1), "<not used>");
    for (const char* tool : {"TB_ScanSig", "TB_AddSig", "TB_EditSig", "TB_DelSig"})
        EXPECT_FALSE(Enabled(tool)) << tool;

    // Unticking frees the other entries and is a change to save.
    Files()->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(Files()->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(Enabled("TB_SaveDev"));
    EXPECT_FALSE(form->IsClean());
    EXPECT_FALSE(env.mainWindow.createFileEnabled);
}

TEST_F(DevicePageTest, ASingleCodeFileIsNeverCopiedDeletedOrEdited) {
    dir.Write("Project/Max/Devices/tv/devlist.txt", "device=sony.icp\r\n");
    form = std::make_unique<TProjectForm>(env.context, "Max");
    ASSERT_TRUE(form->Load());
    ShowDevicePage();
    ASSERT_EQ(Files()->count(), 1);
    for (const char* tool : {"TB_CopyDev", "TB_DelDev", "TB_EditDev"})
        EXPECT_FALSE(Enabled(tool)) << tool;
}

TEST_F(DevicePageTest, NewIrDeviceStartsEmptyAtTheHeaderSizeAndSavesPacked) {
    ShowDevicePage();
    QueueNewName("sony");  // taken, also in another case: asked again
    QueueNewName("Philips");
    Tool("TB_NewDev")->trigger();
    EXPECT_EQ(env.dialogs.Messages().filter("Filename already exists").size(), 1);
    ASSERT_EQ(Files()->count(), 3);
    EXPECT_EQ(Files()->item(2)->text(), "Philips.ixp");
    EXPECT_EQ(Files()->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(Files()->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Gauge(), "215 of 65320 Bytes used");
    EXPECT_EQ(platform::RegularFileSize(Work() / "Philips.ixp"), 215u);
    EXPECT_FALSE(Files()->isEnabled());
    EXPECT_FALSE(Find("TV_Project")->isEnabled());
    for (const char* tool : {"TB_NewDev", "TB_AddDev", "TB_CopyDev", "TB_DelDev", "TB_EditDev"})
        EXPECT_FALSE(Enabled(tool)) << tool;
    EXPECT_TRUE(Enabled("TB_SaveDev"));
    EXPECT_FALSE(env.mainWindow.createFileEnabled);

    // A library signal for "off", then Save Changes.
    SelectSignal(1);
    EXPECT_TRUE(Enabled("TB_AddSig"));
    EXPECT_FALSE(Enabled("TB_DelSig"));
    env.dialogs.QueueWindow("IRFilesForm", [](QDialog& d) {
        auto* list = d.findChild<QListWidget*>("LB_Signals");
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Return);
    });
    Tool("TB_AddSig")->trigger();
    EXPECT_EQ(Signals()->topLevelItem(1)->text(1), "Power");
    EXPECT_EQ(Signals()->topLevelItem(1)->text(2), "24");
    EXPECT_EQ(Gauge(), "239 of 65320 Bytes used");
    EXPECT_TRUE(Enabled("TB_DelSig"));

    Tool("TB_SaveDev")->trigger();
    EXPECT_TRUE(form->IsClean());
    EXPECT_EQ(Files()->item(2)->text(), "Philips.icp");
    EXPECT_TRUE(Files()->isEnabled());
    EXPECT_EQ(Gauge(), "");
    EXPECT_EQ(dir.Read("Project/Max/Devices/tv/devlist.txt"),
              "device=--01.icp\r\ndevice=sony.icp\r\ndevice=Philips.icp\r\n");
    EXPECT_NE(dir.Read("Project/Max/Items&Menus/TV/item.txt").find("startoption=2"),
              std::string::npos);
    std::string packed = dir.Read("Project/Max/Devices/tv/Philips.icp"), unpacked;
    ASSERT_TRUE(signals::UnpackIcp(packed, &unpacked));
    signals::SlotData back;
    ASSERT_TRUE(signals::ReadSlotData(unpacked, &back));
    EXPECT_EQ(back.fileHeader, "Philips   ");
    EXPECT_EQ(back.slots[2], Block(2, 'p'));
    EXPECT_EQ(back.slots[3], Block(2, 'p'));  // the second slot shares the first
    EXPECT_EQ(signals::ReadSignalNames(DeviceDir() / "Philips.txt")[1], "Power");
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(DevicePageTest, DeleteAsksThenTheDeviceFolderChangesOnlyOnSave) {
    ShowDevicePage();
    env.dialogs.QueueAnswer(false);
    Tool("TB_DelDev")->trigger();
    EXPECT_EQ(Files()->count(), 2);
    EXPECT_TRUE(form->IsClean());
    env.dialogs.QueueAnswer(true);
    Tool("TB_DelDev")->trigger();
    EXPECT_EQ(env.dialogs.Messages(), (QStringList{"Delete IR Device?", "Delete IR Device?"}));
    ASSERT_EQ(Files()->count(), 1);
    EXPECT_EQ(Files()->currentRow(), 0);
    EXPECT_TRUE(Files()->item(0)->flags() & Qt::ItemIsEnabled);  // the ticked one went
    EXPECT_FALSE(platform::FileExists(Work() / "sony.icp"));
    EXPECT_TRUE(platform::FileExists(DeviceDir() / "sony.icp"));
    EXPECT_FALSE(form->IsClean());
    EXPECT_FALSE(Enabled("TB_DelDev"));
    Tool("TB_SaveDev")->trigger();
    EXPECT_FALSE(platform::FileExists(DeviceDir() / "sony.icp"));
    EXPECT_EQ(dir.Read("Project/Max/Devices/tv/devlist.txt"), "device=--01.icp\r\n");
    EXPECT_EQ(form->Model().items[0].startOption, -1);
    EXPECT_EQ(form->Model().items[0].maxOption, 0);
}

TEST_F(DevicePageTest, LeavingThePageWithoutSavingDropsTheWorkingCopies) {
    ShowDevicePage();
    SelectFile(1);
    Tool("TB_EditDev")->trigger();
    EXPECT_EQ(Files()->item(1)->text(), "sony.ixp");
    EXPECT_EQ(Gauge(), "215 of 65320 Bytes used");
    env.dialogs.QueueAnswer(false);  // "Save Changes?"
    Find<QTabWidget>("PC_Config")->setCurrentWidget(Find("TS_Configure"));
    EXPECT_TRUE(form->IsClean());
    EXPECT_TRUE(fs::is_empty(Work()));
    EXPECT_EQ(dir.Read("Project/Max/Devices/tv/sony.icp"), CodeFile("sony"));
    EXPECT_TRUE(Find("TV_Project")->isEnabled());
}

TEST_F(DevicePageTest, EditSignalSetsTheRepetitionsOfBothSlotsAndTheName) {
    dir.Write("Project/Max/Devices/tv/sony.icp", CodeFile("sony", Block(1, 'a'), Block(2, 'b')));
    ShowDevicePage();
    Tool("TB_EditDev")->trigger();
    SelectSignal(0);
    EXPECT_EQ(Signals()->topLevelItem(0)->text(2), "16 / 24");
    env.dialogs.QueueWindow("EditSignalForm", [](QDialog& d) {
        EXPECT_EQ(d.findChild<QSpinBox*>("E_Rep")->value(), 0);
        d.findChild<QLineEdit*>("E_Signalname")->setText("Power");
        auto* repetitions = d.findChild<QSpinBox*>("E_Rep");
        repetitions->setValue(99);
        QTest::keyClick(repetitions, Qt::Key_Return);
    });
    Tool("TB_EditSig")->trigger();
    EXPECT_EQ(Signals()->topLevelItem(0)->text(1), "Power");
    env.dialogs.QueueWindow("EditSignalForm", [](QDialog& d) {
        EXPECT_EQ(d.findChild<QSpinBox*>("E_Rep")->value(), 99);
        d.findChild<QSpinBox*>("E_Rep")->setValue(3);
        d.findChild<QPushButton*>("Cancel_B")->click();  // changes nothing
    });
    Tool("TB_EditSig")->trigger();
    Tool("TB_SaveDev")->trigger();
    std::string unpacked;
    ASSERT_TRUE(signals::UnpackIcp(dir.Read("Project/Max/Devices/tv/sony.icp"), &unpacked));
    signals::SlotData back;
    ASSERT_TRUE(signals::ReadSlotData(unpacked, &back));
    EXPECT_EQ(back.slots[0], Block(1, 'a', 99));
    EXPECT_EQ(back.slots[1], Block(2, 'b', 99));
    EXPECT_EQ(signals::ReadSignalNames(DeviceDir() / "sony.txt")[0], "Power");

    Tool("TB_EditDev")->trigger();
    SelectSignal(0);
    Tool("TB_DelSig")->trigger();  // and gone again: the gauge follows
    EXPECT_EQ(Gauge(), "215 of 65320 Bytes used");
    EXPECT_FALSE(Enabled("TB_DelSig"));
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(DevicePageTest, ToggleSignalsFromTheLibraryNeedAFirstSignal) {
    dir.Write("Project/Max/Devices/tv/sony.icp", CodeFile("sony", Block(1, 'a')));
    ShowDevicePage();
    Tool("TB_EditDev")->trigger();
    for (int k : {1, 0}) {
        SelectSignal(k);
        env.dialogs.QueueWindow("IRFilesForm", [k](QDialog& d) {
            auto* toggle = d.findChild<QCheckBox*>("CB_Toggle");
            EXPECT_EQ(toggle->isEnabled(), k == 0);
            auto* list = d.findChild<QListWidget*>("LB_Signals");
            ASSERT_EQ(list->count(), 2);
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Space);
            EXPECT_EQ(toggle->isChecked(), k == 0);
            Q_EMIT list->itemDoubleClicked(list->item(1));
        });
        Tool("TB_AddSig")->trigger();
    }
    EXPECT_EQ(Signals()->topLevelItem(1)->text(1), "Mute");
    EXPECT_EQ(Signals()->topLevelItem(0)->text(1), "<not used> / Mute");
    EXPECT_EQ(Signals()->topLevelItem(0)->text(2), "16 / 16");
    EXPECT_EQ(Gauge(), "263 of 65320 Bytes used");
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(DevicePageTest, AddTakesALibraryFileOnceAndCopyNeverReplaces) {
    ShowDevicePage();
    env.dialogs.QueueWindow("ICPFilesForm", [](QDialog& d) {
        auto* list = d.findChild<QListWidget*>("LB_ICPFiles");
        ASSERT_EQ(list->count(), 1);
        EXPECT_FALSE(d.findChild<QPushButton*>("Add_B")->isEnabled());
        list->setCurrentRow(0);
        d.findChild<QPushButton*>("Add_B")->click();
    });
    Tool("TB_AddDev")->trigger();
    ASSERT_EQ(Files()->count(), 3);
    EXPECT_EQ(Files()->item(2)->text(), "lib.icp");
    EXPECT_TRUE(platform::FileExists(Work() / "lib.txt"));
    EXPECT_TRUE(Enabled("TB_SaveDev"));
    // Copy IR Device: lib.icp is in the library already; sony.icp is not.
    SelectFile(2);
    Tool("TB_CopyDev")->trigger();
    SelectFile(1);
    Tool("TB_CopyDev")->trigger();
    EXPECT_EQ(Told(), (QStringList{"File already exists!", "File successfully copied!"}));
    EXPECT_EQ(dir.Read("IR_ICP/lib.icp"), CodeFile("lib", Block(2, 'l')));
    EXPECT_TRUE(platform::FileExists(dir / "IR_ICP/sony.icp"));
}

TEST_F(DevicePageTest, BrowseBringsAFileIntoTheLibraryOnce) {
    ShowDevicePage();
    fs::path outside = dir.Write("elsewhere/New.ICP", CodeFile("New"));
    dir.Write("elsewhere/New.txt", "[signalnames]\r\n");
    for (int i = 0; i < 2; ++i) env.dialogs.QueueFileName(ui::QStringFromPath(outside));
    env.dialogs.QueueWindow("ICPFilesForm", [](QDialog& d) {
        d.findChild<QPushButton*>("Browse_B")->click();
        EXPECT_EQ(d.findChild<QListWidget*>("LB_ICPFiles")->currentItem()->text(), "New.ICP");
        d.findChild<QPushButton*>("Browse_B")->click();
        d.findChild<QPushButton*>("Cancel_B")->click();
    });
    Tool("TB_AddDev")->trigger();
    EXPECT_EQ(Told(), (QStringList{"ICP File (*.ICP *.icp)", "ICP File (*.ICP *.icp)",
                                   "File already exists!"}));
    EXPECT_EQ(dir.Read("IR_ICP/New.txt"), "[signalnames]\r\n");
}

TEST_F(DevicePageTest, TheLibraryDialogRenamesWithinItsRules) {
    ShowDevicePage();
    dir.Write("IR_ICP/tv.icp", CodeFile("tv"));
    env.dialogs.QueueWindow("ICPFilesForm", [this](QDialog& d) {
        auto* list = d.findChild<QListWidget*>("LB_ICPFiles");
        auto* name = d.findChild<QLineEdit*>("E_newname");
        auto* ok = d.findChild<QPushButton*>("Ok_B");
        list->setCurrentRow(0);  // lib.icp
        d.findChild<QPushButton*>("Rename_B")->click();
        EXPECT_FALSE(list->isEnabled());
        EXPECT_EQ(ok->text(), "Rename File");
        name->setText("tv");  // a row: not offered
        EXPECT_FALSE(ok->isEnabled());
        name->setText("TV");  // offered, but the file exists in another case
        ASSERT_TRUE(ok->isEnabled());
        QTest::keyClick(name, Qt::Key_Return);
        name->setText("a.icp");
        ok->click();
        name->setText("../up");
        ok->click();
        name->setText("Library");
        ok->click();
        EXPECT_TRUE(list->isEnabled());
        EXPECT_EQ(list->currentItem()->text(), "Library.icp");
        env.dialogs.QueueAnswer(true);
        d.findChild<QPushButton*>("Delete_B")->click();
        EXPECT_EQ(list->count(), 1);
        d.findChild<QPushButton*>("Cancel_B")->click();
    });
    Tool("TB_AddDev")->trigger();
    EXPECT_EQ(Told(), (QStringList{"File already exists!", "Please use Filename without extension!",
                                   QString::fromStdString(projects::NotAllowedText()),
                                   "Delete ICP File?"}));
    EXPECT_EQ(signals::ListCodeFiles(dir / "IR_ICP"), std::vector<std::string>{"tv.icp"});
    EXPECT_FALSE(platform::FileExists(dir / "up.icp"));
    EXPECT_EQ(Files()->count(), 2);  // cancelled: nothing added
    EXPECT_TRUE(form->IsClean());
}

TEST_F(DevicePageTest, ADeviceNamedTempMakesThePageReadOnlyAndIsNeverEmptied) {
    auto put = [&](const std::string& relative, const std::string& text) {
        dir.Write("Project/Max/" + relative, text);
    };
    put("Max.txt",
        "descriptor=Max\r\nlanguage=English\r\nitem=TV\r\nitem=Radio\r\n"
        "item=ExternalDisplay\r\n");
    put("keywords.txt",
        "keyword=television\r\ntype=deviceselection\r\nEnglish=television\r\n\r\n"
        "keyword=radio\r\ntype=deviceselection\r\nEnglish=radio\r\n\r\n"
        "keyword=display\r\ntype=other\r\nEnglish=display\r\n\r\n"
        "keyword=next\r\ntype=other\r\nEnglish=next\r\n");
    put("Items&Menus/Radio/item.txt",
        "type=other\r\nEnglish=Radio\r\nkeyword=radio\r\noption=devices=temp\r\n");
    put("Items&Menus/Main/menu.txt",
        "keyword=television\r\nprocedure=SetDevice(TV)\r\n\r\nkeyword=radio\r\n"
        "procedure=SetDevice(Radio)\r\n\r\nkeyword=display\r\nprocedure=Nothing\r\n");
    put("Devices/temp/devlist.txt", "device=--01.icp\r\n");
    put("Devices/temp/devvocab.txt", "");
    put("Devices/temp/--01.icp", CodeFile("first", Block(1, 'a')));
    form = std::make_unique<TProjectForm>(env.context, "Max");
    ASSERT_TRUE(form->Load());

    // Another device of the project is shown from its own folder, unchanged.
    ShowDevicePage();
    EXPECT_FALSE(Find("L_ReadOnly")->isHidden());
    ASSERT_EQ(Files()->count(), 2);
    EXPECT_FALSE(platform::FileExists(Work() / "sony.icp"));
    EXPECT_FALSE(platform::FileExists(DeviceDir() / "sony.txt"));
    for (const char* tool : {"TB_NewDev", "TB_AddDev", "TB_SaveDev", "TB_EditDev", "TB_DelDev"})
        EXPECT_FALSE(Enabled(tool)) << tool;
    QTest::keyClick(Files(), Qt::Key_Delete);
    EXPECT_TRUE(platform::FileExists(DeviceDir() / "sony.icp"));

    auto* tree = Find<QTreeWidget>("TV_Project");
    tree->setCurrentItem(tree->findItems("radio", Qt::MatchExactly)[0]);
    ASSERT_EQ(Files()->count(), 1);
    EXPECT_EQ(Signals()->topLevelItem(0)->text(1), "<in use>");
    Find<QTabWidget>("PC_Config")->setCurrentWidget(Find("TS_Configure"));
    form->close();
    EXPECT_TRUE(platform::FileExists(Work() / "--01.icp"));
    EXPECT_TRUE(platform::FileExists(Work() / "devlist.txt"));
    EXPECT_TRUE(form->IsClean());
}

// Learning through the simulated device, from the page's Scan/Test Signal.
class LearningTest : public DevicePageTest {
  protected:
    // Edits sony.icp, whose signal 0 holds `first` and `second`, and selects
    // signal `k`.
    void EditSony(const std::string& first, const std::string& second, int k = 0) {
        dir.Write("Project/Max/Devices/tv/sony.icp", CodeFile("sony", first, second));
        ShowDevicePage();
        Tool("TB_EditDev")->trigger();
        SelectSignal(k);
    }
    // Runs the learning dialog with `act`.
    void Scan(std::function<void(QDialog&)> act) {
        env.dialogs.QueueWindow("ScanIRForm", std::move(act));
        Tool("TB_ScanSig")->trigger();
        EXPECT_TRUE(env.dialogs.AllAnswersUsed());
    }
    static QPushButton* Button(QDialog& d, const char* name) {
        return d.findChild<QPushButton*>(name);
    }
};

TEST_F(LearningTest, ASignalLearnedOnlyFirstFillsBothSlotsAndIsCountedOnce) {
    test::SimulatedDeviceOptions options;
    options.learnedSignal = Block(3, 'L');
    test::SimulatedDevice device(options);
    EditSony({}, {});
    Scan([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("E_Signalname")->text(), "on");  // the button's name
        EXPECT_FALSE(Button(d, "TestSignal_B")->isEnabled());
        EXPECT_FALSE(d.findChild<QRadioButton*>("RB_Sig2")->isEnabled());
        auto* name = d.findChild<QLineEdit*>("E_Signalname");
        QTest::keyClick(name, Qt::Key_Return);  // Scan Signal
        EXPECT_TRUE(Button(d, "TestSignal_B")->isEnabled());
        EXPECT_TRUE(Button(d, "SaveSig_B")->isEnabled());
        EXPECT_TRUE(d.findChild<QCheckBox*>("CB_KeepSig2")->isHidden());  // no second signal
        QTest::keyClick(name, Qt::Key_Return);  // Send Signal: plays what the device holds
        QTest::keyClick(name, Qt::Key_Return, Qt::ControlModifier);  // Save Signal
        EXPECT_FALSE(Button(d, "SaveSig_B")->isEnabled());
        EXPECT_FALSE(Button(d, "TestSignal_B")->isEnabled());
        EXPECT_TRUE(d.findChild<QRadioButton*>("RB_Sig2")->isEnabled());
        EXPECT_FALSE(d.findChild<QLabel*>("Image1")->isHidden());
        EXPECT_TRUE(d.findChild<QLabel*>("Label2")->isHidden());
        Button(d, "SignalOk_B")->click();
    });
    EXPECT_EQ(Signals()->topLevelItem(0)->text(1), "on");
    EXPECT_EQ(Signals()->topLevelItem(0)->text(2), "32");
    EXPECT_EQ(Gauge(), "247 of 65320 Bytes used");
    EXPECT_NE(device.Stop().find("plays=1 "), std::string::npos);

    // Saved, both slots of the button carry the block.
    Tool("TB_SaveDev")->trigger();
    std::string unpacked;
    ASSERT_TRUE(signals::UnpackIcp(dir.Read("Project/Max/Devices/tv/sony.icp"), &unpacked));
    signals::SlotData back;
    ASSERT_TRUE(signals::ReadSlotData(unpacked, &back));
    EXPECT_EQ(back.slots[0], Block(3, 'L'));
    EXPECT_EQ(back.slots[1], Block(3, 'L'));
}

TEST_F(LearningTest, LearningTheFirstAgainDropsTheSecondUnlessKept) {
    test::SimulatedDeviceOptions options;
    options.learnedSignal = Block(1, 'L');
    test::SimulatedDevice device(options);
    EditSony(Block(2, 'a'), Block(4, 'b'));
    EXPECT_EQ(Gauge(), "279 of 65320 Bytes used");
    // Send Signal before learning plays the stored first signal, written whole.
    Scan([](QDialog& d) {
        Button(d, "TestSignal_B")->click();
        Button(d, "CloseScan_B")->click();
    });
    device.Save();
    EXPECT_EQ(device.SignalMemory().substr(0, 24), Block(2, 'a'));
    for (bool keep : {true, false}) {
        Scan([keep](QDialog& d) {
            EXPECT_TRUE(d.findChild<QRadioButton*>("RB_Sig1")->isChecked());
            EXPECT_TRUE(d.findChild<QRadioButton*>("RB_Sig2")->isEnabled());
            EXPECT_TRUE(Button(d, "TestSignal_B")->isEnabled());  // Signal 1 can be sent
            Button(d, "Scan_B")->click();
            auto* keepBox = d.findChild<QCheckBox*>("CB_KeepSig2");
            EXPECT_FALSE(keepBox->isHidden());
            keepBox->setChecked(keep);
            Button(d, "SaveSig_B")->click();
            EXPECT_EQ(d.findChild<QLabel*>("Image2")->isHidden(), !keep);
            Button(d, "SignalOk_B")->click();
        });
        // Kept: 16 + 40; dropped: the learned block once, in both slots.
        EXPECT_EQ(Gauge(), keep ? "271 of 65320 Bytes used" : "231 of 65320 Bytes used");
        EXPECT_EQ(Signals()->topLevelItem(0)->text(2), keep ? "16 / 40" : "16");
    }
}

TEST_F(LearningTest, AFailedLearnIsToldAndLeavesNothingToSave) {
    test::SimulatedDeviceOptions options;
    options.args = {"--learn-status", "1"};
    test::SimulatedDevice device(options);
    EditSony({}, {});
    Scan([](QDialog& d) {
        Button(d, "Scan_B")->click();
        EXPECT_EQ(d.findChild<QLabel*>("Label1")->text(), "Signal too long!");
        EXPECT_TRUE(Button(d, "Scan_B")->isEnabled());
        EXPECT_FALSE(Button(d, "SaveSig_B")->isEnabled());
        QTest::keyClick(d.findChild<QLineEdit*>("E_Signalname"), Qt::Key_Return,
                        Qt::ControlModifier);  // nothing to save
        EXPECT_FALSE(Button(d, "SignalOk_B")->isEnabled());
        Button(d, "CloseScan_B")->click();
    });
    EXPECT_EQ(Signals()->topLevelItem(0)->text(2), "n.a.");
    EXPECT_EQ(Gauge(), "215 of 65320 Bytes used");
}

TEST_F(LearningTest, ASignalPassingTheMemoryIsRefused) {
    test::SimulatedDeviceOptions options;
    options.learnedSignal = Block(1, 'L');  // 16 bytes
    test::SimulatedDevice device(options);
    // 215 + 65096 in signal 1: 9 bytes left.
    signals::SlotData file;
    file.slots[2] = Block(8136, 'x');
    std::string bytes;
    ASSERT_TRUE(signals::WriteUnpacked(file, &bytes));
    dir.Write("Project/Max/Devices/tv/sony.icp", bytes);
    ShowDevicePage();
    Tool("TB_EditDev")->trigger();
    SelectSignal(0);
    EXPECT_EQ(Gauge(), "65311 of 65320 Bytes used");
    Scan([](QDialog& d) {
        Button(d, "Scan_B")->click();
        Button(d, "SaveSig_B")->click();
        EXPECT_FALSE(d.findChild<QLabel*>("Label2")->isHidden());
        EXPECT_FALSE(Button(d, "SignalOk_B")->isEnabled());
        Button(d, "CloseScan_B")->click();
    });
    EXPECT_EQ(Gauge(), "65311 of 65320 Bytes used");
}

}  // namespace
}  // namespace orbik::editor
