// How the checks reach the project's files and the speech library.

#include "compiler/Steps.h"
#include "platform/FileSystem.h"

namespace orbik::compiler {

fs::path Join(const fs::path& dir, std::string_view name) {
    fs::path::string_type joined = dir.native();
    if (!joined.empty() && joined.back() != fs::path::preferred_separator)
        joined += fs::path::preferred_separator;
    joined += fs::path(name).native();
    return fs::path(joined);
}

bool InsideDir(const fs::path& root, const fs::path& path) {
    fs::path relative = path.lexically_normal().lexically_relative(root.lexically_normal());
    return !relative.empty() && *relative.begin() != ".." && *relative.begin() != ".";
}

bool ProjectFileExists(const BuildState& state, const fs::path& path) {
    return InsideDir(state.projectDir, path) && platform::FileExists(path);
}

bool OpenProjectFile(project::LineFile& file, const BuildState& state, const fs::path& path,
                     BuildLog& log, bool raw) {
    if (ProjectFileExists(state, path) && file.Open(path, raw)) return true;
    log.Fail("file " + path.string() + " not found");
    return false;
}

fs::path ItemsMenusFile(const BuildState& state, std::string_view name, std::string_view file) {
    return Join(Join(state.projectDir / "Items&Menus", name), file);
}

fs::path DeviceTypeFile(const BuildState& state, std::string_view type, std::string_view file) {
    return Join(Join(state.projectDir / "Devices", type), file);
}

}  // namespace orbik::compiler
