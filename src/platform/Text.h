#pragma once
// Small text helpers shared by every reader of the key=value files.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::platform {

// Shows a message to the user (a message box in the windows, stderr on the console).
using Reporter = std::function<void(const std::string& message)>;

// The text up to the first `c`, without it; empty when `c` does not occur.
std::string TextBefore(std::string_view text, char c);
// mode 1: after the first `c` (the whole text when it does not occur);
// mode 2: after the last `c`.
std::string TextAfter(std::string_view text, char c, int mode);

// Lines end with CR LF or a lone LF; a lone CR does not end a line; a
// final line end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Reads a text file into lines; when it cannot be read reports
// path + " not found" and returns false. *reason gets the system's reason
// (permission denied, input/output error ...) for a detail line.
bool ReadTextFile(const std::filesystem::path& path, std::vector<std::string>* lines,
                  const Reporter& report, std::string* reason = nullptr);
// Writes lines with CR LF atomically; when it cannot be written reports
// path + " not found" (the message the user knows for a failed open), with
// the system's reason (disk full ...) in *reason.
bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                   const Reporter& report, std::string* reason = nullptr);

// Windows-1252 bytes <-> UTF-8, for the windows' edge. Characters that
// Windows-1252 cannot hold become '?'.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);

// The encoding rule at the file system: the core's texts are Windows-1252
// bytes, the file system's names are UTF-8. A project or file name becomes
// a path only through NameToPath, and a path enters a message (or becomes
// a name again) only through PathToMessage, so both directions agree.
std::filesystem::path NameToPath(std::string_view cp1252);
// Windows-1252 bytes with the native separators; bytes that are not UTF-8
// show as '?'.
std::string PathToMessage(const std::filesystem::path& path);

}  // namespace orbik::platform
