#include "editor/MenuOperations.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "project/ProjectLayout.h"

namespace orbik::editor {

namespace {

using platform::EqualsIgnoreCase;
using platform::ToLowerAscii;

constexpr std::string_view kExternalDisplay = "externaldisplay";
constexpr std::size_t kMainIndex = 0;
constexpr std::size_t kFirstSubMenu = 2;  // after Main and Sleep

MenuEntry& Entry(ProjectModel& model, EntryRef ref) {
    return model.menus[ref.menu].entries[ref.entry];
}
const MenuEntry& Entry(const ProjectModel& model, EntryRef ref) {
    return model.menus[ref.menu].entries[ref.entry];
}

bool Valid(const ProjectModel& model, EntryRef ref) {
    return ref.menu < model.menus.size() && ref.entry < model.menus[ref.menu].entries.size();
}

const KeywordRecord* FindKeyword(const ProjectModel& model, std::string_view name) {
    for (const auto& k : model.keywords)
        if (EqualsIgnoreCase(k.name, name)) return &k;
    return nullptr;
}

bool Contains(const std::vector<std::string>& list, std::string_view name) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& s) { return EqualsIgnoreCase(s, name); });
}

bool MenuHasKeyword(const MenuRecord& menu, std::string_view keyword) {
    return std::any_of(menu.entries.begin(), menu.entries.end(),
                       [&](const MenuEntry& e) { return EqualsIgnoreCase(e.keyword, keyword); });
}

bool HasLine(const std::vector<std::string>& procedure, std::string_view line) {
    return Contains(procedure, line);
}

// A menu or an item of that name exists.
bool MenuOrItemNamed(const ProjectModel& model, std::string_view name) {
    return std::any_of(model.menus.begin(), model.menus.end(),
                       [&](const MenuRecord& m) { return EqualsIgnoreCase(m.name, name); }) ||
           std::any_of(model.items.begin(), model.items.end(),
                       [&](const ItemRecord& i) { return EqualsIgnoreCase(i.name, name); });
}

bool DeviceNameTaken(const ProjectModel& model, std::string_view name) {
    return EqualsIgnoreCase(name, kDeviceWorkFolder) ||
           std::any_of(model.devices.begin(), model.devices.end(),
                       [&](const DeviceRecord& d) { return EqualsIgnoreCase(d.name, name); });
}

// The texts with the number that made a name unique, fitted as the name is.
std::vector<LanguageText> NumberedTexts(const std::vector<LanguageText>& texts, int number) {
    std::vector<LanguageText> result = texts;
    if (number == 0) return result;
    std::string suffix = std::to_string(number);
    for (auto& t : result) t.text = Bounded(t.text).substr(0, kNameBound - suffix.size()) + suffix;
    return result;
}

