#pragma once
// File system helpers for a program whose files were named on a
// case-insensitive file system: every component of a path is resolved
// without regard to case (exact name first, then the first entry in sorted
// order that matches folding A-Z only).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::platform {

namespace fs = std::filesystem;

// Path with every existing component replaced by its spelling on disk.
// Components that do not exist (and everything after them) stay as given,
// so a write to the result updates an existing file of another case.
// *throughLink tells whether any component found is a symbolic link.
fs::path ResolvePath(const fs::path& path, bool* throughLink = nullptr);

// Ruling: a file "exists" when the name resolves to a regular file.
bool FileExists(const fs::path& path);
bool DirectoryExists(const fs::path& path);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// Errors of the functions below read "<path>: <reason>", the reason being
// the system's (strerror) text or a short one of ours, never containing
// ": ". ErrorReason gives the reason alone, for callers that name the file
// themselves.
std::string ErrorReason(std::string_view error);

// The size of the regular file the name resolves to (links followed).
std::optional<std::uintmax_t> RegularFileSize(const fs::path& path);

// What the program's text files (projects, settings, lists) are allowed to
// hold: far beyond any real one, small enough to hold in memory.
inline constexpr std::uintmax_t kMaxTextFileSize = 16u << 20;

// Reads a regular file whole. Its size is checked against maxSize before
// anything is read, every read call is checked, and what was read must
// come to the size the system reported: a failing disk or a file that
// changes under the read is an error, never a shorter file.
bool ReadWholeFile(const fs::path& path, std::string* data, std::uintmax_t maxSize,
                   std::string* error = nullptr);

// A file replaced whole: Create makes a temporary file beside the target at
// once (a short name, so long targets fit), so a destination that cannot be
// written fails before any long work; Write fills it; Rename puts it into
// place. Either the old or the whole new content is there, never a part. A
// file never renamed is removed, leaving the target as it was. Messages
// name the target: "path: reason".
class PendingFile {
  public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool Create(const fs::path& path, std::string* error = nullptr);
    bool Write(std::string_view data, std::string* error = nullptr);
    bool Rename(std::string* error = nullptr);
    // Write, then Rename.
    bool Commit(std::string_view data, std::string* error = nullptr);
    void Discard();

  private:
    fs::path target_;
    std::string temp_;
    int fd_ = -1;
};

// Either the old or the whole new content is there, never a part.
bool WriteFileAtomic(const fs::path& path, std::string_view data, std::string* error = nullptr);

// Replaces several files together: each is written whole to its temporary
// file, and only when every write succeeded are they renamed into place.
class FileReplacement {
  public:
    bool Stage(const fs::path& path, std::string_view data, std::string* error = nullptr);
    bool Commit(std::string* error = nullptr);

  private:
    std::vector<std::unique_ptr<PendingFile>> staged_;
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
