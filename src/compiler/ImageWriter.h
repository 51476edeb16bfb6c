#pragma once
// The writers that turn the checked tables into the configuration image
// and its files. The build driver calls them after the checks.

#include "compiler/BuildLog.h"
#include "compiler/BuildState.h"
#include "platform/FileSystem.h"

namespace orbik::compiler {

// Lays out every section into state.image, the header last, each as its
// own progress step. False (after log.Fail) when the image would not fit.
bool WriteImageSections(BuildState& state, BuildLog& log);

// Stages state.image as <project>.CIM and its frames as <project>.CIF beside
// the main file; the caller commits them. False (after log.Fail) on a
// write error.
bool WriteImageFiles(BuildState& state, platform::FileReplacement& outputs, BuildLog& log);

}  // namespace orbik::compiler
