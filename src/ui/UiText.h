#pragma once
// The windows' side of the UI text table: texts come as Windows-1252 bytes
// and are shown as Unicode.

#include <QString>

#include <string>
#include <string_view>

#include "settings/Settings.h"

namespace orbik::ui {

QString FromCp1252(std::string_view bytes);
std::string ToCp1252(const QString& text);

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
