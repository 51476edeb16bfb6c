#pragma once
// Writing the editor's model back to a project's text files. SaveProject
// turns the model into the files' lines, in the order they are written;
// WriteProjectFiles puts them on disk.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"
#include "editor/ProjectSource.h"

namespace orbik::editor {

struct SavedFile {
    enum class Folder {
        Exists,           // the project's own folder
        CreateIfMissing,  // an item's or a menu's folder
        NotCreated,       // a device's folder: no folder, no file
    };
    fs::path path;
    std::vector<std::string> lines;
    Folder folder = Folder::Exists;
    std::string progress;  // status text shown when this file's group begins
};

// The lines of a device's devvocab.txt: the vocabulary that entries use.
std::vector<std::string> VocabularyLines(const DeviceRecord& device);

// Every file of the model, in the order they are written. The descriptor
// is written as the project's name.
std::vector<SavedFile> SaveProject(const ProjectModel& model, const fs::path& projectDir,
                                   std::string_view projectName);

struct SaveFailure {
    std::string message;  // path + " not found"
    std::string reason;   // the system's reason
};

// Writes each file whole and atomically; a file that cannot be written is
// reported and skipped, and the others are still written.
std::vector<SaveFailure> WriteProjectFiles(
    const std::vector<SavedFile>& files,
    const std::function<void(const std::string&)>& progress = {});

// The same files into memory, for tests and benchmarks.
void WriteProjectFiles(const std::vector<SavedFile>& files, MemorySource* target);

// dd.mm.yyyy
std::string ShortDate(std::chrono::year_month_day date);

// Sets "changed" of the project in the projects folder's list file.
bool SetChangedDate(const fs::path& projectsDir, std::string_view projectName,
                    std::chrono::year_month_day today, std::string* error = nullptr);

}  // namespace orbik::editor

namespace orbik::editor {

// Save as the window runs it: every file, then the "changed" date in the
// projects folder (the project folder's parent). Failures in write order.
std::vector<SaveFailure> SaveProjectToDisk(
    const ProjectModel& model, const fs::path& projectDir, std::string_view projectName,
    std::chrono::year_month_day today,
    const std::function<void(const std::string&)>& progress = {});

}  // namespace orbik::editor
