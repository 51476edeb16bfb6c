#include "compiler/BuildState.h"

#include "project/ProjectLayout.h"

namespace orbik::compiler {

BuildState MakeBuildState(const std::string& projectName, const fs::path& projectDir,
                          const fs::path& programDir) {
    BuildState state;
    state.projectName = projectName;
    state.projectDir = projectDir;
    state.programDir = programDir;
    state.mainFile = project::MainFile(projectDir, projectName);
    return state;
}

}  // namespace orbik::compiler
