// The dialogs that compose action lines: Link BT, Parallel Output, Edit
// Action, RF Files and the RF file writer, worked as a user would.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <fstream>

#include "editor/ActionLines.h"
#include "editor/RfLibrary.h"
#include "editor/forms/TCreateRFForm.h"
#include "editor/forms/TEditActionForm.h"
#include "editor/forms/TLinkBTForm.h"
#include "editor/forms/TParallelForm.h"
#include "editor/forms/TRFFilesForm.h"
#include "support/TempDir.h"
#include "support/TestContext.h"

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;

template <class T = QWidget>
T* Find(QObject* parent, const char* name) {
    auto* found = parent->findChild<T*>(name);
    EXPECT_TRUE(found) << name;
    return found;
}
bool Enabled(QObject* parent, const char* name) {
    return Find(parent, name)->isEnabled();
}
void Click(QObject* parent, const char* name) {
    auto* button = Find<QAbstractButton>(parent, name);
    ASSERT_TRUE(button && button->isEnabled()) << name;
    button->click();
}

class ActionDialogsTest : public ::testing::Test {
  protected:
    static settings::Settings SettingsOf(const test::TempDir& dir) {
        settings::Settings s;
        s.programDir = dir.Path();
        s.programLanguage = "English";
        return s;
    }
    test::TempDir dir;
    test::TestContext env{SettingsOf(dir)};
};

TEST_F(ActionDialogsTest, LinkBtOffersOkOnlyForACompleteField) {
    TLinkBTForm form(env.context, std::nullopt);
    auto* name = Find<QLineEdit>(&form, "E_bt_name");
    auto* id = Find<QLineEdit>(&form, "BTID1");
    EXPECT_TRUE(Find<QAbstractButton>(&form, "RG10")->isChecked());  // by name
    EXPECT_TRUE(Find<QAbstractButton>(&form, "RG20")->isChecked());  // phone memory
    EXPECT_TRUE(name->isEnabled());
    EXPECT_FALSE(id->isEnabled());
    EXPECT_FALSE(Enabled(&form, "B_ok"));

    // At most 29 characters; "," is refused, ";" is sent as "\s".
    QTest::keyClicks(name, "a,b;" + QString(40, 'x'));
    EXPECT_EQ(name->text(), "ab;" + QString(26, 'x'));
    EXPECT_TRUE(Enabled(&form, "B_ok"));
    std::string xs;
    for (int i = 0; i < 26; ++i) xs += ",x";
    EXPECT_EQ(form.Result().line, "ConnectBt(30,a,b,\\s" + xs + ",0)");

    // By ID: every position must be filled.
    Click(&form, "RG11");
    EXPECT_FALSE(name->isEnabled());
    EXPECT_FALSE(Enabled(&form, "B_ok"));
    id->setFocus();
    id->home(false);
    QTest::keyClicks(id, "0a1b2c3d4e5");
    EXPECT_FALSE(Enabled(&form, "B_ok"));
    QTest::keyClicks(id, "f");
    EXPECT_EQ(id->text(), "0A:1B:2C:3D:4E:5F");
    ASSERT_TRUE(Enabled(&form, "B_ok"));
    EXPECT_EQ(form.Result().line,
              ConnectBtByIdLine("0A:1B:2C:3D:4E:5F", ContactSource::PhoneMemory).line);
}

