#pragma once
// Editing the menu structure in the model: adding a keyword, deleting an
// entry with everything that depends on it, creating a device for an
// entry, and a sub-menu's flags. The operations change the model only and
// say which folders the disk loses or gains; MenuDisk applies that.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"

namespace orbik::editor {

inline constexpr std::string_view kCommandNotAllowed = "Command not allowed here";
inline constexpr std::string_view kDeleteSelectedQuestion = "Delete Selected?";
// The working folder of the device page; no device may take its name.
inline constexpr std::string_view kDeviceWorkFolder = "temp";
// The code file a new device starts with.
inline constexpr std::string_view kFirstCodeFile = "--01.icp";

// `base` with the smallest number 1, 2, ... that makes it free; the number
// replaces the last characters when it would pass the 20-character bound.
// `taken` sees the names as they are stored. Number 0: `base` itself.
struct UniqueName {
    std::string name;
    int number = 0;
};
template <typename Taken>
UniqueName MakeUnique(std::string_view base, Taken taken) {
    std::string bounded = Bounded(base);
    if (!taken(bounded)) return {bounded, 0};
    for (int n = 1;; ++n) {
        std::string suffix = std::to_string(n);
        std::string name = bounded.substr(0, kNameBound - suffix.size()) + suffix;
        if (!taken(name)) return {name, n};
    }
}

// The menus whose entries are reached from Main, and the entry that opens
// a sub-menu.
// The device an entry placed under `entry` takes: the entry's own, or for
// an item without one the device it inherits from above.
Index DeviceBelow(const ProjectModel& model, EntryRef entry);

struct AddResult {
    bool ok = false;  // false: refused with kCommandNotAllowed, nothing changed
    EntryRef added;
    Index newItem;
    Index newMenu;
};
// Adds keyword `keyword` (a name of the keyword list) to Main when nothing
// is selected, else below the selected entry. A new sub-menu is named
// after the entry's item unless a menu has that name already.
AddResult AddKeyword(ProjectModel& model, std::string_view keyword,
                     std::optional<EntryRef> selected);

// What a deletion takes from the disk, in the order it is done.
struct FolderChange {
    enum class Kind {
        RemoveDevice,  // Devices/<name>: emptied and removed
        RemoveItem,    // Items&Menus/<name>/item.txt; the folder unless it holds menu.txt
        RemoveMenu,    // Items&Menus/<name>/menu.txt and the folder
    };
    Kind kind;
    std::string name;
    bool operator==(const FolderChange&) const = default;
};
struct DeleteResult {
    bool ok = false;  // false: refused with kCommandNotAllowed, nothing changed
    std::vector<FolderChange> changes;
};
// Deletes the entry, its sub-menu's entries first (last first), its item,
// a device no other item uses, and a sub-menu it leaves empty.
DeleteResult DeleteEntry(ProjectModel& model, EntryRef entry);

// A menu named by several SetMenu lines is loaded once per line and each
// copy is written to the same file, the last one winning: an entry added
// to or deleted from one copy would be lost on save, so such menus are
// not edited entry by entry.
bool SharesItsFolder(const ProjectModel& model, std::size_t menu);

// Create Device is offered for a device-selection entry without an item
// (when it has a sub-menu) or without a device (when it has none).
bool CanCreateDevice(const ProjectModel& model, EntryRef entry);
struct CreateDeviceResult {
    bool ok = false;
    std::string message;  // why it was refused
    std::size_t device = 0;
};
// Model part of Create Device; the device folder is made by MenuDisk.
CreateDeviceResult CreateDevice(ProjectModel& model, EntryRef entry);

// The five flags of a sub-menu.
struct MenuFlags {
    bool next = true;
    bool execute = true;
    bool sleep = true;
    bool deviceSelection = true;
    bool doubleDigits = false;
    bool operator==(const MenuFlags&) const = default;
};
// How the flag boxes show an entry: enabled only for an entry with a
// sub-menu; "Deviceselection" shown off and disabled when the entry's
// procedure has a "PushMenu" line.
struct FlagView {
    bool enabled = false;
    bool deviceSelectionEnabled = false;
    MenuFlags flags;
};
FlagView ShowFlags(const ProjectModel& model, EntryRef entry);
// Copies the flags into the entry's sub-menu; false when it has none.
bool ConfirmFlags(ProjectModel& model, EntryRef entry, const MenuFlags& flags);

}  // namespace orbik::editor
