// orbik-cli backup-info and backup-copy: what a backup image holds, and
// copying an IR code file out of it into the IR code library.

#include <cstdio>
#include <filesystem>
#include <string>

#include "backup/Backup.h"
#include "cli/Commands.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "projects/NewName.h"
#include "settings/Settings.h"

namespace orbik::cli {

namespace {

using namespace orbik::backup;

void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintContents(const BackupContents& contents) {
    if (!contents.hasSummary) return;
    PrintLine("ID: " + contents.id);
    const char* words[kCountCount] = {" Languages", " Keywords", " Items", " Menus", " Devices"};
    for (std::size_t c = 0; c < kCountCount; ++c)
        PrintLine(std::to_string(contents.counts[c]) + words[c]);
    for (const auto& type : contents.deviceTypes) {
        std::string line = type.name + ": ";
        for (std::size_t f = 0; f < type.irFiles.size(); ++f)
            line += (f > 0 ? ", " : "") + type.irFiles[f].name;
        PrintLine(line);
    }
}

}  // namespace

int RunBackupInfo(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: orbik-cli backup-info FILE\n");
        return 2;
    }
    std::string bytes, error;
    BackupContents contents;
    bool read = ReadBackupFile(args[0], &bytes, &contents, &error);
    PrintContents(contents);
    if (!read) {
        std::fflush(stdout);
        std::fprintf(stderr, "orbik-cli backup-info: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int RunBackupCopy(const Args& args) {
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: orbik-cli backup-copy FILE DEVICE_TYPE NEWNAME\n");
        return 2;
    }
    std::string bytes, error;
    BackupContents contents;
    if (!ReadBackupFile(args[0], &bytes, &contents, &error)) {
        std::fprintf(stderr, "orbik-cli backup-copy: %s\n", error.c_str());
        return 1;
    }
    // Names in the image are bytes as the device shows them; the argument
    // may be those bytes or the same text typed in UTF-8.
    const BackupDeviceType* type = nullptr;
    for (const std::string& wanted : {args[1], platform::Utf8ToCp1252(args[1])}) {
        for (const auto& t : contents.deviceTypes)
            if (!type && t.name == wanted) type = &t;
    }
    if (!type) {
        std::fprintf(stderr, "orbik-cli backup-copy: no device type \"%s\" in %s\n",
                     args[1].c_str(), args[0].c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::path programDir = std::filesystem::current_path(ec);
    settings::Settings settings = settings::LoadSettings(programDir);
    std::filesystem::path library = platform::JoinSetting(programDir, settings.irIcp);
    bool packed = false;
    if (!CopyIrFile(bytes, *type, library, platform::Utf8ToCp1252(args[2]), &packed, &error)) {
        if (error == kFileExistsText)
            std::fprintf(stderr, "%s\n", error.c_str());
        else
            std::fprintf(stderr, "orbik-cli backup-copy: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s.icp written to %s (%s)\n", projects::TrimBlanks(args[2]).c_str(),
                library.string().c_str(), packed ? "packed" : "unpacked");
    return 0;
}

}  // namespace orbik::cli
