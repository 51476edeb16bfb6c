#pragma once
// Radio (RF) signal library files: reading them for the RF file dialog,
// the action lines a chosen signal adds, and the writer that makes a
// library file from entered timing values.
//
// A library file is text: a line beginning ";RF" starts a signal (the whole
// line is its name); each following "Param=" line adds a parameter list.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::editor {

namespace fs = std::filesystem;

struct RfSignal {
    std::string name;  // the whole ";RF" line
    std::vector<std::string> params;
    bool operator==(const RfSignal&) const = default;
};

std::vector<RfSignal> ParseRfLibrary(const std::vector<std::string>& lines);

// Reads a library file (bounded in size); false with "path: reason".
bool ReadRfLibrary(const fs::path& path, std::vector<RfSignal>* library,
                   std::string* error = nullptr);

// The library files of the RF folder, one tab each: "*.rft" and the
// "*.txt" files the writer makes, extension in any case, in byte order.
std::vector<std::string> ListRfLibraries(const fs::path& folder);

// The dialog's "Repetition" (at most two characters); nothing when it is
// not a number.
std::optional<int> ParseRepetition(std::string_view text);

// The name line, then the parameters as "WriteRadioIF(...)" lines, the
// whole sequence `repetition` times (none when repetition <= 0).
std::vector<std::string> RfActionLines(const RfSignal& signal, int repetition);

// The first signal named `name` (the whole ";RF" line).
const RfSignal* FindRfSignal(const std::vector<RfSignal>& library, std::string_view name);

// One signal of the writer, with the dialog's defaults.
struct RfTiming {
    std::string firstName;
    std::string secondName = "X10";
    std::string zeroL = "1125";
    std::string oneL = "2250";
    std::string pwZero = "560";
    std::string pwOne = "560";
    std::string count = "1";
    std::string wPause = "0";
    std::string ePause = "40000";
    std::string nrBytes = "32";
    std::string data;
    bool operator==(const RfTiming&) const = default;
};

// Why the writer refuses a signal: a value that is not a number, or a Data
// field whose value count would not make the 40 parameters the device
// expects. Empty when it is fine.
std::string CheckRfTiming(const RfTiming& timing);
// Why a file name cannot be used (empty, a path, control characters).
std::string CheckRfFileName(std::string_view fileName);

// The lines of a library file for the signals, in order.
std::vector<std::string> RfLibraryLines(const std::vector<RfTiming>& library);
// programDir/RFFiles/<fileName>.txt
fs::path RfWriterPath(const fs::path& programDir, std::string_view fileName);
// Checks every signal and the name, then writes the file whole.
bool WriteRfLibrary(const fs::path& programDir, std::string_view fileName,
                    const std::vector<RfTiming>& library, std::string* error);

}  // namespace orbik::editor
