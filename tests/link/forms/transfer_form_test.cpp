#include "link/forms/TTransferForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>
#include <sstream>

#include "app/forms/TMainForm.h"
#include "support/Captions.h"
#include "support/FakeProjectWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "support/TestContext.h"
#include "support/TransferFiles.h"
#include "ui/UiText.h"

namespace orbik::link {
namespace {

using test::Frames;
using test::Pattern;
using test::SimulatedDevice;
using test::SimulatedDeviceOptions;
using test::TempDir;

constexpr uint32_t kConfigBase = SimulatedDevice::kConfigBase;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The dialog on an open, identified connection, as a main window command
// prepares it.
struct Transfer {
    Transfer(const SimulatedDevice& sim, Operation operation, const std::filesystem::path& file,
             const std::filesystem::path& programDir = "/nonexistent",
             const std::string& language = "English")
        : env(Settings(sim.PortName(), programDir, language)), form(env.context) {
        link.InitRequests();
        link.OpenPort();
        link.Identify();
        form.Job.operation = operation;
        form.Job.fileName = file;
        form.Prepare();
    }
    ~Transfer() { link.ClosePort(); }

    static settings::Settings Settings(const std::string& portName,
                                       const std::filesystem::path& programDir,
                                       const std::string& language) {
        settings::Settings s;
        s.SetPort(portName);
        s.programDir = programDir;
        s.programLanguage = language;
        return s;
    }

    template <class T>
    T* Find(const char* name) {
        auto* found = form.findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    QString Status() { return Find<QLabel>("Label1")->text(); }
    QPushButton* Start() { return Find<QPushButton>("StartTransfer_B"); }
    QPushButton* Stop() { return Find<QPushButton>("StopTransfer_B"); }

    test::TestContext env;
    std::vector<std::string>& messages = env.messages;
    test::ScriptedDialogs& dialogs = env.dialogs;
    DeviceLink& link = env.link;
    TTransferForm form;
};

TEST(TransferForm, SendsAConfigurationAskingToKeepTheVoice) {
    SimulatedDeviceOptions options;
    std::string memory(SimulatedDevice::kMemorySize, char(0xFF));
    memory.replace(0x80000, 16, Pattern(16, 3));
    options.initialMemory = memory;
    SimulatedDevice sim(options);
    TempDir dir;
    Transfer t(sim, Operation::TransCim, dir.Write("a.cim", Pattern(200)));
    EXPECT_EQ(t.form.windowTitle(), "Data Transfer");
    EXPECT_EQ(t.Find<QLabel>("L_ID")->text(), "ORBIK duo/max found");
    EXPECT_FALSE(t.Find<QCheckBox>("CB_KeepVoice")->isHidden());
    EXPECT_TRUE(t.Find<QPushButton>("Retry_B")->isHidden());
    EXPECT_EQ(test::Caption(t.Stop()->text()), "Close");
    ASSERT_TRUE(t.Start()->isEnabled());

    t.dialogs.QueueAnswer(true);
    t.Start()->click();
    ASSERT_EQ(t.dialogs.Log().size(), 1u);
    EXPECT_EQ(t.dialogs.Log()[0].text, "Do you want to keep stored voice?");
    EXPECT_TRUE(t.Find<QCheckBox>("CB_KeepVoice")->isChecked());
    EXPECT_EQ(t.Status(), "Transfer Complete");
    EXPECT_EQ(t.Find<QProgressBar>("ProgressBar")->value(), 64);
    EXPECT_EQ(test::Caption(t.Stop()->text()), "Close");
    EXPECT_TRUE(t.Stop()->isEnabled());
    EXPECT_FALSE(t.Start()->isEnabled());
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 256), Pattern(200) + std::string(56, char(0xFF)));
    EXPECT_EQ(sim.Memory(0x80000, 16), Pattern(16, 3));
}

TEST(TransferForm, SendsFramesAndMemoryAndReadsBoth) {
    SimulatedDevice sim;
    TempDir dir;
    {
        Transfer t(sim, Operation::TransCif, dir.Write("a.cif", Frames(Pattern(500, 5))));
        t.Find<QCheckBox>("CB_KeepVoice")->setChecked(true);  // no question then
        t.Start()->click();
        EXPECT_EQ(t.Status(), "Transfer Complete");
        EXPECT_TRUE(t.dialogs.Log().empty());
    }
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 500), Pattern(500, 5));
    {
        Transfer t(sim, Operation::TransMem, dir.Write("a.mem", Pattern(1000, 9)));
        t.form.Job.length = 1000;
        EXPECT_TRUE(t.Find<QCheckBox>("CB_KeepVoice")->isHidden());
        t.Start()->click();
        EXPECT_EQ(t.Status(), "Transfer Complete");
        EXPECT_EQ(t.Find<QProgressBar>("ProgressBar")->value(), 100);
    }
    sim.Save();  // a memory image erases all, the configuration too
    EXPECT_EQ(sim.Memory(0x80000, 1000), Pattern(1000, 9));
    {
        Transfer t(sim, Operation::ReadCim, dir / "r.cim");
        EXPECT_EQ(test::Caption(t.Stop()->text()), "Stop");  // a read starts with Stop
        t.Start()->click();
        EXPECT_EQ(t.Status(), "Transfer Complete");
        EXPECT_EQ(ReadFile(dir / "r.cim"), sim.Memory(kConfigBase, 0x300000));
    }
    {
        Transfer t(sim, Operation::ReadMem, dir / "r.mem");
        t.Start()->click();
        EXPECT_EQ(t.Status(), "Transfer Complete");
        EXPECT_EQ(ReadFile(dir / "r.mem"),
                  std::string("\x08\x00\x00", 3) + sim.Memory(0x80000, 0x380000));
    }
}

