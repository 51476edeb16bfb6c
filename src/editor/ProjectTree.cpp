#include "editor/ProjectTree.h"

namespace orbik::editor {

namespace {

int ImageOf(const MenuEntry& entry, bool topLevel) {
    if (!entry.item) return entry.type == "digit" ? kImageDigit : kImagePlainEntry;
    if (entry.device) return kImageItemWithDevice;
    return topLevel ? kImageTopItem : kImageSubItem;
}

std::vector<TreeNode> MenuNodes(const ProjectModel& model, std::size_t menu) {
    std::vector<TreeNode> nodes;
    const auto& entries = model.menus[menu].entries;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        TreeNode node{entries[e].display, ImageOf(entries[e], menu == 0), menu, e, {}};
        if (entries[e].subMenu) node.children = MenuNodes(model, *entries[e].subMenu);
        nodes.push_back(std::move(node));
    }
    return nodes;
}

void AppendText(const std::vector<TreeNode>& nodes, int depth, std::vector<std::string>* lines) {
    for (const auto& node : nodes) {
        lines->push_back(std::string(2 * depth, ' ') + node.text);
        AppendText(node.children, depth + 1, lines);
    }
}

}  // namespace

std::vector<TreeNode> ProjectTree(const ProjectModel& model) {
    if (model.menus.empty()) return {};
    return MenuNodes(model, 0);
}

std::vector<std::string> TreeText(const std::vector<TreeNode>& nodes) {
    std::vector<std::string> lines;
    AppendText(nodes, 0, &lines);
    return lines;
}

}  // namespace orbik::editor
