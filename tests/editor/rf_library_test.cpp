// RF signal libraries: reading, the lines a signal adds, and the writer
// whose files the reader (and the build) accept.

#include <gtest/gtest.h>

#include <fstream>

#include "compiler/Procedure.h"
#include "editor/RfLibrary.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace {

using namespace orbik::editor;
using Lines = std::vector<std::string>;

void WriteRaw(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(RfLibrary, ParsesSignalsAndTheirParams) {
    const Lines lines{"Param=ignored before any signal",
                      ";RF Lamp on",
                      "Param=1,2",
                      "param=not a Param key",
                      "Other=x",
                      "Param=3=4",
                      ";RF Lamp off",
                      ";RFempty"};
    const auto signals = ParseRfLibrary(lines);
    ASSERT_EQ(signals.size(), 3u);
    EXPECT_EQ(signals[0], (RfSignal{";RF Lamp on", {"1,2", "3=4"}}));
    EXPECT_EQ(signals[1], (RfSignal{";RF Lamp off", {}}));
    EXPECT_EQ(signals[2].name, ";RFempty");
    EXPECT_TRUE(ParseRfLibrary({"Param=1", "; RF not a start"}).empty());
    EXPECT_EQ(FindRfSignal(signals, ";RF Lamp off"), &signals[1]);
    EXPECT_EQ(FindRfSignal(signals, ";RF lamp off"), nullptr);
}

TEST(RfLibrary, ActionLinesRepeatTheParams) {
    const RfSignal signal{";RF X", {"a", "b", "c"}};
    EXPECT_EQ(RfActionLines(signal, 2),
              (Lines{";RF X", "WriteRadioIF(a)", "WriteRadioIF(b)", "WriteRadioIF(c)",
                     "WriteRadioIF(a)", "WriteRadioIF(b)", "WriteRadioIF(c)"}));
    EXPECT_EQ(RfActionLines(signal, 0), Lines{";RF X"});
    EXPECT_EQ(RfActionLines(signal, -5), Lines{";RF X"});
    EXPECT_EQ(RfActionLines(signal, 99).size(), 1u + 99 * 3);
}

TEST(RfLibrary, Repetition) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"1", 1}, {"99", 99},  {"0", 0},  {"-1", -1}, {"+5", 5},
                 {"", {}}, {"100", {}}, {"-", {}}, {"1x", {}}, {" 1", {}}};
    for (const auto& c : cases) EXPECT_EQ(ParseRepetition(c.text), c.value) << c.text;
}

TEST(RfLibrary, ListsLibraryFilesInByteOrder) {
    orbik::test::TempDir dir;
    for (const char* name : {"b.rft", "A.RFT", "c.txt", "d.ir", "e.rft.bak", ".rft"})
        WriteRaw(dir.Path() / name, "");
    fs::create_directory(dir.Path() / "sub.rft");
    EXPECT_EQ(ListRfLibraries(dir.Path()), (Lines{"A.RFT", "b.rft", "c.txt"}));
    EXPECT_TRUE(ListRfLibraries(dir.Path() / "missing").empty());
}

TEST(RfLibrary, ReadsFilesWithinTheirBound) {
    orbik::test::TempDir dir;
    WriteRaw(dir.Path() / "a.rft", ";RF one\r\nParam=1\nParam=2\r\n;RF two\r\n");
    std::vector<RfSignal> signals;
    std::string error;
    ASSERT_TRUE(ReadRfLibrary(dir.Path() / "a.rft", &signals, &error)) << error;
    EXPECT_EQ(signals, (std::vector<RfSignal>{{";RF one", {"1", "2"}}, {";RF two", {}}}));

    WriteRaw(dir.Path() / "big.rft", std::string((1u << 20) + 1, 'x'));
    EXPECT_FALSE(ReadRfLibrary(dir.Path() / "big.rft", &signals, &error));
    EXPECT_FALSE(error.empty());
    WriteRaw(dir.Path() / "limit.rft", std::string(1u << 20, 'x'));
    EXPECT_TRUE(ReadRfLibrary(dir.Path() / "limit.rft", &signals, &error)) << error;
    EXPECT_FALSE(ReadRfLibrary(dir.Path() / "none.rft", &signals, &error));
}

