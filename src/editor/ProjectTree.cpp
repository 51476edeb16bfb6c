#include "editor/ProjectTree.h"

#include <algorithm>

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

TreeNode Node(std::string text, std::vector<TreeNode> children = {}) {
    TreeNode node;
    node.text = std::move(text);
    node.children = std::move(children);
    return node;
}

std::vector<TreeNode> Leaves(const std::vector<std::string>& texts) {
    std::vector<TreeNode> nodes;
    for (const auto& text : texts) nodes.push_back(Node(text));
    return nodes;
}

TreeNode ItemNode(const ProjectModel& model, const ItemRecord& item) {
    std::vector<TreeNode> children = {Node(item.keyword), Node(item.type)};
    for (std::size_t i = 0; i < item.texts.size(); ++i)
        children.push_back(Node("display" + std::to_string(i + 1),
                                {Node(item.texts[i].language + "=" + item.texts[i].text)}));
    children.push_back(Node(item.device ? model.devices[*item.device].name : "Nil"));
    for (auto option : {item.minOption, item.offOption, item.startOption, item.maxOption})
        children.push_back(Node(std::to_string(option)));
    children.push_back(Node("option", Leaves(item.options)));
    return Node(item.name, std::move(children));
}

TreeNode DeviceNode(const DeviceRecord& device) {
    std::vector<std::string> uses;
    for (std::size_t v = 0; v < device.vocabulary.size(); ++v)
        uses.push_back(
            device.vocabulary[v] + " " +
            std::to_string(v < device.vocabularyUse.size() ? device.vocabularyUse[v] : 0));
    return Node(
        device.name,
        {Node(std::to_string(device.userCount)), Node("devlist", Leaves(device.signalFiles)),
         Node("devvocab", Leaves(device.vocabulary)), Node("voc_used", Leaves(uses))});
}

TreeNode MenuNode(const MenuRecord& menu) {
    std::vector<std::string> entries;
    for (const auto& entry : menu.entries)
        entries.push_back(entry.keyword + (entry.subMenu ? " sub" : "") +
                          (entry.item ? " item" : "") + (entry.device ? " device" : ""));
    return Node(menu.name, Leaves(entries));
}

}  // namespace

StructureLists BuildStructureLists(const ProjectModel& model) {
    StructureLists lists;
    for (const auto& item : model.items) lists.items.push_back(ItemNode(model, item));
    for (const auto& device : model.devices) lists.devices.push_back(DeviceNode(device));
    for (const auto& menu : model.menus) lists.menus.push_back(MenuNode(menu));
    std::vector<std::string> used;
    for (const auto& keyword : model.usedKeywords)
        used.push_back(keyword.name + " " + std::to_string(keyword.count));
    lists.keywords.push_back(
        Node(std::to_string(model.usedKeywords.size()) + " Keywords", Leaves(used)));
    for (int n = 1; n <= kDirectKeyCount; ++n)
        if (model.directKeys[n - 1].active)
            lists.directKeys.push_back(
                Node(DirectKeyName(n), Leaves(model.directKeys[n - 1].procedure)));
    for (const auto& keyword : model.keywords) {
        std::vector<std::string> texts = {keyword.type};
        for (const auto& text : keyword.texts) texts.push_back(text.language + "=" + text.text);
        lists.keywordList.push_back(Node(keyword.name, Leaves(texts)));
    }
    return lists;
}

std::vector<TreeNode> ProjectTree(const ProjectModel& model) {
    if (model.menus.empty()) return {};
    return MenuNodes(model, 0);
}

std::vector<TreeNode> KeywordChoices(const ProjectModel& model, std::string_view projectLanguage) {
    std::vector<TreeNode> choices;
    for (std::size_t k = 0; k < model.keywords.size(); ++k) {
        const KeywordRecord& keyword = model.keywords[k];
        const std::string& name = keyword.name;
        if (name == "next" || name == "execute" || name == "sleep" || name == "wake_up" ||
            name.find("dkey") != std::string::npos)
            continue;
        auto text =
            std::find_if(keyword.texts.begin(), keyword.texts.end(),
                         [&](const LanguageText& t) { return t.language == projectLanguage; });
        if (text == keyword.texts.end() || text->text.empty()) continue;
        TreeNode node = Node(keyword.display);
        node.image = keyword.type == "deviceselection" ? kImageDeviceSelection : kImageKeyword;
        node.entry = k;
        choices.push_back(std::move(node));
    }
    std::stable_sort(choices.begin(), choices.end(),
                     [](const TreeNode& a, const TreeNode& b) { return a.text < b.text; });
    return choices;
}

std::vector<std::string> TreeText(const std::vector<TreeNode>& nodes) {
    std::vector<std::string> lines;
    AppendText(nodes, 0, &lines);
    return lines;
}

}  // namespace orbik::editor
