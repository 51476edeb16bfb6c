#pragma once
// The program-wide settings of orbik: orbik.ini in the program directory,
// read once at start; the settings dialog writes some of them back. The
// main window owns the one Settings object and hands it to the windows.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Ini.h"

namespace orbik::settings {

namespace fs = std::filesystem;

struct Settings {
    // The working directory at start; orbik.ini and formcaps.txt lie in it.
    fs::path programDir;

    // [Paths], as written in the file (each begins with "\" or "/").
    std::string projectPath;
    std::string defSolo, defDuo, defEmpty;  // read, not used
    std::string defIr;
    std::string irIcp;
    std::string irIr;
    std::string rfDbs;
    std::string speech;  // read, not used
    std::string templates;

    std::string programLanguage;  // the key of the UI texts
    std::string projectLanguage;  // default language of new projects
    bool languageSwitch = true;   // [Admin] lang_av == "1"

    std::string portName;  // e.g. "COM3"; shown in messages as written
    // Number behind "COM"; empty when the name is not "COM" + digits.
    std::optional<int> portNumber;

    // [Transfer] Verify == "1": sends read back what they sent.
    bool verifyAfterSend = false;

    fs::path IniPath() const { return programDir / "orbik.ini"; }
    fs::path TextTablePath() const { return programDir / "formcaps.txt"; }
    // Program directory + [Paths] Project.
    fs::path ProjectsDir() const;

    // Sets the port name and the number derived from it.
    void SetPort(std::string_view name);
};

// Reads orbik.ini of the program directory; a missing file or key reads as
// its default.
Settings LoadSettings(const fs::path& programDir);

// [Port] Interface := the current port name.
bool StorePort(const Settings& settings, std::string* error = nullptr);
// [Language] Program and Project := the current languages.
bool StoreLanguages(const Settings& settings, std::string* error = nullptr);

// [Transfer] Verify := the current choice.
bool StoreVerify(const Settings& settings, std::string* error = nullptr);

// The version the info window shows: [Version] prog_ver, empty when the
// section lacks the key. A file without the section gets the program's
// major.minor (prog_ver=2.5).
std::string ProgramVersion(const fs::path& iniPath);

// The UI text table (formcaps.txt): sections name texts, keys are
// languages. Opened once per window, so edits show in windows opened later.
class TextTable {
  public:
    TextTable(const fs::path& file, std::string language);
    // Bytes as stored (Windows-1252); `defaultText` when the section or the
    // key is missing.
    std::string Lookup(std::string_view section, std::string_view defaultText) const;

  private:
    platform::IniFile ini_;
    std::string language_;
};

// One lookup: the text of `section` in `language` from the UI text table, or
// `defaultText` when the file, the section or the key is missing. Bytes as
// stored (Windows-1252).
std::string LookupText(const fs::path& textTable, std::string_view section,
                       std::string_view language, std::string_view defaultText);

}  // namespace orbik::settings
