#pragma once
// Where a project's files lie. Every caller composes project paths here.
//
// The build opens upper-case names (KEYWORDS.TXT, ITEM.TXT) where the
// editor writes lower-case ones (keywords.txt, item.txt), and messages name
// a file as its caller composed it; so the spellings stay apart and the
// case-insensitive file system finds either. Names are Windows-1252 text as
// the project files hold them; they become paths through NameToPath.

#include <filesystem>
#include <string_view>

namespace orbik::project {

namespace fs = std::filesystem;

inline constexpr std::string_view kItemsMenusDir = "Items&Menus";
inline constexpr std::string_view kDevicesDir = "Devices";
inline constexpr std::string_view kMainMenu = "Main";
inline constexpr std::string_view kSleepMenu = "Sleep";
// The projects folder's list file when the folder holds no other "*.ini".
inline constexpr std::string_view kProjectListFile = "projectlist.INI";

// One spelling of the per-project text files.
struct ProjectFileNames {
    std::string_view languages;
    std::string_view displays;
    std::string_view keywords;
    std::string_view item;              // Items&Menus/<item>/
    std::string_view menu;              // Items&Menus/<menu>/
    std::string_view deviceList;        // Devices/<type>/
    std::string_view deviceVocabulary;  // Devices/<type>/
};

// As the build opens them.
inline constexpr ProjectFileNames kBuildFileNames{
    "LANGUAGES.TXT", "DISPLAYS.TXT", "KEYWORDS.TXT", "ITEM.TXT",
    "MENU.TXT",      "DEVLIST.TXT",  "DEVVOCAB.TXT",
};
// As the editor writes them; it never rewrites the languages and displays
// files, which keep the spelling the project came with.
inline constexpr ProjectFileNames kEditorFileNames{
    "LANGUAGES.TXT", "DISPLAYS.TXT", "keywords.txt", "item.txt",
    "menu.txt",      "devlist.txt",  "devvocab.txt",
};

// The build's readable listing, beside the image files.
inline constexpr std::string_view kProtocolFile = "PROTOCOL.TXT";

// dir + separator + name, kept lexically as written: a name from a project
// file never replaces the directory, even when it looks absolute.
fs::path JoinName(const fs::path& dir, std::string_view name);

// The projects folder + the project name.
fs::path ProjectDir(const fs::path& projectsDir, std::string_view projectName);
// <projectDir>/<projectName>.txt
fs::path MainFile(const fs::path& projectDir, std::string_view projectName);
// <projectDir>/<projectName><extension>, e.g. ".CIM", ".CIF", ".cif".
fs::path ImageFile(const fs::path& projectDir, std::string_view projectName,
                   std::string_view extension);
// <projectDir>/<file>, for the files at the top of the project.
fs::path TopFile(const fs::path& projectDir, std::string_view file);
// <projectDir>/Items&Menus/<name>: an item's or a menu's folder.
fs::path ItemsMenusDir(const fs::path& projectDir, std::string_view name);
// <projectDir>/Devices/<type>: a device type's folder.
fs::path DeviceTypeDir(const fs::path& projectDir, std::string_view type);
// <projectDir>/Devices/temp: where the device page edits copies of a
// device's code files.
fs::path DeviceWorkDir(const fs::path& projectDir);
// <projectDir>/Items&Menus/<name>/<file>: an item's or a menu's file.
fs::path ItemsMenusFile(const fs::path& projectDir, std::string_view name, std::string_view file);
// <projectDir>/Devices/<type>/<file>: a device type's lists and device files.
fs::path DeviceTypeFile(const fs::path& projectDir, std::string_view type, std::string_view file);

// The speech library beneath the program directory:
// Speech/<language>/<language>_<file>.
fs::path SpeechFile(const fs::path& programDir, std::string_view language, std::string_view file);
fs::path SpeechDir(const fs::path& programDir);

}  // namespace orbik::project
