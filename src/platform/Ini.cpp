#include "platform/Ini.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::platform {

namespace {

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t";
    auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

}  // namespace

IniFile::IniFile(const std::filesystem::path& path) : path_(path) {
    std::string text, error;
    if (ReadWholeFile(path, &text, kMaxTextFileSize, &error)) {
        *this = FromText(text);
        path_ = path;
        return;
    }
    std::error_code ec;
    auto type = std::filesystem::symlink_status(ResolvePath(path), ec).type();
    if (type != std::filesystem::file_type::not_found) readError_ = error;
}

IniFile IniFile::FromText(std::string_view text) {
    IniFile ini;
    std::string section;
    for (auto& raw : SplitLines(text)) {
        Line line;
        line.text = raw;
        std::string_view t = Trim(raw);
        if (!t.empty() && t.front() == '[') {
            auto close = t.find(']');
            section = std::string(
                Trim(t.substr(1, close == std::string_view::npos ? t.npos : close - 1)));
            line.isHeader = true;
        } else if (!t.empty() && t.front() != ';') {
            auto eq = t.find('=');
            if (eq != std::string_view::npos) line.key = std::string(Trim(t.substr(0, eq)));
        }
        line.section = section;
        ini.lines_.push_back(std::move(line));
    }
    return ini;
}

int IniFile::FindHeader(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].isHeader && EqualsIgnoreCase(lines_[i].section, section))
            return static_cast<int>(i);
    return -1;
}

// Only the first section of a name counts, as with the Windows profile calls.
int IniFile::FindKey(std::string_view section, std::string_view key) const {
    int header = FindHeader(section);
    if (header < 0) return -1;
    for (std::size_t i = header + 1; i < lines_.size() && !lines_[i].isHeader; ++i)
        if (!lines_[i].key.empty() && EqualsIgnoreCase(lines_[i].key, key))
            return static_cast<int>(i);
    return -1;
}

bool IniFile::HasSection(std::string_view section) const {
    return FindHeader(section) >= 0;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    return FindKey(section, key) >= 0;
}

std::string IniFile::Read(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const {
    int i = FindKey(section, key);
    if (i < 0) return std::string(defaultValue);
    std::string_view text = lines_[i].text;
    return std::string(Trim(text.substr(text.find('=') + 1)));
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_)
        if (line.isHeader && FindHeader(line.section) == static_cast<int>(&line - lines_.data()))
            names.push_back(line.section);
    return names;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    int header = FindHeader(section);
    if (header < 0) return keys;
    for (std::size_t i = header + 1; i < lines_.size() && !lines_[i].isHeader; ++i) {
        const auto& key = lines_[i].key;
        if (key.empty()) continue;
        bool seen = false;
        for (const auto& k : keys) seen = seen || EqualsIgnoreCase(k, key);
        if (!seen) keys.push_back(key);
    }
    return keys;
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    int i = FindKey(section, key);
    if (i >= 0) {
        lines_[i].text = lines_[i].key + "=" + std::string(value);
        return;
    }
    Line line{std::string(key) + "=" + std::string(value), std::string(section), std::string(key)};
    int header = FindHeader(section);
    if (header < 0) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty())
            lines_.push_back({"", lines_.back().section, ""});
        lines_.push_back({"[" + std::string(section) + "]", std::string(section), "", true});
        lines_.push_back(std::move(line));
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    std::size_t at = header + 1;
    for (std::size_t j = header + 1; j < lines_.size() && !lines_[j].isHeader; ++j)
        if (!Trim(lines_[j].text).empty()) at = j + 1;
    line.section = lines_[header].section;
    lines_.insert(lines_.begin() + static_cast<long>(at), std::move(line));
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    int i = FindKey(section, key);
    if (i >= 0) lines_.erase(lines_.begin() + i);
}

void IniFile::EraseSection(std::string_view section) {
    int header = FindHeader(section);
    if (header < 0) return;
    std::size_t end = header + 1;
    while (end < lines_.size() && !lines_[end].isHeader) ++end;
    lines_.erase(lines_.begin() + header, lines_.begin() + static_cast<long>(end));
}

std::string IniFile::Text() const {
    std::vector<std::string> texts;
    texts.reserve(lines_.size());
    for (const auto& line : lines_) texts.push_back(line.text);
    return JoinLines(texts);
}

bool IniFile::Save(std::string* error) const {
    // Writing back what little was read would lose the rest of the file.
    if (!readError_.empty()) {
        if (error) *error = readError_;
        return false;
    }
    return WriteFileAtomic(path_, Text(), error);
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    return IniFile(file).Read(section, key, defaultValue);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value) {
    IniFile ini(file);
    ini.Write(section, key, value);
    return ini.Save();
}

bool DeleteProfileKey(const std::filesystem::path& file, std::string_view section,
                      std::string_view key) {
    IniFile ini(file);
    if (!ini.HasKey(section, key)) return true;
    ini.DeleteKey(section, key);
    return ini.Save();
}

bool EraseProfileSection(const std::filesystem::path& file, std::string_view section) {
    IniFile ini(file);
    if (!ini.HasSection(section)) return true;
    ini.EraseSection(section);
    return ini.Save();
}

}  // namespace orbik::platform
