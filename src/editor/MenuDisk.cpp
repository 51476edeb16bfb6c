#include "editor/MenuDisk.h"

#include <system_error>

#include "editor/ProjectSave.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"

namespace orbik::editor {

namespace {

using project::kEditorFileNames;

enum class LinkPlace { None, Folder, Above };

// Whether `folder` (below the project folder) or a folder between the two
// is a symbolic link.
LinkPlace FindLink(const fs::path& projectDir, const fs::path& folder) {
    fs::path walk = projectDir;
    fs::path relative = folder.lexically_relative(projectDir);
    std::size_t count = std::distance(relative.begin(), relative.end());
    std::size_t i = 0;
    for (const auto& part : relative) {
        walk /= part;
        ++i;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(walk, ec)))
            return i == count ? LinkPlace::Folder : LinkPlace::Above;
    }
    return LinkPlace::None;
}

// Removes a folder of the project. A link in its place is removed as a
// link; a folder reached through a link further up is left alone.
void RemoveFolder(const fs::path& projectDir, const fs::path& folder, bool emptyFirst,
                  std::vector<std::string>* failures) {
    std::string error;
    switch (FindLink(projectDir, folder)) {
        case LinkPlace::Above:
            failures->push_back(platform::PathToMessage(folder) +
                                ": reached through a symbolic link, left alone");
            return;
        case LinkPlace::Folder:
            if (!platform::DeletePath(folder, &error)) failures->push_back(error);
            return;
        case LinkPlace::None:
            break;
    }
    if (!platform::DirectoryExists(folder)) return;
    if (emptyFirst && !platform::EmptyDirectory(folder)) {
        failures->push_back(platform::PathToMessage(folder) + ": cannot be emptied");
        return;
    }
    // An item's or a menu's folder that still holds files the program did
    // not write keeps them.
    if (!platform::DeletePath(folder, &error) && emptyFirst) failures->push_back(error);
}

// Deletes a file of an item's or a menu's folder unless the folder lies
// behind a link.
void DeleteFileIn(const fs::path& projectDir, const fs::path& folder, std::string_view file,
                  std::vector<std::string>* failures) {
    if (FindLink(projectDir, folder) != LinkPlace::None) return;
    fs::path path = platform::ResolvePath(folder / platform::NameToPath(file));
    if (!platform::FileExists(path)) return;
    std::string error;
    if (!platform::DeletePath(path, &error)) failures->push_back(error);
}

}  // namespace

std::vector<std::string> ApplyFolderChanges(const fs::path& projectDir,
                                            const std::vector<FolderChange>& changes) {
    std::vector<std::string> failures;
    for (const auto& change : changes) {
        switch (change.kind) {
            case FolderChange::Kind::RemoveDevice: {
                fs::path folder =
                    platform::ResolvePath(project::DeviceTypeDir(projectDir, change.name));
                RemoveFolder(projectDir, folder, true, &failures);
                break;
            }
            case FolderChange::Kind::RemoveItem: {
                fs::path folder =
                    platform::ResolvePath(project::ItemsMenusDir(projectDir, change.name));
                DeleteFileIn(projectDir, folder, kEditorFileNames.item, &failures);
                if (!platform::FileExists(
                        project::ItemsMenusFile(projectDir, change.name, kEditorFileNames.menu)))
                    RemoveFolder(projectDir, folder, false, &failures);
                break;
            }
            case FolderChange::Kind::RemoveMenu: {
                fs::path folder =
                    platform::ResolvePath(project::ItemsMenusDir(projectDir, change.name));
                DeleteFileIn(projectDir, folder, kEditorFileNames.menu, &failures);
                RemoveFolder(projectDir, folder, false, &failures);
                break;
            }
        }
    }
    return failures;
}

bool CreateDeviceFolder(const ProjectModel& model, std::size_t device, const fs::path& projectDir,
                        const fs::path& templateFile, std::string* error) {
    const std::string& name = model.devices.at(device).name;
    std::string bytes;
    if (!platform::ReadWholeFile(templateFile, &bytes, platform::kMaxTextFileSize, error))
        return false;
    fs::path folder = project::DeviceTypeDir(projectDir, name);
    if (FindLink(projectDir, folder) != LinkPlace::None) {
        if (error) *error = platform::PathToMessage(folder) + ": a symbolic link";
        return false;
    }
    // A folder left from elsewhere may hold someone's code files: a new
    // device never writes into it.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder, ec))) {
        if (error) *error = platform::PathToMessage(folder) + ": already exists";
        return false;
    }
    if (!platform::CreateDirectories(folder, error)) return false;
    std::vector<std::string> list;
    for (const auto& file : model.devices[device].signalFiles) list.push_back("device=" + file);
    if (platform::WriteFileAtomic(project::DeviceTypeFile(projectDir, name, kFirstCodeFile), bytes,
                                  error) &&
        platform::WriteFileAtomic(
            project::DeviceTypeFile(projectDir, name, kEditorFileNames.deviceList),
            platform::JoinLines(list), error) &&
        platform::WriteFileAtomic(
            project::DeviceTypeFile(projectDir, name, kEditorFileNames.deviceVocabulary),
            platform::JoinLines(VocabularyLines(model.devices[device])), error))
        return true;
    // Half a device folder would be taken for a device at the next load.
    fs::remove_all(folder, ec);
    return false;
}

}  // namespace orbik::editor
