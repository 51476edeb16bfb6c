#pragma once
// The checking steps of a build and what they share. Each step reports its
// first fault through log.Fail and returns false; the driver stops there.

#include <filesystem>
#include <string>
#include <string_view>

#include "compiler/BuildLog.h"
#include "compiler/BuildState.h"
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
bool WriteProtocol(BuildState& state, BuildLog& log);
// The text of PROTOCOL.TXT for the tables as they stand.
std::string ProtocolText(const BuildState& state);

// Project names are used in paths; one that leads out of the project (or,
// for recordings, out of the speech library) counts as missing.
bool InsideDir(const std::filesystem::path& root, const std::filesystem::path& path);
bool ProjectFileExists(const BuildState& state, const std::filesystem::path& path);

// Opens a project input; when it cannot be read, fails the step with
// "file <path> not found".
bool OpenProjectFile(project::LineFile& file, const BuildState& state,
                     const std::filesystem::path& path, BuildLog& log, bool raw = false);

// Fails the step with "file <path> not found".
void FailNotFound(const std::filesystem::path& path, BuildLog& log);

}  // namespace orbik::compiler