TEST(TransferForm, StopEndsAReadWithoutLeavingAFile) {
    SimulatedDevice sim;
    TempDir dir;
    dir.Write("formcaps.txt",
              "[TF_StopTransfer_B]\r\nGerman=Stopp\r\n[TF_Stopped]\r\n"
              "German=Abgebrochen\r\n");
    Transfer t(sim, Operation::ReadMem, dir / "r.mem", dir.Path(), "German");
    EXPECT_EQ(test::Caption(t.Stop()->text()), "Stopp");
    QString running;
    QTimer::singleShot(50, t.Stop(), [&] {
        running = test::Caption(t.Stop()->text());
        t.Stop()->click();
    });
    t.Start()->click();
    EXPECT_EQ(running, "Stopp");  // the table's text while it runs, too
    EXPECT_EQ(t.Status(), "Abgebrochen");
    EXPECT_EQ(test::Caption(t.Stop()->text()), "Close");
    EXPECT_FALSE(std::filesystem::exists(dir / "r.mem"));
    EXPECT_EQ(t.form.Outcome().result, TransferResult::Stopped);
}

TEST(TransferForm, StopBeforeStartingClosesTheDialog) {
    SimulatedDevice sim;
    TempDir dir;
    Transfer t(sim, Operation::ReadCim, dir / "r.cim");
    t.form.show();
    EXPECT_EQ(test::Caption(t.Stop()->text()), "Stop");
    t.Stop()->click();
    EXPECT_FALSE(t.form.isVisible());
    EXPECT_FALSE(std::filesystem::exists(dir / "r.cim"));
    EXPECT_FALSE(t.link.AbortTransfer);  // cleared when the dialog closed
    EXPECT_FALSE(t.link.Connected);
}

// Escape (and the close box, which rejects the same way) while blocks go
// out: No goes on, Yes stops between blocks as Stop does and says so.
TEST(TransferForm, LeavingWhileRunningAsksAndStopsBetweenBlocks) {
    SimulatedDevice sim;
    TempDir dir;
    auto file = dir.Write("a.cim", Pattern(0x40000, 4));
    Transfer t(sim, Operation::TransCim, file);
    t.form.show();
    EXPECT_EQ(t.Find<QLabel>("L_File")->text(),
              QDir::toNativeSeparators(ui::QStringFromPath(file)));
    auto* keepVoice = t.Find<QCheckBox>("CB_KeepVoice");
    keepVoice->setChecked(true);
    bool lockedWhileRunning = false;
    t.dialogs.QueueAnswer(false);  // stop? No
    t.dialogs.QueueAnswer(true);   // stop? Yes
    auto escape = [&] { QTest::keyClick(&t.form, Qt::Key_Escape); };
    QTimer::singleShot(100, &t.form, [&] {
        lockedWhileRunning = !keepVoice->isEnabled();
        escape();
        EXPECT_TRUE(t.form.isVisible());
        EXPECT_FALSE(t.link.AbortTransfer);
        escape();
    });
    t.Start()->click();
    EXPECT_TRUE(lockedWhileRunning);
    EXPECT_TRUE(t.dialogs.AllAnswersUsed());
    ASSERT_EQ(t.dialogs.Log().size(), 2u);
    EXPECT_EQ(t.dialogs.Log()[1].text, "Stop the transfer?");
    EXPECT_TRUE(t.form.isVisible());
    EXPECT_EQ(t.Status(), "Transfer stopped");
    EXPECT_EQ(t.form.Outcome().result, TransferResult::Stopped);
    EXPECT_EQ(test::Caption(t.Stop()->text()), "Close");
    escape();  // nothing runs now: Escape leaves without a question
    EXPECT_FALSE(t.form.isVisible());
    EXPECT_EQ(t.dialogs.Log().size(), 2u);
}

