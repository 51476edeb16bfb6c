#include "projects/NewName.h"

namespace orbik::projects {

std::string TrimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

NameCheck CheckNewName(std::string_view name) {
    if (name.find_first_of(kRefusedNameChars) != std::string_view::npos)
        return NameCheck::RefusedChar;
    if (TrimBlanks(name).empty()) return NameCheck::Empty;
    return NameCheck::Ok;
}

std::string NotAllowedText() {
    return "No " + std::string(kRefusedNameChars) + " allowed!";
}

}  // namespace orbik::projects
