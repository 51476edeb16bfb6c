#pragma once
// Undo and redo for a project's files: before each change the whole
// project folder is copied into a history folder outside the project, so
// that the build, export and the project list never see it. Undo and Redo
// put the folder back exactly as it was. Symbolic links are kept as links,
// never followed. The history goes with the object.

#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace orbik::editor {

namespace fs = std::filesystem;

class ProjectHistory {
  public:
    static constexpr std::size_t kDefaultSteps = 20;

    // A history for `projectDir` in a new folder below `tempRoot`; null
    // with "path: reason" when that folder cannot be made.
    static std::unique_ptr<ProjectHistory> Create(const fs::path& projectDir,
                                                  const fs::path& tempRoot, std::string* error,
                                                  std::size_t steps = kDefaultSteps);
    ~ProjectHistory();
    ProjectHistory(const ProjectHistory&) = delete;
    ProjectHistory& operator=(const ProjectHistory&) = delete;

    // One change may write the folder in several goes: the first BeginChange
    // copies the folder, further ones until EndChange add nothing. EndChange
    // drops the step when the change left the folder as it was. A failed
    // copy leaves the change without an undo step.
    bool BeginChange(std::string* error);
    void EndChange();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // Put the folder back as it was before the last change (after the last
    // undone one). On failure the folder is put back as it was before the
    // call as far as possible, and the step is kept.
    bool Undo(std::string* error);
    bool Redo(std::string* error);

    const fs::path& Folder() const { return folder_; }

    // A folder of the project (relative to it) that holds working copies,
    // not the project: it is never copied and never put back.
    void Ignore(const fs::path& relative) { ignored_.push_back(relative.lexically_normal()); }

  private:
    ProjectHistory(fs::path projectDir, fs::path folder, std::size_t steps);
    // Copies the project folder into a new snapshot folder.
    bool Take(fs::path* snapshot, std::string* error);
    bool Step(std::deque<fs::path>& from, std::deque<fs::path>& to, std::string* error);
    void Drop(const fs::path& snapshot);

    fs::path projectDir_;
    fs::path folder_;
    std::size_t steps_;
    std::size_t taken_ = 0;  // names the snapshot folders
    std::deque<fs::path> undo_, redo_;
    bool open_ = false;  // a change is under way
    fs::path latest_;    // the newest snapshot: unchanged files link to it
    std::vector<fs::path> ignored_;
};

}  // namespace orbik::editor
