#include "app/forms/TInfoForm.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "platform/Ini.h"
#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::app {
namespace {

QString VersionLine(const settings::Settings& s) {
    test::TestContext env(s);
    TInfoForm info(env.context);
    return info.findChild<QLabel*>("Label5")->text();
}

TEST(InfoForm, AddsTheVersionSectionWhenMissing) {
    test::TempDir dir;
    dir.Write("orbik.ini", "[Port]\r\nInterface=COM2\r\n");
    settings::Settings s = settings::LoadSettings(dir.Path());
    EXPECT_EQ(VersionLine(s), "Version 2.5");
    EXPECT_EQ(platform::ReadProfileString(dir / "orbik.ini", "Version", "prog_ver"), "2.5");
    EXPECT_EQ(platform::ReadProfileString(dir / "orbik.ini", "Port", "Interface"), "COM2");
}

TEST(InfoForm, ShowsTheStoredVersionOrNothing) {
    test::TempDir dir;
    dir.Write("orbik.ini", "[Version]\r\nprog_ver=2.7\r\n");
    settings::Settings s = settings::LoadSettings(dir.Path());
    EXPECT_EQ(VersionLine(s), "Version 2.7");
    dir.Write("orbik.ini", "[Version]\r\n");
    EXPECT_EQ(VersionLine(s), "Version ");
    EXPECT_EQ(dir.Read("orbik.ini"), "[Version]\r\n");
}

}  // namespace
}  // namespace orbik::app
