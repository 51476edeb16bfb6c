#pragma once
// The rules a new name must pass before it becomes a file or folder name:
// the new-name dialog of the project list applies them, and so does every
// other place where the user types a name that ends up on disk.

#include <string>
#include <string_view>

namespace orbik::projects {

// Characters that would leave the folder, name a device or break a path:
// full stop, backslash, slash, colon, semicolon, question mark, double
// quote, asterisk, less-than and greater-than sign.
inline constexpr std::string_view kRefusedNameCharacters = ".\\/:;?\"*<>";

// The name without leading and trailing blanks and control characters.
std::string TrimName(std::string_view name);

// Not empty after trimming, and none of the refused characters.
bool ValidProjectName(std::string_view name);

// The hint the new-name dialog shows for a refused name.
std::string NotAllowedText();

}  // namespace orbik::projects
