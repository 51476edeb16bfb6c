#include "editor/ProjectLoad.h"

#include <cstdint>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"

namespace orbik::editor {

namespace {

using platform::EqualsIgnoreCase;
using platform::TextAfter;
using platform::TextBefore;
using platform::ToLowerAscii;
using project::kEditorFileNames;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// key=value: the key is empty and the value the whole line when there is no "=".
struct KeyValue {
    std::string key;
    std::string value;
};
KeyValue Split(std::string_view line) {
    return {TextBefore(line, '='), TextAfter(line, '=', 1)};
}

// The argument of "Name(" + argument + ")", or nothing.
std::optional<std::string> CallArgument(std::string_view line, std::string_view name) {
    if (!StartsWith(line, name) || line.size() <= name.size() || line[name.size()] != '(' ||
        line.back() != ')')
        return std::nullopt;
    return std::string(line.substr(name.size() + 1, line.size() - name.size() - 2));
}

// A procedure value ends before its first pair of blanks.
std::string CutAtDoubleBlank(std::string_view value) {
    return std::string(value.substr(0, value.find("  ")));
}

std::string TrimTrailingBlanks(std::string_view text) {
    auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

// Optional blanks, an optional sign and decimal digits, wrapped to 32 bits;
// anything else reads 0.
std::int32_t ReadOption(std::string_view text) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) return 0;
    bool negative = false;
    if (text[at] == '+' || text[at] == '-') negative = text[at++] == '-';
    if (at == text.size()) return 0;
    std::uint32_t value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return 0;
        value = value * 10u + static_cast<std::uint32_t>(text[at] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

// The direct key a "dkey_" + n keyword names (1 to 8, no leading zero), or 0.
int DirectKeyNumber(std::string_view keyword) {
    if (keyword.size() != 6 || !StartsWith(keyword, "dkey_")) return 0;
    char digit = keyword[5];
    return digit >= '1' && digit <= '8' ? digit - '0' : 0;
}

class Loader {
  public:
    Loader(const ProjectSource& source, const fs::path& projectDir, std::string_view projectName,
           std::string_view language, const LoadProgress& progress)
        : source_(source),
          dir_(projectDir),
          name_(projectName),
          language_(language),
          progress_(progress) {}

    LoadResult Run() {
        bool ok =
            ReadKeywords() && ReadProjectFile() && ReadItems() && ReadDevices() && ReadMenus();
        if (ok) PropagateDevices(0, std::nullopt);
        result_.ok = ok;
        return std::move(result_);
    }

  private:
    ProjectModel& Model() { return result_.model; }

    void Progress(const char* text) {
        if (progress_) progress_(text);
    }

    bool Fail(std::string message, std::string reason = {}) {
        result_.message = std::move(message);
        result_.reason = std::move(reason);
        return false;
    }

    // A top-level file: path + " not found" when it cannot be read.
    bool ReadTop(const fs::path& path, std::vector<std::string>* lines) {
        std::string reason;
        if (source_.ReadLines(path, lines, &reason)) return true;
        return Fail(platform::PathToMessage(path) + " not found", reason);
    }

    // A file in a folder of its own, with the three messages of a missing
    // folder, a missing file and a file that cannot be read.
    bool ReadInFolder(const fs::path& folder, std::string_view file,
                      std::vector<std::string>* lines) {
        if (!source_.IsDirectory(folder))
            return Fail("Cannot find directory " + platform::PathToMessage(folder));
        fs::path path = project::JoinName(folder, file);
        if (!source_.IsFile(path)) return Fail("Cannot find file " + platform::PathToMessage(path));
        std::string reason;
        if (!source_.ReadLines(path, lines, &reason))
            return Fail("Cannot open file " + platform::PathToMessage(path), reason);
        return true;
    }

    std::string DisplayOf(const std::vector<LanguageText>& texts) const {
        for (const auto& text : texts)
            if (text.language == language_) return text.text;
        return std::string(kNotFound);
    }

    bool ReadKeywords() {
        Progress("Reading Keywordlist...");
        std::vector<std::string> lines;
        if (!ReadTop(project::TopFile(dir_, kEditorFileNames.keywords), &lines)) return false;
        std::optional<KeywordRecord> open;
        auto close = [&] {
            if (!open) return;
            open->display = Bounded(DisplayOf(open->texts));
            Model().keywords.push_back(std::move(*open));
            open.reset();
        };
        for (const auto& line : lines) {
            if (line.empty() || line[0] == ';' || line[0] == ' ') {
                close();
                continue;
            }
            auto [key, value] = Split(line);
            if (key == "keyword") {
                close();
                open.emplace();
                open->name = Bounded(TrimTrailingBlanks(value));
            } else if (!open) {
                continue;
            } else if (key == "type") {
                open->type = Bounded(value);
            } else {
                open->texts.push_back({Bounded(key), Bounded(value)});
            }
        }
        close();
        return true;
    }

    bool ReadProjectFile() {
        Progress("Reading Projectfile...");
        std::vector<std::string> lines;
        if (!ReadTop(project::MainFile(dir_, name_), &lines)) return false;
        for (const auto& line : lines) {
            if (line.empty() || line[0] == ';') continue;
            auto [key, value] = Split(line);
            if (key == "descriptor") {
                Model().descriptor = value;
            } else if (key == "language") {
                for (auto& slot : Model().languages) {
                    if (!slot.empty()) continue;
                    slot = Bounded(value);
                    break;
                }
            } else {
                ItemRecord item;
                item.name = Bounded(ToLowerAscii(value));
                if (item.name == "externaldisplay") Model().hasExternalDisplay = true;
                Model().items.push_back(std::move(item));
            }
        }
        return true;
    }

    // The device named `name`, created with no users when missing.
    std::size_t BindDevice(std::string_view name) {
        auto& devices = Model().devices;
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (EqualsIgnoreCase(devices[i].name, name)) {
                ++devices[i].userCount;
                return i;
            }
        }
        devices.push_back({Bounded(ToLowerAscii(name)), 1, {}, {}, {}});
        return devices.size() - 1;
    }

    bool ReadItems() {
        Progress("Reading Items...");
        for (std::size_t i = 0; i < Model().items.size(); ++i) {
            std::vector<std::string> lines;
            if (!ReadInFolder(project::ItemsMenusDir(dir_, Model().items[i].name),
                              kEditorFileNames.item, &lines))
                return false;
            for (const auto& line : lines) ReadItemLine(i, line);
        }
        return true;
    }

    void ReadItemLine(std::size_t index, const std::string& line) {
        if (line.empty() || line[0] == ';') return;
        auto [key, value] = Split(line);
        if (key == "type") {
            Model().items[index].type = Bounded(value, kItemTypeBound);
        } else if (key == "keyword") {
            Model().items[index].keyword = Bounded(value);
        } else if (key == "minoption") {
            Model().items[index].minOption = ReadOption(value);
        } else if (key == "offoption") {
            Model().items[index].offOption = ReadOption(value);
        } else if (key == "startoption") {
            Model().items[index].startOption = ReadOption(value);
        } else if (key == "maxoption") {
            Model().items[index].maxOption = ReadOption(value);
        } else if (key == "option") {
            constexpr std::string_view kDevices = "devices=";
            if (StartsWith(value, kDevices)) {
                std::size_t device = BindDevice(std::string_view(value).substr(kDevices.size()));
                Model().items[index].device = device;
            }
            ItemRecord& item = Model().items[index];
            item.options.push_back(item.type == "other" ? "+" : TextAfter(line, '=', 2));
        } else {
            Model().items[index].texts.push_back({Bounded(key), Bounded(value)});
        }
    }

    bool ReadDevices() {
        Progress("Reading Devices...");
        for (std::size_t i = 0; i < Model().devices.size(); ++i) {
            fs::path folder = project::DeviceTypeDir(dir_, Model().devices[i].name);
            std::vector<std::string> list, vocabulary;
            if (!ReadInFolder(folder, kEditorFileNames.deviceList, &list) ||
                !ReadInFolder(folder, kEditorFileNames.deviceVocabulary, &vocabulary))
                return false;
            DeviceRecord& device = Model().devices[i];
            for (const auto& line : list)
                if (!line.empty() && line[0] != ';')
                    device.signalFiles.push_back(TextAfter(line, '=', 1));
            for (const auto& line : vocabulary) {
                if (line.empty() || line[0] == ';') continue;
                device.vocabulary.push_back(TextAfter(line, '=', 2));
                device.vocabularyUse.push_back(0);
            }
        }
        return true;
    }

    bool ReadMenus() {
        Progress("Reading Main Menu...");
        if (!ReadMainMenu()) return false;
        // Main is the root of every nesting path: a SetMenu(Main) returns to
        // it. Loaded again as a sub-menu, its record would overwrite the main
        // menu's file at every save, losing the direct keys and entries.
        std::vector<std::string> path = {ToLowerAscii(project::kMainMenu)};
        Progress("Reading Sleep Menu...");
        if (!LoadMenu(project::kSleepMenu, std::string(project::kSleepMenu), path)) return false;
        for (std::size_t e = 0; e < Model().menus[0].entries.size(); ++e) {
            std::vector<std::string> procedure = Model().menus[0].entries[e].procedure;
            for (const auto& line : procedure) {
                auto sub = SubMenuName(line);
                if (!sub) continue;
                Index menu;
                if (!LoadSubMenu(*sub, path, &menu)) return false;
                if (menu) Model().menus[0].entries[e].subMenu = menu;
            }
        }
        return true;
    }

    // The menu a "SetMenu(name)" line names, unless it is Sleep.
    static std::optional<std::string> SubMenuName(std::string_view line) {
        auto name = CallArgument(line, "SetMenu");
        if (!name || EqualsIgnoreCase(*name, project::kSleepMenu)) return std::nullopt;
        return name;
    }

    // Loads the sub-menu `name` names unless it is already being loaded on
    // `path` (a cycle): then *menu stays empty.
    bool LoadSubMenu(const std::string& name, std::vector<std::string>& path, Index* menu) {
        std::string folder = ToLowerAscii(name);
        for (const auto& open : path)
            if (open == folder) return true;
        return LoadMenu(folder, Bounded(folder), path, menu);
    }

    // A new entry for `keyword`, with its type, display and use count.
    MenuEntry NewEntry(std::string keyword) {
        MenuEntry entry;
        entry.keyword = Bounded(keyword);
        entry.display = std::string(kNotFound);
        for (const auto& k : Model().keywords) {
            if (!EqualsIgnoreCase(k.name, entry.keyword)) continue;
            entry.type = k.type;
            entry.display = k.display;
            break;
        }
        CountUse(entry.keyword);
        return entry;
    }

    void CountUse(const std::string& keyword) {
        for (auto& used : Model().usedKeywords) {
            if (EqualsIgnoreCase(used.name, keyword)) {
                ++used.count;
                return;
            }
        }
        Model().usedKeywords.push_back({Bounded(keyword), 1});
    }

    Index ItemByKeyword(std::string_view keyword) const {
        const auto& items = result_.model.items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].keyword == keyword) return i;
        return std::nullopt;
    }

