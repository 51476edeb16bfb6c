#pragma once
// The windows' edge: the core keeps Windows-1252 bytes and paths; windows
// show Unicode. Every window converts through these two pairs only.

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

#include "settings/Settings.h"

namespace orbik::ui {

// Text: Windows-1252 bytes <-> Unicode.
QString FromCp1252(std::string_view bytes);
std::string ToCp1252(const QString& text);

// Paths: the file system's own encoding, never a detour through bytes.
std::filesystem::path PathFromQString(const QString& path);
QString QStringFromPath(const std::filesystem::path& path);

// One window's batch of lookups in the program language.
class UiTexts {
  public:
    explicit UiTexts(const settings::Settings& settings);
    QString operator()(std::string_view section, std::string_view defaultText) const;

  private:
    settings::TextTable table_;
};

// A single lookup in the table of the program directory.
QString LookupText(const settings::Settings& settings, std::string_view section,
                   std::string_view language, std::string_view defaultText);

}  // namespace orbik::ui
