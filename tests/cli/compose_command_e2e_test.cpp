// orbik-cli compose: the lines on standard output, or a refusal with exit 1,
// a message on standard error and nothing on standard output.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct CliRun {
    int status = -1;
    Lines out;
    std::string err;
};

std::string Quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

CliRun Compose(const orbik::test::TempDir& dir, const Lines& args) {
    const fs::path errFile = dir / "stderr.txt";
    std::string line = Quoted(ORBIK_CLI_PATH) + " compose";
    for (const auto& arg : args) line += " " + Quoted(arg);
    line += " 2>" + Quoted(errFile.string());
    CliRun run;
    std::string out;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.out = orbik::platform::SplitLines(out);
    orbik::platform::ReadWholeFile(errFile, &run.err, 1u << 20);
    return run;
}

std::string Blanks(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += ", ";
    return out;
}

// Each case: the arguments, the exit status and the lines on standard
// output (a refusal prints only a message on standard error).
TEST(ComposeCommand, PrintsLinesOrRefuses) {
    orbik::test::TempDir dir;
    dir.Write("lib.rft", ";RF A\r\nParam=1\r\n;RF B\r\nParam=2\r\nParam=3\r\n");
    const std::string lib = (dir / "lib.rft").string();
    const struct {
        Lines args;
        int status;
        Lines out;
    } cases[] = {
        {{"find", "Bob", "123"},
         0,
         {"FindBtTelephoneNumber(3,B,o,b" + Blanks(21) + ",3,1,2,3" + Blanks(17) + ")"}},
        {{"link-id", "00:1a:2b:3c:4d:5e", "sim"},
         0,
         {"ConnectBt(18,0,0,:,1,A,:,2,B,:,3,C,:,4,D,:,5,E,1" + Blanks(12) + ")"}},
        {{"link-name", "J\xC3\xB6r;g", "phone"},
         0,
         {"ConnectBt(6,J,\xF6,r,\\s,g,0" + Blanks(24) + ")"}},
        {{"parallel", "1=close", "8=OPEN"}, 0, {"WriteParallelIF(129,1)"}},
        {{"bt", "hangup"},
         0,
         {"SendBt(10,A,T,+,C,H,U,P,\\r,\\n,2, , , , , , , , , , , , , , , , , , , , )"}},
        {{"rf", lib, ";RF B", "2"},
         0,
         {";RF B", "WriteRadioIF(2)", "WriteRadioIF(3)", "WriteRadioIF(2)", "WriteRadioIF(3)"}},
        {{"find", "a,b", "1"}, 1, {}},
        {{"link-name", std::string(30, 'x'), "sim"}, 1, {}},
        {{"link-name", "x", "card"}, 1, {}},
        {{"parallel"}, 1, {}},
        {{"parallel", "1=close", "1=open"}, 1, {}},
        {{"rf", lib, ";RF Z", "1"}, 1, {}},
        {{"rf", lib + "x", ";RF A", "1"}, 1, {}},
        {{}, 2, {}},
        {{"find", "a"}, 2, {}},
    };
    for (const auto& c : cases) {
        const auto run = Compose(dir, c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0] + " " + c.args.back();
        EXPECT_EQ(run.status, c.status) << what << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << what;
        EXPECT_EQ(run.err.empty(), c.status == 0) << what;
    }
}

}  // namespace
