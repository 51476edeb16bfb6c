// How the checks reach the project's files and the speech library.

#include "compiler/Steps.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::compiler {

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
    FailNotFound(path, log);
    return false;
}

void FailNotFound(const fs::path& path, BuildLog& log) {
    log.Fail("file " + platform::PathToMessage(path) + " not found");
}

}  // namespace orbik::compiler
