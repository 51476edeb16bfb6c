// Items, the device types they name and the device vocabularies.

#include <string>

#include "compiler/Steps.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::compiler {

using project::DeviceTypeFile;
using project::FindInList;
using project::ItemsMenusFile;
using project::kBuildFileNames;
using project::kNotFound;
using project::LineFile;
using project::LineHasKey;
using project::ValueOf;

namespace {

constexpr const char* kItemTypes[] = {"language",      "teletextpage", "sensitivity",
                                      "prompt",        "confirmation", "singlekeyloops",
                                      "singlekeytime", "train",        "cleartraining",
                                      "clearall",      "externalkeys", "externaldisplay"};

// Reads DEVLIST.TXT of the type into its device list; false (after
// log.Fail) when it is missing, empty or names a missing file.
bool ReadDeviceList(const BuildState& state, DeviceType& type, BuildLog& log) {
    LineFile file;
    if (!OpenProjectFile(file, state,
                         DeviceTypeFile(state.projectDir, type.name, kBuildFileNames.deviceList),
                         log, true))
        return false;
    type.devices.clear();
    const fs::path listName = DeviceTypeFile("..", type.name, kBuildFileNames.deviceList);
    std::vector<std::string> names;
    std::string line;
    while (file.ReadLine(&line))
        if (line.rfind("device=", 0) == 0) names.push_back(ValueOf(line));
    if (names.size() > kMaxDevicesPerType) {
        log.Fail("more than " + std::to_string(kMaxDevicesPerType) + " devices in " +
                 platform::PathToMessage(listName));
        return false;
    }
    for (const std::string& name : names) {
        DeviceFile device{name, DeviceTypeFile(state.projectDir, type.name, name)};
        std::string reason;
        if (!ProjectFileExists(state, device.path, &reason)) {
            FailNotFound(DeviceTypeFile("..", type.name, device.name), log, reason);
            return false;
        }
        type.devices.push_back(std::move(device));
    }
    if (type.devices.empty()) {
        log.Fail("no devices in " + platform::PathToMessage(listName));
        return false;
    }
    return true;
}

bool UseDeviceType(BuildState& state, t_iteminfo& item, const std::string& name, BuildLog& log) {
    std::uint16_t number = FindInList(name, state.deviceTypes);
    if (number == kNotFound) {
        state.deviceTypes.push_back({name, {}});
        number = static_cast<std::uint16_t>(state.deviceTypes.size());
        if (number > kMaxDeviceTypes) {
            log.Fail("too may device types in " + platform::PathToMessage(state.mainFile));
            return false;
        }
    }
    DeviceType& type = state.deviceTypes[number - 1];
    if (!ReadDeviceList(state, type, log)) return false;
    item.optionKind = OptionKind::Devices;
    item.deviceType = static_cast<std::uint8_t>(number);
    item.maxOption = static_cast<std::int16_t>(type.devices.size() - 1);
    return true;
}

// Calls onKeyword with the number of every keyword DEVVOCAB.TXT names
// (kNotFound for an undeclared one) until it returns false.
template <class OnKeyword>
bool ReadDeviceVocabulary(const BuildState& state, const DeviceType& type, BuildLog& log,
                          OnKeyword onKeyword) {
    LineFile file;
    if (!OpenProjectFile(
            file, state,
            DeviceTypeFile(state.projectDir, type.name, kBuildFileNames.deviceVocabulary), log))
        return false;
    std::string line;
    while (file.ReadLine(&line))
        if (LineHasKey(line, "keyword") && !onKeyword(FindInList(ValueOf(line), state.keywords)))
            return false;
    return true;
}

// The fault a line leaves behind, if any.
std::string RunningCheck(const t_iteminfo& item) {
    if (item.minOption < -1) return "minoption<-1 in ";
    if (item.maxOption < -1) return "maxoption<-1 in ";
    if (item.offOption < -1) return "offoption<-1 in ";
    if (item.startOption < -1) return "startoption<-1 in ";
    if (item.optionKind == OptionKind::Symbols && item.maxOption >= kMaxSymbolOptions)
        return "more than 8 options in ";
    return {};
}

std::string FinalCheck(const BuildState& state, const t_iteminfo& item) {
    for (std::size_t l = 0; l < state.languages.size(); ++l)
        if (item.names[l].empty())
            return "missing " + state.languages[l].name + " representation in ";
    if (item.maxOption < item.minOption) return "maxoption<minoption in ";
    if (item.startOption < item.minOption) return "startoption<minoption in ";
    if (item.startOption > item.maxOption) return "startoption>maxoption in ";
    bool hasTexts =
        item.optionKind == OptionKind::Languages || item.optionKind == OptionKind::Symbols;
    if (item.optionKind == OptionKind::Symbols)
        for (int option = item.minOption; option <= item.maxOption; ++option)
            if (OptionText(item, option).empty()) return "unknown option in ";
    // The image has room for 8 option texts.
    if (hasTexts && item.maxOption - item.minOption + 1 > kMaxOptionTexts)
        return "more than 8 options in ";
    return {};
}

void ReadItemLine(BuildState& state, t_iteminfo& item, const std::string& line,
                  bool* keywordFound) {
    if (LineHasKey(line, "type")) {
        std::string value = ValueOf(line);
        for (std::uint8_t code = 0; code < std::size(kItemTypes); ++code)
            if (value == kItemTypes[code]) item.type = code;
    }
    for (std::size_t l = 0; l < state.languages.size(); ++l)
        if (LineHasKey(line, state.languages[l].name)) item.names[l] = ValueOf(line);
    if (LineHasKey(line, "keyword") && ValueOf(line) != "none") {
        std::uint16_t number = FindInList(ValueOf(line), state.keywords);
        *keywordFound = number != kNotFound;
        if (*keywordFound) {
            item.keyword = number;
            state.keywords[number - 1].used = true;
        }
    }
    struct {
        const char* key;
        std::int16_t* field;
    } const numbers[] = {{"minoption", &item.minOption},
                         {"maxoption", &item.maxOption},
                         {"offoption", &item.offOption},
                         {"startoption", &item.startOption}};
    for (const auto& number : numbers)
        if (LineHasKey(line, number.key)) *number.field = project::ParseNumber(ValueOf(line), 0);
    if (!LineHasKey(line, "option")) return;
    std::string value = ValueOf(line);
    if (value == "languages") {
        item.optionKind = OptionKind::Languages;
        item.maxOption = static_cast<std::int16_t>(state.languages.size() - 1);
        for (std::size_t l = 0; l < state.languages.size(); ++l)
            item.optionTexts[l + 1] = state.languages[l].displayName;
    } else if (value.rfind("devices=", 0) != 0) {
        item.optionKind = OptionKind::Symbols;
        ++item.maxOption;
        if (item.maxOption >= 0 && item.maxOption + 1 < static_cast<int>(item.optionTexts.size()))
            item.optionTexts[item.maxOption + 1] = value;
    }
}

bool ReadItem(BuildState& state, t_iteminfo& item, BuildLog& log) {
    fs::path path = ItemsMenusFile(state.projectDir, item.name, kBuildFileNames.item);
    const std::string where = platform::PathToMessage(path);
    LineFile file;
    if (!OpenProjectFile(file, state, path, log)) return false;
    std::string line;
    while (file.ReadLine(&line)) {
        bool keywordFound = true;
        ReadItemLine(state, item, line, &keywordFound);
        if (!keywordFound) {
            log.Fail("invalid keyword in " + where);
            return false;
        }
        bool namesDevices = LineHasKey(line, "option") && ValueOf(line).rfind("devices=", 0) == 0;
        if (namesDevices && !UseDeviceType(state, item, ValueOf(line).substr(8), log)) return false;
        if (std::string fault = RunningCheck(item); !fault.empty()) {
            log.Fail(fault + where);
            return false;
        }
    }
    if (std::string fault = FinalCheck(state, item); !fault.empty()) {
        log.Fail(fault + where);
        return false;
    }
    if (item.optionKind != OptionKind::Devices) return true;
    const DeviceType& type = state.deviceTypes[item.deviceType - 1];
    fs::path vocabulary =
        DeviceTypeFile(state.projectDir, type.name, kBuildFileNames.deviceVocabulary);
    return ReadDeviceVocabulary(state, type, log, [&](std::uint16_t number) {
        if (number == kNotFound) {
            log.Fail("invalid keyword in " + platform::PathToMessage(vocabulary));
            return false;
        }
        state.keywords[number - 1].used = true;
        return true;
    });
}

}  // namespace

