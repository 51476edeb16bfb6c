#include "support/DemoImage.h"

#include "compiler/BuildConfiguration.h"
#include "compiler/BuildLog.h"
#include "compiler/BuildState.h"
#include "platform/FileSystem.h"

namespace orbik::test {

namespace fs = std::filesystem;

std::string BuildDemoCim(const fs::path& programDir,
                         const std::function<void(const fs::path&)>& edit) {
    fs::path demo = ORBIK_DEMO_DIR;
    fs::path project = programDir / "Project" / "Demo";
    fs::copy(demo / "Speech", programDir / "Speech", fs::copy_options::recursive);
    fs::create_directories(programDir / "Project");
    fs::copy(demo / "Project" / "Demo", project, fs::copy_options::recursive);
    if (edit) edit(project);
    compiler::StatusLines log;
    compiler::BuildState state = compiler::MakeBuildState("Demo", project, programDir);
    std::string cim;
    if (!compiler::BuildConfiguration(state, log) ||
        !platform::ReadWholeFile(project / "Demo.CIM", &cim, platform::kMaxTextFileSize))
        return {};
    return cim;
}

std::string MemoryImage(std::string_view cim, bool header) {
    constexpr std::size_t kMemorySize = 0x380000, kConfigurationAt = 0x80000;
    std::string memory(kMemorySize, '\xFF');
    memory.replace(kConfigurationAt, cim.size(), cim);
    return header ? std::string("\x08\x00\x00", 3) + memory : memory;
}

}  // namespace orbik::test