// Inserts before ExternalDisplay so that item stays behind the others.
std::size_t InsertItem(ProjectModel& model, ItemRecord item) {
    std::size_t at = model.items.size();
    for (std::size_t i = 0; i < model.items.size(); ++i) {
        if (EqualsIgnoreCase(model.items[i].name, kExternalDisplay)) {
            at = i;
            break;
        }
    }
    model.items.insert(model.items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    for (auto& menu : model.menus)
        for (auto& e : menu.entries)
            if (e.item && *e.item >= at) ++*e.item;
    return at;
}

// Drops list element `removed` and moves the references behind it; a
// reference to the removed element becomes none.
void ShiftAfterErase(Index& ref, std::size_t removed) {
    if (!ref) return;
    if (*ref == removed)
        ref.reset();
    else if (*ref > removed)
        --*ref;
}

void EraseItem(ProjectModel& model, std::size_t item) {
    model.items.erase(model.items.begin() + static_cast<std::ptrdiff_t>(item));
    for (auto& menu : model.menus)
        for (auto& e : menu.entries) ShiftAfterErase(e.item, item);
}

void EraseDevice(ProjectModel& model, std::size_t device) {
    model.devices.erase(model.devices.begin() + static_cast<std::ptrdiff_t>(device));
    for (auto& item : model.items) ShiftAfterErase(item.device, device);
    for (auto& menu : model.menus)
        for (auto& e : menu.entries) ShiftAfterErase(e.device, device);
}

void EraseMenu(ProjectModel& model, std::size_t menu) {
    model.menus.erase(model.menus.begin() + static_cast<std::ptrdiff_t>(menu));
    for (auto& m : model.menus)
        for (auto& e : m.entries) ShiftAfterErase(e.subMenu, menu);
}

void CountKeyword(ProjectModel& model, std::string_view keyword) {
    for (auto& used : model.usedKeywords) {
        if (EqualsIgnoreCase(used.name, keyword)) {
            ++used.count;
            return;
        }
    }
    model.usedKeywords.push_back({Bounded(keyword), 1});
}

void UncountKeyword(ProjectModel& model, std::string_view keyword) {
    auto& used = model.usedKeywords;
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (!EqualsIgnoreCase(used[i].name, keyword)) continue;
        if (--used[i].count <= 0) used.erase(used.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

void UseInVocabulary(DeviceRecord& device, std::string_view keyword) {
    device.vocabularyUse.resize(device.vocabulary.size(), 0);
    for (std::size_t v = 0; v < device.vocabulary.size(); ++v) {
        if (EqualsIgnoreCase(device.vocabulary[v], keyword)) {
            ++device.vocabularyUse[v];
            return;
        }
    }
    device.vocabulary.push_back(Bounded(keyword));
    device.vocabularyUse.push_back(1);
}

void UnuseInVocabulary(DeviceRecord& device, std::string_view keyword) {
    device.vocabularyUse.resize(device.vocabulary.size(), 0);
    for (std::size_t v = 0; v < device.vocabulary.size(); ++v) {
        if (!EqualsIgnoreCase(device.vocabulary[v], keyword)) continue;
        if (--device.vocabularyUse[v] <= 0) {
            device.vocabulary.erase(device.vocabulary.begin() + static_cast<std::ptrdiff_t>(v));
            device.vocabularyUse.erase(device.vocabularyUse.begin() +
                                       static_cast<std::ptrdiff_t>(v));
        }
        return;
    }
}

void RemoveName(std::vector<std::string>& list, std::string_view name) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (EqualsIgnoreCase(*it, name)) {
            list.erase(it);
            return;
        }
    }
}

// Hands `device` down a sub-menu as load does: entries without an item
// take it (moving their keyword's use from the device they had).
void PropagateDevice(ProjectModel& model, std::size_t menu, Index device, int depth) {
    if (menu >= model.menus.size() || depth > static_cast<int>(model.menus.size())) return;
    for (std::size_t i = 0; i < model.menus[menu].entries.size(); ++i) {
        MenuEntry& e = model.menus[menu].entries[i];
        Index below = device;
        if (e.item) {
            if (e.device) below = e.device;
        } else if (e.device != device) {
            if (e.device) UnuseInVocabulary(model.devices[*e.device], e.keyword);
            e.device = device;
            if (device) UseInVocabulary(model.devices[*device], e.keyword);
        }
        if (e.subMenu) PropagateDevice(model, *e.subMenu, below, depth + 1);
    }
}

}  // namespace

Index DeviceBelow(const ProjectModel& model, EntryRef entry) {
    // Sub-menus never nest inside themselves; the bound guards a hand-made model.
    for (std::size_t step = 0; step <= model.menus.size(); ++step) {
        const MenuEntry& e = Entry(model, entry);
        if (e.device || !e.item) return e.device;
        auto parent = ParentEntry(model, entry.menu);
        if (!parent) return std::nullopt;
        entry = *parent;
    }
    return std::nullopt;
}

