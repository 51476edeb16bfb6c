#include "platform/Text.h"

#include "platform/FileSystem.h"

namespace orbik::platform {

std::string TextBefore(std::string_view text, char c) {
    auto at = text.find(c);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

std::string TextAfter(std::string_view text, char c, int mode) {
    auto at = mode == 2 ? text.rfind(c) : text.find(c);
    return at == std::string_view::npos ? std::string(text) : std::string(text.substr(at + 1));
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t stop = end;
        if (end < text.size() && stop > start && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool ReadTextFile(const std::filesystem::path& path, std::vector<std::string>* lines,
                  const Reporter& report, std::string* reason) {
    std::string bytes, error;
    if (!ReadWholeFile(path, &bytes, kMaxTextFileSize, &error)) {
        if (reason) *reason = ErrorReason(error);
        if (report) report(path.string() + " not found");
        return false;
    }
    *lines = SplitLines(bytes);
    return true;
}

bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                   const Reporter& report, std::string* reason) {
    std::string error;
    if (!WriteFileAtomic(path, JoinLines(lines), &error)) {
        if (reason) *reason = ErrorReason(error);
        if (report) report(path.string() + " not found");
        return false;
    }
    return true;
}

namespace {

// Code points of 0x80..0x9F; the five unassigned bytes keep their C1 code
// point so that a round trip never loses a byte.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char ToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out += ToCp1252(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::filesystem::path NameToPath(std::string_view cp1252) {
    std::string utf8 = Cp1252ToUtf8(cp1252);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToMessage(const std::filesystem::path& path) {
    std::u8string utf8 = std::filesystem::path(path).make_preferred().u8string();
    return Utf8ToCp1252(std::string(utf8.begin(), utf8.end()));
}

}  // namespace orbik::platform
