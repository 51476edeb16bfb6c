#pragma once
// A program directory with one project "P" in a temp folder, written file by
// file: the smallest project that builds, then whatever a test changes.

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "compiler/BuildLog.h"
#include "compiler/BuildState.h"
#include "support/TempDir.h"

namespace orbik::test {

class TestProject {
  public:
    // English only; keywords "wake" (wakeup) and "tv" (deviceselection);
    // item "A" selected by "tv"; menu Main with one procedure for "tv";
    // every recording present.
    TestProject();

    std::filesystem::path ProjectDir() const { return dir_.Path() / "Project" / "P"; }
    std::filesystem::path ProgramDir() const { return dir_.Path(); }

    // Writes a project file from lines (CR LF ends), replacing what was there.
    std::filesystem::path File(std::string_view relative,
                               std::initializer_list<std::string_view> lines);
    void Remove(std::string_view relative);
    // The four .pat and the .ply recording of a keyword, and the announcements.
    void Recordings(std::string_view language, std::string_view keyword);
    void Announcements(std::string_view language);

    std::string ReadProjectFile(std::string_view relative) const;

    compiler::BuildState State() const;
    // Builds; the state afterwards is left in *state when given.
    compiler::StatusLines Build(compiler::BuildState* state = nullptr) const;

  private:
    TempDir dir_;
};

}  // namespace orbik::test