TEST(RfLibrary, WriterChecksItsInput) {
    RfTiming good;
    good.firstName = "Lamp";
    good.data = "0x12,0x34,0x56,0x78";
    EXPECT_EQ(CheckRfTiming(good), "");
    RfTiming oneByte = good;
    oneByte.nrBytes = "1";
    oneByte.data = "255";
    EXPECT_EQ(CheckRfTiming(oneByte), "");

    const struct {
        void (*spoil)(RfTiming&);
        const char* error;
    } cases[] = {
        {[](RfTiming& t) { t.data = "1,2,3"; }, "Data needs 4 values"},
        {[](RfTiming& t) { t.data = "1,2,3,4,5"; }, "Data needs 4 values"},
        {[](RfTiming& t) { t.nrBytes = "1"; }, "Data needs 1 value"},
        {[](RfTiming& t) { t.data = "1,,3,4"; }, "Data is not a list of numbers"},
        {[](RfTiming& t) { t.zeroL = "11x"; }, "Zero_L is not a number"},
        {[](RfTiming& t) { t.ePause = ""; }, "E_Pause is not a number"},
        {[](RfTiming& t) { t.count = "0x"; }, "Count is not a number"},
        {[](RfTiming& t) { t.secondName = "a\r\nParam=1"; },
         "a name must not contain control characters"},
    };
    for (const auto& c : cases) {
        RfTiming t = good;
        c.spoil(t);
        EXPECT_EQ(CheckRfTiming(t), c.error);
    }
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "c:d", "x\ny"})
        EXPECT_NE(CheckRfFileName(name), "") << name;
    EXPECT_EQ(CheckRfFileName("Garage door"), "");
}

TEST(RfLibrary, WrittenFilesReadBackAsSignalsTheBuildAccepts) {
    orbik::test::TempDir dir;
    RfTiming first;
    first.firstName = "Lamp";
    first.data = "1,2,3,4";
    RfTiming second = first;
    second.firstName = "Door";
    second.secondName = "B";
    second.nrBytes = "1";
    second.data = "7";
    std::string error;
    ASSERT_TRUE(WriteRfLibrary(dir.Path(), "Home", {first, second}, &error)) << error;

    const fs::path path = dir.Path() / "RFFiles" / "Home.txt";
    std::string bytes;
    ASSERT_TRUE(orbik::platform::ReadWholeFile(path, &bytes, 1u << 20));
    EXPECT_EQ(bytes.substr(0, 14), ";RF Lamp X10\r\n");
    EXPECT_NE(bytes.find("\r\nParam=1125,2250,560,560,1,0,40000,32,1,2,3,4,0,"), std::string::npos);

    std::vector<RfSignal> signals;
    ASSERT_TRUE(ReadRfLibrary(path, &signals, &error)) << error;
    ASSERT_EQ(signals.size(), 2u);
    EXPECT_EQ(signals[1].name, ";RF Door B");
    for (const auto& signal : signals) {
        ASSERT_EQ(signal.params.size(), 2u);
        for (const auto& line : RfActionLines(signal, 1)) {
            if (line == signal.name) continue;
            EXPECT_EQ(orbik::compiler::ParseProcedureSyntax(line).fault,
                      orbik::compiler::ProcedureFault::None)
                << line;
        }
    }
    EXPECT_EQ(ListRfLibraries(dir.Path() / "RFFiles"), Lines{"Home.txt"});

    // Refused input writes nothing.
    second.data = "";
    EXPECT_FALSE(WriteRfLibrary(dir.Path(), "Bad", {first, second}, &error));
    EXPECT_EQ(error, "Door B: Data needs 1 value");
    EXPECT_FALSE(WriteRfLibrary(dir.Path(), "../escape", {first}, &error));
    EXPECT_FALSE(fs::exists(dir.Path() / "escape.txt"));
    EXPECT_EQ(ListRfLibraries(dir.Path() / "RFFiles"), Lines{"Home.txt"});
}

}  // namespace
