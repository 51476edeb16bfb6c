#include "compiler/ImageFiles.h"

#include "compiler/Image.h"
#include "platform/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"

namespace orbik::compiler {

namespace {

constexpr std::size_t kCimBytesPerTick = 100000;
constexpr std::size_t kFramesPerTick = 100;

bool AllFF(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<std::uint8_t>(c) != 0xFF) return false;
    return true;
}

}  // namespace

std::string ComposeCim(std::string_view image, BuildLog& log) {
    std::string cim(image);
    if (cim.size() % 2 == 0) cim.push_back('\0');
    for (std::size_t at = 0; at < cim.size(); at += kCimBytesPerTick) log.Tick();
    cim.push_back(static_cast<char>(platform::XorChecksum(cim)));
    return cim;
}

std::string FrameCim(std::string_view cim, BuildLog& log) {
    using platform::kBlockSize;
    using platform::kFrameAddressSize;
    using platform::kFrameSize;
    std::string cif;
    cif.reserve((cim.size() / kBlockSize + 1) * kFrameSize);
    std::size_t written = 0;
    for (std::size_t offset = 0; offset < cim.size(); offset += kBlockSize) {
        std::string_view block = cim.substr(offset, kBlockSize);
        if (AllFF(block)) continue;
        if (written++ % kFramesPerTick == 0) log.Tick();

        std::size_t frame = cif.size();
        cif.append(kFrameSize, '\xFF');
        platform::StoreBigEndian(static_cast<std::uint32_t>(offset), kFrameAddressSize,
                                 &cif[frame]);
        cif.replace(frame + kFrameAddressSize, block.size(), block);
        std::string_view data = std::string_view(cif).substr(frame + kFrameAddressSize, kBlockSize);
        cif.back() = static_cast<char>(platform::XorChecksum(data));
    }
    return cif;
}

bool StageOutputFile(platform::FileReplacement& outputs, const std::filesystem::path& path,
                     std::string_view data, BuildLog& log) {
    std::string error;
    if (outputs.Stage(path, data, &error)) return true;
    // The path is shown as composed, not as found on disk.
    log.Fail("cannot write " + platform::PathToMessage(path) + ": " + platform::ErrorReason(error));
    return false;
}

bool CommitOutputs(platform::FileReplacement& outputs, BuildLog& log) {
    std::string error;
    if (outputs.Commit(&error)) return true;
    log.Fail("cannot write " + error);
    return false;
}

bool WriteCimAndCif(std::string_view image, const std::filesystem::path& projectDir,
                    const std::string& projectName, platform::FileReplacement& outputs,
                    BuildLog& log) {
    log.BeginStep("writing configuration .... ");
    std::string cim = ComposeCim(image, log);
    if (!StageOutputFile(outputs, project::ImageFile(projectDir, projectName, ".CIM"), cim, log))
        return false;
    log.FinishStep();

    log.BeginStep("framing configuration .... ");
    if (!StageOutputFile(outputs, project::ImageFile(projectDir, projectName, ".CIF"),
                         FrameCim(cim, log), log))
        return false;
    log.FinishStep();
    return true;
}

}  // namespace orbik::compiler
