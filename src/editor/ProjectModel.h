#pragma once
// The project window's model: what it reads from a project's text files
// and writes back. Records refer to each other by index into the model's
// lists, so references stay valid when a list grows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::editor {

// Bounds of the stored strings; a longer value is cut when stored.
inline constexpr std::size_t kNameBound = 20;
inline constexpr std::size_t kItemTypeBound = 25;
inline constexpr int kLanguageSlots = 4;
inline constexpr int kDirectKeyCount = 8;

// The display text of a keyword whose text in the project language is missing.
inline constexpr std::string_view kNotFound = "not found";

using Index = std::optional<std::size_t>;

// `text` cut to `bound` bytes.
std::string Bounded(std::string_view text, std::size_t bound = kNameBound);

struct LanguageText {
    std::string language;
    std::string text;
    bool operator==(const LanguageText&) const = default;
};

struct KeywordRecord {
    std::string name;
    std::string display;
    std::vector<LanguageText> texts;
    std::string type;
    bool operator==(const KeywordRecord&) const = default;
};

struct ItemRecord {
    std::string name;  // lower case
    std::string keyword;
    std::string type = "other";
    std::vector<LanguageText> texts;
    Index device;
    std::int32_t minOption = -1;
    std::int32_t offOption = -1;
    std::int32_t startOption = -1;
    std::int32_t maxOption = -1;
    std::vector<std::string> options;
    bool operator==(const ItemRecord&) const = default;
};

struct DeviceRecord {
    std::string name;  // lower case
    int userCount = 0;
    std::vector<std::string> signalFiles;
    std::vector<std::string> vocabulary;
    std::vector<int> vocabularyUse;  // one per vocabulary entry
    bool operator==(const DeviceRecord&) const = default;
};

struct MenuEntry {
    std::string keyword;
    std::string display;
    std::string type;
    std::vector<std::string> procedure;
    Index item;
    Index subMenu;
    Index device;
    bool operator==(const MenuEntry&) const = default;
};

struct MenuRecord {
    std::string name;
    bool next = true;
    bool execute = true;
    bool sleep = true;
    bool deviceSelection = true;
    bool doubleDigits = false;
    std::vector<MenuEntry> entries;
    bool operator==(const MenuRecord&) const = default;
};

struct UsedKeyword {
    std::string name;
    std::int32_t count = 0;
    bool operator==(const UsedKeyword&) const = default;
};

struct DirectKeySlot {
    bool active = false;
    std::vector<std::string> procedure;
    bool operator==(const DirectKeySlot&) const = default;
};

struct ProjectModel {
    std::string descriptor;
    std::array<std::string, kLanguageSlots> languages;  // empty: not set
    std::vector<KeywordRecord> keywords;
    std::vector<MenuRecord> menus;  // [0] Main, [1] Sleep, then sub-menus as loaded
    std::vector<ItemRecord> items;
    std::vector<DeviceRecord> devices;
    std::vector<UsedKeyword> usedKeywords;
    std::array<DirectKeySlot, kDirectKeyCount> directKeys;  // keys 1 to 8
    std::vector<std::string> telNames;
    std::vector<std::string> teletextItems;
    bool hasExternalDisplay = false;
    bool operator==(const ProjectModel&) const = default;
};

// Status panel texts.
// "ORBIK max" with an external display, else "ORBIK solo".
std::string ModelText(const ProjectModel& model);
// Used keywords + the three fixed ones (next, execute, sleep) + active direct keys.
int KeywordCount(const ProjectModel& model);
// n + " Keywords used".
std::string KeywordGauge(const ProjectModel& model);

// "dkey_" + n for direct key n (1 to 8).
std::string DirectKeyName(int n);

// A menu entry of the model: menus[menu].entries[entry].
struct EntryRef {
    std::size_t menu = 0;
    std::size_t entry = 0;
    bool operator==(const EntryRef&) const = default;
};

const MenuEntry& EntryAt(const ProjectModel& model, EntryRef ref);
MenuEntry& EntryAt(ProjectModel& model, EntryRef ref);

// The entry whose sub-menu is the given menu (the first one), if any.
std::optional<EntryRef> ParentEntry(const ProjectModel& model, std::size_t menu);

}  // namespace orbik::editor
