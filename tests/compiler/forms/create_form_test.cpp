#include "compiler/forms/TCreateForm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::compiler {
namespace {

TEST(CreateForm, ShowsTheBuildAsItReportsAndOpensCloseAfterwards) {
    test::TempDir dir;
    dir.Write("formcaps.txt",
              "[Createform]\r\nGerman=Datei erzeugen\r\n[CF_Close_B]\r\nGerman=Schlie\xDF"
              "en\r\n");
    settings::Settings s;
    s.programDir = dir.Path();
    s.programLanguage = "German";
    test::TestContext env(s);
    TCreateForm form(env.context);
    auto* status = form.findChild<QLabel*>("L_Status");
    auto* finished = form.findChild<QLabel*>("L_Status1");
    auto* close = form.findChild<QPushButton*>("Close_B");
    EXPECT_EQ(form.windowTitle(), "Datei erzeugen");
    EXPECT_EQ(close->text(), QString::fromUtf8("Schließen"));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.size(), QSize(548, 150));

    BuildLog& log = form;
    log.BeginStep("checking languages ....... ");
    log.Tick();
    log.Tick();
    EXPECT_EQ(status->text(), "checking languages ....... ..");
    EXPECT_FALSE(close->isEnabled());
    log.FinishStep();
    log.BeginStep("checking items ........... ");
    log.Fail("file x not found");
    EXPECT_EQ(finished->text(), "checking languages ....... ..ok");
    EXPECT_EQ(status->text(), "file x not found");
    EXPECT_TRUE(form.Failed());
    EXPECT_FALSE(close->isEnabled());
    form.BuildFinished();
    EXPECT_TRUE(close->isEnabled());
}

TEST(CreateForm, DefaultTextsWithoutTable) {
    settings::Settings s;
    s.programDir = "/nonexistent";
    test::TestContext env(s);
    TCreateForm form(env.context);
    EXPECT_EQ(form.windowTitle(), "Create File");
    EXPECT_EQ(form.findChild<QPushButton*>("Close_B")->text(), "Close");
    EXPECT_EQ(form.findChild<QLabel*>("L_Status1")->text(), "");
}

}  // namespace
}  // namespace orbik::compiler
