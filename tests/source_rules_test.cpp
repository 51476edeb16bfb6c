// The core (everything outside forms/, ui/ and app/) stays free of Qt: a
// rule the compiler checks only where Qt is not installed. How windows
// reach each other is checked in tests/ui/window_rules_test.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace orbik {
namespace {

namespace fs = std::filesystem;

const std::regex kQtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]|qt))");

// Lines of `file` that match `pattern`, as "path:line: text".
std::vector<std::string> Matches(const fs::path& file, const std::regex& pattern) {
    std::vector<std::string> found;
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number)
        if (std::regex_search(line, pattern))
            found.push_back(file.string() + ":" + std::to_string(number) + ": " + line);
    return found;
}

// Every C++ file under src/, with its path relative to src/.
std::vector<fs::path> SourceFiles() {
    const fs::path src = fs::path(ORBIK_SOURCE_DIR) / "src";
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h"))
            files.push_back(entry.path().lexically_relative(src));
    }
    return files;
}

bool InDirectory(const fs::path& relative, const std::string& name) {
    for (const auto& part : relative.parent_path())
        if (part == name) return true;
    return false;
}

bool IsCoreFile(const fs::path& relative) {
    return !InDirectory(relative, "forms") && !InDirectory(relative, "ui") &&
           !InDirectory(relative, "app");
}

TEST(SourceRules, PatternsSeeWhatTheyMustSee) {
    for (const char* line : {"#include <QString>", "#  include \"QtWidgets/QWidget\"",
                             "#include <qtextstream.h>", " #include <QtCore>"})
        EXPECT_TRUE(std::regex_search(std::string(line), kQtInclude)) << line;
    for (const char* line : {"#include <queue>", "#include \"project/Query.h\"",
                             "// QString is not used here", "#include <string>"})
        EXPECT_FALSE(std::regex_search(std::string(line), kQtInclude)) << line;
    EXPECT_TRUE(IsCoreFile("compiler/Procedure.cpp"));
    EXPECT_TRUE(IsCoreFile("platform/Text.h"));
    EXPECT_FALSE(IsCoreFile("compiler/forms/TCreateForm.cpp"));
    EXPECT_FALSE(IsCoreFile("ui/Dialogs.h"));
    EXPECT_FALSE(IsCoreFile("app/main.cpp"));
}

TEST(SourceRules, CoreIncludesNoQtHeader) {
    const fs::path src = fs::path(ORBIK_SOURCE_DIR) / "src";
    std::vector<std::string> offending;
    std::size_t scanned = 0;
    for (const auto& relative : SourceFiles()) {
        if (!IsCoreFile(relative)) continue;
        ++scanned;
        for (auto& match : Matches(src / relative, kQtInclude)) offending.push_back(match);
    }
    EXPECT_GT(scanned, 50u);  // the tree was found
    EXPECT_TRUE(offending.empty()) << ::testing::PrintToString(offending);
}

}  // namespace
}  // namespace orbik
