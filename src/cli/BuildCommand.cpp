// orbik-cli build PROJECT_DIR: the progress window's two lines on the console.

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "compiler/BuildConfiguration.h"
#include "platform/Text.h"

namespace orbik::cli {

namespace {

namespace fs = std::filesystem;

// Every finished step on stdout as the upper line takes it; on a terminal
// the lower line is redrawn on stderr as the build goes.
class ConsoleLog : public compiler::StatusLines {
  public:
    explicit ConsoleLog(bool live) : live_(live) {}

    void FinishStep() override {
        StatusLines::FinishStep();
        ClearLive();
        std::printf("%s\n", Finished().c_str());
        std::fflush(stdout);
    }

    void ClearLive() {
        if (live_) std::fprintf(stderr, "\r\033[K");
    }

  protected:
    void Changed() override {
        if (!live_) return;
        std::fprintf(stderr, "\r\033[K%s", Status().c_str());
        std::fflush(stderr);
    }

  private:
    bool live_;
};

}  // namespace

ProjectArgument ParseProjectArgument(const std::string& arg) {
    fs::path projectDir = fs::path(arg);
    if (!projectDir.has_filename()) projectDir = projectDir.parent_path();  // "Project/Demo/"
    // "." or ".." names no project: take the name of the folder it stands for.
    if (projectDir.filename() == "." || projectDir.filename() == "..")
        projectDir = fs::absolute(projectDir).lexically_normal().parent_path();
    return {projectDir, platform::PathToMessage(projectDir.filename())};
}

int RunBuild(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: orbik-cli build PROJECT_DIR\n");
        return 2;
    }
    auto [projectDir, projectName] = ParseProjectArgument(args[0]);
    std::error_code ec;
    fs::path programDir = fs::current_path(ec);

    ConsoleLog log(isatty(STDERR_FILENO) != 0);
    bool built = compiler::BuildConfiguration(projectName, projectDir, programDir, log);
    log.ClearLive();
    if (!built) {
        std::fprintf(stderr, "%s\n", log.Status().c_str());
        if (!log.Detail().empty()) std::fprintf(stderr, "%s\n", log.Detail().c_str());
        return 1;
    }
    std::printf("%s\n", log.Status().c_str());
    return 0;
}

}  // namespace orbik::cli
