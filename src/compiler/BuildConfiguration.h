#pragma once
// The build: checks a project, lays out its configuration image and writes
// <project>.CIM, <project>.CIF and PROTOCOL.TXT into the project directory.
// It reports only through the BuildLog.

#include <filesystem>
#include <string>

#include "compiler/BuildLog.h"
#include "compiler/BuildState.h"

namespace orbik::compiler {

// Runs every step on a state made by MakeBuildState; the tables are
// refilled. True when the build got through to its end.
bool BuildConfiguration(BuildState& state, BuildLog& log);

bool BuildConfiguration(const std::string& projectName, const std::filesystem::path& projectDir,
                        const std::filesystem::path& programDir, BuildLog& log);

}  // namespace orbik::compiler
