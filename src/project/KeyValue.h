#pragma once
// The key=value line syntax of project files and the name lists the build
// keeps. Keys match case-sensitively; names in lists match ignoring case.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/FileSystem.h"

namespace orbik::project {

// What a failed list lookup yields.
inline constexpr std::uint16_t kNotFound = 65535;

// A project text file, read whole, handed out line by line.
class LineFile {
  public:
    // False (with the system's reason) when the path does not resolve to a
    // file that can be read whole. A raw file keeps its lines as they
    // stand; otherwise everything from the first ';' is dropped and blanks
    // and tabs are trimmed from both ends.
    bool Open(const std::filesystem::path& path, bool raw = false, std::string* reason = nullptr);
    bool ReadLine(std::string* line);
    bool AtEnd() const { return next_ >= lines_.size(); }

  private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    bool raw_ = false;
};

// Removes the comment and the surrounding blanks and tabs.
std::string CleanLine(std::string_view line);
// The line begins with key directly followed by "=".
bool LineHasKey(std::string_view line, std::string_view key);
// Everything after the first "="; the whole line when there is none.
std::string ValueOf(std::string_view line);

// Signed decimal, or with hexDigits > 0 also "0x" followed by up to that
// many hex digits (a non-hex character counts as 0, further digits are
// ignored). Anything else reads as 0. Kept as 16-bit two's complement.
std::int16_t ParseNumber(std::string_view text, int hexDigits);

inline std::string_view NameOf(const std::string& name) {
    return name;
}
inline std::string_view NameOf(std::string_view name) {
    return name;
}
template <class Record>
std::string_view NameOf(const Record& record) {
    return record.name;
}

// 1-based position of the last entry whose name equals name ignoring case,
// or kNotFound.
template <class Entry>
std::uint16_t FindInList(std::string_view name, const std::vector<Entry>& list) {
    for (std::size_t i = list.size(); i > 0; --i)
        if (platform::EqualsIgnoreCase(NameOf(list[i - 1]), name))
            return static_cast<std::uint16_t>(i);
    return kNotFound;
}

template <class Entry, std::size_t N>
std::uint16_t FindInList(std::string_view name, const std::array<Entry, N>& list) {
    for (std::size_t i = N; i > 0; --i)
        if (platform::EqualsIgnoreCase(NameOf(list[i - 1]), name))
            return static_cast<std::uint16_t>(i);
    return kNotFound;
}

}  // namespace orbik::project
