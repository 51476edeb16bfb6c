#include "projects/Names.h"

namespace orbik::projects {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

std::string TrimName(std::string_view name) {
    while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    return std::string(name);
}

bool ValidProjectName(std::string_view name) {
    return !TrimName(name).empty() && name.find_first_of(kRefusedNameCharacters) == name.npos;
}

std::string NotAllowedText() {
    return "No " + std::string(kRefusedNameCharacters) + " allowed!";
}

}  // namespace orbik::projects
