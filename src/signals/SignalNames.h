#pragma once
// Signal name files: the names a user gave the 51 signals of an IR code
// file, kept beside it as an INI file (TV.icp -> TV.txt) with one key per
// signal in section "signalnames".

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace orbik::signals {

inline constexpr int kSignalCount = 51;
inline constexpr std::string_view kSignalNamesSection = "signalnames";
inline constexpr std::string_view kNotUsed = "<not used>";

// Signal k owns slots 2k+1 and 2k+2 of the IR code file.
using SignalNameList = std::array<std::string, kSignalCount>;

// The key of signal k ("on", "off", "0", ..., "speak").
std::string_view SignalKey(int k);

// 51 times "<not used>".
SignalNameList UnusedSignalNames();

// A missing file or key reads as "<not used>".
SignalNameList ReadSignalNames(const std::filesystem::path& file);
// Creates the file and the section when absent; other lines stay as they are.
bool WriteSignalNames(const std::filesystem::path& file, const SignalNameList& names,
                      std::string* error = nullptr);

// The name file beside an IR code file: the same name with ".txt".
std::filesystem::path SignalNameFile(const std::filesystem::path& codeFile);

}  // namespace orbik::signals
