#include "backup/forms/TOpenBackup.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "platform/Bytes.h"
#include "support/DemoImage.h"
#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::backup {
namespace {

namespace fs = std::filesystem;

// A program directory with the demo project built in it, the demo's texts
// and an IR code library holding one file.
struct Program {
    Program() {
        dir.Write("orbik.ini",
                  "[Paths]\r\nProject=\\Project\r\nIR_ICP=\\IR_ICP\r\n"
                  "[Language]\r\nProgram=German\r\n");
        fs::copy_file(fs::path(ORBIK_DEMO_DIR) / "formcaps.txt", dir / "formcaps.txt");
        dir.Write("IR_ICP/A.icp", "");
        cim = test::BuildDemoCim(dir.Path());
    }
    test::TempDir dir;
    std::string cim;
};

class OpenBackupTest : public ::testing::Test {
  protected:
    template <class T>
    T* Find(const char* name) {
        auto* found = form.findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    QStringList Rows(const char* list) {
        QStringList rows;
        for (int i = 0; i < Find<QListWidget>(list)->count(); ++i)
            rows << Find<QListWidget>(list)->item(i)->text();
        return rows;
    }
    void Browse(const fs::path& file) {
        env.dialogs.QueueFileName(ui::QStringFromPath(file));
        Find<QPushButton>("B_Browse")->click();
    }

    Program program;
    const test::TempDir& dir = program.dir;
    const std::string& cim = program.cim;
    test::TestContext env{settings::LoadSettings(dir.Path())};
    TOpenBackup form{env.context};
};

TEST_F(OpenBackupTest, ReadsTheDemoAndCopiesTheFirstFileWhateverRowIsSelected) {
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Sicherung öffnen"));
    EXPECT_EQ(Rows("LB_IR_ICP"), QStringList{"A.icp"});
    EXPECT_FALSE(Find<QListWidget>("LB_FileDevices")->isEnabled());

    Browse(dir / "Project/Demo/Demo.CIM");
    EXPECT_TRUE(env.dialogs.Log().back().text.contains("*.cim"));
    EXPECT_EQ(Find<QLabel>("L_ID")->text(), "Demo      ");
    EXPECT_EQ(Find<QLabel>("L_Dev")->text(), "2 Devices");
    EXPECT_EQ(Rows("LB_FileDevices"), (QStringList{"TV", "Phone"}));

    Find<QListWidget>("LB_FileDevices")->setCurrentRow(0);
    EXPECT_EQ(Rows("LB_ICPFiles"), (QStringList{"Empty", "TV_Demo"}));
    auto* name = Find<QLineEdit>("E_NewName");
    auto* copy = Find<QPushButton>("B_Copy");
    EXPECT_FALSE(copy->isEnabled());
    Find<QListWidget>("LB_ICPFiles")->setCurrentRow(1);
    QTest::keyClicks(name, "../x");
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_TRUE(Find<QLabel>("L_NotAllowed")->isVisibleTo(&form));
    name->setText("New");
    ASSERT_TRUE(copy->isEnabled());
    copy->click();
    EXPECT_EQ(Rows("LB_IR_ICP"), (QStringList{"A.icp", "New.icp"}));
    // The first file, the empty template, packed: not TV_Demo.
    EXPECT_EQ(dir.Read("IR_ICP/New.icp").size(), 215u + 1 + 2048);

    copy->click();
    EXPECT_EQ(env.dialogs.Log().back().text, "Filename already exists");
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

TEST_F(OpenBackupTest, DamagedUpperCaseMemoryImageKeepsWhatWasRead) {
    BackupContents contents;
    std::string error;
    ASSERT_TRUE(ReadBackup(cim, "Demo.CIM", &contents, &error)) << error;
    std::string mem = test::MemoryImage(cim, false);
    // The second device type's table lies beyond the end.
    platform::StoreBigEndian(0xFFFFFF, 3, mem.data() + 0x80000 + contents.sections[kDda] + 3);
    fs::path file = dir.Write("BACKUP.MEM", mem);
    Browse(file);
    EXPECT_EQ(Find<QLabel>("L_Item")->text(), "10 Items");
    EXPECT_EQ(Rows("LB_FileDevices"), QStringList{"TV"});
    EXPECT_EQ(env.dialogs.Log().back().kind, "inform");
    EXPECT_TRUE(env.dialogs.Log().back().text.contains(ui::QStringFromPath(file)));
}

}  // namespace
}  // namespace orbik::backup
