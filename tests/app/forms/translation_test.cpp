// Every text a window shows in German comes from the text table: the same
// window is walked in English and in German, and a text that reads the same
// in both must consist of the table's own German words (Extras, Info, ...)
// and names.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/forms/TInfoForm.h"
#include "app/forms/TMainForm.h"
#include "app/forms/TOptionsForm.h"
#include "editor/forms/TCreateRFForm.h"
#include "editor/forms/TEditActionForm.h"
#include "editor/forms/TLinkBTForm.h"
#include "editor/forms/TParallelForm.h"
#include "editor/forms/TPrintForm.h"
#include "editor/forms/TProjectForm.h"
#include "editor/forms/TRFFilesForm.h"
#include "link/forms/TTransferForm.h"
#include "support/Captions.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "support/TestContext.h"
#include "ui/UiText.h"

namespace orbik::app {
namespace {

using test::TempDir;

// The visible texts of a window by where they show.
using Texts = QMap<QString, QString>;

void Walk(QWidget& window, Texts& texts) {
    texts["title"] = window.windowTitle();
    for (auto* label : window.findChildren<QLabel*>())
        if (!label->text().isEmpty()) texts[label->objectName()] = label->text();
    for (auto* button : window.findChildren<QAbstractButton*>())
        if (!qobject_cast<QToolButton*>(button) && !button->isHidden())
            texts[button->objectName()] = test::Caption(button->text());
    for (auto* tabs : window.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            texts[tabs->widget(i)->objectName()] = tabs->tabText(i);
    for (auto* box : window.findChildren<QComboBox*>()) {
        texts[box->objectName() + ".placeholder"] = box->placeholderText();
        for (int i = 0; i < box->count(); ++i)
            texts[box->objectName() + "." + QString::number(i)] = box->itemText(i);
    }
    for (auto* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* title : bar->actions()) {
            texts[title->objectName() + title->text()] = test::Caption(title->text());
            if (!title->menu()) continue;
            for (QAction* item : title->menu()->actions())
                if (!item->isSeparator()) texts[item->objectName()] = test::Caption(item->text());
        }
    }
    for (auto* action : window.findChildren<QAction*>())
        if (!action->toolTip().isEmpty()) texts[action->objectName() + ".hint"] = action->toolTip();
}

// The German values of the table and the names that read the same in
// every language, longest first.
QStringList SameInBothLanguages(const std::filesystem::path& table) {
    QStringList words = {"ORBIK", "COM", "orbikflash"};
    std::ifstream in(table, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("German=")) words << ui::FromCp1252(line.substr(7));
    }
    std::sort(words.begin(), words.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return words;
}

// Texts of the German window that were not translated.
QStringList Untranslated(const Texts& english, const Texts& german, const QStringList& same) {
    QStringList found;
    for (auto it = german.begin(); it != german.end(); ++it) {
        if (english.value(it.key()) != it.value()) continue;
        QString rest = it.value();
        for (const QString& word : same)
            if (!word.isEmpty()) rest.remove(word);
        if (rest.contains(QRegularExpression("[A-Za-z]{2,}")))
            found << it.key() + ": " + it.value();
    }
    return found;
}

class TranslationTest : public ::testing::Test {
  protected:
    TranslationTest() {
        std::filesystem::copy_file(
            std::filesystem::path(ORBIK_SOURCE_DIR) / "data/demo/formcaps.txt",
            dir / "formcaps.txt");
        same = SameInBothLanguages(dir / "formcaps.txt");
        same << ui::QStringFromPath(dir / "a.cim");  // the transfer's file
    }
    // The program directory in `language`, with no port chosen.
    void UseLanguage(const char* language) {
        dir.Write("orbik.ini",
                  std::string("[Language]\r\nProgram=") + language + "\r\nProject=German\r\n");
    }
    template <class Window>
    Texts TextsOf(const char* language) {
        UseLanguage(language);
        test::TestContext env(settings::LoadSettings(dir.Path()));
        Window window(env.context);
        Prepare(window);
        Texts texts;
        Walk(window, texts);
        return texts;
    }
    void Prepare(QWidget&) {}
    void Prepare(link::TTransferForm& transfer) {
        transfer.Job.operation = link::Operation::TransCim;
        transfer.Job.fileName = dir / "a.cim";
        transfer.Prepare();  // no device: Connect and "No answer"
    }

