// orbik-cli resave and tree: the project window's load and save without
// the window.

#include <time.h>

#include <chrono>
#include <cstdio>

#include "cli/Commands.h"
#include "editor/Listing.h"
#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "editor/ProjectTree.h"
#include "settings/Settings.h"

namespace orbik::cli {

namespace {

std::chrono::year_month_day LocalToday() {
    time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    return std::chrono::year_month_day(std::chrono::year(local.tm_year + 1900),
                                       std::chrono::month(local.tm_mon + 1),
                                       std::chrono::day(local.tm_mday));
}

// Loads the project with the program directory's project language; prints
// the failure and its reason on stderr.
bool LoadFromArgs(const Args& args, const char* command, ProjectArgument* project,
                  editor::LoadResult* loaded) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: orbik-cli %s PROJECT_DIR\n", command);
        return false;
    }
    *project = ParseProjectArgument(args[0]);
    std::error_code ec;
    settings::Settings settings = settings::LoadSettings(std::filesystem::current_path(ec));
    *loaded = editor::LoadProject(editor::DiskSource(), project->dir, project->name,
                                  settings.projectLanguage);
    if (loaded->ok) return true;
    std::fprintf(stderr, "%s\n", loaded->message.c_str());
    if (!loaded->reason.empty()) std::fprintf(stderr, "%s\n", loaded->reason.c_str());
    return false;
}

}  // namespace

int RunResave(const Args& args) {
    ProjectArgument project;
    editor::LoadResult loaded;
    if (!LoadFromArgs(args, "resave", &project, &loaded)) return args.size() == 1 ? 1 : 2;
    if (!loaded.orphanMainEntries.empty())
        std::fprintf(stderr, "%s\n",
                     editor::OrphanEntriesWarning(loaded.orphanMainEntries).c_str());
    auto failures =
        editor::SaveProjectToDisk(loaded.model, project.dir, project.name, LocalToday());
    for (const auto& failure : failures) {
        std::fprintf(stderr, "%s\n", failure.message.c_str());
        if (!failure.reason.empty()) std::fprintf(stderr, "%s\n", failure.reason.c_str());
    }
    std::printf("%s\n%s\n", editor::ModelText(loaded.model).c_str(),
                editor::KeywordGauge(loaded.model).c_str());
    return failures.empty() ? 0 : 1;
}

int RunTree(const Args& args) {
    ProjectArgument project;
    editor::LoadResult loaded;
    if (!LoadFromArgs(args, "tree", &project, &loaded)) return args.size() == 1 ? 1 : 2;
    for (const auto& line : editor::TreeText(editor::ProjectTree(loaded.model)))
        std::printf("%s\n", line.c_str());
    return 0;
}

int RunListing(const Args& args) {
    Args rest;
    bool withActions = false;
    for (const auto& arg : args) {
        if (arg == "--actions")
            withActions = true;
        else
            rest.push_back(arg);
    }
    if (rest.size() != 1) {
        std::fprintf(stderr, "usage: orbik-cli listing PROJECT_DIR [--actions]\n");
        return 2;
    }
    ProjectArgument project;
    editor::LoadResult loaded;
    if (!LoadFromArgs(rest, "listing", &project, &loaded)) return 1;
    for (const auto& line :
         editor::ListingLines(loaded.model, project.name, LocalToday(), withActions))
        std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace orbik::cli
