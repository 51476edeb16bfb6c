#pragma once
// The rules a name for a new, copied or imported project must follow: it
// becomes a folder and a file name, so it may not be empty and may not hold
// a character that separates or patterns names.

#include <string>
#include <string_view>

namespace orbik::projects {

// Full stop, backslash, slash, colon, semicolon, question mark, double
// quote, asterisk, less-than and greater-than sign.
inline constexpr std::string_view kRefusedNameChars = ".\\/:;?\"*<>";

enum class NameCheck {
    Ok,
    Empty,        // nothing but blanks: it would name the folder itself
    RefusedChar,  // one of kRefusedNameChars
};

// The name without leading and trailing blanks.
std::string TrimBlanks(std::string_view text);

NameCheck CheckNewName(std::string_view name);

// The hint shown for a refused character: "No .\\/:;?\"*<> allowed!".
std::string NotAllowedText();

}  // namespace orbik::projects