AddResult AddKeyword(ProjectModel& model, std::string_view keyword,
                     std::optional<EntryRef> selected) {
    AddResult refused;
    const KeywordRecord* found = FindKeyword(model, keyword);
    if (!found || model.menus.empty() || (selected && !Valid(model, *selected))) return refused;
    const KeywordRecord k = *found;

    enum class Target { Main, NewSubMenu, SubMenu } target = Target::Main;
    std::size_t targetMenu = kMainIndex;
    if (selected) {
        const MenuEntry& e = Entry(model, *selected);
        if (HasLine(e.procedure, "SetMenu(Sleep)") || HasLine(e.procedure, "PopMenu") ||
            SharesItsFolder(model, selected->menu))
            return refused;
        // An entry whose sub-menu exists but is empty fills that one
        // rather than opening a second.
        if (e.subMenu) {
            target = Target::SubMenu;
            targetMenu = *e.subMenu;
            if (SharesItsFolder(model, targetMenu)) return refused;
        } else {
            target = Target::NewSubMenu;
        }
    }

    const bool mainHasIt = MenuHasKeyword(model.menus[kMainIndex], k.name);
    if (k.type == "telname" && (Contains(model.telNames, k.name) || target == Target::Main))
        return refused;
    if (k.type == "teletextitem" &&
        (Contains(model.teletextItems, k.name) || target == Target::Main))
        return refused;
    switch (target) {
        case Target::Main:
            if (k.type != "deviceselection") return refused;
            for (const auto& used : model.usedKeywords)
                if (EqualsIgnoreCase(used.name, k.name)) return refused;
            break;
        case Target::NewSubMenu:
            if (k.type == "deviceselection" && mainHasIt) return refused;
            break;
        case Target::SubMenu:
            if (MenuHasKeyword(model.menus[targetMenu], k.name)) return refused;
            if (k.type == "deviceselection" && mainHasIt) return refused;
            break;
    }

    AddResult result;
    result.ok = true;
    if (target == Target::NewSubMenu) {
        MenuEntry& e = Entry(model, *selected);
        std::string name = e.item ? model.items[*e.item].name
                                  : MakeUnique(ToLowerAscii(e.keyword), [&](const std::string& n) {
                                        return MenuOrItemNamed(model, n);
                                    }).name;
        MenuRecord menu;
        menu.name = name;
        model.menus.push_back(std::move(menu));
        targetMenu = model.menus.size() - 1;
        e.subMenu = targetMenu;
        e.procedure.insert(e.procedure.begin(), "SetMenu(" + name + ")");
        result.newMenu = targetMenu;
    }

    MenuEntry entry;
    entry.keyword = Bounded(k.name);
    entry.display = k.display;
    entry.type = k.type;
    if (k.type == "telname" || k.type == "teletextitem") {
        ItemRecord item;
        item.name = Bounded(ToLowerAscii(k.name));
        item.keyword = Bounded(k.name);
        item.type = Bounded(k.type, kItemTypeBound);
        item.texts = k.texts;
        item.options = {"+"};
        entry.item = InsertItem(model, std::move(item));
        (k.type == "telname" ? model.telNames : model.teletextItems).push_back(Bounded(k.name));
    } else if (target == Target::Main) {
        UniqueName unique = MakeUnique(
            ToLowerAscii(k.name), [&](const std::string& n) { return MenuOrItemNamed(model, n); });
        ItemRecord item;
        item.name = unique.name;
        item.keyword = Bounded(k.name);
        item.type = Bounded(k.type, kItemTypeBound);
        item.texts = NumberedTexts(k.texts, unique.number);
        item.options = {"+"};
        entry.item = InsertItem(model, std::move(item));
    }
    if (!entry.item && selected) entry.device = DeviceBelow(model, *selected);
    if (entry.device) UseInVocabulary(model.devices[*entry.device], entry.keyword);
    CountKeyword(model, entry.keyword);

    result.newItem = entry.item;
    model.menus[targetMenu].entries.push_back(std::move(entry));
    result.added = {targetMenu, model.menus[targetMenu].entries.size() - 1};
    return result;
}

