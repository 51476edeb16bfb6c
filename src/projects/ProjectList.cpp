#include "projects/ProjectList.h"

#include <algorithm>
#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "project/ProjectLayout.h"
#include "projects/NewName.h"

namespace orbik::projects {

namespace {

bool EndsWithIni(std::string_view name) {
    return name.size() >= 4 && platform::EqualsIgnoreCase(name.substr(name.size() - 4), ".ini");
}

std::string NameOf(const std::string& fileSystemName) {
    return platform::PathToMessage(fs::path(fileSystemName));
}

OperationResult Fail(Outcome outcome, std::string detail = {}) {
    OperationResult result;
    result.outcome = outcome;
    result.detail = std::move(detail);
    return result;
}

}  // namespace

Folders FoldersOf(const settings::Settings& settings) {
    fs::path projects = settings.ProjectsDir();
    fs::path templatesBase = platform::JoinSetting(settings.programDir, settings.templates);
    fs::path listedBase = platform::JoinSetting(settings.programDir, "\\templates");
    return {projects, platform::JoinSetting(templatesBase, settings.projectPath),
            platform::JoinSetting(listedBase, settings.projectPath)};
}

fs::path ListFileOf(const fs::path& folder, std::string_view defaultName) {
    fs::path found;
    for (const auto& entry : platform::ListDirectory(folder)) {
        if (entry.kind == platform::EntryKind::File && EndsWithIni(entry.name))
            found = fs::path(entry.name);
    }
    return folder / (found.empty() ? fs::path(std::string(defaultName)) : found);
}

std::vector<ListEntry> ReadList(const fs::path& folder, std::string_view defaultListName) {
    platform::IniFile ini(ListFileOf(folder, defaultListName));
    std::vector<ListEntry> list;
    for (const auto& entry : platform::ListDirectory(folder)) {
        if (entry.kind != platform::EntryKind::Directory || entry.name[0] == '.') continue;
        ListEntry row;
        row.name = NameOf(entry.name);
        row.type = ini.Read(row.name, "projecttype", kTypeMax);
        row.created = ini.Read(row.name, "created", kDefaultDate);
        row.changed = ini.Read(row.name, "changed", kDefaultDate);
        list.push_back(std::move(row));
    }
    return list;
}

const ListEntry* FindEntry(const std::vector<ListEntry>& list, std::string_view name) {
    auto it =
        std::find_if(list.begin(), list.end(), [&](const ListEntry& e) { return e.name == name; });
    return it == list.end() ? nullptr : &*it;
}

std::string FormatDate(std::chrono::year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

std::string ProjectTypeOf(const fs::path& mainFile, const platform::Reporter& report) {
    std::vector<std::string> lines;
    if (!platform::ReadTextFile(mainFile, &lines, report)) return std::string(kTypeSolo);
    for (const auto& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos || line.compare(0, eq, "item") != 0) continue;
        if (platform::EqualsIgnoreCase(TrimBlanks(line.substr(eq + 1)), "externaldisplay"))
            return std::string(kTypeMax);
    }
    return std::string(kTypeSolo);
}

bool RegisterEntry(const fs::path& listFile, std::string_view name, std::string_view type,
                   std::string_view today, std::string* error) {
    platform::IniFile ini(listFile);
    ini.Write(name, "name", name);
    ini.Write(name, "projecttype", type);
    ini.Write(name, "created", today);
    ini.Write(name, "changed", today);
    return ini.Save(error);
}

OperationResult CreateEntry(const fs::path& sourceFolder, const ListEntry& source,
                            const fs::path& destFolder, std::string_view newName,
                            std::string_view destListName, std::string_view today) {
    if (CheckNewName(newName) != NameCheck::Ok) return Fail(Outcome::NameRefused);
    std::string name = TrimBlanks(newName);
    fs::path sourceDir = project::ProjectDir(sourceFolder, source.name);
    fs::path destDir = platform::ResolvePath(project::ProjectDir(destFolder, name));
    if (!platform::DirectoryExists(sourceDir)) return Fail(Outcome::NotFound);

    // Copying into a folder that exists would mix two projects.
    std::error_code ec;
    bool taken = fs::exists(fs::symlink_status(destDir, ec));
    for (const auto& row : ReadList(destFolder, destListName))
        taken = taken || TrimBlanks(row.name) == name;
    if (taken) return Fail(Outcome::NameExists);

    std::string error;
    if (!platform::CopyDirectory(sourceDir, destDir, &error)) {
        fs::remove_all(destDir, ec);  // it did not exist before
        return Fail(Outcome::Failed, error);
    }
    // The main file follows the project's name; a template whose main file
    // is named otherwise keeps it.
    fs::path oldMain = project::MainFile(destDir, source.name);
    fs::path newMain = project::MainFile(destDir, name);
    if (source.name != name && platform::FileExists(oldMain) &&
        !platform::RenamePath(oldMain, newMain, &error))
        return Fail(Outcome::Failed, error);

    std::string type(source.IsSolo() ? kTypeSolo : kTypeMax);
    if (!RegisterEntry(ListFileOf(destFolder, destListName), name, type, today, &error))
        return Fail(Outcome::Failed, error);
    OperationResult result;
    result.outcome = Outcome::Done;
    result.name = name;
    return result;
}

OperationResult DeleteEntry(const fs::path& folder, std::string_view name,
                            std::string_view defaultListName,
                            const std::vector<std::string>& openProjects) {
    if (!FindEntry(ReadList(folder, defaultListName), name)) return Fail(Outcome::NotFound);
    if (std::find(openProjects.begin(), openProjects.end(), name) != openProjects.end())
        return Fail(Outcome::AlreadyOpen);

    // By absolute path: the working directory stays the program directory.
    std::error_code ec;
    fs::path dir = fs::absolute(platform::ResolvePath(project::ProjectDir(folder, name)), ec);
    platform::EmptyDirectory(dir);

    fs::path listFile = ListFileOf(folder, defaultListName);
    if (platform::FileExists(listFile)) {
        platform::IniFile ini(listFile);
        if (ini.HasSection(name)) {
            for (const char* key : {"name", "projecttype", "created", "changed"})
                ini.DeleteKey(name, key);
            ini.EraseSection(name);
            ini.Save();
        }
    }
    OperationResult result;
    result.name = std::string(name);
    if (!fs::remove(dir, ec) || ec) {
        result.outcome = Outcome::Failed;
        result.detail = platform::PathToMessage(dir) + ": " +
                        (ec ? ec.message() : std::string("cannot be removed"));
        return result;
    }
    result.outcome = Outcome::Done;
    return result;
}

}  // namespace orbik::projects
