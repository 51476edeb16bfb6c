#include "editor/ActionList.h"

#include <algorithm>
#include <utility>

#include "editor/ActionLines.h"
#include "platform/FileSystem.h"

namespace orbik::editor {

namespace {

bool Contains(std::string_view line, std::string_view part) {
    return line.find(part) != std::string_view::npos;
}

bool HasLineIgnoringCase(const std::vector<std::string>& lines, std::string_view wanted) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return platform::EqualsIgnoreCase(line, wanted);
    });
}

}  // namespace

bool IsProtectedLine(ActionListKind kind, std::string_view line) {
    if (kind == ActionListKind::Procedure) return Contains(line, "Set");
    return Contains(line, "Push") || Contains(line, "Pop");
}

bool CanDelete(ActionListKind kind, const ActionLines& lines, std::size_t selected) {
    return selected < lines.size() && !IsProtectedLine(kind, lines[selected]);
}

bool CanInsertBefore(ActionListKind kind, const ActionLines& lines, std::size_t selected) {
    return CanDelete(kind, lines, selected);
}

bool CanMove(ActionListKind kind, const ActionLines& lines, std::size_t selected, bool up) {
    if (selected >= lines.size()) return false;
    if (up ? selected == 0 : selected + 1 == lines.size()) return false;
    if (kind == ActionListKind::Procedure) return true;
    // Swapping with a frame line would move the frame too.
    const std::size_t other = up ? selected - 1 : selected + 1;
    return !IsProtectedLine(kind, lines[selected]) && !IsProtectedLine(kind, lines[other]);
}

void AddActions(ActionListKind kind, ActionLines& lines, const ActionLines& added) {
    if (kind == ActionListKind::Procedure) {
        lines.insert(lines.end(), added.begin(), added.end());
        return;
    }
    if (lines.empty()) lines = {std::string(kPushDevice), std::string(kPopDevice)};
    lines.insert(lines.end() - 1, added.begin(), added.end());
}

bool InsertActions(ActionListKind kind, ActionLines& lines, std::size_t selected,
                   const ActionLines& added) {
    if (!CanInsertBefore(kind, lines, selected)) return false;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(selected), added.begin(), added.end());
    return true;
}

std::optional<std::size_t> DeleteAction(ActionListKind kind, ActionLines& lines,
                                        std::size_t selected) {
    if (!CanDelete(kind, lines, selected)) return std::nullopt;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(selected));
    if (lines.empty()) return std::nullopt;
    return std::min(selected, lines.size() - 1);
}

std::optional<std::size_t> MoveAction(ActionListKind kind, ActionLines& lines, std::size_t selected,
                                      bool up) {
    if (!CanMove(kind, lines, selected, up)) return std::nullopt;
    const std::size_t other = up ? selected - 1 : selected + 1;
    std::swap(lines[selected], lines[other]);
    return other;
}

void ConfirmProcedure(ProjectModel& model, EntryRef ref, const ActionLines& lines) {
    EntryAt(model, ref).procedure = lines.empty() ? ActionLines{std::string(kNothing)} : lines;
}

bool MenuGroupOffered(const ProjectModel& model, EntryRef ref) {
    const MenuEntry& entry = EntryAt(model, ref);
    return ParentEntry(model, ref.menu) && !entry.subMenu &&
           !HasLineIgnoringCase(entry.procedure, "SetMenu(Sleep)") &&
           !HasLineIgnoringCase(entry.procedure, kPopMenu);
}

void ConfirmMenuReturn(ProjectModel& model, EntryRef ref, ActionLines& lines) {
    lines.emplace_back(kPopMenu);
    ConfirmProcedure(model, ref, lines);
    if (const auto parent = ParentEntry(model, ref.menu)) {
        auto& procedure = EntryAt(model, *parent).procedure;
        if (!HasLineIgnoringCase(procedure, kPushMenu))
            procedure.insert(procedure.begin(), std::string(kPushMenu));
    }
    model.menus.at(ref.menu).deviceSelection = false;
}

void ConfirmDirectKey(ProjectModel& model, int n, bool active, const ActionLines& lines) {
    auto& key = model.directKeys.at(static_cast<std::size_t>(n - 1));
    key.active = active;
    key.procedure = active ? lines : ActionLines{};
}

}  // namespace orbik::editor
