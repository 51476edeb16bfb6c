#pragma once
// A fresh directory under the system temp folder, removed with its contents.

#include <filesystem>
#include <string>
#include <string_view>

namespace orbik::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes bytes to a file below the directory, creating folders on the way.
    std::filesystem::path Write(std::string_view relative, std::string_view bytes) const;
    std::string Read(std::string_view relative) const;

  private:
    std::filesystem::path path_;
};

}  // namespace orbik::test
