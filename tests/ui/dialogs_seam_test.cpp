// Every message box and file dialog goes through the Dialogs seam, so that
// window tests can answer them; nothing outside ui/Dialogs.* may call them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST(DialogsSeam, OnlyDialogsCppUsesMessageBoxesAndFileDialogs) {
    const fs::path src = fs::path(ORBIK_SOURCE_DIR) / "src";
    const fs::path seam = src / "ui";
    int scanned = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        auto ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".h" && ext != ".ui") continue;
        ++scanned;
        if (entry.path().parent_path() == seam && entry.path().stem() == "Dialogs") continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        for (const char* banned :
             {"QMessageBox", "QFileDialog", "QInputDialog", "QPrintDialog", "QFontDialog"})
            EXPECT_EQ(text.str().find(banned), std::string::npos)
                << entry.path() << " uses " << banned;
    }
    EXPECT_GT(scanned, 10);
}

}  // namespace
