#include "editor/ProjectSave.h"

#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"

namespace orbik::editor {

namespace {

using project::kEditorFileNames;
using Lines = std::vector<std::string>;

// The nine display texts of direct key n, one per language.
constexpr std::pair<const char*, const char*> kDirectKeyTexts[] = {
    {"German", "Taste "},     {"Dutch", "toetse "},   {"English", "key "},
    {"French", "touche "},    {"Italian", "tasto "},  {"Spanish", "tecla "},
    {"Portuguese", "tecla "}, {"Finnish", "kytkin "}, {"Norwegian", "noekkel "},
};

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

Lines ProjectFileLines(const ProjectModel& model, std::string_view projectName) {
    Lines lines = {";ORBIK Projectfile", "", "descriptor=" + std::string(projectName), "", "",
                   "; languages"};
    for (const auto& language : model.languages)
        if (!language.empty()) lines.push_back("language=" + language);
    lines.insert(lines.end(), {"", ""});
    for (const auto& item : model.items) lines.push_back("item=" + item.name);
    return lines;
}

Lines ItemLines(const ProjectModel& model, const ItemRecord& item) {
    Lines lines = {"type=" + (item.type.empty() ? std::string("other") : item.type), ""};
    for (const auto& text : item.texts) lines.push_back(text.language + "=" + text.text);
    lines.insert(lines.end(),
                 {"", "keyword=" + item.keyword, "", "minoption=" + std::to_string(item.minOption),
                  "offoption=" + std::to_string(item.offOption),
                  "startoption=" + std::to_string(item.startOption),
                  "maxoption=" + std::to_string(item.maxOption)});
    if (item.device) {
        lines.push_back("option=devices=" + model.devices[*item.device].name);
    } else {
        for (const auto& option : item.options) lines.push_back("option=" + option);
    }
    return lines;
}

// "procedure=Nothing" for an empty procedure; RF lines stand as they are.
void AppendProcedure(Lines& lines, const std::vector<std::string>& procedure) {
    if (procedure.empty()) lines.push_back("procedure=Nothing");
    for (const auto& line : procedure)
        lines.push_back(line.rfind(";RF", 0) == 0 ? line : "procedure=" + line);
}

Lines MenuLines(const ProjectModel& model, std::size_t index) {
    const MenuRecord& menu = model.menus[index];
    bool isMain = index == 0;
    Lines lines = {std::string("next=") + OnOff(menu.next),
                   std::string("execute=") + OnOff(menu.execute),
                   std::string("sleep=") + OnOff(menu.sleep),
                   std::string("deviceselection=") + OnOff(menu.deviceSelection),
                   std::string("doubledigits=") + OnOff(menu.doubleDigits),
                   ""};
    if (isMain) {
        if (menu.sleep)
            lines.insert(lines.end(), {"keyword=sleep", "procedure=DisplayLightOff",
                                       "procedure=PushMenu", "procedure=SetMenu(Sleep)", ""});
        lines.insert(lines.end(), {"keyword=next", "procedure=Nothing", "", "keyword=execute",
                                   "procedure=Nothing", ""});
    }
    for (const auto& entry : menu.entries) {
        lines.push_back("keyword=" + entry.keyword);
        AppendProcedure(lines, entry.procedure);
        lines.push_back("");
    }
    if (isMain) {
        for (int n = 1; n <= kDirectKeyCount; ++n) {
            const DirectKeySlot& key = model.directKeys[n - 1];
            if (!key.active) continue;
            lines.push_back("keyword=" + DirectKeyName(n));
            AppendProcedure(lines, key.procedure);
            lines.push_back("");
        }
    }
    return lines;
}

Lines KeywordLines(const ProjectModel& model) {
    Lines lines = {";*************************", ";ORBIK KEYWORDS.TXT File",
                   ";*************************", "", ""};
    for (const auto& keyword : model.keywords) {
        if (keyword.name.find("dkey") != std::string::npos) continue;
        if (keyword.name == "name_1") lines.push_back(";****** Tel Names ******");
        lines.push_back("keyword=" + keyword.name);
        lines.push_back("type=" + keyword.type);
        for (const auto& text : keyword.texts) lines.push_back(text.language + "=" + text.text);
        lines.push_back("");
    }
    lines.insert(lines.end(), {";****** Direct Keys ******", ""});
    for (int n = 1; n <= kDirectKeyCount; ++n) {
        if (!model.directKeys[n - 1].active) continue;
        lines.push_back("keyword=" + DirectKeyName(n));
        lines.push_back("type=directkey");
        for (const auto& [language, word] : kDirectKeyTexts)
            lines.push_back(std::string(language) + "=" + word + std::to_string(n));
        lines.push_back("");
    }
    lines.push_back(";***** End Keywordlist *****");
    return lines;
}

}  // namespace

std::vector<std::string> VocabularyLines(const DeviceRecord& device) {
    std::vector<std::string> lines;
    for (std::size_t v = 0; v < device.vocabulary.size(); ++v)
        if (v < device.vocabularyUse.size() && device.vocabularyUse[v] > 0)
            lines.push_back("keyword=" + device.vocabulary[v]);
    return lines;
}

std::vector<SavedFile> SaveProject(const ProjectModel& model, const fs::path& projectDir,
                                   std::string_view projectName) {
    using Folder = SavedFile::Folder;
    std::vector<SavedFile> files;
    files.push_back({project::MainFile(projectDir, projectName),
                     ProjectFileLines(model, projectName), Folder::Exists, "Saving Project"});
    const char* progress = "Saving Item Files";
    for (const auto& item : model.items) {
        files.push_back({project::ItemsMenusFile(projectDir, item.name, kEditorFileNames.item),
                         ItemLines(model, item), Folder::CreateIfMissing, progress});
        progress = "";
    }
    for (const auto& device : model.devices)
        files.push_back(
            {project::DeviceTypeFile(projectDir, device.name, kEditorFileNames.deviceVocabulary),
             VocabularyLines(device), Folder::NotCreated, ""});
    progress = "Saving Menu Files";
    for (std::size_t m = 0; m < model.menus.size(); ++m) {
        // The first two menus are Main and Sleep whatever their records say.
        std::string_view name = m == 0   ? project::kMainMenu
                                : m == 1 ? project::kSleepMenu
                                         : std::string_view(model.menus[m].name);
        files.push_back({project::ItemsMenusFile(projectDir, name, kEditorFileNames.menu),
                         MenuLines(model, m), Folder::CreateIfMissing, progress});
        progress = "";
    }
    files.push_back({project::TopFile(projectDir, kEditorFileNames.keywords), KeywordLines(model),
                     Folder::Exists, ""});
    return files;
}

std::vector<SaveFailure> WriteProjectFiles(
    const std::vector<SavedFile>& files, const std::function<void(const std::string&)>& progress) {
    std::vector<SaveFailure> failures;
    for (const auto& file : files) {
        if (progress && !file.progress.empty()) progress(file.progress);
        std::string reason;
        bool ok = true;
        if (file.folder == SavedFile::Folder::CreateIfMissing && !platform::FileExists(file.path))
            ok = platform::CreateDirectories(file.path.parent_path(), &reason);
        if (ok) ok = platform::WriteFileAtomic(file.path, platform::JoinLines(file.lines), &reason);
        if (!ok) failures.push_back({platform::PathToMessage(file.path) + " not found", reason});
    }
    if (progress) progress("");
    return failures;
}

void WriteProjectFiles(const std::vector<SavedFile>& files, MemorySource* target) {
    for (const auto& file : files) {
        if (file.folder == SavedFile::Folder::NotCreated &&
            !target->IsDirectory(file.path.parent_path()))
            continue;
        target->Put(file.path, platform::JoinLines(file.lines));
    }
}

std::string ShortDate(std::chrono::year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

namespace {

// The last "*.ini" of the folder in byte order, else the default list file.
fs::path ProjectListFile(const fs::path& projectsDir) {
    std::string last;
    for (const auto& entry : platform::ListDirectory(projectsDir)) {
        const std::string& name = entry.name;
        if (entry.kind == platform::EntryKind::File && name.size() > 4 &&
            platform::EqualsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".ini"))
            last = name;
    }
    return project::JoinName(projectsDir, last.empty() ? project::kProjectListFile : last);
}

}  // namespace

bool SetChangedDate(const fs::path& projectsDir, std::string_view projectName,
                    std::chrono::year_month_day today, std::string* error) {
    platform::IniFile list(ProjectListFile(projectsDir));
    list.Write(projectName, "changed", ShortDate(today));
    return list.Save(error);
}

}  // namespace orbik::editor

namespace orbik::editor {

std::vector<SaveFailure> SaveProjectToDisk(
    const ProjectModel& model, const fs::path& projectDir, std::string_view projectName,
    std::chrono::year_month_day today, const std::function<void(const std::string&)>& progress) {
    auto failures = WriteProjectFiles(SaveProject(model, projectDir, projectName), progress);
    fs::path projectsDir = projectDir.parent_path();
    std::string reason;
    if (!SetChangedDate(projectsDir, projectName, today, &reason))
        failures.push_back(
            {platform::PathToMessage(ProjectListFile(projectsDir)) + " not found", reason});
    return failures;
}

}  // namespace orbik::editor
