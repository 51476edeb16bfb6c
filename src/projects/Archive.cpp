#include "projects/Archive.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/FileSystem.h"
#include "project/ProjectLayout.h"
#include "projects/NewName.h"

namespace orbik::projects {

namespace {

constexpr zip_uint32_t kUnixFileTypeMask = 0170000;
constexpr zip_uint32_t kUnixSymlink = 0120000;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

std::string ArchiveError(zip_t* archive) {
    return zip_error_strerror(zip_get_error(archive));
}

std::string OpenError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

bool AddFolder(zip_t* archive, const fs::path& dir, const std::string& prefix,
               OperationResult& result) {
    for (const auto& entry : platform::ListDirectory(dir)) {
        std::string name = prefix + entry.name;
        fs::path path = dir / entry.name;
        if (entry.kind == platform::EntryKind::Directory) {
            if (zip_dir_add(archive, name.c_str(), ZIP_FL_ENC_GUESS) < 0) return false;
            if (!AddFolder(archive, path, name + "/", result)) return false;
        } else if (entry.kind == platform::EntryKind::File) {
            zip_source_t* source = zip_source_file(archive, path.c_str(), 0, -1);
            if (!source) return false;
            zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_GUESS);
            if (index < 0) {
                zip_source_free(source);
                return false;
            }
            if (zip_set_file_compression(archive, index, ZIP_CM_DEFLATE, 9) < 0) return false;
        } else {
            result.notes.push_back(platform::PathToMessage(path) + ": not a file, left out");
        }
    }
    return true;
}

// "//" and then "/" become "\", so that both separators read alike.
std::string NormalizeName(std::string_view raw) {
    std::string name;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '/') {
            if (i + 1 < raw.size() && raw[i + 1] == '/') ++i;
            name += '\\';
        } else {
            name += raw[i];
        }
    }
    return name;
}

std::vector<std::string> SplitComponents(std::string_view name) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('\\', start);
        if (end == std::string_view::npos) end = name.size();
        parts.emplace_back(name.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Why an entry would reach outside the project's folder; empty when it does not.
std::string UnsafeReason(zip_t* archive, zip_uint64_t index, const std::string& name) {
    if (!name.empty() && name[0] == '\\') return "absolute name";
    for (const auto& part : SplitComponents(name)) {
        if (part == "..") return "\"..\" in its name";
        if (part.find(':') != std::string::npos) return "drive letter in its name";
    }
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
        system == ZIP_OPSYS_UNIX && ((attributes >> 16) & kUnixFileTypeMask) == kUnixSymlink)
        return "symbolic link";
    return {};
}

// The folder below the project's root for a normalized relative folder part.
fs::path RelativeFolder(std::string_view folderPart) {
    fs::path folder;
    for (const auto& part : SplitComponents(folderPart))
        if (!part.empty() && part != ".") folder /= part;
    return folder;
}

// Unpacks one entry; `budget` is what may still be written in all.
bool ExtractEntry(zip_t* archive, zip_uint64_t index, const fs::path& target, std::uint64_t* budget,
                  std::string* error) {
    zip_file_t* entry = zip_fopen_index(archive, index, 0);
    if (!entry) {
        *error = ArchiveError(archive);
        return false;
    }
    std::FILE* out = std::fopen(target.c_str(), "wb");
    bool ok = out != nullptr;
    if (!ok) *error = platform::PathToMessage(target) + ": cannot be written";
    char buffer[65536];
    while (ok) {
        zip_int64_t n = zip_fread(entry, buffer, sizeof buffer);
        if (n < 0) {
            *error = zip_error_strerror(zip_file_get_error(entry));
            ok = false;
        } else if (n == 0) {
            break;
        } else if (static_cast<std::uint64_t>(n) > *budget) {
            *error = "the archive unpacks to more than a project may hold";
            ok = false;
        } else if (std::fwrite(buffer, 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
            *error = platform::PathToMessage(target) + ": cannot be written";
            ok = false;
        } else {
            *budget -= static_cast<std::uint64_t>(n);
        }
    }
    if (out && std::fclose(out) != 0 && ok) {
        *error = platform::PathToMessage(target) + ": cannot be written";
        ok = false;
    }
    zip_fclose(entry);
    return ok;
}

}  // namespace

std::string NameTakenMessage(std::string_view name) {
    return "Projectname \"" + std::string(name) + "\" already exists!";
}