TEST_F(ActionDialogsTest, LinkBtFilledFromALine) {
    const struct {
        std::string line;
        const char *by, *source;  // the radios checked; nothing for none
        const char* field;
        QString text;
    } cases[] = {
        {ConnectBtByIdLine("00:1a:2b:3c:4d:5e", ContactSource::SimCard).line, "RG11", "RG21",
         "BTID1", "00:1A:2B:3C:4D:5E"},
        {ConnectBtByNameLine("My:Phone", ContactSource::PhoneMemory).line, "RG10", "RG20",
         "E_bt_name", "My:Phone"},
        {"ConnectBt(3,a,b,7)", "RG10", nullptr, "E_bt_name", "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TLinkBTForm form(env.context, ParseConnectBt(c.line));
        EXPECT_TRUE(Find<QAbstractButton>(&form, c.by)->isChecked());
        EXPECT_EQ(Find<QLineEdit>(&form, c.field)->text(), c.text);
        if (c.source) {
            EXPECT_TRUE(Find<QAbstractButton>(&form, c.source)->isChecked());
            EXPECT_EQ(form.Result().line, c.line);
        } else {
            // An unknown source: neither, and OK waits for a choice.
            EXPECT_FALSE(Find<QAbstractButton>(&form, "RG20")->isChecked() ||
                         Find<QAbstractButton>(&form, "RG21")->isChecked());
            EXPECT_FALSE(Enabled(&form, "B_ok"));
            Click(&form, "RG21");
            EXPECT_EQ(form.Result().line, ConnectBtByNameLine("ab", ContactSource::SimCard).line);
        }
    }
}

TEST_F(ActionDialogsTest, ParallelOutputsMakeOneLinePerOkUntilClosed) {
    TParallelForm form(env.context);
    auto* mask1 = Find<QCheckBox>(&form, "CB_Out1Mask");
    auto* value1 = Find<QComboBox>(&form, "CB_Out1Value");
    EXPECT_EQ(mask1->text(), "Output 1");
    EXPECT_FALSE(value1->isEnabled());
    EXPECT_FALSE(Enabled(&form, "Ok_B"));
    mask1->setChecked(true);
    EXPECT_TRUE(value1->isEnabled());
    EXPECT_EQ(value1->currentText(), "CLOSE");
    EXPECT_TRUE(Enabled(&form, "Ok_B"));
    Click(&form, "Ok_B");
    value1->setCurrentText("OPEN");
    Find<QCheckBox>(&form, "CB_Out5Mask")->setChecked(true);
    Click(&form, "Ok_B");
    mask1->setChecked(false);
    EXPECT_EQ(value1->currentIndex(), -1);
    Find<QCheckBox>(&form, "CB_Out5Mask")->setChecked(false);
    EXPECT_FALSE(Enabled(&form, "Ok_B"));
    EXPECT_EQ(form.result(), QDialog::Rejected);  // OK never closes it
    // Closing in any way answers with the lines made.
    env.dialogs.QueueWindow("ParallelForm", [](QDialog& d) { d.reject(); });
    auto result = ui::RunModalForm(env.dialogs, form);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->lines,
              (std::vector<std::string>{"WriteParallelIF(1,1)", "WriteParallelIF(17,16)"}));
}

TEST_F(ActionDialogsTest, EditActionTakesAnyTextButNoEmptyOne) {
    TEditActionForm form(env.context, "Wait(200)");
    auto* action = Find<QLineEdit>(&form, "E_Action");
    action->clear();
    EXPECT_FALSE(Enabled(&form, "Ok_B"));
    action->setText("  free text ");
    EXPECT_TRUE(Enabled(&form, "Ok_B"));
    EXPECT_EQ(form.Result().line, "  free text ");
    // Find Name fields take at most 24 characters and 20 digits.
    TEditActionForm find(env.context, FindBtTelephoneNumberLine("", "").line);
    auto* name = Find<QLineEdit>(&find, "E_bt_find");
    auto* number = Find<QLineEdit>(&find, "E_bt_send");
    QTest::keyClicks(name, QString(30, 'n'));
    QTest::keyClicks(number, "12a" + QString(30, '9'));
    EXPECT_EQ(name->text().size(), 24);
    EXPECT_EQ(number->text(), "12" + QString(18, '9'));
    EXPECT_EQ(find.Result().line,
              FindBtTelephoneNumberLine(std::string(24, 'n'), "12" + std::string(18, '9')).line);
}

class RfDialogsTest : public ActionDialogsTest {
  protected:
    RfDialogsTest() {
        Write("RFFiles/b.RFT", ";RF One\r\nParam=1\r\nParam=2\r\nParam=3\r\n");
        Write("RFFiles/a.rft", "no signal\r\n");
    }
    void Write(const std::string& relative, const std::string& text) {
        fs::create_directories((dir / relative).parent_path());
        std::ofstream(dir / relative, std::ios::binary) << text;
    }
    static QStringList Tabs(QDialog& d) {
        QStringList tabs;
        auto* bar = Find<QTabBar>(&d, "TC_RFFiles");
        for (int i = 0; i < bar->count(); ++i) tabs << bar->tabText(i);
        return tabs;
    }
};

