#pragma once
// INI files with the semantics programs written for Windows profile files
// expect: case-insensitive section and key names, ';' comments, blanks
// around key and value trimmed, the first of duplicate keys wins, every
// other line kept in its place on write, CR LF line ends.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::platform {

class IniFile {
  public:
    IniFile() = default;
    // Reads the file; a missing or unreadable file reads as empty. One that
    // exists but cannot be read whole is never written: Save fails.
    explicit IniFile(const std::filesystem::path& path);

    static IniFile FromText(std::string_view text);

    const std::filesystem::path& Path() const { return path_; }

    bool HasSection(std::string_view section) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view defaultValue = {}) const;
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

    // Edits in memory; Save writes them.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    std::string Text() const;
    // Writes the whole file atomically to Path(), creating it when missing.
    bool Save(std::string* error = nullptr) const;

  private:
    struct Line {
        std::string text;     // the line as it stands in the file
        std::string section;  // section it belongs to ("" before the first header)
        std::string key;      // key of a key=value line, empty otherwise
        bool isHeader = false;
    };
    int FindHeader(std::string_view section) const;
    int FindKey(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Line> lines_;
    std::string readError_;  // why an existing file could not be read
};

// One-shot profile calls: each opens the file, does one thing and (for
// writes) saves it, as the Windows profile functions do.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue = {});
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);
bool DeleteProfileKey(const std::filesystem::path& file, std::string_view section,
                      std::string_view key);
bool EraseProfileSection(const std::filesystem::path& file, std::string_view section);

}  // namespace orbik::platform
