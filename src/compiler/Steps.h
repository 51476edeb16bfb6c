#pragma once
// The checking steps of a build and what they share. Each step reports its
// first fault through log.Fail and returns false; the driver stops there.

#include <filesystem>
#include <string>
#include <string_view>

#include "compiler/BuildLog.h"
#include "compiler/BuildState.h"
#include "platform/FileSystem.h"
#include "project/KeyValue.h"
#include "project/ProjectLayout.h"

namespace orbik::compiler {

// Keywords of these types always reach the image and are active in every
// item that has a keyword of its own.
inline bool IsCoreKeyword(std::uint8_t type) {
    return type == kSleep || type == kWakeup || type == kNext || type == kExecute ||
           type == kDirectKey;
}

bool CheckLanguages(BuildState& state, BuildLog& log);
bool CheckDisplays(BuildState& state, BuildLog& log);
bool CheckKeywords(BuildState& state, BuildLog& log);
bool CheckItems(BuildState& state, BuildLog& log);
bool PackKeywords(BuildState& state, BuildLog& log);
bool CheckMenus(BuildState& state, BuildLog& log);
// Appends a menu without procedures; its number.
std::uint16_t AddMenu(BuildState& state, const std::string& name);
bool ListItemKeywords(BuildState& state, BuildLog& log);
bool CheckPlaybacks(BuildState& state, BuildLog& log);
// Stages PROTOCOL.TXT with the build's other outputs.
bool WriteProtocol(BuildState& state, platform::FileReplacement& outputs, BuildLog& log);
// The text of PROTOCOL.TXT for the tables as they stand.
std::string ProtocolText(const BuildState& state);

// Project names are used in paths; one that leads out of the project (or,
// for recordings, out of the speech library) counts as missing. InsideDir
// compares the names.
bool InsideDir(const std::filesystem::path& root, const std::filesystem::path& path);
// The detail shown when a link leads out.
inline constexpr const char* kLeadsOutside = "a symbolic link leads outside the folder";
// The name resolves to a regular file that lies, with every link followed,
// inside root: a link cannot bring a file from elsewhere (a system file)
// into the image. *reason says so when a link leads out.
bool FileResolvesInside(const std::filesystem::path& root, const std::filesystem::path& path,
                        std::string* reason);
bool ProjectFileExists(const BuildState& state, const std::filesystem::path& path,
                       std::string* reason = nullptr);

// Opens a project input; when it cannot be read, fails the step with
// "file <path> not found".
bool OpenProjectFile(project::LineFile& file, const BuildState& state,
                     const std::filesystem::path& path, BuildLog& log, bool raw = false);

// Fails the step with "file <path> not found".
void FailNotFound(const std::filesystem::path& path, BuildLog& log, const std::string& reason = {});

}  // namespace orbik::compiler
