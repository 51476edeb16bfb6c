#pragma once
// Subcommands of orbik-cli. Each takes its own arguments (without the
// subcommand name) and returns the process exit status.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orbik::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // arguments, e.g. "PROJECT_DIR"
    const char* summary;  // one line for --help
    int (*run)(const Args& args);
};

// Every subcommand, in the order --help lists them.
const std::vector<Command>& AllCommands();

// A PROJECT_DIR argument: the folder and the project's name, which is the
// folder's name ("Project/Demo/" and "." name their folder too).
struct ProjectArgument {
    std::filesystem::path dir;
    std::string name;  // Windows-1252, like every name in the project's files
};
ProjectArgument ParseProjectArgument(const std::string& arg);

// FILE [--port COMn] plus the flags a device command allows. Without
// --port, the port of orbik.ini in the working directory. Prints the
// problem and returns nothing for arguments the command does not take.
struct FileAndPort {
    std::string file;
    std::string port;
    bool keepVoice = false;
    bool verify = false;
};
struct DeviceFlags {
    bool keepVoice = false;
    bool verify = false;
};
std::optional<FileAndPort> ParseFileAndPort(const char* command, const Args& args,
                                            DeviceFlags allowed = {});

// Configuration build
int RunBuild(const Args& args);

// Project editor: load and save a project as the project window does.
int RunResave(const Args& args);
int RunTree(const Args& args);
// The action lines the project window's dialogs compose.
int RunCompose(const Args& args);
int RunListing(const Args& args);

// IR code files
int RunPack(const Args& args);
int RunUnpack(const Args& args);
int RunIcpInfo(const Args& args);

// Backup images
int RunBackupInfo(const Args& args);
int RunBackupCopy(const Args& args);

// Device link
int RunIdentify(const Args& args);

// Transfers between an image file and the device.
int RunSend(const Args& args);
int RunReadConfig(const Args& args);
int RunSendMem(const Args& args);
int RunReadMem(const Args& args);

// IR signals between a file and the device.
int RunLearnSignal(const Args& args);
int RunPlaySignal(const Args& args);
int RunLearn(const Args& args);
int RunIrLibrary(const Args& args);

// Project list and archives
int RunProjects(const Args& args);
int RunNew(const Args& args);
int RunCopy(const Args& args);
int RunDelete(const Args& args);
int RunExport(const Args& args);
int RunImport(const Args& args);

}  // namespace orbik::cli
