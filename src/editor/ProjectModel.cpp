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

}  // namespace orbik::editor