TEST_F(RfDialogsTest, RfFilesAddTheSignalRepeatedAndStayOpen) {
    TRFFilesForm form(env.context, dir / "RFFiles");
    EXPECT_EQ(Tabs(form), (QStringList{"a.rft", "b.RFT"}));
    auto* list = Find<QListWidget>(&form, "LB_RFSignals");
    auto* count = Find<QLineEdit>(&form, "E_Count");
    EXPECT_EQ(list->count(), 0);  // no ";RF" line
    Find<QTabBar>(&form, "TC_RFFiles")->setCurrentIndex(1);
    ASSERT_EQ(list->count(), 1);
    list->setCurrentRow(0);
    EXPECT_EQ(count->text(), "1");
    count->setText("");
    EXPECT_FALSE(Enabled(&form, "Ok_B"));
    QTest::keyClicks(count, "123");
    EXPECT_EQ(count->text(), "12");
    count->setText("2");
    Click(&form, "Ok_B");
    count->setText("0");
    Click(&form, "Ok_B");
    EXPECT_EQ(form.Result().lines,
              (std::vector<std::string>{";RF One", "WriteRadioIF(1)", "WriteRadioIF(2)",
                                        "WriteRadioIF(3)", "WriteRadioIF(1)", "WriteRadioIF(2)",
                                        "WriteRadioIF(3)", ";RF One"}));
}

TEST_F(RfDialogsTest, WriterChecksWritesAndAsksBeforeReplacing) {
    TCreateRFForm form(env.context);
    EXPECT_EQ(Find<QLineEdit>(&form, "Name2")->text(), "X10");
    EXPECT_EQ(Find<QLineEdit>(&form, "E_Pause")->text(), "40000");
    Find<QLineEdit>(&form, "Name1")->setText("Lamp");
    Click(&form, "Add_B");  // Data is missing its four values
    Find<QLineEdit>(&form, "Data")->setText("1,2,3,4");
    Click(&form, "Add_B");
    Click(&form, "New_B");  // no file name
    Find<QLineEdit>(&form, "Filename")->setText("Lights");
    Click(&form, "New_B");
    ASSERT_EQ(env.dialogs.Log().size(), 3u);
    EXPECT_EQ(env.dialogs.Log()[0].kind, "warn");
    EXPECT_TRUE(env.dialogs.Log()[0].text.contains("Data"))
        << env.dialogs.Log()[0].text.toStdString();
    EXPECT_EQ(env.dialogs.Log()[1].text, "Filename is empty");
    EXPECT_EQ(env.dialogs.Log()[2].kind, "inform");
    EXPECT_EQ(Find<QListWidget>(&form, "LB_RFSig")->count(), 1);
    const fs::path written = dir / "RFFiles" / "Lights.txt";
    std::vector<RfSignal> library;
    ASSERT_TRUE(ReadRfLibrary(written, &library));
    ASSERT_EQ(library.size(), 1u);
    EXPECT_EQ(library[0].name, ";RF Lamp X10");

    // Written again: only after Yes.
    std::ofstream(written, std::ios::binary) << "kept";
    env.dialogs.QueueAnswer(false);
    Click(&form, "New_B");
    std::ifstream in(written, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "kept");
    env.dialogs.QueueAnswer(true);
    Click(&form, "New_B");
    ASSERT_TRUE(ReadRfLibrary(written, &library));
    EXPECT_EQ(library.size(), 1u);
    EXPECT_EQ(form.Result().written, (std::vector<fs::path>{written, written}));

    // The picker lists what the writer wrote.
    TRFFilesForm picker(env.context, dir / "RFFiles");
    EXPECT_EQ(Tabs(picker), (QStringList{"Lights.txt", "a.rft", "b.RFT"}));
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
}

}  // namespace
}  // namespace orbik::editor
