// RF signal libraries: reading, the lines a signal adds, and the writer
// whose files the reader and the build accept.

#include <gtest/gtest.h>

#include "compiler/Procedure.h"
#include "editor/RfLibrary.h"
#include "support/TempDir.h"

namespace {

using namespace orbik::editor;
using Lines = std::vector<std::string>;
using orbik::compiler::ParseProcedureSyntax;

TEST(RfLibrary, ReadsSignalsAndAddsTheirLines) {
    orbik::test::TempDir dir;
    dir.Write("a.rft", "Param=0\r\n;RF one\r\nParam=1,2\nparam=x\r\nParam=3=4\r\n;RF two\r\n");
    for (const char* name : {"B.RFT", "c.txt", "d.ir", "e.rft.bak", "sub.rft/x"})
        dir.Write(name, "");
    EXPECT_EQ(ListRfLibraries(dir.Path()), (Lines{"B.RFT", "a.rft", "c.txt"}));

    std::vector<RfSignal> signals;
    std::string error;
    ASSERT_TRUE(ReadRfLibrary(dir / "a.rft", &signals, &error)) << error;
    EXPECT_EQ(signals, (std::vector<RfSignal>{{";RF one", {"1,2", "3=4"}}, {";RF two", {}}}));
    EXPECT_EQ(FindRfSignal(signals, ";RF two"), &signals[1]);
    EXPECT_EQ(FindRfSignal(signals, ";rf two"), nullptr);
    EXPECT_EQ(RfActionLines({";RF X", {"a", "b", "c"}}, 2),
              (Lines{";RF X", "WriteRadioIF(a)", "WriteRadioIF(b)", "WriteRadioIF(c)",
                     "WriteRadioIF(a)", "WriteRadioIF(b)", "WriteRadioIF(c)"}));
    EXPECT_EQ(RfActionLines(signals[0], -1), Lines{";RF one"});

    dir.Write("limit.rft", std::string(1u << 20, 'x'));
    EXPECT_TRUE(ReadRfLibrary(dir / "limit.rft", &signals, &error)) << error;
    dir.Write("big.rft", std::string((1u << 20) + 1, 'x'));
    EXPECT_FALSE(ReadRfLibrary(dir / "big.rft", &signals, &error));
    EXPECT_FALSE(ReadRfLibrary(dir / "none.rft", &signals, &error));

    const std::pair<const char*, std::optional<int>> repetitions[] = {
        {"99", 99}, {"0", 0}, {"-1", -1}, {"", {}}, {"100", {}}, {"-", {}}, {"1x", {}}};
    for (const auto& [text, value] : repetitions) EXPECT_EQ(ParseRepetition(text), value) << text;
}

TEST(RfLibrary, WriterChecksItsInput) {
    RfTiming good;
    good.data = "0x12,0x34,0x56,0x78";
    EXPECT_EQ(CheckRfTiming(good), "");
    const std::pair<void (*)(RfTiming&), const char*> cases[] = {
        {[](RfTiming& t) {
             t.nrBytes = "1";
             t.data = "255";
         },
         ""},
        {[](RfTiming& t) { t.data = "1,2,3"; }, "Data needs 4 values"},
        {[](RfTiming& t) { t.data = "1,2,3,4,5"; }, "Data needs 4 values"},
        {[](RfTiming& t) { t.nrBytes = "1"; }, "Data needs 1 value"},
        {[](RfTiming& t) { t.data = "1,,3,4"; }, "Data is not a list of numbers"},
        {[](RfTiming& t) { t.ePause = ""; }, "E_Pause is not a number"},
        {[](RfTiming& t) { t.count = "0x"; }, "Count is not a number"},
        {[](RfTiming& t) { t.secondName = "a\r\nParam=1"; },
         "a name must not contain control characters"},
    };
    for (const auto& [spoil, error] : cases) {
        RfTiming t = good;
        spoil(t);
        EXPECT_EQ(CheckRfTiming(t), error);
    }
    for (const char* name : {"", "..", "a/b", "a\\b", "c:d", "x\ny"})
        EXPECT_NE(CheckRfFileName(name), "") << name;
}

TEST(RfLibrary, WrittenFilesReadBackAsSignalsTheBuildAccepts) {
    orbik::test::TempDir dir;
    RfTiming lamp;
    lamp.firstName = "Lamp";
    lamp.data = "1,2,3,4";
    RfTiming door = lamp;
    door.firstName = "Door";
    door.nrBytes = "1";
    door.data = "7";
    std::string error;
    ASSERT_TRUE(WriteRfLibrary(dir.Path(), "Home", {lamp, door}, &error)) << error;
    const std::string bytes = dir.Read("RFFiles/Home.txt");
    EXPECT_EQ(bytes.substr(0, 14), ";RF Lamp X10\r\n");
    EXPECT_NE(bytes.find("\r\nParam=1125,2250,560,560,1,0,40000,32,1,2,3,4,0,"), std::string::npos);

    std::vector<RfSignal> signals;
    ASSERT_TRUE(ReadRfLibrary(dir / "RFFiles/Home.txt", &signals, &error)) << error;
    ASSERT_EQ(signals.size(), 2u);
    EXPECT_EQ(signals[1].name, ";RF Door X10");
    for (const auto& signal : signals) {
        EXPECT_EQ(signal.params.size(), 2u);
        for (const auto& param : signal.params)
            EXPECT_EQ(orbik::compiler::ParseProcedureSyntax("WriteRadioIF(" + param + ")").fault,
                      orbik::compiler::ProcedureFault::None);
    }
    door.data = "";  // refused input writes nothing
    EXPECT_FALSE(WriteRfLibrary(dir.Path(), "Bad", {lamp, door}, &error));
    EXPECT_EQ(error, "Door X10: Data needs 1 value");
    EXPECT_FALSE(WriteRfLibrary(dir.Path(), "../escape", {lamp}, &error));
    EXPECT_EQ(ListRfLibraries(dir / "RFFiles"), Lines{"Home.txt"});
}

// The demo's libraries, hand-written (.rft) and as the writer makes them
// (.txt): every signal gives lines the build accepts.
TEST(RfLibrary, DemoLibrariesGiveValidLines) {
    const fs::path folder = fs::path(ORBIK_DEMO_DIR) / "RFFiles";
    EXPECT_EQ(ListRfLibraries(folder), (Lines{"Sockets.rft", "X10.txt"}));
    for (const auto& name : ListRfLibraries(folder)) {
        std::vector<RfSignal> signals;
        ASSERT_TRUE(ReadRfLibrary(folder / name, &signals)) << name;
        EXPECT_GE(signals.size(), 2u) << name;
        for (const auto& signal : signals)
            for (const auto& line : RfActionLines(signal, 1))
                EXPECT_TRUE(line == signal.name || ParseProcedureSyntax(line).fault ==
                                                       orbik::compiler::ProcedureFault::None)
                    << line;
    }
}

}  // namespace
