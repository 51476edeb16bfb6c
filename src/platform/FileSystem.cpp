#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

namespace orbik::platform {

namespace {

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool Fail(std::string* error, const fs::path& path, const std::error_code& ec) {
    return Fail(error, path.string() + ": " + ec.message());
}

fs::file_type EntryType(const fs::path& path) {
    std::error_code ec;
    fs::file_type type = fs::symlink_status(path, ec).type();
    return ec ? fs::file_type::not_found : type;
}

bool Exists(const fs::path& path) {
    return EntryType(path) != fs::file_type::not_found;
}

// The entry of `dir` that matches `name`: exact first, then the first in
// sorted order that matches ignoring the case of A-Z. *link tells whether
// it is a symbolic link.
std::optional<std::string> MatchEntry(const fs::path& dir, const std::string& name, bool* link) {
    fs::file_type type = EntryType(dir / name);
    *link = type == fs::file_type::symlink;
    if (type != fs::file_type::not_found) return name;
    std::optional<std::string> best;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (EqualsIgnoreCase(candidate, name) && (!best || candidate < *best)) {
            best = candidate;
            *link = it->is_symlink(ec);
        }
    }
    return best;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

fs::path ResolvePath(const fs::path& path, bool* throughLink) {
    fs::path resolved;
    bool resolving = true;
    if (throughLink) *throughLink = false;
    for (const auto& component : path) {
        std::string name = component.string();
        if (resolved.empty() &&
            (component == path.root_name() || component == path.root_directory())) {
            resolved /= component;
            continue;
        }
        if (resolving && name != "." && name != "..") {
            fs::path dir = resolved.empty() ? fs::path(".") : resolved;
            bool link = false;
            if (auto match = MatchEntry(dir, name, &link)) {
                name = *match;
                if (throughLink && link) *throughLink = true;
            } else {
                resolving = false;  // nothing below a missing component can exist
            }
        }
        resolved /= name;
    }
    return resolved;
}

bool FileExists(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(ResolvePath(path), ec);
}

bool DirectoryExists(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(ResolvePath(path), ec);
}

std::string ErrorReason(std::string_view error) {
    auto colon = error.rfind(": ");
    return std::string(colon == std::string_view::npos ? error : error.substr(colon + 2));
}

std::optional<std::uintmax_t> RegularFileSize(const fs::path& path) {
    std::error_code ec;
    fs::path file = ResolvePath(path);
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    std::uintmax_t size = fs::file_size(file, ec);
    if (ec) return std::nullopt;
    return size;
}

namespace {

bool FailErrno(std::string* error, const fs::path& path, int code) {
    return Fail(error, path.string() + ": " + std::strerror(code));
}

// Reads until the end of the file, or one byte past `size`, so that a file
// longer than the system said shows as one. A failed read leaves its errno in *code.
void ReadAll(int fd, std::uintmax_t size, std::string* bytes, int* code) {
    bytes->assign(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t got = 0;
    while (got < bytes->size()) {
        ssize_t n = read(fd, bytes->data() + got, bytes->size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *code = errno;
            return;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes->resize(got);
}

}  // namespace

bool ReadWholeFile(const fs::path& path, std::string* data, std::uintmax_t maxSize,
                   std::string* error) {
    fs::path file = ResolvePath(path);
    auto fail = [&](const std::string& reason) {
        return Fail(error, file.string() + ": " + reason);
    };
    // Non-blocking, so that a FIFO in a project cannot stall the open.
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fail(std::strerror(errno));
    struct stat st {};
    int code = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    bool regular = code == 0 && S_ISREG(st.st_mode);
    auto size = static_cast<std::uintmax_t>(st.st_size);
    if (regular && size > maxSize) code = EFBIG;
    std::string bytes;
    if (regular && code == 0) ReadAll(fd, size, &bytes, &code);
    close(fd);
    if (code != 0) return fail(std::strerror(code));
    if (!regular) return fail("not a regular file");
    if (bytes.size() != size) return fail("size changed while reading");
    *data = std::move(bytes);
    return true;
}

PendingFile::~PendingFile() {
    Discard();
}

bool PendingFile::Create(const fs::path& path, std::string* error) {
    Discard();
    target_ = ResolvePath(path);
    // A directory cannot be renamed over: find out before anything is written.
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(target_, ec))) return FailErrno(error, target_, EISDIR);
    fs::path dir = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    // A short name: a target name near the system's limit leaves no room
    // for a suffix.
    std::string temp = (dir / ".orbik-XXXXXX").string();
    int fd = mkstemp(temp.data());
    if (fd < 0) return FailErrno(error, target_, errno);

    // Keep the mode of a file being replaced; a new file gets the usual 0666 & ~umask.
    struct stat old {};
    mode_t mode;
    if (stat(target_.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    fd_ = fd;
    temp_ = temp;
    return true;
}

bool PendingFile::Write(std::string_view data, std::string* error) {
    if (fd_ < 0) return Fail(error, target_.string() + ": not created");
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int saved = n < 0 ? errno : ENOSPC;
            Discard();
            return FailErrno(error, target_, saved);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    int fd = fd_;
    fd_ = -1;
    if (fsync(fd) != 0 || close(fd) != 0) {
        int saved = errno;
        Discard();
        return FailErrno(error, target_, saved);
    }
    return true;
}

bool PendingFile::Rename(std::string* error) {
    if (temp_.empty() || fd_ >= 0) return Fail(error, target_.string() + ": not written");
    if (rename(temp_.c_str(), target_.c_str()) != 0) {
        int saved = errno;
        Discard();
        return FailErrno(error, target_, saved);
    }
    temp_.clear();
    return true;
}

bool PendingFile::Commit(std::string_view data, std::string* error) {
    return Write(data, error) && Rename(error);
}

void PendingFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
}

bool WriteFileAtomic(const fs::path& path, std::string_view data, std::string* error) {
    PendingFile file;
    return file.Create(path, error) && file.Commit(data, error);
}

bool FileReplacement::Stage(const fs::path& path, std::string_view data, std::string* error) {
    auto file = std::make_unique<PendingFile>();
    if (!file->Create(path, error) || !file->Write(data, error)) return false;
    staged_.push_back(std::move(file));
    return true;
}

bool FileReplacement::Commit(std::string* error) {
    // The files not yet renamed are removed with this object.
    for (auto& file : staged_)
        if (!file->Rename(error)) return false;
    staged_.clear();
    return true;
}

bool CopyFileNoOverwrite(const fs::path& from, const fs::path& to, std::string* error) {
    fs::path target = ResolvePath(to);
    if (Exists(target)) return Fail(error, target.string() + ": file exists");
    std::error_code ec;
    if (!fs::copy_file(ResolvePath(from), target, fs::copy_options::none, ec))
        return Fail(error, target, ec);
    return true;
}

bool CopyDirectory(const fs::path& from, const fs::path& to, std::string* error) {
    fs::path source = ResolvePath(from), target = ResolvePath(to);
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return Fail(error, source.string() + ": no such directory");
    // A copy into the tree itself would copy its own output until the disk is full.
    fs::path inside =
        fs::weakly_canonical(target, ec).lexically_relative(fs::weakly_canonical(source, ec));
    if (!inside.empty() && *inside.begin() != "..")
        return Fail(error, target.string() + ": cannot copy a folder into itself");
    fs::create_directories(target, ec);
    if (ec) return Fail(error, target, ec);
    fs::copy(source, target,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks |
                 fs::copy_options::overwrite_existing,
             ec);
    if (ec) return Fail(error, target, ec);
    return true;
}

bool RenamePath(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    fs::rename(ResolvePath(from), ResolvePath(to), ec);
    return ec ? Fail(error, to, ec) : true;
}

bool DeletePath(const fs::path& path, std::string* error) {
    std::error_code ec;
    fs::path target = ResolvePath(path);
    if (!fs::remove(target, ec))
        return Fail(error, ec ? ec.message() : target.string() + ": no such file");
    return true;
}

bool CreateDirectories(const fs::path& path, std::string* error) {
    std::error_code ec;
    fs::path target = ResolvePath(path);
    fs::create_directories(target, ec);
    if (ec || !fs::is_directory(target, ec)) return Fail(error, target, ec);
    return true;
}

std::vector<DirEntry> ListDirectory(const fs::path& path) {
    std::vector<DirEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(ResolvePath(path), ec), end; !ec && it != end;
         it.increment(ec)) {
        EntryKind kind = EntryKind::Other;
        auto status = it->symlink_status(ec);
        if (fs::is_symlink(status))
            kind = EntryKind::Symlink;
        else if (fs::is_directory(status))
            kind = EntryKind::Directory;
        else if (fs::is_regular_file(status))
            kind = EntryKind::File;
        entries.push_back({it->path().filename().string(), kind});
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
}

bool EmptyDirectory(const fs::path& path) {
    fs::path dir = ResolvePath(path);
    for (const auto& entry : ListDirectory(dir)) {
        fs::path full = dir / entry.name;
        std::error_code ec;
        if (entry.kind == EntryKind::Directory) {
            // A dot directory is deleted as a file would be: that fails, and is ignored.
            if (entry.name[0] == '.') continue;
            if (!EmptyDirectory(full)) return false;
            if (!fs::remove(full, ec) || ec) return false;
        } else {
            fs::remove(full, ec);  // a link goes as an entry; its target stays
        }
    }
    return true;
}

std::string IncludeTrailingBackslash(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::string out(text.substr(first, text.find_last_not_of(' ') - first + 1));
    char last = out.back();
    if (last != '/' && last != '\\') out += static_cast<char>(fs::path::preferred_separator);
    return out;
}

fs::path JoinSetting(const fs::path& base, std::string_view setting) {
    std::string relative(setting);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    auto first = relative.find_first_not_of('/');
    if (first == std::string::npos) return base;
    return base / relative.substr(first);
}

}  // namespace orbik::platform
