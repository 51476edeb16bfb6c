#pragma once
// The lists of projects and templates: each entry is a directory of its
// folder, described by a section of the folder's list file (type, created,
// changed). New, Copy and Delete are operations that say what happened, so
// that the project list window and orbik-cli share them.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "settings/Settings.h"

namespace orbik::projects {

namespace fs = std::filesystem;

inline constexpr std::string_view kProjectListFile = "projectlist.INI";
inline constexpr std::string_view kTemplateListFile = "templates.INI";
inline constexpr std::string_view kTypeSolo = "solo";
inline constexpr std::string_view kTypeMax = "max";
inline constexpr std::string_view kDefaultDate = "01.01.2000";

struct Folders {
    fs::path projects;       // program directory + [Paths] Project
    fs::path templates;      // program directory + [Paths] Templates + Project
    fs::path templatesList;  // program directory + "\templates" + Project: what the list shows
};
Folders FoldersOf(const settings::Settings& settings);

struct ListEntry {
    std::string name;  // the directory's name (Windows-1252)
    std::string type = std::string(kTypeMax);
    std::string created = std::string(kDefaultDate);
    std::string changed = std::string(kDefaultDate);
    bool IsSolo() const { return type == kTypeSolo; }
};

// The list file of a folder: the last "*.ini" in name order, else
// `defaultName` in the folder (created on the first write).
fs::path ListFileOf(const fs::path& folder, std::string_view defaultName);

// Every directory of the folder whose name does not begin with ".", in name
// order, with what the list file says of it.
std::vector<ListEntry> ReadList(const fs::path& folder, std::string_view defaultListName);

// "dd.mm.yyyy", the form the list files hold.
std::string FormatDate(std::chrono::year_month_day date);

// "max" when the main file has a line item=ExternalDisplay, else "solo"
// (also when the file cannot be read, which `report` is told).
std::string ProjectTypeOf(const fs::path& mainFile, const platform::Reporter& report);

// Writes name, projecttype, created and changed of `name` into the list file.
bool RegisterEntry(const fs::path& listFile, std::string_view name, std::string_view type,
                   std::string_view today, std::string* error);

enum class Outcome {
    Done,
    NameRefused,  // empty or a refused character
    NameExists,   // the destination is taken
    NotFound,     // no such entry in the list
    AlreadyOpen,  // open in a project window
    Failed,       // the file system said no; `detail` says why
};

struct OperationResult {
    Outcome outcome = Outcome::Failed;
    std::string name;                // the entry made, trimmed
    std::string detail;              // the system's reason for Failed
    std::vector<std::string> notes;  // what was skipped on the way
};

// Makes `newName` in `destFolder` a copy of `source` of `sourceFolder`:
// copies the tree, renames the main file after the new name and registers
// it in the destination's list file with the source's type and today's
// dates. Used for New (project <-> template) and for Copy (within the
// projects). A destination folder that exists in any form is refused.
OperationResult CreateEntry(const fs::path& sourceFolder, const ListEntry& source,
                            const fs::path& destFolder, std::string_view newName,
                            std::string_view destListName, std::string_view today);

// Removes the entry's folder (by absolute path, never following a link out
// of it) and its section of the list file. `openProjects` are the names of
// the projects open in project windows.
OperationResult DeleteEntry(const fs::path& folder, std::string_view name,
                            std::string_view defaultListName,
                            const std::vector<std::string>& openProjects);

// The entry of the list of `folder` named exactly `name`, if there is one.
const ListEntry* FindEntry(const std::vector<ListEntry>& list, std::string_view name);

}  // namespace orbik::projects
