// Composed action lines: exact texts, the build's syntax accepting every
// line a composer can make, the encoded bytes, and the parsers' round trip.

#include <gtest/gtest.h>

#include "compiler/Procedure.h"
#include "editor/ActionLines.h"
#include "project/BuiltinTables.h"

namespace {

using namespace orbik::editor;
using orbik::compiler::ParseProcedureSyntax;
using orbik::compiler::ProcedureFault;
using Lines = std::vector<std::string>;

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}
std::string Blanks(int slots) {
    return Repeated(", ", slots);
}

std::string EncodedHex(const std::string& line) {
    const auto parsed = ParseProcedureSyntax(line);
    EXPECT_EQ(parsed.fault, ProcedureFault::None) << line;
    std::string hex;
    for (unsigned char c : orbik::compiler::EncodeProcedure(parsed.call))
        hex += std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
    return hex;
}

void ExpectAccepted(const std::string& line) {
    EXPECT_EQ(ParseProcedureSyntax(line).fault, ProcedureFault::None) << line;
    EXPECT_FALSE(ActionLineProblem(line)) << line;
}

// Names of every length from a pool with blanks, ";", "\", brackets and a high byte.
std::string NameOfLength(std::size_t n) {
    static const std::string pool = "Ab c;\\()=x\xE4Z9r\"'#";
    std::string name;
    for (std::size_t i = 0; i < n; ++i) name += pool[(i * 7 + n) % pool.size()];
    return name;
}

ParallelOutputs FirstClosedLastOpened() {
    ParallelOutputs outputs{};
    outputs[0] = OutputChange::Close;
    outputs[7] = OutputChange::Open;
    return outputs;
}

TEST(ActionLines, ExactTextsAndEncodedBytes) {
    const auto sim = ContactSource::SimCard;
    const struct {
        std::string line, want, hex;
    } cases[] = {
        {*WriteParallelIFLine(FirstClosedLastOpened()), "WriteParallelIF(129,1)", "0E810100"},
        {AddTelNumberDigitLine(7), "AddTelNumberDigit(7,7)", "11070900"},  // "7" is button 9
        {StartScanLine("ok", "500"), "StartScan(ok,500)", "0B3001F400"},
        {WaitLine("200"), "Wait(200)", "1400C800"},
        {FindBtTelephoneNumberLine("", "").line,
         "FindBtTelephoneNumber(0" + Blanks(24) + ",0" + Blanks(20) + ")", ""},
        {FindBtTelephoneNumberLine(";a", " 9 ").line,
         "FindBtTelephoneNumber(2,\\s,a" + Blanks(22) + ",1,9" + Blanks(19) + ")",
         "1B023B61" + Repeated("20", 22) + "0139" + Repeated("20", 19) + "00"},
        {ConnectBtByIdLine("00:1a:2B:3c:4D:5e", sim).line,
         "ConnectBt(18,0,0,:,1,A,:,2,B,:,3,C,:,4,D,:,5,E,1" + Blanks(12) + ")",
         "1912"
         "30303A31413A32423A33433A34443A3545"
         "31" +
             Repeated("20", 12) + "00"},
        {ConnectBtByNameLine(std::string(29, 'n'), ContactSource::PhoneMemory).line,
         "ConnectBt(30" + Repeated(",n", 29) + ",0)", ""},
        {SendBtLine(BtCommand::Answer),
         "SendBt(6,A,T,A,\\r,\\n,1, , , , , , , , , , , , , , , , , , , , , , , , )",
         "1C06"
         "4154410D0A31" +
             Repeated("20", 24) + "00"},
        {*SendBtDigitLine('#'),
         "SendBt(10,A,T,+,V,T,S,=,#,\\r,\\n, , , , , , , , , , , , , , , , , , , , )", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, c.want);
        if (!c.hex.empty()) {
            EXPECT_EQ(EncodedHex(c.line), c.hex) << c.line;
        }
    }
    EXPECT_EQ(IrSignalLines("ok", false, "tv", "tv"), Lines{"SendButton(ok)"});
    EXPECT_EQ(IrSignalLines("7", true, "vcr", "tv"),
              (Lines{"SetDevice(vcr)", "SendDigit(7)", "SetDevice(tv)"}));
    EXPECT_EQ(IrSignalLines("10_up", true, "", ""), Lines{"SendButton(10_up)"});
    EXPECT_EQ(DirectKeyIrSignalLines("on", "vcr"), (Lines{"SetDevice(vcr)", "SendButton(on)"}));
}

