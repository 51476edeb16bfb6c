// Menus: their header flags, the procedures per keyword, and what
// sub-menus take over from "Main".

#include <string>

#include "compiler/Steps.h"
#include "platform/Text.h"

namespace orbik::compiler {

using project::FindInList;
using project::ItemsMenusFile;
using project::kBuildFileNames;
using project::kMainMenu;
using project::kNotFound;
using project::LineFile;
using project::LineHasKey;
using project::ValueOf;

namespace {

void ReadMenuHeaderLine(Menu& menu, const std::string& line) {
    struct {
        const char* key;
        bool* flag;
    } const inherited[] = {{"sleep", &menu.sleep},
                           {"next", &menu.next},
                           {"execute", &menu.execute},
                           {"deviceselection", &menu.deviceSelection}};
    for (const auto& entry : inherited)
        if (LineHasKey(line, entry.key) && ValueOf(line) == "off") *entry.flag = false;
    if (LineHasKey(line, "doubledigits") && ValueOf(line) == "on") menu.doubleDigits = true;
}

// Reads the procedures of menu m. The menu list may grow meanwhile, so
// the menu is reached through its number only.
bool CheckMenu(BuildState& state, std::size_t m, BuildLog& log) {
    const fs::path path =
        ItemsMenusFile(state.projectDir, state.menus[m].name, kBuildFileNames.menu);
    const std::string where = platform::PathToMessage(path);
    LineFile file;
    if (!OpenProjectFile(file, state, path, log)) return false;

    std::string line;
    bool atKeyword = false;
    while (!atKeyword && file.ReadLine(&line)) {
        atKeyword = LineHasKey(line, "keyword");
        if (!atKeyword) ReadMenuHeaderLine(state.menus[m], line);
    }
    if (file.AtEnd()) {
        log.Fail("menu " + where + " empty");
        return false;
    }

    std::uint16_t keyword = FindInList(ValueOf(line), state.keywords);
    if (keyword != kNotFound) state.menus[m].keywords[keyword - 1].procedures.clear();
    while (file.ReadLine(&line)) {
        if (LineHasKey(line, "keyword")) {
            keyword = FindInList(ValueOf(line), state.keywords);
            if (keyword != kNotFound) state.menus[m].keywords[keyword - 1].procedures.clear();
            continue;
        }
        if (keyword == kNotFound || !LineHasKey(line, "procedure")) continue;
        std::string text = ValueOf(line);
        auto procedure = ParseProcedure(text, state);
        if (!procedure) {
            std::string name = text.substr(0, text.find('('));
            log.Fail("invalid procedure " + name + " in " + where);
            return false;
        }
        if (state.menus.size() > kMaxMenus) {
            log.Fail("more than 101 menus in " + where);
            return false;
        }
        auto& procedures = state.menus[m].keywords[keyword - 1].procedures;
        if (procedures.size() >= kMaxProcedures) {
            log.Fail("more than 36 procedures for " + text + " in " + where);
            return false;
        }
        procedures.push_back(std::move(*procedure));
    }
    return true;
}

// Main's procedures for keywords the sub-menu takes over replace its own.
void InheritFromMain(BuildState& state) {
    const Menu& main = state.menus[0];
    for (std::size_t m = 1; m < state.menus.size(); ++m) {
        Menu& menu = state.menus[m];
        for (std::size_t k = 0; k < state.keywords.size(); ++k) {
            std::uint8_t type = state.keywords[k].type;
            bool inherits = (type == kSleep && menu.sleep) || (type == kNext && menu.next) ||
                            (type == kExecute && menu.execute) ||
                            (type == kDeviceSelection && menu.deviceSelection) ||
                            type == kDirectKey;
            if (inherits && !main.keywords[k].procedures.empty())
                menu.keywords[k] = main.keywords[k];
        }
    }
}

}  // namespace

std::uint16_t AddMenu(BuildState& state, const std::string& name) {
    state.menus.push_back({});
    state.menus.back().name = name;
    state.menus.back().keywords.resize(state.keywords.size());
    return static_cast<std::uint16_t>(state.menus.size());
}

bool CheckMenus(BuildState& state, BuildLog& log) {
    state.menus.clear();
    AddMenu(state, std::string(kMainMenu));
    for (std::size_t m = 0; m < state.menus.size(); ++m) {
        log.Tick();
        if (!CheckMenu(state, m, log)) return false;
    }
    InheritFromMain(state);
    return true;
}

}  // namespace orbik::compiler
