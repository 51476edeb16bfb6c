// Composed action lines: exact texts, the build's syntax accepting every
// line a composer can make, the encoded bytes, and the parsers' round trip.

#include <gtest/gtest.h>

#include "compiler/Procedure.h"
#include "editor/ActionLines.h"
#include "project/BuiltinTables.h"

namespace {

using namespace orbik::editor;
using orbik::compiler::EncodeProcedure;
using orbik::compiler::ParseProcedureSyntax;
using orbik::compiler::ProcedureFault;

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

std::string Blanks(int slots) {
    return Repeated(", ", slots);
}

// The encoded bytes of a line the syntax accepts, as hex.
std::string Encoded(const std::string& line) {
    const auto parsed = ParseProcedureSyntax(line);
    EXPECT_EQ(parsed.fault, ProcedureFault::None) << line;
    std::string hex;
    for (unsigned char c : EncodeProcedure(parsed.call)) {
        static const char digits[] = "0123456789ABCDEF";
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

void ExpectAccepted(const std::string& line) {
    const auto parsed = ParseProcedureSyntax(line);
    EXPECT_EQ(parsed.fault, ProcedureFault::None)
        << line << " (argument " << parsed.argument << ")";
    EXPECT_FALSE(ActionLineProblem(line)) << line;
}

// Every character a name field can take: blanks, ";", "\", brackets and
// high bytes included; the length varies with the position.
std::string NameOfLength(std::size_t n) {
    static const std::string pool = "Ab c;\\()=x\xE4Z9r\"'#";
    std::string name;
    for (std::size_t i = 0; i < n; ++i) name += pool[(i * 7 + n) % pool.size()];
    return name;
}

TEST(ActionLines, ExactTexts) {
    ParallelOutputs outputs{};
    outputs[0] = OutputChange::Close;
    outputs[7] = OutputChange::Open;
    const struct {
        std::string got, want;
    } cases[] = {
        {*WriteParallelIFLine(outputs), "WriteParallelIF(129,1)"},
        {AddTelNumberDigitLine(7), "AddTelNumberDigit(7,7)"},
        {StartScanLine("vol_plus", "500"), "StartScan(vol_plus,500)"},
        {WaitLine("200"), "Wait(200)"},
        {SendTelephoneNumberLine("5000"), "SendTelephoneNumber(5000)"},
        {FindBtTelephoneNumberLine("", "").line,
         "FindBtTelephoneNumber(0" + Blanks(24) + ",0" + Blanks(20) + ")"},
        {FindBtTelephoneNumberLine("Bob", " 123 ").line,
         "FindBtTelephoneNumber(3,B,o,b" + Blanks(21) + ",3,1,2,3" + Blanks(17) + ")"},
        {FindBtTelephoneNumberLine("a;b", "").line,
         "FindBtTelephoneNumber(3,a,\\s,b" + Blanks(21) + ",0" + Blanks(20) + ")"},
        {ConnectBtByIdLine("00:1a:2B:3c:4D:5e", ContactSource::SimCard).line,
         "ConnectBt(18,0,0,:,1,A,:,2,B,:,3,C,:,4,D,:,5,E,1" + Blanks(12) + ")"},
        {ConnectBtByNameLine(std::string(29, 'n'), ContactSource::PhoneMemory).line,
         "ConnectBt(30" + Repeated(",n", 29) + ",0)"},
        {*SendBtDigitLine('7'),
         "SendBt(10,A,T,+,V,T,S,=,7,\\r,\\n, , , , , , , , , , , , , , , , , , , , )"},
        {*SendBtDigitLine('#'),
         "SendBt(10,A,T,+,V,T,S,=,#,\\r,\\n, , , , , , , , , , , , , , , , , , , , )"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(ActionLines, IrSignalSwitchesDeviceOnlyForAnotherOne) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(IrSignalLines("ok", false, "tv", "tv"), Lines{"SendButton(ok)"});
    EXPECT_EQ(IrSignalLines("ok", false, "", ""), Lines{"SendButton(ok)"});
    EXPECT_EQ(IrSignalLines("7", true, "vcr", "tv"),
              (Lines{"SetDevice(vcr)", "SendDigit(7)", "SetDevice(tv)"}));
    // "as digit" only means something for the digit buttons.
    EXPECT_EQ(IrSignalLines("10_up", true, "", ""), Lines{"SendButton(10_up)"});
    EXPECT_EQ(DirectKeyIrSignalLines("on", "vcr"), (Lines{"SetDevice(vcr)", "SendButton(on)"}));
    EXPECT_EQ(DirectKeyIrSignalLines("on", ""), Lines{"SendButton(on)"});
}

TEST(ActionLines, EveryComposedLineIsAcceptedByTheBuild) {
    for (auto button : orbik::project::kButtonNames) {
        for (bool asDigit : {false, true})
            for (const auto& line : IrSignalLines(button, asDigit, "vcr", "tv"))
                ExpectAccepted(line);
        for (auto ms : kActionTimes) ExpectAccepted(StartScanLine(button, ms));
        for (const auto& line : DirectKeyIrSignalLines(button, "tv")) ExpectAccepted(line);
    }
    for (auto ms : kActionTimes) {
        ExpectAccepted(WaitLine(ms));
        ExpectAccepted(SendTelephoneNumberLine(ms));
    }
    for (int d = 0; d <= 9; ++d) ExpectAccepted(AddTelNumberDigitLine(d));
    for (const auto& line : SleepLines()) ExpectAccepted(line);
    for (auto fixed : {kClearTelephoneNumber, kRemoveTelNumberDigit, kPopMenu, kPushDevice,
                       kPopDevice, kDisconnectBt, kSendBtTelephoneNumber, kNothing})
        ExpectAccepted(std::string(fixed));
    for (auto command :
         {BtCommand::Answer, BtCommand::HangUp, BtCommand::Redial, BtCommand::VoiceRecognition})
        ExpectAccepted(SendBtLine(command));
    for (char d : std::string("0123456789*#R")) ExpectAccepted(*SendBtDigitLine(d));
    for (std::size_t n = 0; n <= kFindNameLength; ++n)
        for (std::size_t m = 0; m <= kFindNumberLength; ++m)
            ExpectAccepted(FindBtTelephoneNumberLine(NameOfLength(n), std::string(m, '5')).line);
    for (auto source : {ContactSource::PhoneMemory, ContactSource::SimCard}) {
        for (std::size_t n = 1; n <= kLinkNameLength; ++n)
            ExpectAccepted(ConnectBtByNameLine(NameOfLength(n), source).line);
        ExpectAccepted(ConnectBtByIdLine("FF:ff:09:aB:00:12", source).line);
    }
    // Every mask and value: each output unchanged, closed or opened.
    for (int code = 1; code < 6561; ++code) {
        ParallelOutputs outputs{};
        for (int i = 0, rest = code; i < 8; ++i, rest /= 3)
            outputs[static_cast<std::size_t>(i)] = static_cast<OutputChange>(rest % 3);
        ExpectAccepted(*WriteParallelIFLine(outputs));
    }
}

TEST(ActionLines, EncodedBytes) {
    ParallelOutputs outputs{};
    outputs[0] = OutputChange::Close;
    outputs[7] = OutputChange::Open;
    EXPECT_EQ(Encoded(*WriteParallelIFLine(outputs)), "0E810100");
    EXPECT_EQ(Encoded(AddTelNumberDigitLine(7)), "11070900");  // "7" is button 9
    EXPECT_EQ(Encoded(StartScanLine("ok", "500")), "0B3001F400");
    EXPECT_EQ(Encoded(WaitLine("200")), "1400C800");
    EXPECT_EQ(Encoded(SendBtLine(BtCommand::Answer)),
              "1C06"
              "4154410D0A31" +
                  Repeated("20", 24) + "00");
    // ";" travels as "\s" and arrives as its own code.
    EXPECT_EQ(Encoded(FindBtTelephoneNumberLine(";a", "9").line),
              "1B02"
              "3B61" +
                  Repeated("20", 22) +
                  "01"
                  "39" +
                  Repeated("20", 19) + "00");
    EXPECT_EQ(Encoded(ConnectBtByIdLine("00:1A:2B:3C:4D:5E", ContactSource::SimCard).line),
              "1912"
              "30303A31413A32423A33433A34443A3545"
              "31" +
                  Repeated("20", 12) + "00");
}

TEST(ActionLines, RefusedInput) {
    const struct {
        ComposedLine result;
        const char* why;
    } cases[] = {
        {FindBtTelephoneNumberLine(std::string(25, 'a'), ""), "name over 24"},
        {FindBtTelephoneNumberLine("a,b", ""), "comma in name"},
        {FindBtTelephoneNumberLine("a\nb", ""), "line break in name"},
        {FindBtTelephoneNumberLine("", std::string(21, '1')), "number over 20"},
        {FindBtTelephoneNumberLine("", "12a"), "letter in number"},
        {FindBtTelephoneNumberLine("", "1 2"), "blank inside number"},
        {ConnectBtByNameLine("", ContactSource::SimCard), "empty link name"},
        {ConnectBtByNameLine(std::string(30, 'n'), ContactSource::SimCard), "link name over 29"},
        {ConnectBtByNameLine("my,phone", ContactSource::SimCard), "comma in link name"},
        {ConnectBtByIdLine("00:1A:2B:3C:4D:5", ContactSource::SimCard), "short address"},
        {ConnectBtByIdLine("00:1A:2B:3C:4D:5G", ContactSource::SimCard), "not hex"},
        {ConnectBtByIdLine("00-1A:2B:3C:4D:5E", ContactSource::SimCard), "wrong separator"},
        {ConnectBtByIdLine("00:1A:2B:3C:4D:5E0", ContactSource::SimCard), "long address"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.result.ok()) << c.why;
        EXPECT_TRUE(c.result.line.empty()) << c.why;
    }
    EXPECT_TRUE(FindBtTelephoneNumberLine(std::string(24, 'a'), std::string(20, '1')).ok());
    EXPECT_FALSE(WriteParallelIFLine(ParallelOutputs{}));
    EXPECT_FALSE(SendBtDigitLine('r'));
    EXPECT_FALSE(SendBtDigitLine('A'));
}

TEST(ActionLines, ParsersFillTheDialogsBack) {
    for (auto source : {ContactSource::PhoneMemory, ContactSource::SimCard}) {
        for (std::size_t n = 1; n <= kLinkNameLength; ++n) {
            const std::string name = NameOfLength(n);
            const auto fields = ParseConnectBt(ConnectBtByNameLine(name, source).line);
            ASSERT_TRUE(fields);
            EXPECT_EQ(*fields, (LinkFields{false, name, source}));
        }
        const auto byId = ParseConnectBt(ConnectBtByIdLine("0a:1B:2c:3D:4e:5F", source).line);
        ASSERT_TRUE(byId);
        EXPECT_EQ(*byId, (LinkFields{true, "0A:1B:2C:3D:4E:5F", source}));
    }
    for (std::size_t n = 0; n <= kFindNameLength; n += 3) {
        for (std::size_t m = 0; m <= kFindNumberLength; m += 4) {
            const FindNameFields fields{NameOfLength(n), std::string(m, '7')};
            const auto line = FindBtTelephoneNumberLine(fields.name, fields.number).line;
            const auto parsed = ParseFindBtTelephoneNumber(line);
            ASSERT_TRUE(parsed);
            EXPECT_EQ(*parsed, fields);
            EXPECT_EQ(FindBtTelephoneNumberLine(parsed->name, parsed->number).line, line);
        }
    }
}

TEST(ActionLines, ParsersTolerateHandEditedLines) {
    // An unknown source slot selects neither source; a bad count reads 0.
    EXPECT_EQ(ParseConnectBt("ConnectBt(3,a,b,x)"), (LinkFields{false, "ab", std::nullopt}));
    EXPECT_EQ(ParseConnectBt("ConnectBt(99,a,b)"), (LinkFields{false, "ab", std::nullopt}));
    EXPECT_EQ(ParseConnectBt("ConnectBt(x)"), (LinkFields{false, "", std::nullopt}));
    EXPECT_FALSE(ParseConnectBt("ConnectBt"));
    // A name with ":" in third place is still a name.
    const auto colon = ParseConnectBt(ConnectBtByNameLine("ab:c", ContactSource::SimCard).line);
    EXPECT_EQ(colon, (LinkFields{false, "ab:c", ContactSource::SimCard}));
    EXPECT_EQ(ParseFindBtTelephoneNumber("FindBtTelephoneNumber(5,a)"), (FindNameFields{"a", ""}));
    EXPECT_FALSE(ParseFindBtTelephoneNumber("FindBtTelephoneNumber(3"));
}

TEST(ActionLines, ProblemsAreShownForLinesTheBuildRefuses) {
    EXPECT_FALSE(ActionLineProblem(";RF anything, even (unbalanced"));
    EXPECT_FALSE(ActionLineProblem("SetMenu(NoSuchMenuYet)"));  // the build resolves names
    EXPECT_TRUE(ActionLineProblem("Wait(200"));
    EXPECT_TRUE(ActionLineProblem("wait(200)"));
    EXPECT_TRUE(ActionLineProblem("Wait(200,true,1)"));
    EXPECT_TRUE(ActionLineProblem("SetMenu"));
    EXPECT_EQ(ActionLineProblem("SendButton(nope)"), "invalid argument (argument 1)");
    EXPECT_TRUE(ActionLineProblem("ConnectBt(31" + Blanks(31) + ")"));
}

}  // namespace
