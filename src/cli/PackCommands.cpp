// orbik-cli pack / unpack: the IR code file conversions the editor runs.

#include <cstdio>

#include "cli/Commands.h"
#include "signals/IrCodeFile.h"

namespace orbik::cli {

namespace {

int Convert(const char* command, const Args& args,
            bool (*convert)(const std::filesystem::path&, std::string*),
            std::filesystem::path signals::IcpWorkingNames::*output) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: orbik-cli %s FILE\n", command);
        return 2;
    }
    std::string error;
    if (!convert(args[0], &error)) {
        std::fprintf(stderr, "orbik-cli %s: %s\n", command, error.c_str());
        return 1;
    }
    std::printf("%s\n", (signals::WorkingNames(args[0]).*output).string().c_str());
    return 0;
}

}  // namespace

int RunPack(const Args& args) {
    return Convert("pack", args, signals::PackIcpFile, &signals::IcpWorkingNames::packed);
}

int RunUnpack(const Args& args) {
    return Convert("unpack", args, signals::UnpackIcpFile, &signals::IcpWorkingNames::unpacked);
}

}  // namespace orbik::cli
