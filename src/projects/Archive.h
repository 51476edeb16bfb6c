#pragma once
// Projects and templates as ZIP archives: one entry per folder (ending in
// "/") and per file, names relative to the folder that holds the project,
// the project's own folder entry first; deflate at maximum compression.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "projects/ProjectList.h"

namespace orbik::projects {

// The question the user is asked when an archive cannot be read.
inline constexpr std::string_view kBadArchive = "This ZIP file has bad entries!";

// Writes `projectDir` into `archive`. The archive is written beside the
// target under another name and renamed when complete, so a failed export
// leaves an existing archive of that name as it was. Symbolic links in the
// project are left out (noted in `notes`).
OperationResult ExportProject(const fs::path& projectDir, const fs::path& archive);

// `Projectname "X" already exists!`
std::string NameTakenMessage(std::string_view name);

struct ImportRequest {
    fs::path archive;
    fs::path destFolder;        // the projects or the templates folder
    std::string_view listName;  // the list file written in destFolder
    std::vector<std::string> openProjects;
    std::string today;          // dd.mm.yyyy
    platform::Reporter report;  // told when the main file cannot be read
    // More than this unpacked (as counted while writing, whatever the
    // archive claims) fails the import: a project is a few megabytes.
    std::uint64_t maxBytes = std::uint64_t{1} << 30;
};

struct ImportResult : OperationResult {
    std::string type;  // "solo" or "max", as registered
};

// Unpacks the archive into destFolder/<name>/, the name being the folder of
// the first entry, and registers it in the list file. Nothing is written
// outside that folder: entries with absolute names, drive letters, ".."
// components or that are symbolic links are skipped and noted. A name the
// new-name rules refuse, a name that is taken and an unreadable archive
// write nothing.
ImportResult ImportProject(const ImportRequest& request);

}  // namespace orbik::projects