OperationResult ExportProject(const fs::path& projectDir, const fs::path& archivePath) {
    OperationResult result;
    fs::path source = projectDir;
    if (!source.has_filename()) source = source.parent_path();  // "Project/Demo/"
    source = platform::ResolvePath(source);
    if (!platform::DirectoryExists(source)) {
        result.outcome = Outcome::NotFound;
        result.detail = platform::PathToMessage(projectDir) + ": no such project folder";
        return result;
    }
    // Written aside and renamed when complete: a failed export keeps an
    // existing archive of that name.
    fs::path partial = archivePath;
    partial += ".partial";
    std::error_code ec;
    fs::remove(partial, ec);
    int code = 0;
    zip_t* archive = zip_open(partial.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!archive) {
        result.detail = platform::PathToMessage(archivePath) + ": " + OpenError(code);
        return result;
    }
    std::string root = source.filename().string() + "/";
    if (zip_dir_add(archive, root.c_str(), ZIP_FL_ENC_GUESS) < 0 ||
        !AddFolder(archive, source, root, result) || zip_close(archive) < 0) {
        result.detail = platform::PathToMessage(archivePath) + ": " + ArchiveError(archive);
        zip_discard(archive);
        fs::remove(partial, ec);
        return result;
    }
    std::string error;
    if (!platform::RenamePath(partial, archivePath, &error)) {
        fs::remove(partial, ec);
        result.detail = error;
        return result;
    }
    result.outcome = Outcome::Done;
    result.name = platform::PathToMessage(source.filename());
    return result;
}

ImportResult ImportProject(const ImportRequest& request) {
    ImportResult result;
    int code = 0;
    ArchivePtr archive(zip_open(request.archive.c_str(), ZIP_RDONLY, &code));
    if (!archive) {
        result.detail = std::string(kBadArchive) + "\n" + platform::PathToMessage(request.archive) +
                        ": " + OpenError(code);
        return result;
    }
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    const char* first = count > 0 ? zip_get_name(archive.get(), 0, ZIP_FL_ENC_GUESS) : nullptr;
    if (!first) {
        result.detail = std::string(kBadArchive) + "\n" + platform::PathToMessage(request.archive) +
                        ": no entries";
        return result;
    }
    // The project's name is the folder of the first entry.
    std::string firstName = NormalizeName(first);
    std::string rootPrefix = firstName.substr(0, firstName.rfind('\\') + 1);
    std::string folderName = rootPrefix.empty() ? "" : rootPrefix.substr(0, rootPrefix.size() - 1);
    std::string name = platform::PathToMessage(fs::path(folderName));
    result.name = name;
    // A name Windows-1252 cannot spell could not be listed, opened or deleted.
    bool spellable = platform::NameToPath(name) == fs::path(folderName);
    if (!spellable || CheckNewName(folderName) != NameCheck::Ok) {
        result.outcome = Outcome::NameRefused;
        result.detail = "\"" + name + "\" is no allowed project name";
        return result;
    }
    const auto& open = request.openProjects;
    if (std::find(open.begin(), open.end(), name) != open.end()) {
        result.outcome = Outcome::AlreadyOpen;
        return result;
    }
    std::error_code ec;
    fs::path destFolder = fs::absolute(platform::ResolvePath(request.destFolder), ec);
    fs::path destRoot = platform::ResolvePath(destFolder / folderName);
    bool taken = fs::exists(fs::symlink_status(destRoot, ec));
    for (const auto& row : ReadList(destFolder, request.listName))
        taken = taken || TrimBlanks(row.name) == TrimBlanks(name);
    if (taken) {
        result.outcome = Outcome::NameExists;
        result.detail = NameTakenMessage(name);
        return result;
    }

    std::string error;
    std::uint64_t budget = request.maxBytes;
    bool ok = platform::CreateDirectories(destRoot, &error);
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        auto index = static_cast<zip_uint64_t>(i);
        const char* raw = zip_get_name(archive.get(), index, ZIP_FL_ENC_GUESS);
        if (!raw) continue;
        std::string entryName = NormalizeName(raw);
        if (std::string why = UnsafeReason(archive.get(), index, entryName); !why.empty()) {
            result.notes.push_back(platform::PathToMessage(fs::path(raw)) + ": skipped (" + why +
                                   ")");
            continue;
        }
        size_t cut = entryName.rfind('\\') + 1;  // 0 when there is no folder part
        std::string folderPart = entryName.substr(0, cut);
        std::string filePart = entryName.substr(cut);
        if (folderPart.compare(0, rootPrefix.size(), rootPrefix) != 0) {
            result.notes.push_back(platform::PathToMessage(fs::path(raw)) +
                                   ": skipped (outside the project folder)");
            continue;
        }
        fs::path dir = destRoot / RelativeFolder(folderPart.substr(rootPrefix.size()));
        ok = platform::CreateDirectories(dir, &error);
        if (ok && !filePart.empty() && filePart != ".")
            ok = ExtractEntry(archive.get(), index, dir / filePart, &budget, &error);
    }
    if (!ok) {
        fs::remove_all(destRoot, ec);  // it did not exist before
        result.outcome = Outcome::Failed;
        result.detail = error;
        return result;
    }
    platform::Reporter report = request.report ? request.report : [](const std::string&) {};
    result.type = ProjectTypeOf(project::MainFile(destRoot, name), report);
    if (!RegisterEntry(destFolder / std::string(request.listName), name, result.type, request.today,
                       &error)) {
        result.outcome = Outcome::Failed;
        result.detail = error;
        return result;
    }
    result.outcome = Outcome::Done;
    return result;
}

}  // namespace orbik::projects
