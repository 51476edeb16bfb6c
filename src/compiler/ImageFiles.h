#pragma once
// The two files a build stores its image in: the .CIM (the image with a
// checksum) and the .CIF (the .CIM cut into addressed, checksummed frames
// that the device link sends one by one).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "compiler/BuildLog.h"
#include "platform/FileSystem.h"

namespace orbik::compiler {

// The image made odd-length by a 0x00 pad byte, then its checksum; the
// result is always even. Ticks once per 100,000 bytes.
std::string ComposeCim(std::string_view image, BuildLog& log);

// The .CIM as frames: 3-byte offset, 128 data bytes (0xFF past the end),
// checksum. A block of nothing but 0xFF gets no frame: the device's erased
// memory holds that already. Ticks before written frames 1, 101, 201, ...
std::string FrameCim(std::string_view cim, BuildLog& log);

// A build's outputs replace the old ones together, and only once every one
// was written whole: a new .CIM never stands beside an old .CIF.
// StageOutputFile writes one to its temporary file; a failure is reported
// in the status line (without ending the step's line as done).
bool StageOutputFile(platform::FileReplacement& outputs, const std::filesystem::path& path,
                     std::string_view data, BuildLog& log);
// Puts every staged output in place; false (after log.Fail) when one fails.
bool CommitOutputs(platform::FileReplacement& outputs, BuildLog& log);

// Composes and stages <projectDir>/<projectName>.CIM and .CIF, each as its
// own progress step. False (with the status line saying why) when a file
// cannot be written; the .CIF is then not attempted after a failed .CIM.
bool WriteCimAndCif(std::string_view image, const std::filesystem::path& projectDir,
                    const std::string& projectName, platform::FileReplacement& outputs,
                    BuildLog& log);

}  // namespace orbik::compiler
