#include "project/KeyValue.h"

#include "platform/Text.h"

namespace orbik::project {

bool LineFile::Open(const std::filesystem::path& path, bool raw, std::string* reason) {
    std::string bytes;
    lines_.clear();
    next_ = 0;
    raw_ = raw;
    std::string error;
    if (!platform::ReadWholeFile(path, &bytes, platform::kMaxTextFileSize, &error)) {
        if (reason) *reason = platform::ErrorReason(error);
        return false;
    }
    lines_ = platform::SplitLines(bytes);
    return true;
}

bool LineFile::ReadLine(std::string* line) {
    if (AtEnd()) return false;
    const std::string& text = lines_[next_++];
    *line = raw_ ? text : CleanLine(text);
    return true;
}

std::string CleanLine(std::string_view line) {
    line = line.substr(0, line.find(';'));
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    return std::string(line);
}

bool LineHasKey(std::string_view line, std::string_view key) {
    return line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=';
}

std::string ValueOf(std::string_view line) {
    auto at = line.find('=');
    return std::string(at == std::string_view::npos ? line : line.substr(at + 1));
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

std::int16_t ParseNumber(std::string_view text, int hexDigits) {
    std::uint16_t value = 0;
    if (hexDigits > 0 && text.substr(0, 2) == "0x") {
        text.remove_prefix(2);
        for (std::size_t i = 0; i < text.size() && i < static_cast<std::size_t>(hexDigits); ++i)
            value = static_cast<std::uint16_t>(value * 16 + HexDigit(text[i]));
        return static_cast<std::int16_t>(value);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = static_cast<std::uint16_t>(value * 10 + (c - '0'));
    }
    if (negative) value = static_cast<std::uint16_t>(0u - value);
    return static_cast<std::int16_t>(value);
}

}  // namespace orbik::project
