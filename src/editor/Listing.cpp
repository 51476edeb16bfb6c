#include "editor/Listing.h"

#include "editor/ProjectSave.h"

namespace orbik::editor {

namespace {

constexpr std::size_t kIndentPerLevel = 15;
constexpr std::size_t kActionIndent = 45;
constexpr std::string_view kRule = "****************************************";

void ListMenu(const ProjectModel& model, std::size_t menu, std::size_t depth, bool withActions,
              std::vector<bool>* onPath, std::vector<std::string>* lines) {
    // A model never nests a menu inside itself; the guard keeps a hand-made
    // one from recursing forever.
    if (menu >= model.menus.size() || (*onPath)[menu]) return;
    (*onPath)[menu] = true;
    for (const auto& entry : model.menus[menu].entries) {
        if (depth == 0) lines->emplace_back();
        lines->push_back(std::string(depth * kIndentPerLevel, ' ') + entry.display);
        if (withActions)
            for (const auto& line : entry.procedure)
                lines->push_back(std::string(kActionIndent, ' ') + line);
        if (entry.subMenu) ListMenu(model, *entry.subMenu, depth + 1, withActions, onPath, lines);
    }
    (*onPath)[menu] = false;
}

}  // namespace

std::vector<std::string> ListingLines(const ProjectModel& model, std::string_view projectName,
                                      std::chrono::year_month_day printDate, bool withActions) {
    std::vector<std::string> lines{"",
                                   std::string(kRule),
                                   "",
                                   "     Project:   " + std::string(projectName),
                                   "     Printdate: " + ShortDate(printDate),
                                   "",
                                   std::string(kRule)};
    std::vector<bool> onPath(model.menus.size(), false);
    if (!model.menus.empty()) ListMenu(model, 0, 0, withActions, &onPath, &lines);
    return lines;
}

}  // namespace orbik::editor
