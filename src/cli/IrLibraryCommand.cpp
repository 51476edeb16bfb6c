// orbik-cli ir-library [FILE.ir]: the IR signal libraries of the
// installation, or the signals of one, as the library dialog lists them.

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Commands.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "settings/Settings.h"
#include "signals/IrLibrary.h"

namespace orbik::cli {

int RunIrLibrary(const Args& args) {
    if (args.size() > 1 || (!args.empty() && !args[0].empty() && args[0][0] == '-')) {
        std::fprintf(stderr, "usage: orbik-cli ir-library [FILE.ir]\n");
        return 2;
    }
    const std::filesystem::path programDir = std::filesystem::current_path();
    const settings::Settings settings = settings::LoadSettings(programDir);
    const std::filesystem::path folder = platform::JoinSetting(programDir, settings.irIr);
    if (args.empty()) {
        for (const std::string& name : signals::ListIrLibraries(folder))
            std::printf("%s\n", name.c_str());
        return 0;
    }
    // A name of the library folder, or else a path.
    std::filesystem::path file = folder / platform::NameToPath(args[0]);
    if (!platform::RegularFileSize(file)) file = args[0];
    signals::IrLibrary library;
    std::string error;
    if (!signals::LoadIrLibrary(file, &library, &error)) {
        std::fprintf(stderr, "orbik-cli ir-library: Cannot read %s\n", error.c_str());
        return 1;
    }
    for (const signals::IrRecord& record : library.directory.records)
        std::printf("%s\t%u\n", record.name.c_str(), unsigned(record.length));
    std::string skipped = signals::SkippedRecordsMessage(platform::PathToMessage(file.filename()),
                                                         library.directory.skipped);
    if (!skipped.empty()) std::fprintf(stderr, "%s\n", skipped.c_str());
    return 0;
}

}  // namespace orbik::cli
