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

namespace {

std::size_t Depth(const fs::path& path) {
    std::size_t depth = 0;
    for (const auto& part : path) depth += part.empty() ? 0 : 1;
    return depth;
}

// Only a link below the root can lead out of it, and most paths hold none;
// resolving every component costs far more than looking at the few below.
bool LinkBelow(const fs::path& root, const fs::path& found) {
    std::size_t skip = Depth(root);
    fs::path prefix;
    for (const auto& part : found) {
        prefix /= part;
        if (part.empty() || skip > 0) {
            skip -= part.empty() ? 0 : 1;
            continue;
        }
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(prefix, ec))) return true;
    }
    return false;
}

}  // namespace

bool FileResolvesInside(const fs::path& root, const fs::path& path, std::string* reason) {
    fs::path found = platform::ResolvePath(path);
    std::error_code ec;
    if (!fs::is_regular_file(found, ec)) return false;
    if (!LinkBelow(root, found)) return true;
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
