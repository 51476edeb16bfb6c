#pragma once
// Subcommands of orbik-cli. Each takes its own arguments (without the
// subcommand name) and returns the process exit status.

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

// Transfers between an image file and the device.
int SendCommand(const Args& args);
int ReadConfigCommand(const Args& args);
int SendMemCommand(const Args& args);
int ReadMemCommand(const Args& args);

}  // namespace orbik::cli
