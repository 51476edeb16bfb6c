// The scripted dialogs answer what windows ask as the real ones would:
// modal windows by a queued result or by working the window, file choices
// with the replace question, prompts, printers and fonts.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPrinter>

#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/Dialogs.h"

namespace orbik::ui {
namespace {

// A modal window that answers with a plain struct, as a composer dialog does.
class NameForm : public QDialog {
  public:
    struct Answer {
        QString name;
        bool operator==(const Answer&) const = default;
    };
    NameForm() {
        setObjectName("NameForm");
        edit = new QLineEdit(this);
        edit->setObjectName("E_Name");
    }
    Answer Result() const { return {edit->text()}; }
    QLineEdit* edit;
};

TEST(ScriptedDialogs, AnswerModalWindowsByResultOrByWorkingThem) {
    test::ScriptedDialogs dialogs;
    NameForm form;
    dialogs.QueueWindowResult("NameForm", NameForm::Answer{"TV"});
    EXPECT_EQ(RunModalForm(dialogs, form), NameForm::Answer{"TV"});
    EXPECT_EQ(form.edit->text(), "");  // untouched

    dialogs.QueueWindow("NameForm", [](QDialog& window) {
        window.findChild<QLineEdit*>("E_Name")->setText("Radio");
        window.accept();
    });
    EXPECT_EQ(RunModalForm(dialogs, form), NameForm::Answer{"Radio"});

    dialogs.QueueWindow("NameForm", [](QDialog& window) {
        window.findChild<QLineEdit*>("E_Name")->setText("Lamp");
        window.reject();
    });
    EXPECT_EQ(RunModalForm(dialogs, form), std::nullopt);  // cancelled

    ASSERT_EQ(dialogs.Log().size(), 3u);
    EXPECT_EQ(dialogs.Log()[0].kind, "window");
    EXPECT_EQ(dialogs.Log()[0].title, "NameForm");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST(ScriptedDialogs, FailWindowsThatAreNotExpectedOrLeftOpen) {
    test::ScriptedDialogs dialogs;
    NameForm form;
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(RunModalForm(dialogs, form), std::nullopt),
                            "unexpected window: NameForm");
    dialogs.QueueWindowResult("InfoForm", 0);
    EXPECT_NONFATAL_FAILURE(RunModalForm(dialogs, form), "expected InfoForm");
    dialogs.Clear();
    test::ScriptedDialogs other;
    other.QueueWindowResult("NameForm", 7);
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(RunModalForm(other, form), std::nullopt), "another type");
    other.QueueWindow("NameForm", [](QDialog&) {});
    EXPECT_NONFATAL_FAILURE(RunModalForm(other, form), "NameForm was left open");
}

TEST(ScriptedDialogs, SavingOverAnExistingFileNeedsAYes) {
    test::TempDir dir;
    const QString existing = QStringFromPath(dir.Write("old.cim", "x"));
    const QString fresh = QStringFromPath(dir / "new.cim");
    test::ScriptedDialogs dialogs;
    dialogs.QueueFileName(fresh);
    EXPECT_EQ(dialogs.SaveFileName(nullptr, "Save", {}, "*.cim"), fresh);
    dialogs.QueueFileName(existing);
    dialogs.QueueAnswer(false);
    EXPECT_EQ(dialogs.SaveFileName(nullptr, "Save", {}, "*.cim"), "");
    dialogs.QueueFileName(existing);
    dialogs.QueueAnswer(true);
    EXPECT_EQ(dialogs.SaveFileName(nullptr, "Save", {}, "*.cim"), existing);
    QStringList kinds;
    for (const auto& shown : dialogs.Log()) kinds << shown.kind;
    EXPECT_EQ(kinds, (QStringList{"save", "save", "replace", "save", "replace"}));
    EXPECT_EQ(dialogs.Log()[2].text, existing);
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST(ScriptedDialogs, PromptsPrintersAndFonts) {
    test::ScriptedDialogs dialogs;
    dialogs.QueueText(QString("Kitchen"));
    dialogs.QueueText(std::nullopt);
    EXPECT_EQ(dialogs.AskText(nullptr, "New IR Device", "Name", ""), "Kitchen");
    EXPECT_EQ(dialogs.AskText(nullptr, "New IR Device", "Name", "TV"), std::nullopt);
    EXPECT_EQ(dialogs.Log()[0].kind, "text");
    EXPECT_EQ(dialogs.Log()[0].text, "Name");

    QPrinter printer;
    dialogs.QueueAnswer(false);
    EXPECT_FALSE(dialogs.ChoosePrinter(nullptr, printer));
    QFont courier("Courier", 9);
    dialogs.QueueFont(courier);
    EXPECT_EQ(dialogs.ChooseFont(nullptr, "Font", QFont()), courier);
    EXPECT_NONFATAL_FAILURE(dialogs.ChooseFont(nullptr, "Font", QFont()), "unexpected font");
    EXPECT_TRUE(dialogs.AllAnswersUsed());
}

}  // namespace
}  // namespace orbik::ui
