#include "platform/Ini.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

using orbik::platform::IniFile;
using orbik::test::TempDir;

TEST(IniFile, ReadsWindowsWrittenFileWithOddSpacingAndDuplicates) {
    IniFile ini = IniFile::FromText(
        "; settings\r\n"
        "[Paths]\r\n"
        "  Project =  \\Project  \r\n"
        "project=\\Second\r\n"
        "\tIR_ICP=\\IR_ICP\r\n"
        "\r\n"
        "[ language ]\r\n"
        "Program=German\r\n"
        ";Project=English\r\n"
        "[paths]\r\n"
        "Speech=\\late\r\n");
    EXPECT_EQ(ini.Read("PATHS", "project"), "\\Project");  // first of duplicates wins
    EXPECT_EQ(ini.Read("Paths", "ir_icp"), "\\IR_ICP");
    EXPECT_EQ(ini.Read("Language", "Program"), "German");
    EXPECT_EQ(ini.Read("Language", "Project", "dflt"), "dflt");  // commented out
    EXPECT_EQ(ini.Read("Paths", "Speech", "none"), "none");      // later duplicate section ignored
    EXPECT_EQ(ini.Read("Missing", "Key", "x"), "x");
    EXPECT_TRUE(ini.HasSection("LANGUAGE"));
    EXPECT_EQ(ini.Keys("paths"), (std::vector<std::string>{"Project", "IR_ICP"}));
}

TEST(IniFile, ValueKeepsFurtherEqualsAndInnerBlanks) {
    IniFile ini = IniFile::FromText("[s]\nkey = a = b  c \n");
    EXPECT_EQ(ini.Read("s", "key"), "a = b  c");
}

TEST(IniFile, WritePreservesOtherLinesAndOrder) {
    IniFile ini = IniFile::FromText("; head\n[A]\nx=1\n; note\n\n[B]\ny=2\n");
    ini.Write("a", "X", "10");  // existing key, other case: replaced in place
    ini.Write("A", "z", "3");   // new key: after the section's last line
    ini.Write("C", "w", "4");   // new section at the end
    EXPECT_EQ(ini.Text(),
              "; head\r\n[A]\r\nx=10\r\n; note\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=4\r\n");
}

TEST(IniFile, DeleteKeyAndEraseSection) {
    IniFile ini = IniFile::FromText("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nq=4\n");
    ini.DeleteKey("a", "X");
    ini.EraseSection("b");
    EXPECT_EQ(ini.Text(), "[A]\r\ny=2\r\n[C]\r\nq=4\r\n");
    EXPECT_FALSE(ini.HasSection("B"));
}

TEST(IniFile, MissingFileReadsAsDefaultsAndIsCreatedOnWrite) {
    TempDir dir;
    auto file = dir / "orbik.ini";
    EXPECT_EQ(orbik::platform::ReadProfileString(file, "Port", "Interface", "COM1"), "COM1");
    ASSERT_TRUE(orbik::platform::WriteProfileString(file, "Port", "Interface", "COM3"));
    EXPECT_EQ(dir.Read("orbik.ini"), "[Port]\r\nInterface=COM3\r\n");
    ASSERT_TRUE(orbik::platform::WriteProfileString(file, "port", "INTERFACE", "COM4"));
    EXPECT_EQ(dir.Read("orbik.ini"), "[Port]\r\nInterface=COM4\r\n");
    EXPECT_TRUE(orbik::platform::DeleteProfileKey(file, "Port", "interface"));
    EXPECT_EQ(orbik::platform::ReadProfileString(file, "Port", "Interface", "none"), "none");
}

TEST(IniFile, FileThatCannotBeReadWholeIsNeverRewritten) {
    TempDir dir;
    auto file = dir / "orbik.ini";
    std::filesystem::create_symlink("/proc/self/mem", file);  // exists, every read fails
    orbik::platform::IniFile ini(file);
    ini.Write("Port", "Interface", "COM3");
    std::string error;
    EXPECT_FALSE(ini.Save(&error));
    EXPECT_EQ(error, file.string() + ": Input/output error");
    EXPECT_FALSE(orbik::platform::WriteProfileString(file, "Port", "Interface", "COM3"));
    EXPECT_TRUE(std::filesystem::is_symlink(file));
}

TEST(IniFile, WritesToTheFileOfAnotherCase) {
    TempDir dir;
    dir.Write("Projectlist.ini", "[Demo]\nname=Demo\n");
    ASSERT_TRUE(orbik::platform::WriteProfileString(dir / "projectlist.INI", "Demo", "changed",
                                                    "01.02.2026"));
    EXPECT_EQ(dir.Read("Projectlist.ini"), "[Demo]\r\nname=Demo\r\nchanged=01.02.2026\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "projectlist.INI"));
}
