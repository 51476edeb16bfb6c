// orbik-cli projects, new, copy, delete, export and import: the project
// list's operations, run in the program directory.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "cli/Commands.h"
#include "platform/FileSystem.h"
#include "projects/Archive.h"
#include "projects/NewName.h"
#include "projects/ProjectList.h"
#include "settings/Settings.h"

namespace orbik::cli {

namespace {

namespace fs = std::filesystem;
using projects::Outcome;

settings::Settings ProgramSettings() {
    std::error_code ec;
    return settings::LoadSettings(fs::current_path(ec));
}

std::string Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return projects::FormatDate(std::chrono::year{local.tm_year + 1900} /
                                std::chrono::month{unsigned(local.tm_mon + 1)} /
                                std::chrono::day{unsigned(local.tm_mday)});
}

// Takes "--templates" out of the arguments; true when it was there.
bool TakeFlag(Args& args, const std::string& flag) {
    auto it = std::find(args.begin(), args.end(), flag);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

int Usage(const char* usage) {
    std::fprintf(stderr, "usage: orbik-cli %s\n", usage);
    return 2;
}

// Exit status and message of an operation that did not succeed.
int Report(const projects::OperationResult& result, std::string_view name) {
    for (const auto& note : result.notes) std::fprintf(stderr, "%s\n", note.c_str());
    switch (result.outcome) {
        case Outcome::Done:
            return 0;
        case Outcome::NameRefused:
            std::fprintf(stderr, "\"%.*s\": a name may not be empty nor hold any of %s\n",
                         static_cast<int>(name.size()), name.data(),
                         std::string(projects::kRefusedNameChars).c_str());
            break;
        case Outcome::NameExists:
            std::fprintf(stderr, "%s\n", projects::NameTakenMessage(name).c_str());
            break;
        case Outcome::NotFound:
            std::fprintf(stderr, "orbik-cli: no entry \"%.*s\"\n", static_cast<int>(name.size()),
                         name.data());
            break;
        case Outcome::AlreadyOpen:
            std::fprintf(stderr, "Project already open!\n");
            break;
        case Outcome::Failed:
            std::fprintf(stderr, "%s\n", result.detail.c_str());
            break;
    }
    return 1;
}

// Creates `newName` in `destFolder` from the entry `sourceName` of `sourceFolder`.
int Create(const fs::path& sourceFolder, std::string_view sourceList, const std::string& sourceName,
           const fs::path& destFolder, std::string_view destList, const std::string& newName) {
    auto list = projects::ReadList(sourceFolder, sourceList);
    const projects::ListEntry* source = projects::FindEntry(list, sourceName);
    if (!source) {
        std::fprintf(stderr, "orbik-cli: no entry \"%s\" in %s\n", sourceName.c_str(),
                     platform::PathToMessage(sourceFolder).c_str());
        return 1;
    }
    auto result =
        projects::CreateEntry(sourceFolder, *source, destFolder, newName, destList, Today());
    if (result.outcome != Outcome::Done) return Report(result, projects::TrimBlanks(newName));
    std::printf("%s\n", result.name.c_str());
    return 0;
}

}  // namespace

int RunProjects(const Args& given) {
    Args args = given;
    bool templates = TakeFlag(args, "--templates");
    if (!args.empty()) return Usage("projects [--templates]");
    auto folders = projects::FoldersOf(ProgramSettings());
    auto list = templates ? projects::ReadList(folders.templatesList, projects::kTemplateListFile)
                          : projects::ReadList(folders.projects, projects::kProjectListFile);
    for (const auto& e : list)
        std::printf("%s\t%s\t%s\t%s\n", e.name.c_str(), e.type.c_str(), e.created.c_str(),
                    e.changed.c_str());
    return 0;
}

int RunNew(const Args& args) {
    if (args.size() != 2) return Usage("new TEMPLATE NAME");
    auto folders = projects::FoldersOf(ProgramSettings());
    return Create(folders.templates, projects::kTemplateListFile, args[0], folders.projects,
                  projects::kProjectListFile, args[1]);
}

int RunCopy(const Args& args) {
    if (args.size() != 2) return Usage("copy PROJECT NAME");
    auto folders = projects::FoldersOf(ProgramSettings());
    return Create(folders.projects, projects::kProjectListFile, args[0], folders.projects,
                  projects::kProjectListFile, args[1]);
}

int RunDelete(const Args& given) {
    Args args = given;
    bool templates = TakeFlag(args, "--templates");
    bool confirmed = TakeFlag(args, "--yes");
    if (args.size() != 1) return Usage("delete PROJECT [--templates] --yes");
    if (!confirmed) {
        std::fprintf(stderr, "orbik-cli: deleting \"%s\" needs --yes\n", args[0].c_str());
        return 2;
    }
    auto folders = projects::FoldersOf(ProgramSettings());
    auto result =
        templates
            ? projects::DeleteEntry(folders.templates, args[0], projects::kTemplateListFile, {})
            : projects::DeleteEntry(folders.projects, args[0], projects::kProjectListFile, {});
    return Report(result, args[0]);
}

int RunExport(const Args& args) {
    if (args.size() != 2) return Usage("export PROJECT_DIR ARCHIVE");
    auto result = projects::ExportProject(args[0], args[1]);
    if (result.outcome == Outcome::NotFound) {
        std::fprintf(stderr, "%s\n", result.detail.c_str());
        return 1;
    }
    return Report(result, result.name);
}

int RunImport(const Args& args) {
    if (args.size() != 2) return Usage("import ARCHIVE DEST_FOLDER");
    auto folders = projects::FoldersOf(ProgramSettings());
    fs::path dest = args[1];
    std::error_code ec;
    if (!fs::is_directory(dest, ec)) {
        std::fprintf(stderr, "orbik-cli: %s: no such folder\n", args[1].c_str());
        return 1;
    }
    // The templates folder keeps templates.INI, the projects folder
    // projectlist.INI; another folder the list file it has.
    std::string listName;
    if (fs::equivalent(dest, folders.templates, ec))
        listName = projects::kTemplateListFile;
    else if (fs::equivalent(dest, folders.projects, ec))
        listName = projects::kProjectListFile;
    else
        listName = projects::ListFileOf(dest, projects::kProjectListFile).filename().string();
    projects::ImportRequest request;
    request.archive = args[0];
    request.destFolder = dest;
    request.listName = listName;
    request.today = Today();
    request.report = [](const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
    };
    auto result = projects::ImportProject(request);
    if (int status = Report(result, result.name); status != 0) return status;
    std::printf("%s\t%s\n", result.name.c_str(), result.type.c_str());
    return 0;
}

}  // namespace orbik::cli
