#include "project/ProjectLayout.h"

#include <string>

#include "platform/Text.h"

namespace orbik::project {

fs::path JoinName(const fs::path& dir, std::string_view name) {
    fs::path::string_type joined = dir.native();
    if (!joined.empty() && joined.back() != fs::path::preferred_separator)
        joined += fs::path::preferred_separator;
    joined += platform::NameToPath(name).native();
    return fs::path(joined);
}

fs::path ProjectDir(const fs::path& projectsDir, std::string_view projectName) {
    return JoinName(projectsDir, projectName);
}

fs::path MainFile(const fs::path& projectDir, std::string_view projectName) {
    return ImageFile(projectDir, projectName, ".txt");
}

fs::path ImageFile(const fs::path& projectDir, std::string_view projectName,
                   std::string_view extension) {
    return JoinName(projectDir, std::string(projectName) + std::string(extension));
}

fs::path TopFile(const fs::path& projectDir, std::string_view file) {
    return JoinName(projectDir, file);
}

fs::path ItemsMenusDir(const fs::path& projectDir, std::string_view name) {
    return JoinName(JoinName(projectDir, kItemsMenusDir), name);
}

fs::path DeviceTypeDir(const fs::path& projectDir, std::string_view type) {
    return JoinName(JoinName(projectDir, kDevicesDir), type);
}

fs::path DeviceWorkDir(const fs::path& projectDir) {
    return DeviceTypeDir(projectDir, "temp");
}

fs::path ItemsMenusFile(const fs::path& projectDir, std::string_view name, std::string_view file) {
    return JoinName(ItemsMenusDir(projectDir, name), file);
}

fs::path DeviceTypeFile(const fs::path& projectDir, std::string_view type, std::string_view file) {
    return JoinName(DeviceTypeDir(projectDir, type), file);
}

fs::path SpeechDir(const fs::path& programDir) {
    return JoinName(programDir, "Speech");
}

fs::path SpeechFile(const fs::path& programDir, std::string_view language, std::string_view file) {
    return JoinName(JoinName(SpeechDir(programDir), language),
                    std::string(language) + "_" + std::string(file));
}

}  // namespace orbik::project
