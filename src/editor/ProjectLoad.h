#pragma once
// Reading a project into the editor's model. Load runs its steps in order
// and stops at the first failure with the message the user is shown; it
// reads through a ProjectSource and writes nothing.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"
#include "editor/ProjectSource.h"

namespace orbik::editor {

struct LoadResult {
    bool ok = false;
    std::string message;  // the failure as the user sees it
    std::string reason;   // the system's reason, when there is one
    ProjectModel model;
    // Keywords of entries in the main menu's file that no item names: they
    // are not read into the model, so the next save drops them.
    std::vector<std::string> orphanMainEntries;
};

// Progress texts for the status bar ("Reading Keywordlist...", ...).
using LoadProgress = std::function<void(const std::string& text)>;

// More menus than this stop the load: sub-menus load once per SetMenu
// line, so a few files can otherwise name an exponential tree.
inline constexpr std::size_t kMaxMenus = 1024;

LoadResult LoadProject(const ProjectSource& source, const fs::path& projectDir,
                       std::string_view projectName, std::string_view projectLanguage,
                       const LoadProgress& progress = {});

// The warning shown once when the main menu holds entries no item names.
std::string OrphanEntriesWarning(const std::vector<std::string>& keywords);

}  // namespace orbik::editor