    TempDir dir;
    QStringList same;
};

TEST_F(TranslationTest, MainWindowInGermanShowsOnlyTableTexts) {
    auto textsOf = [&](const char* language) {
        UseLanguage(language);
        test::ScriptedDialogs dialogs;
        TMainForm main(dir.Path(), dialogs);
        Texts texts;
        Walk(main, texts);
        texts["StatusPanel2"].clear();  // the program directory
        return texts;
    };
    Texts english = textsOf("English");
    Texts german = textsOf("German");
    EXPECT_EQ(german["DataCreateFile"], "Datei erzeugen");
    EXPECT_EQ(german["StatusPanel1"],
              QString::fromUtf8("Kein COM-Anschluss gewählt (Extras, Optionen)"));
    EXPECT_EQ(Untranslated(english, german, same), QStringList());
}

TEST_F(TranslationTest, DialogsInGermanShowOnlyTableTexts) {
    Texts english = TextsOf<TOptionsForm>("English");
    Texts german = TextsOf<TOptionsForm>("German");
    EXPECT_EQ(german["CB_MainLang.0"], "Deutsch");
    EXPECT_EQ(english["CB_MainLang.0"], "German");
    EXPECT_EQ(Untranslated(english, german, same), QStringList());

    english = TextsOf<link::TTransferForm>("English");
    german = TextsOf<link::TTransferForm>("German");
    EXPECT_EQ(english["Label1"], "No answer from ORBIK");
    EXPECT_EQ(german["Label1"], "Keine Antwort von ORBIK");
    EXPECT_EQ(Untranslated(english, german, same), QStringList());

    english = TextsOf<TInfoForm>("English");
    german = TextsOf<TInfoForm>("German");
    EXPECT_EQ(Untranslated(english, german, same), QStringList());

    const editor::ProjectModel empty;
    auto listingTexts = [&](const char* language) {
        UseLanguage(language);
        test::TestContext env(settings::LoadSettings(dir.Path()));
        editor::TPrintForm listing(env.context, empty, "M");
        Texts texts;
        Walk(listing, texts);
        return texts;
    };
    english = listingTexts("English");
    german = listingTexts("German");
    EXPECT_EQ(english["Save_B"], "Save To File");
    EXPECT_EQ(Untranslated(english, german, same), QStringList());
}

TEST_F(TranslationTest, ProjectWindowInGermanShowsOnlyTableTexts) {
    dir.Write("M/M.txt", "language=German\r\nitem=TV\r\nitem=ExternalDisplay\r\n");
    dir.Write("M/keywords.txt", "keyword=tv\r\nGerman=Fernseher\r\n");
    dir.Write("M/Items&Menus/TV/item.txt", "keyword=tv\r\n");
    dir.Write("M/Items&Menus/ExternalDisplay/item.txt", "keyword=display\r\n");
    dir.Write("M/Items&Menus/Main/menu.txt", "keyword=tv\r\nprocedure=Nothing\r\n");
    dir.Write("M/Items&Menus/Sleep/menu.txt", "");
    auto textsOf = [&](const char* language) {
        UseLanguage(language);
        test::TestContext env(settings::LoadSettings(dir.Path()));
        editor::TProjectForm window(env.context, "M");
        EXPECT_TRUE(window.Load()) << qPrintable(env.dialogs.Messages().join("|"));
        window.SetBytesUsed(10);
        Texts texts;
        Walk(window, texts);
        texts["title"].clear();  // the project's name
        // Button names are the device's own, the same in every language.
        for (const QString& key : texts.keys())
            if (key.contains(QRegularExpression("^CB_(DKey)?Buttons[12]?\\."))) texts.remove(key);
        return texts;
    };
    Texts english = textsOf("English");
    Texts german = textsOf("German");
    EXPECT_EQ(english["StatusPanel2"], "4 Keywords used");
    EXPECT_EQ(english["TS_Device"], "Edit Device");
    EXPECT_EQ(german["TS_Device"], QString::fromUtf8("Gerät bearbeiten"));
    EXPECT_EQ(Untranslated(english, german, same).join("\n").toStdString(), "");
}

TEST_F(TranslationTest, ActionDialogsInGermanShowOnlyTableTexts) {
    using Make = std::function<std::unique_ptr<QDialog>(const ui::WindowContext&)>;
    const Make makers[] = {
        [](const ui::WindowContext& c) { return std::make_unique<editor::TParallelForm>(c); },
        [](const ui::WindowContext& c) { return std::make_unique<editor::TCreateRFForm>(c); },
        [](const ui::WindowContext& c) {
            return std::make_unique<editor::TLinkBTForm>(c, std::nullopt);
        },
        [](const ui::WindowContext& c) {
            return std::make_unique<editor::TEditActionForm>(c, "FindBtTelephoneNumber(0)");
        },
        [this](const ui::WindowContext& c) {
            return std::make_unique<editor::TRFFilesForm>(c, dir.Path());
        },
    };
    for (const Make& make : makers) {
        auto textsOf = [&](const char* language) {
            UseLanguage(language);
            test::TestContext env(settings::LoadSettings(dir.Path()));
            auto window = make(env.context);
            Texts texts;
            Walk(*window, texts);
            return texts;
        };
        Texts english = textsOf("English");
        Texts german = textsOf("German");
        SCOPED_TRACE(english["title"].toStdString());
        EXPECT_NE(english["title"], german["title"]);
        EXPECT_EQ(Untranslated(english, german, same).join("\n").toStdString(), "");
    }
}

// The walk itself finds what is left untranslated.
TEST_F(TranslationTest, AnUntranslatedTextIsFound) {
    Texts english{{"a", "Transfer Complete"}, {"b", "Extras"}, {"c", "ORBIK 3.04"}};
    Texts german{{"a", "Transfer Complete"}, {"b", "Extras"}, {"c", "ORBIK 3.04"}};
    EXPECT_EQ(Untranslated(english, german, same), QStringList{"a: Transfer Complete"});
}

}  // namespace
}  // namespace orbik::app
