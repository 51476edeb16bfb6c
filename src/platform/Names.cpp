#include "platform/Names.h"

#include "platform/Text.h"

namespace orbik::platform {

std::filesystem::path NameToPath(std::string_view cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToMessage(const std::filesystem::path& path) {
    const std::u8string utf8 = std::filesystem::path(path).make_preferred().u8string();
    return Utf8ToCp1252(std::string(utf8.begin(), utf8.end()));
}

}  // namespace orbik::platform
