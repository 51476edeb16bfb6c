#pragma once
// The project tree as data: the window shows it, orbik-cli prints it.

#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"

namespace orbik::editor {

// Images of the tree's nodes.
enum TreeImage : int {
    kImageItemWithDevice = 1,
    kImagePlainEntry = 2,
    kImageTopItem = 3,
    kImageDigit = 4,
    kImageSubItem = 5,
};

struct TreeNode {
    std::string text;
    int image = 0;
    std::size_t menu = 0;  // the entry the node carries: menus[menu].entries[entry]
    std::size_t entry = 0;
    std::vector<TreeNode> children;
};

// One node per entry of the main menu, children from each entry's sub-menu.
std::vector<TreeNode> ProjectTree(const ProjectModel& model);

// The read-only structure trees, rebuilt after load and after changes.
struct StructureLists {
    std::vector<TreeNode> items, devices, menus, keywords, directKeys, keywordList;
};
StructureLists BuildStructureLists(const ProjectModel& model);

// The keywords the user may add to a menu (LB_Keywords, TV_KeyList): those
// with a text in the project language, but for the fixed ones (next,
// execute, sleep, wake_up) and the direct keys; sorted by text. Image 3
// marks a device selection, 2 any other; `entry` is the keyword's index.
inline constexpr int kImageKeyword = 2;
inline constexpr int kImageDeviceSelection = 3;
std::vector<TreeNode> KeywordChoices(const ProjectModel& model, std::string_view projectLanguage);

// The tree as text, two blanks of indent per level, one node a line.
std::vector<std::string> TreeText(const std::vector<TreeNode>& nodes);

}  // namespace orbik::editor
