// orbik-cli: the configuration system's core without windows.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "orbik/Version.h"

namespace orbik::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        // Subcommands are added here as their subsystems arrive.
        {"build", "PROJECT_DIR",
         "check a project and write its .CIM, .CIF and PROTOCOL.TXT (run in the program directory)",
         RunBuild},
        {"resave", "PROJECT_DIR",
         "load a project as the project window does and save it back (run in the program "
         "directory)",
         RunResave},
        {"tree", "PROJECT_DIR", "print a project's menu tree as the project window shows it",
         RunTree},
        {"compose", "KIND ARGS...",
         "print the action lines a dialog composes: find, link-name, link-id, parallel, bt, rf",
         RunCompose},
        {"listing", "PROJECT_DIR [--actions]",
         "print a project's listing as the print dialog shows it, dated today", RunListing},
        {"pack", "FILE", "pack an unpacked IR code file into base.ICP", RunPack},
        {"unpack", "FILE", "unpack base.ICP into base.ICU", RunUnpack},
        {"icp-info", "FILE", "show the header and the signal blocks of an IR code file",
         RunIcpInfo},
        {"backup-info", "FILE",
         "show what a backup (.cim, .mem) holds: identification, counts, device types",
         RunBackupInfo},
        {"backup-copy", "FILE DEVICE_TYPE NEWNAME",
         "copy a device type's first IR code file into the IR code library as NEWNAME.icp",
         RunBackupCopy},
        {"identify", "--port COMn", "identify the device: model, firmware version, device ID",
         RunIdentify},
        {"send", "FILE [--port COMn] [--keep-voice] [--verify]",
         "send a configuration image (.cif framed, .cim raw) to ORBIK; --verify reads it back",
         RunSend},
        {"read-config", "FILE [--port COMn]", "read the configuration of ORBIK into a .cim",
         RunReadConfig},
        {"send-mem", "FILE [--port COMn] [--verify]",
         "send a memory image (.mem) to ORBIK; --verify reads it back", RunSendMem},
        {"read-mem", "FILE [--port COMn]", "read the memory of ORBIK into a .mem", RunReadMem},
        {"learn-signal", "FILE [--port COMn]",
         "learn one IR signal through ORBIK and write its block to FILE", RunLearnSignal},
        {"play-signal", "FILE [--port COMn]", "send the signal block in FILE through ORBIK",
         RunPlaySignal},
        {"learn", "CODEFILE BUTTON [--port COMn] [--name NAME]",
         "learn the signal of one button (e.g. vol_plus) into an IR code file", RunLearn},
        {"ir-library", "[FILE.ir]",
         "list the IR signal libraries, or the signals of one (name, length)", RunIrLibrary},
        {"projects", "[--templates]",
         "list the projects (or templates): name, type, created, changed", RunProjects},
        {"new", "TEMPLATE NAME", "make the project NAME from a template", RunNew},
        {"copy", "PROJECT NAME", "copy a project under the name NAME", RunCopy},
        {"delete", "PROJECT [--templates] --yes", "delete a project (or template)", RunDelete},
        {"export", "PROJECT_DIR ARCHIVE", "write a project folder into a ZIP archive (.opr)",
         RunExport},
        {"import", "ARCHIVE DEST_FOLDER",
         "unpack a project archive into the projects or templates folder", RunImport},
    };
    return commands;
}

namespace {

void PrintHelp() {
    std::printf("Usage: orbik-cli [--help] [--version] COMMAND [ARGS...]\n\n");
    std::printf("The ORBIK configuration system without windows.\n");
    const auto& commands = AllCommands();
    if (commands.empty()) {
        std::printf("\nNo commands yet.\n");
        return;
    }
    std::printf("\nCommands:\n");
    for (const auto& c : commands) {
        std::string head = std::string(c.name) + " " + c.usage;
        std::printf("  %-34s %s\n", head.c_str(), c.summary);
    }
}

}  // namespace
}  // namespace orbik::cli

int main(int argc, char** argv) {
    using namespace orbik::cli;
    if (argc < 2) {
        PrintHelp();
        return 2;
    }
    std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintHelp();
        return 0;
    }
    if (first == "--version") {
        std::printf("orbik-cli %s\n", orbik::kProgramVersion);
        return 0;
    }
    for (const auto& c : AllCommands()) {
        if (first == c.name) {
            Args args(argv + 2, argv + argc);
            if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
                std::printf("Usage: orbik-cli %s %s\n%s\n", c.name, c.usage, c.summary);
                return 0;
            }
            return c.run(args);
        }
    }
    std::fprintf(stderr, "orbik-cli: unknown command '%s' (see orbik-cli --help)\n", first.c_str());
    return 2;
}