TEST(ActionLines, EveryComposedLineIsAcceptedByTheBuild) {
    for (auto button : orbik::project::kButtonNames) {
        for (bool asDigit : {false, true})
            for (const auto& line : IrSignalLines(button, asDigit, "vcr", "tv"))
                ExpectAccepted(line);
        for (auto ms : kActionTimes) ExpectAccepted(StartScanLine(button, ms));
    }
    Lines fixed = SleepLines();
    for (auto ms : kActionTimes) {
        fixed.push_back(WaitLine(ms));
        fixed.push_back(SendTelephoneNumberLine(ms));
    }
    for (int d = 0; d <= 9; ++d) fixed.push_back(AddTelNumberDigitLine(d));
    for (auto line : {kClearTelephoneNumber, kRemoveTelNumberDigit, kPopMenu, kPushDevice,
                      kPopDevice, kDisconnectBt, kSendBtTelephoneNumber, kNothing})
        fixed.emplace_back(line);
    for (auto command :
         {BtCommand::Answer, BtCommand::HangUp, BtCommand::Redial, BtCommand::VoiceRecognition})
        fixed.push_back(SendBtLine(command));
    for (char d : std::string("0123456789*#R")) fixed.push_back(*SendBtDigitLine(d));
    for (const auto& line : fixed) ExpectAccepted(line);
    for (std::size_t n = 0; n <= kFindNameLength; ++n)
        for (std::size_t m = 0; m <= kFindNumberLength; ++m)
            ExpectAccepted(FindBtTelephoneNumberLine(NameOfLength(n), std::string(m, '5')).line);
    for (auto source : {ContactSource::PhoneMemory, ContactSource::SimCard}) {
        for (std::size_t n = 1; n <= kLinkNameLength; ++n)
            ExpectAccepted(ConnectBtByNameLine(NameOfLength(n), source).line);
        ExpectAccepted(ConnectBtByIdLine("FF:ff:09:aB:00:12", source).line);
    }
    for (int code = 1; code < 6561; ++code) {  // each output unchanged, closed or opened
        ParallelOutputs outputs{};
        for (int i = 0, rest = code; i < 8; ++i, rest /= 3)
            outputs[static_cast<std::size_t>(i)] = static_cast<OutputChange>(rest % 3);
        ExpectAccepted(*WriteParallelIFLine(outputs));
    }
}

TEST(ActionLines, RefusedInputGivesNoLine) {
    const auto sim = ContactSource::SimCard;
    const ComposedLine refused[] = {
        FindBtTelephoneNumberLine(std::string(25, 'a'), ""),
        FindBtTelephoneNumberLine("a,b", ""),
        FindBtTelephoneNumberLine("a\nb", ""),
        FindBtTelephoneNumberLine("", std::string(21, '1')),
        FindBtTelephoneNumberLine("", "1 2"),
        ConnectBtByNameLine("", sim),
        ConnectBtByNameLine(std::string(30, 'n'), sim),
        ConnectBtByNameLine("my,phone", sim),
        ConnectBtByIdLine("00:1A:2B:3C:4D:5", sim),
        ConnectBtByIdLine("00:1A:2B:3C:4D:5G", sim),
        ConnectBtByIdLine("00-1A:2B:3C:4D:5E", sim),
    };
    for (const auto& r : refused) EXPECT_TRUE(!r.ok() && r.line.empty()) << r.error;
    EXPECT_TRUE(FindBtTelephoneNumberLine(std::string(24, 'a'), std::string(20, '1')).ok());
    EXPECT_FALSE(WriteParallelIFLine(ParallelOutputs{}));
    EXPECT_FALSE(SendBtDigitLine('r'));
}

TEST(ActionLines, ParsersFillTheDialogsBack) {
    for (auto source : {ContactSource::PhoneMemory, ContactSource::SimCard}) {
        for (std::size_t n = 1; n <= kLinkNameLength; ++n)
            EXPECT_EQ(ParseConnectBt(ConnectBtByNameLine(NameOfLength(n), source).line),
                      (LinkFields{false, NameOfLength(n), source}));
        EXPECT_EQ(ParseConnectBt(ConnectBtByIdLine("0a:1B:2c:3D:4e:5F", source).line),
                  (LinkFields{true, "0A:1B:2C:3D:4E:5F", source}));
    }
    for (std::size_t n = 0; n <= kFindNameLength; n += 3)
        for (std::size_t m = 0; m <= kFindNumberLength; m += 4) {
            const FindNameFields fields{NameOfLength(n), std::string(m, '7')};
            EXPECT_EQ(ParseFindBtTelephoneNumber(
                          FindBtTelephoneNumberLine(fields.name, fields.number).line),
                      fields);
        }
    // Hand-edited lines: a name with ":" in third place, an unknown source
    // slot, a count out of range.
    EXPECT_EQ(ParseConnectBt(ConnectBtByNameLine("ab:c", ContactSource::SimCard).line),
              (LinkFields{false, "ab:c", ContactSource::SimCard}));
    EXPECT_EQ(ParseConnectBt("ConnectBt(3,a,b,x)"), (LinkFields{false, "ab", std::nullopt}));
    EXPECT_EQ(ParseConnectBt("ConnectBt(99,a,b)"), (LinkFields{false, "ab", std::nullopt}));
    EXPECT_FALSE(ParseConnectBt("ConnectBt"));
    EXPECT_EQ(ParseFindBtTelephoneNumber("FindBtTelephoneNumber(5,a)"), (FindNameFields{"a", ""}));
}

TEST(ActionLines, ProblemsShownForLinesTheBuildRefuses) {
    EXPECT_FALSE(ActionLineProblem(";RF anything, even (unbalanced"));
    EXPECT_FALSE(ActionLineProblem("SetMenu(NoSuchMenuYet)"));  // the build resolves names
    for (const char* bad : {"Wait(200", "wait(200)", "Wait(200,true,1)", "SetMenu"})
        EXPECT_TRUE(ActionLineProblem(bad)) << bad;
    EXPECT_EQ(ActionLineProblem("SendButton(nope)"),
              "invalid procedure SendButton: invalid argument 1");
    EXPECT_EQ(ActionLineProblem("Wait(1"), "invalid procedure Wait: missing \")\"");
}

}  // namespace