    bool LoadMenu(std::string_view folderName, std::string recordName,
                  std::vector<std::string>& path, Index* loaded = nullptr) {
        if (Model().menus.size() >= kMaxMenus)
            return Fail("Too many menus in " + platform::PathToMessage(dir_));
        std::vector<std::string> lines;
        if (!ReadInFolder(project::ItemsMenusDir(dir_, folderName), kEditorFileNames.menu, &lines))
            return false;
        std::size_t index = Model().menus.size();
        MenuRecord created;
        created.name = std::move(recordName);
        Model().menus.push_back(std::move(created));
        if (loaded) *loaded = index;
        path.push_back(ToLowerAscii(folderName));
        bool ok = true;
        for (const auto& line : lines)
            if (!(ok = ReadMenuLine(index, line, path))) break;
        path.pop_back();
        return ok;
    }

    bool ReadMenuLine(std::size_t index, const std::string& line, std::vector<std::string>& path) {
        if (line.empty()) return true;
        auto current = [&]() -> MenuEntry* {
            auto& entries = Model().menus[index].entries;
            return entries.empty() ? nullptr : &entries.back();
        };
        if (StartsWith(line, ";RF ")) {
            if (MenuEntry* entry = current()) entry->procedure.push_back(line);
            return true;
        }
        if (line[0] == ';') return true;
        auto [key, value] = Split(line);
        MenuRecord& menu = Model().menus[index];
        if (key == "next") {
            menu.next = value == "on";
        } else if (key == "execute") {
            menu.execute = value == "on";
        } else if (key == "sleep") {
            menu.sleep = value == "on";
        } else if (key == "deviceselection") {
            menu.deviceSelection = value == "on";
        } else if (key == "doubledigits") {
            menu.doubleDigits = value == "on";
        } else if (key == "keyword") {
            AddEntry(index, NewEntry(value.substr(0, value.find(' '))));
        } else if (key == "procedure") {
            if (!current()) return true;
            std::string procedure = CutAtDoubleBlank(value);
            current()->procedure.push_back(procedure);
            if (auto sub = SubMenuName(procedure)) {
                Index menuIndex;
                if (!LoadSubMenu(*sub, path, &menuIndex)) return false;
                if (menuIndex) current()->subMenu = menuIndex;
            } else if (auto device = CallArgument(procedure, "SetDevice")) {
                BindByDevice(*current(), ToLowerAscii(*device));
            }
        }
        return true;
    }

