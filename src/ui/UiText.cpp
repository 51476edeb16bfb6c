#include "ui/UiText.h"

#include "platform/Text.h"

namespace orbik::ui {

QString FromCp1252(std::string_view bytes) {
    return QString::fromStdString(platform::Cp1252ToUtf8(bytes));
}

std::string ToCp1252(const QString& text) {
    return platform::Utf8ToCp1252(text.toStdString());
}

UiTexts::UiTexts(const settings::Settings& settings)
    : table_(settings.TextTablePath(), settings.programLanguage) {}

QString UiTexts::operator()(std::string_view section, std::string_view defaultText) const {
    return FromCp1252(table_.Lookup(section, defaultText));
}

QString LookupText(const settings::Settings& settings, std::string_view section,
                   std::string_view language, std::string_view defaultText) {
    return FromCp1252(
        settings::LookupText(settings.TextTablePath(), section, language, defaultText));
}

}  // namespace orbik::ui
