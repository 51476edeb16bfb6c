// How windows may reach each other: only src/app knows every window, and
// only the main window touches its multiple-document area.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Each source file under src/ with its text.
template <class Visit>
int ForEachSource(Visit visit) {
    int scanned = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ORBIK_SOURCE_DIR) / "src")) {
        auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        visit(entry.path().lexically_relative(ORBIK_SOURCE_DIR).generic_string(), text.str());
        ++scanned;
    }
    return scanned;
}

TEST(WindowRules, OnlyTheApplicationIncludesItsWindows) {
    int scanned = ForEachSource([](const std::string& file, const std::string& text) {
        if (file.starts_with("src/app/")) return;
        EXPECT_EQ(text.find("\"app/forms/"), std::string::npos) << file;
    });
    EXPECT_GT(scanned, 10);
}

TEST(WindowRules, OnlyTheMainWindowTouchesTheProjectArea) {
    ForEachSource([](const std::string& file, const std::string& text) {
        if (file.starts_with("src/app/forms/TMainForm.")) return;
        EXPECT_EQ(text.find("QMdi"), std::string::npos) << file;
    });
}

// The program's own modal windows run through Dialogs::RunModal, so tests
// answer them like a message box.
TEST(WindowRules, WindowsAreRunThroughTheDialogs) {
    ForEachSource([](const std::string& file, const std::string& text) {
        if (file.find("/forms/") == std::string::npos) return;
        EXPECT_EQ(text.find("exec()"), std::string::npos) << file;
    });
}

// Core strings are Windows-1252 and paths have their own pair: a window
// never takes std::string as UTF-8 or a path as a std::string.
TEST(WindowRules, WindowsConvertTextAndPathsThroughTheirPairs) {
    ForEachSource([](const std::string& file, const std::string& text) {
        if (file == "src/ui/UiText.cpp") return;
        for (const char* banned : {"fromStdString", "toStdString", "fromLocal8Bit"})
            EXPECT_EQ(text.find(banned), std::string::npos) << file << " uses " << banned;
    });
}

}  // namespace