    void AddEntry(std::size_t menu, MenuEntry entry) {
        if (entry.type == "teletextitem" || entry.type == "telname") {
            entry.item = ItemByKeyword(entry.keyword);
            auto& list = entry.type == "telname" ? Model().telNames : Model().teletextItems;
            list.push_back(entry.keyword);
        }
        Model().menus[menu].entries.push_back(std::move(entry));
    }

    void BindByDevice(MenuEntry& entry, const std::string& itemName) {
        if (entry.item) return;
        const auto& items = Model().items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].name != itemName || items[i].keyword != entry.keyword) continue;
            entry.item = i;
            entry.device = items[i].device;
            return;
        }
    }

    bool ReadMainMenu() {
        std::vector<std::string> lines;
        if (!ReadInFolder(project::ItemsMenusDir(dir_, project::kMainMenu), kEditorFileNames.menu,
                          &lines))
            return false;
        MenuRecord main;
        main.name = std::string(project::kMainMenu);
        main.deviceSelection = false;
        Model().menus.push_back(std::move(main));

        std::size_t directKeys = lines.size();
        for (std::size_t i = 0; i < lines.size() && directKeys == lines.size(); ++i)
            if (StartsWith(lines[i], "keyword=dkey_")) directKeys = i;

        for (std::size_t i = 0; i < Model().items.size(); ++i) {
            std::string wanted = "keyword=" + Model().items[i].keyword;
            std::size_t at = 0;
            while (at < lines.size() && lines[at] != wanted) ++at;
            if (at == lines.size()) continue;
            MenuEntry entry = NewEntry(Model().items[i].keyword);
            entry.item = i;
            entry.device = Model().items[i].device;
            for (++at; at < lines.size() && !lines[at].empty(); ++at)
                entry.procedure.push_back(CutAtDoubleBlank(TextAfter(lines[at], '=', 1)));
            Model().menus[0].entries.push_back(std::move(entry));
        }
        NoteOrphanEntries(lines, directKeys);
        ReadDirectKeys(lines, directKeys);
        return true;
    }

    // Entries before the direct keys that no item names, but for the fixed
    // ones every save writes.
    void NoteOrphanEntries(const std::vector<std::string>& lines, std::size_t end) {
        for (std::size_t i = 0; i < end; ++i) {
            auto [key, value] = Split(lines[i]);
            if (key != "keyword" || value == "sleep" || value == "next" || value == "execute")
                continue;
            if (!ItemByKeyword(value)) result_.orphanMainEntries.push_back(value);
        }
    }

    void ReadDirectKeys(const std::vector<std::string>& lines, std::size_t begin) {
        DirectKeySlot* current = nullptr;
        for (std::size_t i = begin; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            // RF lines are stored whole, as in every other menu.
            if (StartsWith(line, ";RF ")) {
                if (current) current->procedure.push_back(line);
                continue;
            }
            auto [key, value] = Split(line);
            if (key == "keyword") {
                int n = DirectKeyNumber(value);
                current = n ? &Model().directKeys[n - 1] : nullptr;
                if (current) current->active = true;
            } else if (key == "procedure" && current) {
                current->procedure.push_back(value);
            }
        }
    }

    // Entries without an item take the device of the nearest entry above
    // them that has one, and count in that device's vocabulary.
    void PropagateDevices(std::size_t menu, Index device) {
        for (std::size_t e = 0; e < Model().menus[menu].entries.size(); ++e) {
            MenuEntry& entry = Model().menus[menu].entries[e];
            Index inner = device;
            if (entry.item) {
                if (entry.device) inner = entry.device;
            } else {
                entry.device = device;
                if (device) CountVocabulary(Model().devices[*device], entry.keyword);
            }
            if (entry.subMenu) PropagateDevices(*entry.subMenu, inner);
        }
    }

    static void CountVocabulary(DeviceRecord& device, const std::string& keyword) {
        for (std::size_t v = 0; v < device.vocabulary.size(); ++v) {
            if (EqualsIgnoreCase(device.vocabulary[v], keyword)) {
                ++device.vocabularyUse[v];
                return;
            }
        }
        device.vocabulary.push_back(keyword);
        device.vocabularyUse.push_back(1);
    }

    const ProjectSource& source_;
    fs::path dir_;
    std::string name_;
    std::string language_;
    const LoadProgress& progress_;
    LoadResult result_;
};

}  // namespace

LoadResult LoadProject(const ProjectSource& source, const fs::path& projectDir,
                       std::string_view projectName, std::string_view projectLanguage,
                       const LoadProgress& progress) {
    return Loader(source, projectDir, projectName, projectLanguage, progress).Run();
}

std::string OrphanEntriesWarning(const std::vector<std::string>& keywords) {
    std::string names;
    for (const auto& keyword : keywords) names += (names.empty() ? "" : ", ") + keyword;
    return "Main menu entries that no item names are not kept and will be lost at the next "
           "save: " +
           names;
}

}  // namespace orbik::editor