namespace {

// The menu's file and folder go unless another copy of the menu, loaded
// from the same folder, stays.
void RemoveMenu(const ProjectModel& model, std::size_t menu, std::vector<FolderChange>* changes,
                std::vector<std::size_t>* dead) {
    dead->push_back(menu);
    for (std::size_t m = 0; m < model.menus.size(); ++m)
        if (EqualsIgnoreCase(model.menus[m].name, model.menus[menu].name) &&
            std::find(dead->begin(), dead->end(), m) == dead->end())
            return;
    changes->push_back({FolderChange::Kind::RemoveMenu, model.menus[menu].name});
}

// Deletes without erasing menus, so that every menu index stays valid
// while the cascade runs; the emptied sub-menus are collected in `dead`.
void DeleteCascade(ProjectModel& model, EntryRef ref, std::vector<FolderChange>* changes,
                   std::vector<std::size_t>* dead) {
    if (Index sub = Entry(model, ref).subMenu) {
        // The last entry of the sub-menu takes the sub-menu with it.
        while (Entry(model, ref).subMenu && !model.menus[*sub].entries.empty())
            DeleteCascade(model, {*sub, model.menus[*sub].entries.size() - 1}, changes, dead);
        // A sub-menu that was empty from the start goes too.
        if (Entry(model, ref).subMenu) {
            Entry(model, ref).subMenu.reset();
            RemoveMenu(model, *sub, changes, dead);
        }
    }

    MenuEntry& e = Entry(model, ref);
    const std::string keyword = e.keyword;
    if (Index item = e.item) {
        if (Index device = model.items[*item].device) {
            if (model.devices[*device].userCount <= 1) {
                changes->push_back({FolderChange::Kind::RemoveDevice, model.devices[*device].name});
                EraseDevice(model, *device);
            } else {
                --model.devices[*device].userCount;
            }
        }
        changes->push_back({FolderChange::Kind::RemoveItem, model.items[*item].name});
        EraseItem(model, *item);
        if (e.type == "telname") RemoveName(model.telNames, keyword);
        if (e.type == "teletextitem") RemoveName(model.teletextItems, keyword);
    }
    UncountKeyword(model, keyword);
    if (e.device) UnuseInVocabulary(model.devices[*e.device], keyword);

    auto& entries = model.menus[ref.menu].entries;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(ref.entry));
    if (ref.menu < kFirstSubMenu || !entries.empty()) return;
    if (auto parent = ParentEntry(model, ref.menu)) {
        auto& procedure = Entry(model, *parent).procedure;
        auto line = std::find_if(procedure.begin(), procedure.end(),
                                 [](const std::string& l) { return l.rfind("SetMenu", 0) == 0; });
        if (line != procedure.end()) procedure.erase(line);
        Entry(model, *parent).subMenu.reset();
    }
    RemoveMenu(model, ref.menu, changes, dead);
}

}  // namespace

DeleteResult DeleteEntry(ProjectModel& model, EntryRef ref) {
    DeleteResult result;
    if (!Valid(model, ref) || SharesItsFolder(model, ref.menu)) return result;
    result.ok = true;
    std::vector<std::size_t> dead;
    DeleteCascade(model, ref, &result.changes, &dead);
    std::sort(dead.rbegin(), dead.rend());
    for (std::size_t menu : dead) EraseMenu(model, menu);
    return result;
}

bool SharesItsFolder(const ProjectModel& model, std::size_t menu) {
    if (menu >= model.menus.size()) return false;
    for (std::size_t m = 0; m < model.menus.size(); ++m)
        if (m != menu && EqualsIgnoreCase(model.menus[m].name, model.menus[menu].name)) return true;
    return false;
}

