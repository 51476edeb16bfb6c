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

TEST(ComposeCommand, PrintsTheComposedLines) {
    orbik::test::TempDir dir;
    dir.Write("RFFiles/lib.rft", ";RF A\r\nParam=1\r\n;RF B\r\nParam=2\r\nParam=3\r\n");
    const std::string lib = (dir / "RFFiles/lib.rft").string();
    const struct {
        Lines args;
        Lines out;
    } cases[] = {
        {{"find", "Bob", "123"},
         {"FindBtTelephoneNumber(3,B,o,b" + Blanks(21) + ",3,1,2,3" + Blanks(17) + ")"}},
        {{"find", "", ""}, {"FindBtTelephoneNumber(0" + Blanks(24) + ",0" + Blanks(20) + ")"}},
        {{"link-id", "00:1a:2b:3c:4d:5e", "sim"},
         {"ConnectBt(18,0,0,:,1,A,:,2,B,:,3,C,:,4,D,:,5,E,1" + Blanks(12) + ")"}},
        {{"link-name", "a;b", "phone"}, {"ConnectBt(4,a,\\s,b,0" + Blanks(26) + ")"}},
        {{"link-name", "J\xC3\xB6rg", "sim"}, {"ConnectBt(5,J,\xF6,r,g,1" + Blanks(25) + ")"}},
        {{"parallel", "1=close", "8=open"}, {"WriteParallelIF(129,1)"}},
        {{"parallel", "3=OPEN"}, {"WriteParallelIF(4,0)"}},
        {{"bt", "digit-R"},
         {"SendBt(10,A,T,+,V,T,S,=,R,\\r,\\n, , , , , , , , , , , , , , , , , , , , )"}},
        {{"bt", "hangup"},
         {"SendBt(10,A,T,+,C,H,U,P,\\r,\\n,2, , , , , , , , , , , , , , , , , , , , )"}},
        {{"rf", lib, ";RF B", "2"},
         {";RF B", "WriteRadioIF(2)", "WriteRadioIF(3)", "WriteRadioIF(2)", "WriteRadioIF(3)"}},
        {{"rf", lib, ";RF A", "0"}, {";RF A"}},
    };
    for (const auto& c : cases) {
        const auto run = Compose(dir, c.args);
        EXPECT_EQ(run.status, 0) << c.args[0] << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.args[0];
        EXPECT_EQ(run.err, "");
    }
}

TEST(ComposeCommand, RefusedInputPrintsOnlyAMessage) {
    orbik::test::TempDir dir;
    dir.Write("lib.rft", ";RF A\r\nParam=1\r\n");
    const std::string lib = (dir / "lib.rft").string();
    const struct {
        Lines args;
        int status;
    } cases[] = {
        {{"find", std::string(25, 'x'), ""}, 1},
        {{"find", "a,b", "1"}, 1},
        {{"find", "a", "12-3"}, 1},
        {{"link-name", std::string(30, 'x'), "sim"}, 1},
        {{"link-name", "", "sim"}, 1},
        {{"link-name", "x", "card"}, 1},
        {{"link-id", "00:1A:2B:3C:4D", "sim"}, 1},
        {{"parallel"}, 1},
        {{"parallel", "9=close"}, 1},
        {{"parallel", "1=shut"}, 1},
        {{"parallel", "1=close", "1=open"}, 1},
        {{"bt", "digit-x"}, 1},
        {{"rf", lib, ";RF Z", "1"}, 1},
        {{"rf", lib, ";RF A", "100"}, 1},
        {{"rf", (dir / "missing.rft").string(), ";RF A", "1"}, 1},
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"find", "a"}, 2},
    };
    for (const auto& c : cases) {
        const auto run = Compose(dir, c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(run.status, c.status) << what;
        EXPECT_TRUE(run.out.empty()) << what;
        EXPECT_NE(run.err, "") << what;
    }
}

}  // namespace
