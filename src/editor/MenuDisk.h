#pragma once
// The disk side of the menu operations: folders a deletion removes and the
// folder a new device starts with. The rest of a change reaches the disk
// through the project's Save.

#include <filesystem>
#include <string>
#include <vector>

#include "editor/MenuOperations.h"
#include "editor/ProjectModel.h"

namespace orbik::editor {

namespace fs = std::filesystem;

// Applies a deletion's changes in order. A folder reached through a
// symbolic link is never emptied: the link itself is removed and what it
// points at is left alone. Returns the failures ("path: reason").
std::vector<std::string> ApplyFolderChanges(const fs::path& projectDir,
                                            const std::vector<FolderChange>& changes);

// Devices/<name> with the template as its first code file, devlist.txt
// naming it and devvocab.txt from the device's vocabulary. False with
// "path: reason" when any of it cannot be written (then the folder is
// removed again) or when the folder is there already (it is left alone).
bool CreateDeviceFolder(const ProjectModel& model, std::size_t device, const fs::path& projectDir,
                        const fs::path& templateFile, std::string* error);

}  // namespace orbik::editor