bool CheckItems(BuildState& state, BuildLog& log) {
    LineFile file;
    if (!OpenProjectFile(file, state, state.mainFile, log)) return false;
    const std::string mainPath = platform::PathToMessage(state.mainFile);
    state.items.clear();
    state.deviceTypes.clear();
    std::string line;
    while (file.ReadLine(&line)) {
        log.Tick();
        if (!LineHasKey(line, "item")) continue;
        std::string name = ValueOf(line);
        if (FindInList(name, state.items) != kNotFound) {
            log.Fail("multiple declarations of " + name + " in " + mainPath);
            return false;
        }
        state.items.push_back({});
        state.items.back().name = name;
        if (!ReadItem(state, state.items.back(), log)) return false;
        if (state.items.size() > kMaxItems) {
            log.Fail("more than 100 items in " + mainPath);
            return false;
        }
    }
    return true;
}

bool ListItemKeywords(BuildState& state, BuildLog& log) {
    const std::size_t count = state.keywords.size();
    std::vector<bool> active(count, false);
    for (auto& item : state.items) {
        log.Tick();
        item.activeKeywords.assign(count, 0);
        if (item.keyword != 0) {
            for (std::size_t k = 0; k < count; ++k) {
                if (IsCoreKeyword(state.keywords[k].type)) item.activeKeywords[k] = 1;
            }
            item.activeKeywords[item.keyword - 1] = 1;
        }
        if (item.optionKind == OptionKind::Devices &&
            !ReadDeviceVocabulary(state, state.deviceTypes[item.deviceType - 1], log,
                                  [&](std::uint16_t number) {
                                      if (number != kNotFound) item.activeKeywords[number - 1] = 1;
                                      return true;
                                  }))
            return false;
        for (std::size_t k = 0; k < count; ++k)
            if (item.activeKeywords[k]) active[k] = true;
    }
    for (std::size_t k = 0; k < count; ++k) {
        if (!active[k]) {
            log.Fail("keyword " + state.keywords[k].name + " unused");
            return false;
        }
    }
    return true;
}

}  // namespace orbik::compiler
