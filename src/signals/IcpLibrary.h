#pragma once
// The library of whole IR code files: "*.icp" files, each with its name
// file beside it. Files move in and out of it with their name files and
// never replace a file that is there, also one whose name differs only in
// letter case.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::signals {

inline constexpr std::string_view kFileExistsText = "File already exists!";
inline constexpr std::string_view kFileCopiedText = "File successfully copied!";
inline constexpr std::string_view kNoExtensionText = "Please use Filename without extension!";
inline constexpr std::string_view kDeleteIcpQuestion = "Delete ICP File?";
// The 10 bytes of a code file's header that hold its name.
inline constexpr std::size_t kLibraryNameBound = 10;

// The "*.icp" files of the folder (any letter case), in byte order.
std::vector<std::string> ListCodeFiles(const std::filesystem::path& folder);

// Whether "Rename File" / "Copy File" may be pressed: a text that is not
// empty, does not begin with a blank and, with ".icp" added, names no row.
bool NameOffered(std::string_view text, const std::vector<std::string>& rows);
// Why a new name is refused when pressed; empty when it is fine. Besides
// ".icp", the new-name rules hold (it becomes a file name) and the name
// must fit the 10 header bytes.
std::string CheckLibraryName(std::string_view text);

// The name padded with blanks (or cut) to the 10 header bytes.
std::string HeaderName(std::string_view name);

enum class FileMove { Done, Exists, Failed };
// dir/file and its name file copied to toDir/newFile (its name file
// following), or Exists when either target is there.
FileMove CopyCodeFile(const std::filesystem::path& dir, std::string_view file,
                      const std::filesystem::path& toDir, std::string_view newFile,
                      std::string* error);
// Rename and Copy of the library dialog: to newName + ".icp" (and ".txt"),
// the new name written into the header.
FileMove RenameLibraryFile(const std::filesystem::path& dir, std::string_view file,
                           std::string_view newName, std::string* error);
FileMove CopyLibraryFile(const std::filesystem::path& dir, std::string_view file,
                         std::string_view newName, std::string* error);
// The file and its name file when present.
bool DeleteCodeFile(const std::filesystem::path& dir, std::string_view file, std::string* error);

}  // namespace orbik::signals
