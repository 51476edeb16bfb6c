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

bool FileResolvesInside(const fs::path& root, const fs::path& path, std::string* reason) {
    bool throughLink = false;
    fs::path found = platform::ResolvePath(path, &throughLink);
    std::error_code ec;
    if (!fs::is_regular_file(found, ec)) return false;
    // Resolving every component costs more than the rest of the look-up;
    // only a path with a link on the way needs it.
    if (!throughLink) return true;
    fs::path realRoot = fs::canonical(root, ec);
    if (ec) return false;
    fs::path realPath = fs::canonical(found, ec);
    if (!ec && InsideDir(realRoot, realPath)) return true;
    if (reason) *reason = kLeadsOutside;
    return false;
}

bool ProjectFileExists(const BuildState& state, const fs::path& path, std::string* reason) {
    return InsideDir(state.projectDir, path) && FileResolvesInside(state.projectDir, path, reason);
}

bool OpenProjectFile(project::LineFile& file, const BuildState& state, const fs::path& path,
                     BuildLog& log, bool raw) {
    std::string reason;
    if (ProjectFileExists(state, path, &reason) && file.Open(path, raw, &reason)) return true;
    log.Fail("file " + path.string() + " not found", reason);
    return false;
}

fs::path ItemsMenusFile(const BuildState& state, std::string_view name, std::string_view file) {
    return Join(Join(state.projectDir / "Items&Menus", name), file);
}

fs::path DeviceTypeFile(const BuildState& state, std::string_view type, std::string_view file) {
    return Join(Join(state.projectDir / "Devices", type), file);
}

}  // namespace orbik::compiler
