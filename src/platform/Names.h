#pragma once
// Project, device and file names are Windows-1252 bytes like every other
// core string; the file system wants its own encoding (UTF-8 here). These
// two functions are the only crossings between the two.

#include <filesystem>
#include <string>
#include <string_view>

namespace orbik::platform {

// A name (or a relative path of names) in Windows-1252 as a path.
std::filesystem::path NameToPath(std::string_view cp1252);
// A path as it appears in a message: Windows-1252 bytes, native
// separators; characters Windows-1252 cannot hold become '?'.
std::string PathToMessage(const std::filesystem::path& path);

}  // namespace orbik::platform
