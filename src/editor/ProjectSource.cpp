#include "editor/ProjectSource.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::editor {

bool DiskSource::IsDirectory(const fs::path& path) const {
    return platform::DirectoryExists(path);
}

bool DiskSource::IsFile(const fs::path& path) const {
    return platform::FileExists(path);
}

bool DiskSource::ReadLines(const fs::path& path, std::vector<std::string>* lines,
                           std::string* reason) const {
    std::string bytes, error;
    if (!platform::ReadWholeFile(path, &bytes, platform::kMaxTextFileSize, &error)) {
        if (reason) *reason = platform::ErrorReason(error);
        return false;
    }
    *lines = platform::SplitLines(bytes);
    return true;
}

std::string MemorySource::Key(const fs::path& path) {
    return platform::ToLowerAscii(path.lexically_normal().generic_string());
}

void MemorySource::Put(const fs::path& path, std::string bytes) {
    files_[Key(path)] = std::move(bytes);
}

bool MemorySource::IsDirectory(const fs::path& path) const {
    std::string prefix = Key(path);
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    auto at = files_.lower_bound(prefix);
    return at != files_.end() && at->first.compare(0, prefix.size(), prefix) == 0;
}

bool MemorySource::IsFile(const fs::path& path) const {
    return files_.count(Key(path)) != 0;
}

bool MemorySource::ReadLines(const fs::path& path, std::vector<std::string>* lines,
                             std::string* reason) const {
    auto at = files_.find(Key(path));
    if (at == files_.end()) {
        if (reason) *reason = "no such file";
        return false;
    }
    *lines = platform::SplitLines(at->second);
    return true;
}

}  // namespace orbik::editor
