#pragma once
// Editing the action list of a menu entry or a direct key before it is
// confirmed into the model: add, insert, delete and move with the lines
// each list protects, the "PushDevice"/"PopDevice" frame of a direct key,
// and confirm and restore against the model.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"

namespace orbik::editor {

using ActionLines = std::vector<std::string>;

// A menu entry's list keeps its "Set" lines (SetDevice, SetMenu); a direct
// key's list keeps its "Push" and "Pop" lines.
enum class ActionListKind { Procedure, DirectKey };

bool IsProtectedLine(ActionListKind kind, std::string_view line);

// Whether the selected line may be deleted, or have lines inserted before it.
bool CanDelete(ActionListKind kind, const ActionLines& lines, std::size_t selected);
bool CanInsertBefore(ActionListKind kind, const ActionLines& lines, std::size_t selected);
// Whether the selected line may swap with its neighbour (up: the one before).
bool CanMove(ActionListKind kind, const ActionLines& lines, std::size_t selected, bool up);

// Appends composed lines; a direct key's list gets its frame first when
// empty and the lines go before its closing "PopDevice".
void AddActions(ActionListKind kind, ActionLines& lines, const ActionLines& added);
// Inserts before the selected line; false (nothing changed) when refused.
bool InsertActions(ActionListKind kind, ActionLines& lines, std::size_t selected,
                   const ActionLines& added);
// Deletes the selected line; the selection moves to the next line (the
// previous one when the last was deleted). Nothing when refused.
std::optional<std::size_t> DeleteAction(ActionListKind kind, ActionLines& lines,
                                        std::size_t selected);
// Swaps the selected line with its neighbour; the new selection, or
// nothing when refused (an end of the list or a protected line).
std::optional<std::size_t> MoveAction(ActionListKind kind, ActionLines& lines, std::size_t selected,
                                      bool up);

// Confirm: the list becomes the entry's procedure, "Nothing" when empty.
void ConfirmProcedure(ProjectModel& model, EntryRef ref, const ActionLines& lines);

// The Menu group (Sleep, Return) is offered for an entry in a sub-menu that
// has no sub-menu of its own and neither goes to sleep nor returns yet.
bool MenuGroupOffered(const ProjectModel& model, EntryRef ref);

// Menu Return, once the user agreed: "PopMenu" ends the list and the
// entry's procedure (confirmed at once), the parent entry's procedure
// starts with "PushMenu" unless it has one, and the entry's menu no longer
// offers device selection.
void ConfirmMenuReturn(ProjectModel& model, EntryRef ref, ActionLines& lines);

// Confirm of direct key n (1 to 8): inactive keys lose their procedure.
void ConfirmDirectKey(ProjectModel& model, int n, bool active, const ActionLines& lines);

}  // namespace orbik::editor
