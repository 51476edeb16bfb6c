#pragma once
// A model as it loads back after a save: menus in the order load meets
// them (depth first from Main, Sleep second), used keywords in name order
// devices in the order of the items that name them, and an empty procedure
// written as "Nothing".

#include <algorithm>
#include <vector>

#include "editor/ProjectModel.h"

namespace orbik::test {

inline void VisitMenus(const editor::ProjectModel& m, std::size_t menu,
                       std::vector<std::size_t>* order) {
    order->push_back(menu);
    for (const auto& e : m.menus[menu].entries)
        if (e.subMenu) VisitMenus(m, *e.subMenu, order);
}

inline editor::ProjectModel InLoadOrder(editor::ProjectModel m) {
    std::vector<std::size_t> order;
    VisitMenus(m, 0, &order);
    order.insert(order.begin() + 1, 1);
    std::vector<std::size_t> newIndex(m.menus.size());
    std::vector<editor::MenuRecord> menus;
    for (std::size_t i = 0; i < order.size(); ++i) {
        newIndex[order[i]] = i;
        menus.push_back(m.menus[order[i]]);
    }
    for (auto& menu : menus)
        for (auto& e : menu.entries)
            if (e.subMenu) e.subMenu = newIndex[*e.subMenu];
    m.menus = menus;
    return m;
}

inline editor::ProjectModel DevicesInItemOrder(editor::ProjectModel m) {
    std::vector<std::size_t> order;
    for (const auto& item : m.items)
        if (item.device && std::find(order.begin(), order.end(), *item.device) == order.end())
            order.push_back(*item.device);
    for (std::size_t d = 0; d < m.devices.size(); ++d)
        if (std::find(order.begin(), order.end(), d) == order.end()) order.push_back(d);
    std::vector<std::size_t> newIndex(m.devices.size());
    std::vector<editor::DeviceRecord> devices;
    for (std::size_t i = 0; i < order.size(); ++i) {
        newIndex[order[i]] = i;
        devices.push_back(m.devices[order[i]]);
    }
    m.devices = devices;
    for (auto& item : m.items)
        if (item.device) item.device = newIndex[*item.device];
    for (auto& menu : m.menus)
        for (auto& e : menu.entries)
            if (e.device) e.device = newIndex[*e.device];
    return m;
}

inline editor::ProjectModel AsSaved(editor::ProjectModel m) {
    m = DevicesInItemOrder(InLoadOrder(std::move(m)));
    std::sort(
        m.usedKeywords.begin(), m.usedKeywords.end(),
        [](const editor::UsedKeyword& a, const editor::UsedKeyword& b) { return a.name < b.name; });
    for (auto& menu : m.menus)
        for (auto& e : menu.entries)
            if (e.procedure.empty()) e.procedure = {"Nothing"};
    return m;
}

}  // namespace orbik::test
