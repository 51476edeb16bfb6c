#include "signals/IcpLibrary.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "projects/NewName.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"

namespace orbik::signals {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".icp";

fs::path In(const fs::path& dir, std::string_view file) {
    return dir / platform::NameToPath(file);
}

bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

bool WriteHeaderName(const fs::path& file, std::string_view name, std::string* error) {
    std::string bytes;
    if (!platform::ReadWholeFile(file, &bytes, kMaxFileSize, error)) return false;
    if (bytes.size() < kHeaderSize)
        return Fail(error, platform::PathToMessage(file) + ": not an IR code file");
    bytes.replace(0, kFileNameSize, HeaderName(name));
    return platform::WriteFileAtomic(file, bytes, error);
}

// Renames to exactly `to`: a target found in another letter case is the
// source itself, whose spelling changes.
bool RenameExact(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    fs::rename(platform::ResolvePath(from), platform::ResolvePath(to.parent_path()) / to.filename(),
               ec);
    return ec ? Fail(error, platform::PathToMessage(to) + ": " + ec.message()) : true;
}

}  // namespace

std::vector<std::string> ListCodeFiles(const fs::path& folder) {
    std::vector<std::string> files;
    for (const platform::DirEntry& entry : platform::ListDirectory(folder)) {
        if (entry.kind == platform::EntryKind::Directory || entry.name.size() < kExtension.size())
            continue;
        if (platform::EqualsIgnoreCase(entry.name.substr(entry.name.size() - kExtension.size()),
                                       kExtension))
            files.push_back(entry.name);
    }
    return files;
}

bool NameOffered(std::string_view text, const std::vector<std::string>& rows) {
    if (text.empty() || text.front() == ' ') return false;
    std::string file = std::string(text) + std::string(kExtension);
    for (const std::string& row : rows)
        if (row == file) return false;
    return true;
}

std::string CheckLibraryName(std::string_view text) {
    if (text.find(kExtension) != std::string_view::npos) return std::string(kNoExtensionText);
    if (projects::CheckNewName(text) != projects::NameCheck::Ok) return projects::NotAllowedText();
    if (text.size() > kLibraryNameBound)
        return "At most " + std::to_string(kLibraryNameBound) + " characters allowed!";
    return {};
}

std::string HeaderName(std::string_view name) {
    std::string padded(name.substr(0, kFileNameSize));
    padded.resize(kFileNameSize, ' ');
    return padded;
}

FileMove CopyCodeFile(const fs::path& dir, std::string_view file, const fs::path& toDir,
                      std::string_view newFile, std::string* error) {
    fs::path from = In(dir, file), to = In(toDir, newFile);
    fs::path names = SignalNameFile(from), toNames = SignalNameFile(to);
    bool withNames = platform::FileExists(names);
    if (platform::FileExists(to) || (withNames && platform::FileExists(toNames)))
        return FileMove::Exists;
    if (!platform::CopyFileNoOverwrite(from, to, error)) return FileMove::Failed;
    if (withNames && !platform::CopyFileNoOverwrite(names, toNames, error)) return FileMove::Failed;
    return FileMove::Done;
}

FileMove RenameLibraryFile(const fs::path& dir, std::string_view file, std::string_view newName,
                           std::string* error) {
    fs::path from = In(dir, file), to = In(dir, std::string(newName) + std::string(kExtension));
    fs::path names = SignalNameFile(from), toNames = SignalNameFile(to);
    bool withNames = platform::FileExists(names);
    // A rename that only changes the letter case is the same file.
    bool sameFile =
        platform::EqualsIgnoreCase(platform::PathToMessage(from), platform::PathToMessage(to));
    if (!sameFile && (platform::FileExists(to) || (withNames && platform::FileExists(toNames))))
        return FileMove::Exists;
    if (!WriteHeaderName(from, newName, error)) return FileMove::Failed;
    if (!RenameExact(from, to, error)) return FileMove::Failed;
    if (withNames && !RenameExact(names, toNames, error)) return FileMove::Failed;
    return FileMove::Done;
}

FileMove CopyLibraryFile(const fs::path& dir, std::string_view file, std::string_view newName,
                         std::string* error) {
    std::string newFile = std::string(newName) + std::string(kExtension);
    FileMove copied = CopyCodeFile(dir, file, dir, newFile, error);
    if (copied != FileMove::Done) return copied;
    return WriteHeaderName(In(dir, newFile), newName, error) ? FileMove::Done : FileMove::Failed;
}

bool DeleteCodeFile(const fs::path& dir, std::string_view file, std::string* error) {
    fs::path path = In(dir, file), names = SignalNameFile(path);
    if (!platform::DeletePath(path, error)) return false;
    if (platform::FileExists(names)) return platform::DeletePath(names, error);
    return true;
}

}  // namespace orbik::signals
