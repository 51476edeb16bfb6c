#pragma once
// Where Load reads a project's files from: the disk, or memory for tests,
// fuzzing and benchmarks. Load itself composes every path through the
// project layout and only asks the source about them.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orbik::editor {

namespace fs = std::filesystem;

class ProjectSource {
  public:
    virtual ~ProjectSource() = default;
    virtual bool IsDirectory(const fs::path& path) const = 0;
    virtual bool IsFile(const fs::path& path) const = 0;
    // The file's lines; false with the system's reason when it cannot be read.
    virtual bool ReadLines(const fs::path& path, std::vector<std::string>* lines,
                           std::string* reason) const = 0;
};

// The project on disk; names resolve without regard to case.
class DiskSource : public ProjectSource {
  public:
    bool IsDirectory(const fs::path& path) const override;
    bool IsFile(const fs::path& path) const override;
    bool ReadLines(const fs::path& path, std::vector<std::string>* lines,
                   std::string* reason) const override;
};

// Files held in memory, matched as the disk matches them: A-Z folded.
// A directory exists when some file lies beneath it.
class MemorySource : public ProjectSource {
  public:
    void Put(const fs::path& path, std::string bytes);
    const std::map<std::string, std::string>& Files() const { return files_; }

    bool IsDirectory(const fs::path& path) const override;
    bool IsFile(const fs::path& path) const override;
    bool ReadLines(const fs::path& path, std::vector<std::string>* lines,
                   std::string* reason) const override;

  private:
    static std::string Key(const fs::path& path);
    std::map<std::string, std::string> files_;  // folded generic path -> bytes
};

}  // namespace orbik::editor
