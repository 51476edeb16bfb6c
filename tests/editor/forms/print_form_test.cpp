// The listing dialog from the project window's Print: the listing, with
// actions after Refresh, a font, printing and saving as a document.

#include "editor/forms/TPrintForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTextEdit>

#include "editor/Listing.h"
#include "editor/forms/TProjectForm.h"
#include "platform/FileSystem.h"
#include "support/TestContext.h"
#include "support/TestProject.h"

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;

QString Listing(const ProjectModel& model, bool withActions) {
    QStringList lines;
    for (const auto& line : ListingLines(model, "P", test::kTestDay, withActions))
        lines << QString::fromStdString(line);
    return lines.join('\n');
}

TEST(PrintForm, ShowsPrintsAndSavesTheListing) {
    test::TestProject p;
    p.File("Items&Menus/Sleep/MENU.TXT", {"keyword=wake", "procedure=SetMenu(Main)"});
    settings::Settings s;
    s.programDir = p.ProgramDir();
    s.projectPath = "\\Project";
    s.projectLanguage = s.programLanguage = "English";
    test::TestContext env(s);
    TProjectForm form(env.context, "P");
    ASSERT_TRUE(form.Load());
    const fs::path pdf = p.ProgramDir() / "listing.pdf", rtf = p.ProgramDir() / "listing.rtf",
                   odt = p.ProgramDir() / "listing.odt";

    env.dialogs.QueueWindow("PrintForm", [&](QDialog& dialog) {
        auto& listing = static_cast<TPrintForm&>(dialog);
        auto* text = dialog.findChild<QTextEdit*>("RichEdit1");
        EXPECT_EQ(text->toPlainText(), Listing(form.Model(), false));
        dialog.findChild<QCheckBox*>("CB_Add")->click();
        dialog.findChild<QPushButton*>("Repaint_B")->click();
        EXPECT_EQ(text->toPlainText(), Listing(form.Model(), true));
        EXPECT_TRUE(text->toPlainText().contains(QString(45, ' ') + "SendButton(on)"));

        QFont font("Monospace", 14);
        env.dialogs.QueueFont(font);
        dialog.findChild<QPushButton*>("Font_B")->click();
        EXPECT_EQ(text->font().pointSize(), 14);

        // Print: the project's name is the document's title.
        EXPECT_EQ(listing.Printer().docName(), "P");
        listing.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
        env.dialogs.QueueAnswer(false);  // cancelled: nothing printed
        dialog.findChild<QPushButton*>("Print_B")->click();
        EXPECT_FALSE(fs::exists(pdf));
        env.dialogs.QueueAnswer(true);
        dialog.findChild<QPushButton*>("Print_B")->click();
        EXPECT_GT(fs::file_size(pdf), 0u);

        // Rich text by default, an OpenDocument text when asked.
        env.dialogs.QueueFileName(QString::fromStdString((p.ProgramDir() / "listing").string()));
        dialog.findChild<QPushButton*>("Save_B")->click();
        std::string saved;
        ASSERT_TRUE(platform::ReadWholeFile(rtf, &saved, 1 << 20));
        EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u);
        EXPECT_NE(saved.find("\\fs28\r\n"), std::string::npos);
        EXPECT_NE(saved.find("     Project:   P\\par"), std::string::npos);
        env.dialogs.QueueFileName(QString::fromStdString(odt.string()));
        dialog.findChild<QPushButton*>("Save_B")->click();
        ASSERT_TRUE(platform::ReadWholeFile(odt, &saved, 1 << 20));
        EXPECT_EQ(saved.rfind("PK", 0), 0u);  // a zip package
        dialog.findChild<QPushButton*>("Button1")->click();
    });
    auto* print = form.findChild<QAction*>("TB_Print");
    ASSERT_TRUE(print->isEnabled());
    print->trigger();
    EXPECT_TRUE(env.dialogs.AllAnswersUsed());
    EXPECT_EQ(env.dialogs.Log()[0].text, "Print");  // the window's caption
}

}  // namespace
}  // namespace orbik::editor