bool CanCreateDevice(const ProjectModel& model, EntryRef ref) {
    if (!Valid(model, ref)) return false;
    const MenuEntry& e = Entry(model, ref);
    if (e.type != "deviceselection" || SharesItsFolder(model, ref.menu)) return false;
    return e.subMenu ? !e.item : !e.device;
}

CreateDeviceResult CreateDevice(ProjectModel& model, EntryRef ref) {
    CreateDeviceResult result;
    if (!CanCreateDevice(model, ref)) {
        result.message = "Create Device is not possible for this entry";
        return result;
    }
    MenuEntry& e = Entry(model, ref);
    std::string name;
    int number = 0;
    if (e.item) {
        name = model.items[*e.item].name;
        if (DeviceNameTaken(model, name)) {
            result.message = "A device named " + name + " exists already";
            return result;
        }
    } else {
        UniqueName unique = MakeUnique(ToLowerAscii(e.keyword), [&](const std::string& n) {
            return MenuOrItemNamed(model, n) || DeviceNameTaken(model, n);
        });
        name = unique.name;
        number = unique.number;
    }

    // The entry may have held an inherited device; its keyword leaves that
    // device's vocabulary as the entry gets one of its own.
    if (e.device) UnuseInVocabulary(model.devices[*e.device], e.keyword);
    DeviceRecord device;
    device.name = name;
    device.userCount = 1;
    device.signalFiles = {std::string(kFirstCodeFile)};
    model.devices.push_back(std::move(device));
    const std::size_t deviceIndex = model.devices.size() - 1;

    // Save writes a device item's one option as "devices=" + name; its
    // options are kept as load reads that line back.
    auto bindItem = [&](ItemRecord& item) {
        item.device = deviceIndex;
        item.options = {item.type == "other" ? std::string("+") : name};
    };
    if (e.item) {
        bindItem(model.items[*e.item]);
    } else {
        ItemRecord item;
        item.name = name;
        item.keyword = e.keyword;
        item.type = "other";
        const KeywordRecord* k = FindKeyword(model, e.keyword);
        if (k) item.texts = NumberedTexts(k->texts, number);
        bindItem(item);
        e.item = InsertItem(model, std::move(item));
    }
    MenuEntry& bound = Entry(model, ref);
    bound.device = deviceIndex;
    bound.procedure.push_back("SetDevice(" + name + ")");
    if (bound.subMenu) PropagateDevice(model, *bound.subMenu, deviceIndex, 0);

    result.ok = true;
    result.device = deviceIndex;
    return result;
}

FlagView ShowFlags(const ProjectModel& model, EntryRef ref) {
    FlagView view;
    if (!Valid(model, ref)) return view;
    const MenuEntry& e = Entry(model, ref);
    if (!e.subMenu) return view;
    const MenuRecord& menu = model.menus[*e.subMenu];
    view.enabled = true;
    view.flags = {menu.next, menu.execute, menu.sleep, menu.deviceSelection, menu.doubleDigits};
    if (std::find(e.procedure.begin(), e.procedure.end(), "PushMenu") != e.procedure.end()) {
        view.flags.deviceSelection = false;
    } else {
        view.deviceSelectionEnabled = true;
    }
    return view;
}

bool ConfirmFlags(ProjectModel& model, EntryRef ref, const MenuFlags& flags) {
    if (!Valid(model, ref) || !Entry(model, ref).subMenu) return false;
    // Every copy of a menu loaded more than once is written to one file.
    const std::string name = model.menus[*Entry(model, ref).subMenu].name;
    for (auto& menu : model.menus) {
        if (!EqualsIgnoreCase(menu.name, name)) continue;
        menu.next = flags.next;
        menu.execute = flags.execute;
        menu.sleep = flags.sleep;
        menu.deviceSelection = flags.deviceSelection;
        menu.doubleDigits = flags.doubleDigits;
    }
    return true;
}

}  // namespace orbik::editor
