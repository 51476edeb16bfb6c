#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "platform/Ini.h"
#include "support/TempDir.h"

namespace orbik::settings {
namespace {

using test::TempDir;

TEST(Settings, MissingFileGivesDefaultsAndNoPortNumber) {
    TempDir dir;
    Settings s = LoadSettings(dir.Path());
    EXPECT_EQ(s.programDir, dir.Path());
    EXPECT_TRUE(s.languageSwitch);  // a missing lang_av counts as "1"
    EXPECT_EQ(s.portName, "");
    EXPECT_FALSE(s.portNumber.has_value());
    EXPECT_EQ(s.programLanguage, "");
}

TEST(Settings, ReadsValuesWithoutRegardToCase) {
    TempDir dir;
    dir.Write("orbik.ini",
              "[paths]\r\nPROJECT=\\Project\r\nTemplates=/templates\r\n"
              "[Language]\r\nprogram=German\r\nProject=French\r\n"
              "[Port]\r\nInterface=COM12\r\n[Admin]\r\nlang_av=1\r\n");
    Settings s = LoadSettings(dir.Path());
    EXPECT_EQ(s.projectPath, "\\Project");
    EXPECT_EQ(s.ProjectsDir(), dir.Path() / "Project");
    EXPECT_EQ(s.programLanguage, "German");
    EXPECT_EQ(s.projectLanguage, "French");
    EXPECT_EQ(s.portName, "COM12");
    EXPECT_EQ(s.portNumber, 12);
    EXPECT_TRUE(s.languageSwitch);
}

TEST(Settings, LanguageSwitchIsOnOnlyForOne) {
    TempDir dir;
    for (const char* value : {"0", "yes", "true", "11", ""}) {
        dir.Write("orbik.ini", std::string("[Admin]\r\nlang_av=") + value + "\r\n");
        EXPECT_FALSE(LoadSettings(dir.Path()).languageSwitch) << value;
    }
}

TEST(Settings, PortNamesThatAreNotComDigitsHaveNoNumber) {
    Settings s;
    for (const char* name : {"", "COM", "LPT1", "COMx", "com3x", "/dev/ttyS0"}) {
        s.SetPort(name);
        EXPECT_FALSE(s.portNumber.has_value()) << name;
        EXPECT_EQ(s.portName, name);
    }
    s.SetPort("COM3");
    EXPECT_EQ(s.portNumber, 3);
}

TEST(Settings, StoresPortAndLanguagesKeepingOtherLines) {
    TempDir dir;
    dir.Write("orbik.ini", "; mine\r\n[Port]\r\nInterface=COM1\r\n[Paths]\r\nProject=\\P\r\n");
    Settings s = LoadSettings(dir.Path());
    s.SetPort("COM4");
    s.programLanguage = "German";
    s.projectLanguage = "Dutch";
    ASSERT_TRUE(StorePort(s));
    ASSERT_TRUE(StoreLanguages(s));
    Settings again = LoadSettings(dir.Path());
    EXPECT_EQ(again.portNumber, 4);
    EXPECT_EQ(again.programLanguage, "German");
    EXPECT_EQ(again.projectLanguage, "Dutch");
    EXPECT_EQ(again.projectPath, "\\P");
    EXPECT_EQ(dir.Read("orbik.ini").rfind("; mine\r\n", 0), 0u);
}

TEST(Settings, VerifyIsOnOnlyForOneAndIsRemembered) {
    TempDir dir;
    EXPECT_FALSE(LoadSettings(dir.Path()).verifyAfterSend);
    dir.Write("orbik.ini", "[transfer]\r\nverify=yes\r\n");
    EXPECT_FALSE(LoadSettings(dir.Path()).verifyAfterSend);
    Settings s = LoadSettings(dir.Path());
    s.verifyAfterSend = true;
    ASSERT_TRUE(StoreVerify(s));
    EXPECT_TRUE(LoadSettings(dir.Path()).verifyAfterSend);
    EXPECT_NE(dir.Read("orbik.ini").find("verify=1\r\n"), std::string::npos);
    s.verifyAfterSend = false;
    ASSERT_TRUE(StoreVerify(s));
    EXPECT_FALSE(LoadSettings(dir.Path()).verifyAfterSend);
}

TEST(ProgramVersion, AddsTheSectionOnceWhenMissing) {
    TempDir dir;
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM1\r\n");
    EXPECT_EQ(ProgramVersion(dir / "orbik.ini"), "2.5");
    platform::IniFile ini(dir / "orbik.ini");
    EXPECT_EQ(ini.Read("Version", "prog_ver"), "2.5");
    EXPECT_EQ(ini.Read("Port", "Interface"), "COM1");

    dir.Write("orbik.ini", "[Version]\r\nprog_ver=3.1\r\n");
    EXPECT_EQ(ProgramVersion(dir / "orbik.ini"), "3.1");
}

TEST(ProgramVersion, SectionWithoutKeyGivesEmptyVersion) {
    TempDir dir;
    dir.Write("orbik.ini", "[Version]\r\nother=1\r\n");
    EXPECT_EQ(ProgramVersion(dir / "orbik.ini"), "");
    EXPECT_FALSE(platform::IniFile(dir / "orbik.ini").HasKey("Version", "prog_ver"));
}

TEST(LookupText, FallsBackToTheDefault) {
    TempDir dir;
    auto table = dir / "formcaps.txt";
    EXPECT_EQ(LookupText(table, "mainform", "English", "MainForm"), "MainForm");  // no file
    dir.Write("formcaps.txt", "[MainForm]\r\nEnglish=Main\r\nGerman=Haupt\xE4\r\n");
    EXPECT_EQ(LookupText(table, "mainform", "english", "MainForm"), "Main");
    EXPECT_EQ(LookupText(table, "mainform", "German", "MainForm"), "Haupt\xE4");
    EXPECT_EQ(LookupText(table, "mainform", "French", "MainForm"), "MainForm");
    EXPECT_EQ(LookupText(table, "other", "English", "x"), "x");
    EXPECT_EQ(LookupText(table, "mainform", "", "MainForm"), "MainForm");
}

}  // namespace
}  // namespace orbik::settings
