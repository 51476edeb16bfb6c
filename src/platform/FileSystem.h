#pragma once
// File system helpers for a program whose files were named on a
// case-insensitive file system: every component of a path is resolved
// without regard to case (exact name first, then the first entry in sorted
// order that matches folding A-Z only).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::platform {

namespace fs = std::filesystem;

// Path with every existing component replaced by its spelling on disk.
// Components that do not exist (and everything after them) stay as given,
// so a write to the result updates an existing file of another case.
fs::path ResolvePath(const fs::path& path);

// Ruling: a file "exists" when the name resolves to a regular file.
bool FileExists(const fs::path& path);
bool DirectoryExists(const fs::path& path);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

bool ReadWholeFile(const fs::path& path, std::string* data, std::string* error = nullptr);
// Writes to a temporary file beside the target and renames it into place:
// either the old or the whole new content is there, never a part.
bool WriteFileAtomic(const fs::path& path, std::string_view data, std::string* error = nullptr);

// WriteFileAtomic in two steps, for content that takes long to produce:
// Create makes the temporary file at once, so a destination that cannot be
// written fails before the work; Commit writes and renames it into place.
// A file never committed is removed, leaving the target as it was.
class PendingFile {
  public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Messages name the target: "path: reason".
    bool Create(const fs::path& path, std::string* error = nullptr);
    bool Commit(std::string_view data, std::string* error = nullptr);
    void Discard();

  private:
    fs::path target_;
    std::string temp_;
    int fd_ = -1;
};

// Fails when the target exists.
bool CopyFileNoOverwrite(const fs::path& from, const fs::path& to, std::string* error = nullptr);
// The destination becomes a copy of the source tree; it is created when missing.
bool CopyDirectory(const fs::path& from, const fs::path& to, std::string* error = nullptr);
bool RenamePath(const fs::path& from, const fs::path& to, std::string* error = nullptr);
// Deletes a file, a symbolic link or an empty directory.
bool DeletePath(const fs::path& path, std::string* error = nullptr);
bool CreateDirectories(const fs::path& path, std::string* error = nullptr);

enum class EntryKind { File, Directory, Symlink, Other };
struct DirEntry {
    std::string name;
    EntryKind kind;
};
// Entries of a directory in sorted order, without "." and "..".
std::vector<DirEntry> ListDirectory(const fs::path& path);

// Deletes everything inside the directory, keeping the directory itself.
// Symbolic links are deleted as entries, never followed. Sub-directories
// whose name begins with "." are deleted as files would be (which fails for
// a non-empty one, and that failure is ignored). False when a sub-directory
// cannot be removed.
bool EmptyDirectory(const fs::path& path);

// Trims blanks and appends the native separator unless the text is empty
// or already ends with one.
std::string IncludeTrailingBackslash(std::string_view text);

// Joins a [Paths] setting ("\Project" or "/Project") to the program directory.
fs::path JoinSetting(const fs::path& base, std::string_view setting);

}  // namespace orbik::platform
