#include "editor/ProjectModel.h"

namespace orbik::editor {

std::string Bounded(std::string_view text, std::size_t bound) {
    return std::string(text.substr(0, bound));
}

std::string ModelText(const ProjectModel& model) {
    return model.hasExternalDisplay ? "ORBIK max" : "ORBIK solo";
}

int KeywordCount(const ProjectModel& model) {
    int count = static_cast<int>(model.usedKeywords.size()) + 3;
    for (const auto& key : model.directKeys) count += key.active ? 1 : 0;
    return count;
}

std::string KeywordGauge(const ProjectModel& model) {
    return std::to_string(KeywordCount(model)) + " Keywords used";
}

std::string DirectKeyName(int n) {
    return "dkey_" + std::to_string(n);
}

const MenuEntry& EntryAt(const ProjectModel& model, EntryRef ref) {
    return model.menus.at(ref.menu).entries.at(ref.entry);
}

MenuEntry& EntryAt(ProjectModel& model, EntryRef ref) {
    return model.menus.at(ref.menu).entries.at(ref.entry);
}

std::optional<EntryRef> ParentEntry(const ProjectModel& model, std::size_t menu) {
    for (std::size_t m = 0; m < model.menus.size(); ++m)
        for (std::size_t e = 0; e < model.menus[m].entries.size(); ++e)
            if (model.menus[m].entries[e].subMenu == menu) return EntryRef{m, e};
    return std::nullopt;
}

}  // namespace orbik::editor
