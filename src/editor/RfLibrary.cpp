#include "editor/RfLibrary.h"

#include <cctype>

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::editor {

namespace {

// Far beyond any real library, which holds a few kilobytes.
constexpr std::uintmax_t kMaxRfFileSize = 1u << 20;

constexpr std::string_view kFixedParam =
    "Param=0,13500,0,9000,1,0,0,1,128,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
    "0,0";
constexpr std::size_t kRadioValues = 40;  // WriteRadioIF without its flag

bool HasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           platform::EqualsIgnoreCase(name.substr(name.size() - extension.size()), extension);
}

// Decimal with an optional sign, or "0x" and hex digits: what the build reads as a number.
bool IsNumber(std::string_view text) {
    if (text.substr(0, 2) == "0x") {
        text.remove_prefix(2);
        if (text.empty()) return false;
        for (unsigned char c : text)
            if (!std::isxdigit(c)) return false;
        return true;
    }
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (unsigned char c : text)
        if (!std::isdigit(c)) return false;
    return true;
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

std::size_t TrailingZeros(const RfTiming& timing) {
    return timing.nrBytes == "1" ? 31 : 28;
}

// Comma-separated values; none in an empty text.
std::vector<std::string> Split(std::string_view text) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    for (;;) {
        const auto comma = text.find(',');
        parts.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return parts;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

std::vector<RfSignal> ParseRfLibrary(const std::vector<std::string>& lines) {
    std::vector<RfSignal> signals;
    for (const auto& line : lines) {
        if (line.rfind(";RF", 0) == 0) {
            signals.push_back({line, {}});
        } else if (!signals.empty() && line.find('=') != std::string::npos &&
                   platform::TextBefore(line, '=') == "Param") {
            signals.back().params.push_back(platform::TextAfter(line, '=', 1));
        }
    }
    return signals;
}

bool ReadRfLibrary(const fs::path& path, std::vector<RfSignal>* signals, std::string* error) {
    std::string data;
    if (!platform::ReadWholeFile(path, &data, kMaxRfFileSize, error)) return false;
    *signals = ParseRfLibrary(platform::SplitLines(data));
    return true;
}

std::vector<std::string> ListRfLibraries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : platform::ListDirectory(platform::ResolvePath(folder))) {
        if (entry.kind == platform::EntryKind::Directory) continue;
        if (HasExtension(entry.name, ".rft") || HasExtension(entry.name, ".txt"))
            names.push_back(entry.name);
    }
    return names;  // ListDirectory sorts
}

std::optional<int> ParseRepetition(std::string_view text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    const bool negative = text[0] == '-';
    if (negative || text[0] == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::vector<std::string> RfActionLines(const RfSignal& signal, int repetition) {
    std::vector<std::string> lines{signal.name};
    for (int i = 0; i < repetition; ++i)
        for (const auto& param : signal.params) lines.push_back("WriteRadioIF(" + param + ")");
    return lines;
}

const RfSignal* FindRfSignal(const std::vector<RfSignal>& signals, std::string_view name) {
    for (const auto& signal : signals)
        if (signal.name == name) return &signal;
    return nullptr;
}

std::string CheckRfTiming(const RfTiming& timing) {
    if (HasControlCharacter(timing.firstName) || HasControlCharacter(timing.secondName))
        return "a name must not contain control characters";
    const std::pair<const char*, const std::string*> values[] = {
        {"Zero_L", &timing.zeroL},   {"One_L", &timing.oneL},      {"PW_Zero", &timing.pwZero},
        {"PW_One", &timing.pwOne},   {"Count", &timing.count},     {"W_Pause", &timing.wPause},
        {"E_Pause", &timing.ePause}, {"Nr_Bytes", &timing.nrBytes}};
    for (const auto& [label, value] : values)
        if (!IsNumber(*value)) return std::string(label) + " is not a number";
    const auto data = Split(timing.data);
    const std::size_t wanted = kRadioValues - std::size(values) - TrailingZeros(timing);
    for (const auto& value : data)
        if (!IsNumber(value)) return "Data is not a list of numbers";
    if (data.size() != wanted)
        return "Data needs " + std::to_string(wanted) + (wanted == 1 ? " value" : " values");
    return {};
}

std::string CheckRfFileName(std::string_view fileName) {
    if (fileName.empty() || fileName == "." || fileName == "..") return "Filename is empty";
    if (fileName.find_first_of("/\\:") != std::string_view::npos || HasControlCharacter(fileName))
        return "Filename must be a plain file name";
    return {};
}

std::vector<std::string> RfLibraryLines(const std::vector<RfTiming>& signals) {
    std::vector<std::string> lines;
    for (const auto& s : signals) {
        lines.push_back(";RF " + s.firstName + " " + s.secondName);
        lines.emplace_back(kFixedParam);
        std::string param = "Param=" + s.zeroL + "," + s.oneL + "," + s.pwZero + "," + s.pwOne +
                            "," + s.count + "," + s.wPause + "," + s.ePause + "," + s.nrBytes +
                            "," + s.data;
        for (std::size_t i = 0; i < TrailingZeros(s); ++i) param += ",0";
        lines.push_back(param);
        lines.emplace_back();
    }
    return lines;
}

fs::path RfWriterPath(const fs::path& programDir, std::string_view fileName) {
    return programDir / "RFFiles" / platform::NameToPath(std::string(fileName) + ".txt");
}

bool WriteRfLibrary(const fs::path& programDir, std::string_view fileName,
                    const std::vector<RfTiming>& signals, std::string* error) {
    if (auto problem = CheckRfFileName(fileName); !problem.empty()) {
        *error = problem;
        return false;
    }
    for (const auto& signal : signals) {
        if (auto problem = CheckRfTiming(signal); !problem.empty()) {
            *error = signal.firstName + " " + signal.secondName + ": " + problem;
            return false;
        }
    }
    const fs::path path = RfWriterPath(programDir, fileName);
    if (!platform::CreateDirectories(path.parent_path(), error)) return false;
    return platform::WriteFileAtomic(platform::ResolvePath(path),
                                     platform::JoinLines(RfLibraryLines(signals)), error);
}

}  // namespace orbik::editor
