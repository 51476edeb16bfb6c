// How the checks reach the project's files and the speech library.

#include "compiler/Steps.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::compiler {

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
    FailNotFound(path, log, reason);
    return false;
}

void FailNotFound(const fs::path& path, BuildLog& log, const std::string& reason) {
    log.Fail("file " + platform::PathToMessage(path) + " not found", reason);
}

}  // namespace orbik::compiler
