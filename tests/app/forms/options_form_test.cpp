#include "app/forms/TOptionsForm.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <chrono>
#include <thread>

#include "link/Protocol.h"
#include "platform/Ini.h"
#include "support/Captions.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::app {
namespace {

using test::SimulatedDevice;
using test::SimulatedDeviceOptions;
using test::TempDir;

// The dialog with its settings and link, as the main window hands them down.
struct Options {
    explicit Options(const TempDir& dir)
        : env(settings::LoadSettings(dir.Path())), form(env.context) {}

    template <class T>
    T* Find(const char* name) {
        auto* found = form.findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    bool LanguagePageShown() {
        auto* pages = Find<QTabWidget>("PortPage");
        return pages->isTabVisible(pages->indexOf(Find<QWidget>("TS_Language")));
    }

    test::TestContext env;
    std::vector<std::string>& messages = env.messages;
    test::ScriptedDialogs& dialogs = env.dialogs;
    const settings::Settings& settings = env.settings;
    link::DeviceLink& link = env.link;
    test::FakeMainWindow& mainWindow = env.mainWindow;
    TOptionsForm form;
};

TEST(OptionsForm, WithoutAnyPortTheListSaysSoAndNothingCanBeStoredOrTested) {
    TempDir dir;
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM3\r\n");
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    Options o(dir);
    unsetenv("ORBIK_COM_DIR");
    auto* port = o.Find<QComboBox>("CB_Port");
    EXPECT_EQ(port->count(), 0);
    EXPECT_EQ(port->placeholderText(), "no ports found");
    EXPECT_FALSE(o.Find<QPushButton>("Store_B")->isEnabled());
    EXPECT_FALSE(o.Find<QPushButton>("Test_B")->isEnabled());
}

TEST(OptionsForm, LanguagePageFollowsTheSwitch) {
    TempDir dir;
    unsetenv("ORBIK_COM_DIR");
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    EXPECT_TRUE(Options(dir).LanguagePageShown());  // missing counts as on
    dir.Write("orbik.ini", "[Admin]\r\nlang_av=0\r\n");
    EXPECT_FALSE(Options(dir).LanguagePageShown());
    dir.Write("orbik.ini", "[Admin]\r\nlang_av=1\r\n");
    EXPECT_TRUE(Options(dir).LanguagePageShown());
    unsetenv("ORBIK_COM_DIR");
}

TEST(OptionsForm, TextsAndLanguagesFromSettings) {
    TempDir dir;
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    dir.Write("orbik.ini", "[Language]\r\nProgram=German\r\nProject=Dutch\r\n");
    dir.Write("formcaps.txt",
              "[optionform]\r\nGerman=Einstellungen\r\n[PortPage]\r\n"
              "German=Schnittstelle\r\n[Close_B]\r\nGerman=Schlie\xDF"
              "en\r\n");
    Options o(dir);
    EXPECT_EQ(o.form.windowTitle(), "Einstellungen");
    auto* pages = o.Find<QTabWidget>("PortPage");
    EXPECT_EQ(pages->tabText(pages->indexOf(o.Find<QWidget>("TS_Interface"))), "Schnittstelle");
    EXPECT_EQ(pages->tabText(pages->indexOf(o.Find<QWidget>("TS_Language"))), "Language");
    EXPECT_EQ(test::Caption(o.Find<QPushButton>("Close_B")->text()),
              QString::fromUtf8("Schließen"));
    EXPECT_EQ(o.Find<QComboBox>("CB_MainLang")->currentText(), "German");
    EXPECT_EQ(o.Find<QComboBox>("CB_PrLang")->currentText(), "Dutch");
    EXPECT_EQ(o.Find<QComboBox>("CB_PrLang")->count(), 7);
    // No port listed: nothing to store or test.
    EXPECT_FALSE(o.Find<QPushButton>("Store_B")->isEnabled());
    EXPECT_FALSE(o.Find<QPushButton>("Test_B")->isEnabled());
    unsetenv("ORBIK_COM_DIR");
}

TEST(OptionsForm, TestPressedTwiceShowsAndClearsTheDeviceId) {
    SimulatedDevice sim;
    TempDir dir;
    dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    Options o(dir);
    auto* port = o.Find<QComboBox>("CB_Port");
    EXPECT_EQ(port->currentText().toStdString(), sim.PortName());
    EXPECT_FALSE(o.Find<QPushButton>("Store_B")->isEnabled());  // already stored
    ASSERT_TRUE(o.Find<QPushButton>("Test_B")->isEnabled());
    auto* id = o.Find<QLabel>("L_ID");
    o.Find<QPushButton>("Test_B")->click();
    EXPECT_EQ(id->text(), "ORBIK duo/max ID:0123456789AB");
    o.Find<QPushButton>("Test_B")->click();
    EXPECT_EQ(id->text(), "");
    EXPECT_FALSE(o.link.Connected);
    o.Find<QPushButton>("Test_B")->click();
    EXPECT_EQ(id->text(), "ORBIK duo/max ID:0123456789AB");
    EXPECT_TRUE(o.messages.empty());
}

TEST(OptionsForm, StoreWritesThePortAndTellsTheMainWindow) {
    SimulatedDevice sim;
    TempDir dir;
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM1\r\n");
    Options o(dir);
    auto* port = o.Find<QComboBox>("CB_Port");
    // COM1 is not listed: the port that is there shows, ready to store.
    EXPECT_EQ(port->currentText().toStdString(), sim.PortName());
    ASSERT_TRUE(o.Find<QPushButton>("Store_B")->isEnabled());
    EXPECT_TRUE(o.Find<QPushButton>("Test_B")->isEnabled());
    o.Find<QPushButton>("Store_B")->click();
    EXPECT_EQ(o.mainWindow.statusText.toStdString(), sim.PortName());
    EXPECT_EQ(platform::ReadProfileString(dir / "orbik.ini", "Port", "Interface"), sim.PortName());
    EXPECT_EQ(o.settings.portNumber, sim.Port());
}

void ShowFirmwarePage(Options& o) {
    auto* pages = o.Find<QTabWidget>("PortPage");
    pages->setCurrentWidget(o.Find<QWidget>("TS_Firmware"));
}

// Opening a page is no command: what failed shows on the page, in no box.
TEST(OptionsForm, FirmwarePageShowsFailuresInPlace) {
    TempDir dir;
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM7\r\n");
    {
        Options o(dir);
        ShowFirmwarePage(o);
        EXPECT_EQ(o.Find<QLabel>("L_FW_Version")->text(), "Cannot open COM7");
        EXPECT_TRUE(o.messages.empty());
        EXPECT_TRUE(o.dialogs.Log().empty());
    }
    unsetenv("ORBIK_COM_DIR");
    SimulatedDeviceOptions silent;
    silent.args = {"--no-reply", "80"};
    SimulatedDevice sim(silent);
    dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
    Options o(dir);
    ShowFirmwarePage(o);
    EXPECT_EQ(o.Find<QLabel>("L_FW_Version")->text(), "No ORBIK found");
    EXPECT_TRUE(o.messages.empty());
    // A command still reports: Test is pressed on purpose.
    o.Find<QTabWidget>("PortPage")->setCurrentWidget(o.Find<QWidget>("TS_Interface"));
    o.Find<QPushButton>("Test_B")->click();
    EXPECT_EQ(o.messages, std::vector<std::string>{link::kConnectionFailedMessage});
}

TEST(OptionsForm, FirmwarePageOffersTheUpdateForOtherVersionsOnly) {
    TempDir dir;
    {
        SimulatedDevice sim;  // answers 3.04
        dir.Write("orbik.ini", "[Port]\r\nInterface=" + sim.PortName() + "\r\n");
        Options o(dir);
        ShowFirmwarePage(o);
        EXPECT_EQ(o.Find<QLabel>("L_FW_Version")->text(), "ORBIK duo/max Version: 3.04");
        EXPECT_FALSE(o.Find<QPushButton>("B_Update")->isEnabled());
    }
    SimulatedDeviceOptions older;
    older.args = {"--identify", "80,03,02,00"};
    SimulatedDevice sim(older);
    Options o(dir);
    ShowFirmwarePage(o);
    EXPECT_EQ(o.Find<QLabel>("L_FW_Version")->text(), "ORBIK solo Version: 3.02");
    ASSERT_TRUE(o.Find<QPushButton>("B_Update")->isEnabled());

    // The upgrade tool from the program directory, with the port number.
    auto tool =
        dir.Write("orbikflash", "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    o.Find<QPushButton>("B_Update")->click();
    EXPECT_FALSE(o.Find<QPushButton>("B_Update")->isEnabled());
    EXPECT_TRUE(o.Find<QLabel>("L_FW_Version")->text().startsWith("Please restart ORBIK!"));
    EXPECT_FALSE(o.form.UpgradeLogFile().isEmpty());
    EXPECT_TRUE(o.Find<QLabel>("L_FW_Version")->text().contains(o.form.UpgradeLogFile()));
    for (int i = 0; i < 200 && !std::filesystem::exists(dir / "args.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(dir.Read("args.txt"), std::to_string(sim.Port()) + "\n");
}

TEST(OptionsForm, CancelKeepsTheProjectLanguageButStoresTheProgramLanguage) {
    TempDir dir;
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    dir.Write("orbik.ini", "[Language]\r\nProgram=English\r\nProject=English\r\n");
    Options o(dir);
    o.mainWindow.OpenProjectWindow("Demo");
    o.Find<QComboBox>("CB_MainLang")->setCurrentText("German");
    o.Find<QComboBox>("CB_PrLang")->setCurrentText("French");
    o.Find<QPushButton>("StoreL_B")->click();
    o.dialogs.QueueAnswer(false);
    o.Find<QPushButton>("Close_B")->click();
    ASSERT_EQ(o.dialogs.Log().size(), 1u);
    EXPECT_EQ(o.dialogs.Log()[0].kind, "confirm");
    EXPECT_EQ(o.dialogs.Log()[0].text, "Project must be closed");
    EXPECT_EQ(o.settings.programLanguage, "German");
    EXPECT_EQ(o.settings.projectLanguage, "English");
    EXPECT_EQ(o.mainWindow.ProjectWindowCaptions(), QStringList{"Demo"});
    platform::IniFile ini(dir / "orbik.ini");
    EXPECT_EQ(ini.Read("Language", "Program"), "German");
    EXPECT_EQ(ini.Read("Language", "Project"), "English");
    unsetenv("ORBIK_COM_DIR");
}

TEST(OptionsForm, CloseKeepsLanguagesThatAreNotAmongTheChoices) {
    TempDir dir;
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    dir.Write("orbik.ini", "[Language]\r\nProgram=english\r\nProject=Swedish\r\n");
    Options o(dir);
    EXPECT_EQ(o.Find<QComboBox>("CB_PrLang")->currentIndex(), -1);
    o.Find<QPushButton>("StoreL_B")->click();
    o.Find<QPushButton>("Close_B")->click();
    EXPECT_EQ(o.settings.programLanguage, "english");
    EXPECT_EQ(o.settings.projectLanguage, "Swedish");
    platform::IniFile ini(dir / "orbik.ini");
    EXPECT_EQ(ini.Read("Language", "Program"), "english");
    EXPECT_EQ(ini.Read("Language", "Project"), "Swedish");
    unsetenv("ORBIK_COM_DIR");
}

TEST(OptionsForm, OkChangesTheProjectLanguageAndClosesTheProject) {
    TempDir dir;
    setenv("ORBIK_COM_DIR", (dir / "none").c_str(), 1);
    dir.Write("orbik.ini", "[Language]\r\nProgram=English\r\nProject=English\r\n");
    Options o(dir);
    o.mainWindow.OpenProjectWindow("Demo");
    o.Find<QComboBox>("CB_PrLang")->setCurrentText("Italian");
    o.dialogs.QueueAnswer(true);
    o.Find<QPushButton>("Close_B")->click();
    EXPECT_EQ(o.settings.projectLanguage, "Italian");
    EXPECT_TRUE(o.mainWindow.ProjectWindowCaptions().isEmpty());
    // Not stored: StoreL_B was not pressed.
    EXPECT_EQ(platform::ReadProfileString(dir / "orbik.ini", "Language", "Project"), "English");
    unsetenv("ORBIK_COM_DIR");
}

}  // namespace
}  // namespace orbik::app