TEST(TransferForm, OffersConnectWhenNoDeviceAnswers) {
    SimulatedDeviceOptions options;
    options.args = {"--no-reply", "80"};
    SimulatedDevice sim(options);
    TempDir dir;
    Transfer t(sim, Operation::ReadCim, dir / "r.cim");
    EXPECT_FALSE(t.Start()->isEnabled());
    EXPECT_EQ(t.Status(), "No answer from ORBIK");
    auto* retry = t.Find<QPushButton>("Retry_B");
    EXPECT_FALSE(retry->isHidden());
    EXPECT_EQ(test::Caption(retry->text()), "Connect");
    retry->click();
    EXPECT_TRUE(retry->isEnabled());
    EXPECT_FALSE(t.Start()->isEnabled());
    ASSERT_EQ(t.messages.size(), 2u);
    EXPECT_EQ(t.messages[1], kConnectionFailedMessage);
}

TEST(TransferForm, TransferConfigOfTheOpenProjectNeedsNoFileDialog) {
    SimulatedDevice sim;
    TempDir dir;
    dir.Write("orbik.ini",
              "[Paths]\r\nProject=\\Project\r\n[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    dir.Write("Project/Demo/Demo.cif", Frames(Pattern(300, 21)));
    test::ScriptedDialogs dialogs;
    app::TMainForm main(dir.Path(), dialogs);
    EXPECT_EQ(main.PortPanelText().toStdString(), sim.PortName());
    main.SetProjectWindowFactory(
        [](const std::string& name) { return new test::FakeProjectWindow(name); });
    main.OpenProjectWindow("Demo");
    dialogs.QueueAnswer(false);  // keep the stored voice?
    dialogs.QueueWindow("TransferForm", [](QDialog& transfer) {
        transfer.findChild<QPushButton*>("StartTransfer_B")->click();
        EXPECT_EQ(transfer.findChild<QLabel*>("Label1")->text(), "Transfer Complete");
        transfer.findChild<QPushButton*>("StopTransfer_B")->click();
    });
    main.findChild<QAction*>("ToolButton7")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].kind, "window");
    EXPECT_EQ(dialogs.Log()[1].kind, "yesno");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 300), Pattern(300, 21));
}

TEST(TransferForm, VerifyIsOfferedForSendsAndRememberedByTheMainWindow) {
    SimulatedDevice sim;
    TempDir dir;
    {
        Transfer read(sim, Operation::ReadCim, dir / "r.cim");
        EXPECT_TRUE(read.Find<QCheckBox>("CB_Verify")->isHidden());
    }
    dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    auto cif = dir.Write("a.cif", Frames(Pattern(300, 9)));
    test::ScriptedDialogs dialogs;
    app::TMainForm main(dir.Path(), dialogs);
    auto send = [&](bool check, const QString& expected) {
        dialogs.QueueFileName(ui::QStringFromPath(cif));
        dialogs.QueueAnswer(false);  // keep the stored voice?
        dialogs.QueueWindow("TransferForm", [&](QDialog& transfer) {
            auto* verify = transfer.findChild<QCheckBox*>("CB_Verify");
            EXPECT_FALSE(verify->isHidden());
            EXPECT_EQ(verify->isChecked(), !check);  // as the last send left it
            verify->setChecked(check);
            transfer.findChild<QPushButton*>("StartTransfer_B")->click();
            EXPECT_EQ(transfer.findChild<QLabel*>("Label1")->text(), expected);
            transfer.findChild<QPushButton*>("StopTransfer_B")->click();
        });
        main.findChild<QAction*>("ToolButton7")->trigger();
    };
    send(true, "Transfer Complete, Verified");
    EXPECT_NE(dir.Read("orbik.ini").find("[Transfer]\r\nVerify=1\r\n"), std::string::npos);
    send(false, "Transfer Complete");
    EXPECT_NE(dir.Read("orbik.ini").find("Verify=0"), std::string::npos);
    sim.Save();
    EXPECT_EQ(sim.Memory(kConfigBase, 300), Pattern(300, 9));
}

TEST(TransferForm, ReadMemoryFromTheMainWindow) {
    SimulatedDevice sim;
    TempDir dir;
    dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    test::ScriptedDialogs dialogs;
    app::TMainForm main(dir.Path(), dialogs);
    dialogs.QueueFileName(QString::fromStdString((dir / "back.mem").string()));
    dialogs.QueueWindow("TransferForm", [](QDialog& transfer) {
        transfer.findChild<QPushButton*>("StartTransfer_B")->click();
        transfer.findChild<QPushButton*>("StopTransfer_B")->click();
    });
    main.findChild<QAction*>("DataReadMem")->trigger();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].title, "Read Memory");
    EXPECT_EQ(dialogs.Log()[1].title, "TransferForm");
    EXPECT_EQ(ReadFile(dir / "back.mem").size(), 0x380003u);
}

}  // namespace
}  // namespace orbik::link
