#pragma once
// Everything one build knows: the inputs, the tables the checks fill and
// the image the writers lay out. A build refills it from scratch; nothing
// of it outlives the build unless the caller keeps it.
//
// Numbering: names are 1-based in messages and lookups; in these vectors
// entry i holds number i + 1. Per-language arrays hold language l at l - 1.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "compiler/Procedure.h"

namespace orbik::compiler {

namespace fs = std::filesystem;

inline constexpr int kMaxLanguages = 4;
inline constexpr int kDisplayCount = 5;
inline constexpr int kDisplayWidth = 22;
inline constexpr int kMaxDeclaredKeywords = 1024;
inline constexpr int kMaxUsedKeywords = 100;
inline constexpr int kMaxItems = 100;
inline constexpr int kMaxDeviceTypes = 50;
// The image counts a type's devices in 16 bits, and an item offering them
// keeps the count - 1 as its maxoption, a signed 16-bit number: that binds
// first.
inline constexpr int kMaxDevicesPerType = 32768;
inline constexpr int kMaxMenus = 101;
inline constexpr int kMaxProcedures = 36;
inline constexpr int kMaxSymbolOptions = 8;
inline constexpr int kMaxOptionTexts = 8;  // the image's option-text field holds 8 texts

enum KeywordType : std::uint8_t {
    kNoKeywordType = 0,
    kSleep = 1,
    kWakeup = 2,
    kNext = 3,
    kExecute = 4,
    kDeviceSelection = 5,
    kDirectKey = 6,
    kControl = 7,
    kDigit = 8,
    kTeletextItem = 9,
    kTelName = 10,
};

// Keywords of these types carry no recordings.
inline bool HasRecordings(std::uint8_t type) {
    return type != kDirectKey && type != kTelName;
}

struct Language {
    std::string name;         // as declared in the project main file
    std::string displayName;  // from LANGUAGES.TXT; empty when not given
};

struct t_kwrdinfo {
    std::string name;                  // declared name, stem of its recordings
    std::array<std::string, 4> names;  // text per language
    std::uint8_t type = kNoKeywordType;
    bool used = false;                                // kept by packing
    std::array<fs::path, 4> playback;                 // per language: <lang>_<name>_1.ply
    std::array<std::array<fs::path, 4>, 4> patterns;  // [language][p - 1]: <lang>_<name>_<p>.pat
};

// Announcement recordings: record 0 is number 1, record 1 is number 3.
struct t_anninfo {
    std::array<fs::path, 4> paths;  // per language
};

enum class OptionKind : std::uint8_t { Languages = 0, Devices = 1, Numbers = 2, Symbols = 3 };

inline constexpr std::uint8_t kPlainItem = 12;
inline constexpr std::uint8_t kNoDeviceType = 255;

struct t_iteminfo {
    std::string name;                  // as declared in the project main file
    std::uint8_t type = kPlainItem;    // 0..11, 12 for a plain item
    std::array<std::string, 4> names;  // per language
    std::uint16_t keyword = 0;         // packed keyword number; 0 = none
    OptionKind optionKind = OptionKind::Numbers;
    std::uint8_t deviceType = kNoDeviceType;  // device-type number (1-based) for Devices
    std::int16_t minOption = -1;
    std::int16_t maxOption = -1;
    std::int16_t offOption = -1;
    std::int16_t startOption = -1;
    // Text of option i at index i + 1; index 0 is option -1 ("-").
    std::array<std::string, 10> optionTexts{"-"};
    // Per packed keyword (index k - 1): 1 when recognised while selected.
    std::vector<std::uint8_t> activeKeywords;
};

// The text of option (-1 and up); empty where the item has none.
inline const std::string& OptionText(const t_iteminfo& item, int option) {
    static const std::string none;
    std::size_t index = static_cast<std::size_t>(option + 1);
    return option >= -1 && index < item.optionTexts.size() ? item.optionTexts[index] : none;
}

struct DeviceFile {
    std::string name;  // as listed in DEVLIST.TXT; "--" first places it on 64 KiB
    fs::path path;     // <project>/Devices/<type>/<name>
};

struct DeviceType {
    std::string name;                 // as the device-type list first stored it
    std::vector<DeviceFile> devices;  // DEVLIST.TXT order; never empty after the checks
};

// Procedures of one keyword in one menu.
struct t_menuinfo {
    std::vector<t_procinfo> procedures;  // at most 36
};

struct Menu {
    std::string name;
    bool sleep = true;  // inherit Main's procedures for keywords of that type
    bool next = true;
    bool execute = true;
    bool deviceSelection = true;
    bool doubleDigits = false;
    std::vector<t_menuinfo> keywords;  // per packed keyword (index k - 1)
};

struct BuildState {
    // Inputs.
    std::string projectName;
    fs::path projectDir;
    fs::path programDir;  // the speech library lies beneath it
    fs::path mainFile;    // <projectDir>/<projectName>.txt

    // Tables the checks fill.
    std::string descriptor;  // first "descriptor" of the main file
    std::vector<Language> languages;
    // [language - 1][display - 1], each exactly 22 characters.
    std::array<std::array<std::string, kDisplayCount>, kMaxLanguages> displayTexts;
    std::vector<t_kwrdinfo> keywords;  // after packing: only the kept ones
    std::array<t_anninfo, 2> announcements;
    std::vector<t_iteminfo> items;
    std::vector<DeviceType> deviceTypes;
    std::vector<Menu> menus;  // "Main" first

    // The configuration image the section writers lay out; its size is the
    // image length.
    std::string image;
};

// A fresh state for one build of the project <projectDir> named projectName.
BuildState MakeBuildState(const std::string& projectName, const fs::path& projectDir,
                          const fs::path& programDir);

}  // namespace orbik::compiler
