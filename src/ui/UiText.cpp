#include "ui/UiText.h"

#include <QFile>

#include "platform/Text.h"

namespace orbik::ui {

QString FromCp1252(std::string_view bytes) {
    const std::string utf8 = platform::Cp1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string ToCp1252(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return platform::Utf8ToCp1252(std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::filesystem::path PathFromQString(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray bytes = QFile::encodeName(path);
    return std::filesystem::path(std::string(bytes.constData(), bytes.size()));
#endif
}

QString QStringFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
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
