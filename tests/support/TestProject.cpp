#include "support/TestProject.h"

#include "compiler/BuildConfiguration.h"

namespace orbik::test {

namespace fs = std::filesystem;

TestProject::TestProject() {
    File("P.txt", {"descriptor=Test", "language=English", "item=A"});
    File("LANGUAGES.TXT", {"English=English"});
    File("DISPLAYS.TXT", {"display=0", "English=Hello"});
    File("KEYWORDS.TXT", {"keyword=wake", "type=wakeup", "English=wake up", "keyword=tv",
                          "type=deviceselection", "English=tv"});
    File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=tv"});
    File("Items&Menus/Main/MENU.TXT", {"keyword=tv", "procedure=SendButton(on)"});
    Announcements("English");
    Recordings("English", "wake");
    Recordings("English", "tv");
}

fs::path TestProject::File(std::string_view relative,
                           std::initializer_list<std::string_view> lines) {
    std::string text;
    for (auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return dir_.Write((fs::path("Project") / "P" / relative).string(), text);
}

void TestProject::Remove(std::string_view relative) {
    fs::remove(ProjectDir() / relative);
}

void TestProject::Recordings(std::string_view language, std::string_view keyword) {
    std::string stem = "Speech/" + std::string(language) + "/" + std::string(language) + "_" +
                       std::string(keyword) + "_";
    dir_.Write(stem + "1.ply", "ply:" + std::string(keyword));
    for (char p = '1'; p <= '4'; ++p) dir_.Write(stem + p + ".pat", std::string("pat") + p);
}

void TestProject::Announcements(std::string_view language) {
    std::string stem =
        "Speech/" + std::string(language) + "/" + std::string(language) + "_announcement_";
    dir_.Write(stem + "1.ply", "first");
    dir_.Write(stem + "3.ply", "third");
}

std::string TestProject::ReadProjectFile(std::string_view relative) const {
    return dir_.Read((fs::path("Project") / "P" / relative).string());
}

compiler::BuildState TestProject::State() const {
    return compiler::MakeBuildState("P", ProjectDir(), ProgramDir());
}

compiler::StatusLines TestProject::Build(compiler::BuildState* state) const {
    compiler::StatusLines log;
    compiler::BuildState local;
    compiler::BuildState& target = state ? *state : local;
    target = State();
    compiler::BuildConfiguration(target, log);
    return log;
}

}  // namespace orbik::test
