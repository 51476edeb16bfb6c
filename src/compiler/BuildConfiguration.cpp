#include "compiler/BuildConfiguration.h"

#include "compiler/ImageFiles.h"
#include "compiler/ImageWriter.h"
#include "compiler/Steps.h"

namespace orbik::compiler {

namespace {

struct CheckStep {
    const char* label;
    bool (*run)(BuildState&, BuildLog&);
};

// Items are read twice: the first pass marks the keywords items use, so
// packing keeps them; the second renumbers into the packed list.
constexpr CheckStep kCheckSteps[] = {
    {"checking languages ....... ", CheckLanguages},
    {"checking displays ........ ", CheckDisplays},
    {"checking keywords ........ ", CheckKeywords},
    {"checking items ........... ", CheckItems},
    {"packing keywords ......... ", PackKeywords},
    {"checking items ........... ", CheckItems},
    {"checking menus ........... ", CheckMenus},
    {"listing item keywords .... ", ListItemKeywords},
    {"checking playbacks ....... ", CheckPlaybacks},
};

constexpr const char* kProtocolLabel = "writing protocol........ ";

}  // namespace

bool BuildConfiguration(BuildState& state, BuildLog& log) {
    state = MakeBuildState(state.projectName, state.projectDir, state.programDir);
    for (const auto& step : kCheckSteps) {
        log.BeginStep(step.label);
        if (!step.run(state, log)) return false;
        log.FinishStep();
    }
    // Nothing is replaced until all three outputs are written.
    platform::FileReplacement outputs;
    if (!WriteImageSections(state, log) || !WriteImageFiles(state, outputs, log)) return false;
    log.BeginStep(kProtocolLabel);
    if (!WriteProtocol(state, outputs, log) || !CommitOutputs(outputs, log)) return false;
    // The listing's line keeps its "ok" below; the framing line stays above.
    log.BeginStep(std::string(kProtocolLabel) + "ok");
    return true;
}

bool BuildConfiguration(const std::string& projectName, const std::filesystem::path& projectDir,
                        const std::filesystem::path& programDir, BuildLog& log) {
    BuildState state = MakeBuildState(projectName, projectDir, programDir);
    return BuildConfiguration(state, log);
}

}  // namespace orbik::compiler
