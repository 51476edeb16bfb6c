#include <gtest/gtest.h>

#include "compiler/Procedure.h"
#include "compiler/Steps.h"
#include "support/TestProject.h"

namespace orbik::compiler {
namespace {

class ProcedureTest : public ::testing::Test {
  protected:
    ProcedureTest() {
        project.File("Items&Menus/Sleep/MENU.TXT", {"keyword=wake", "procedure=PopMenu"});
        state = project.State();
        AddMenu(state, "Main");
        state.items.resize(2);
        state.items[0].name = "TV";
        state.items[1].name = "Radio";
    }

    // The encoding of a procedure text, or "invalid".
    std::string Encode(std::string_view text) {
        auto parsed = ParseProcedure(text, state);
        return parsed ? EncodeProcedure(*parsed) : "invalid";
    }

    test::TestProject project;
    BuildState state;
};

TEST_F(ProcedureTest, EncodesOpcodeThenArgumentsWordsHighByteFirst) {
    EXPECT_EQ(Encode("SetMenu(Main)"), std::string("\x03\x00\x00", 3));
    EXPECT_EQ(Encode("Wait(0x0100)"), std::string("\x14\x01\x00\x00", 4));
    EXPECT_EQ(Encode("WriteSerialIF(115200,odd,0x0D,record)"), "\x0D\x08\x01\x0D\x01");
    EXPECT_EQ(Encode("StartScan(ok,-2,parallel_if)"), "\x0B\x30\xFF\xFE\x02");
    EXPECT_EQ(Encode("SetFlag(record,258)"), std::string("\x13\x01\x01\x02\x00", 5));
}

TEST_F(ProcedureTest, TrailingFlagMayBeLeftOutButNotEmpty) {
    EXPECT_EQ(Encode("PushMenu"), std::string("\x01\x00", 2));
    EXPECT_EQ(Encode("PushMenu(true)"), std::string("\x01\x00", 2));
    EXPECT_EQ(Encode("PushMenu(record)"), "\x01\x01");
    EXPECT_EQ(Encode("PushMenu(RECORD)"), "\x01\x01");
    EXPECT_EQ(Encode("PushMenu()"), "invalid");
    EXPECT_EQ(Encode("PushMenu(maybe)"), "invalid");
}

TEST_F(ProcedureTest, ArgumentCountAndNameMustMatchADefinition) {
    EXPECT_EQ(Encode("SetMenu"), "invalid");
    EXPECT_EQ(Encode("SetMenu(Main,record,x)"), "invalid");
    EXPECT_EQ(Encode("setmenu(Main)"), "invalid");
    EXPECT_EQ(Encode("SetMenu(Main"), "invalid");
    EXPECT_EQ(Encode("Unknown(1)"), "invalid");
    EXPECT_EQ(Encode(""), "invalid");
    EXPECT_EQ(Encode(")PushMenu("), "invalid");
    EXPECT_EQ(Encode("PushMenu)("), "invalid");  // one empty argument, not a flag
}

TEST_F(ProcedureTest, MenuArgumentsIgnoreCaseAndAddMenusThatExist) {
    EXPECT_EQ(Encode("SetMenu(main)"), std::string("\x03\x00\x00", 3));
    EXPECT_EQ(Encode("SetMenu(SLEEP)"), std::string("\x03\x01\x00", 3));
    EXPECT_EQ(Encode("SetMenu(Sleep)"), std::string("\x03\x01\x00", 3));
    ASSERT_EQ(state.menus.size(), 2u);
    EXPECT_EQ(state.menus[1].name, "SLEEP");  // as first named
    EXPECT_EQ(Encode("SetMenu(Nowhere)"), "invalid");
    EXPECT_EQ(state.menus.size(), 2u);
}

TEST_F(ProcedureTest, MenuNamesNeverLeadOutOfTheProject) {
    project.File("../Outside/MENU.TXT", {"keyword=wake"});
    EXPECT_EQ(Encode("SetMenu(../../Outside)"), "invalid");
    EXPECT_EQ(Encode("SetMenu(/etc)"), "invalid");
    EXPECT_EQ(state.menus.size(), 1u);
}

TEST_F(ProcedureTest, ItemsByNameOrNone) {
    EXPECT_EQ(Encode("SetDevice(None)"), std::string("\x06\xFF\x00", 3));
    EXPECT_EQ(Encode("SetDevice(radio)"), std::string("\x06\x01\x00", 3));
    EXPECT_EQ(Encode("SetDevice(none)"), "invalid");  // "None" only as written
    EXPECT_EQ(Encode("SetDevice(Video)"), "invalid");
}

TEST_F(ProcedureTest, ButtonsBaudRatesAndParitiesComeFromTheirTables) {
    EXPECT_EQ(Encode("SendButton(OK)"), std::string("\x07\x30\x00", 3));
    EXPECT_EQ(Encode("SendButton(record)"), std::string("\x07\x1C\x00", 3));
    EXPECT_EQ(Encode("SendDigit(9)"), std::string("\x08\x0B\x00", 3));
    EXPECT_EQ(Encode("SendButton(eject)"), "invalid");
    EXPECT_EQ(Encode("WriteSerialIF(300,even,0)"), std::string("\x0D\x00\x00\x00\x00", 5));
    EXPECT_EQ(Encode("WriteSerialIF(600,even,0)"), "invalid");
    EXPECT_EQ(Encode("WriteSerialIF(300,mark,0)"), "invalid");
}

TEST_F(ProcedureTest, BytesKeepTheLowByteWithoutRangeCheck) {
    EXPECT_EQ(Encode("SendTeletextPage(300)"), std::string("\x09\x2C\x00", 3));
    EXPECT_EQ(Encode("SendTeletextPage(0x1FF)"), std::string("\x09\x1F\x00", 3));
    EXPECT_EQ(Encode("SendTeletextPage(-1)"), std::string("\x09\xFF\x00", 3));
    EXPECT_EQ(Encode("SendTeletextPage(abc)"), std::string("\x09\x00\x00", 3));
}

TEST_F(ProcedureTest, CharactersTakeTheFirstByteOrAnEscape) {
    std::string text = "SendBt(3,AB, ,\\s";
    for (int i = 0; i < 26; ++i) text += ", ";
    text += ",\\r)";
    std::string expected = std::string(
                               "\x1C\x03"
                               "A \x3B",
                               5) +
                           std::string(26, ' ') + "\x0D" + std::string(1, '\0');
    EXPECT_EQ(Encode(text), expected);
}

TEST_F(ProcedureTest, EscapesMatchOnlyAsWholeArguments) {
    std::string text = "SendBt(3,\\rx,\\n,\\";
    for (int i = 0; i < 27; ++i) text += ",z";
    text += ")";
    std::string expected = std::string("\x1C\x03\\\x0A\\", 5) + std::string(27, 'z') + '\0';
    EXPECT_EQ(Encode(text), expected);
}

TEST_F(ProcedureTest, EmptyCharacterArgumentIsInvalid) {
    std::string args = "1,,";
    for (int i = 0; i < 28; ++i) args += "x,";
    args += "x";
    EXPECT_EQ(Encode("SendBt(" + args + ")"), "invalid");
    args.replace(2, 0, "y");
    EXPECT_NE(Encode("SendBt(" + args + ")"), "invalid");
}

TEST_F(ProcedureTest, OnlyTheTrailingFlagMayBeLeftOut) {
    EXPECT_EQ(Encode("Wait"), "invalid");
    EXPECT_EQ(Encode("StartScan(ok)"), "invalid");
    EXPECT_EQ(Encode("Wait()"), std::string("\x14\x00\x00\x00", 4));  // an empty number is 0
    EXPECT_EQ(Encode("StartScan(ok,1)"), std::string("\x0B\x30\x00\x01\x00", 5));
}

// The syntax step needs no project: menu and item names wait for the second step.
TEST(ProcedureSyntax, ReportsWhyATextIsInvalid) {
    struct Case {
        const char* text;
        ProcedureFault fault;
        std::size_t argument;
    } const cases[] = {
        {"SetMenu(Main", ProcedureFault::NoClosingParenthesis, 0},
        {"setmenu(Main)", ProcedureFault::UnknownName, 0},
        {"", ProcedureFault::UnknownName, 0},
        {"SetMenu(Main,record,x)", ProcedureFault::TooManyArguments, 3},
        {"Wait", ProcedureFault::TooFewArguments, 0},
        {"StartScan(ok)", ProcedureFault::TooFewArguments, 0},
        {"WriteSerialIF(300,mark,0)", ProcedureFault::BadArgument, 2},
        {"PushMenu()", ProcedureFault::BadArgument, 1},
        {"SetMenu(Anywhere)", ProcedureFault::None, 0},
        {"SetDevice(Anything)", ProcedureFault::None, 0},
    };
    for (const auto& c : cases) {
        ParsedProcedure parsed = ParseProcedureSyntax(c.text);
        EXPECT_EQ(parsed.fault, c.fault) << c.text;
        EXPECT_EQ(parsed.argument, c.argument) << c.text;
    }
    ParsedProcedure none = ParseProcedureSyntax("SetDevice(None,record)");
    ASSERT_EQ(none.fault, ProcedureFault::None);
    EXPECT_EQ(none.call.values, (std::vector<std::uint16_t>{255, 1}));
}

TEST(ProcedureSyntax, ResolvingAsksTheProjectForMenusAndItemsInOrder) {
    std::vector<std::string> asked;
    ProcedureLookups lookups;
    lookups.menu = [&](const std::string& name) -> std::optional<std::uint16_t> {
        asked.push_back("menu " + name);
        if (name == "Sub") return 4;
        return std::nullopt;
    };
    lookups.item = [&](const std::string& name) -> std::optional<std::uint16_t> {
        asked.push_back("item " + name);
        if (name == "TV") return 7;
        return std::nullopt;
    };
    ParsedProcedure menu = ParseProcedureSyntax("SetMenu(Sub,record)");
    ASSERT_EQ(menu.fault, ProcedureFault::None);
    EXPECT_EQ(ResolveProcedure(menu.call, lookups), ProcedureFault::None);
    EXPECT_EQ(EncodeProcedure(menu.call), "\x03\x04\x01");

    ParsedProcedure item = ParseProcedureSyntax("SetDevice(TV)");
    EXPECT_EQ(ResolveProcedure(item.call, lookups), ProcedureFault::None);
    EXPECT_EQ(EncodeProcedure(item.call), std::string("\x06\x07\x00", 3));

    ParsedProcedure none = ParseProcedureSyntax("SetDevice(None)");
    EXPECT_EQ(ResolveProcedure(none.call, lookups), ProcedureFault::None);  // asks nobody

    std::size_t argument = 0;
    ParsedProcedure missing = ParseProcedureSyntax("SetMenu(Gone)");
    EXPECT_EQ(ResolveProcedure(missing.call, lookups, &argument), ProcedureFault::UnknownMenu);
    EXPECT_EQ(argument, 1u);
    ParsedProcedure radio = ParseProcedureSyntax("SetDevice(Radio)");
    EXPECT_EQ(ResolveProcedure(radio.call, lookups), ProcedureFault::UnknownItem);
    EXPECT_EQ(asked, (std::vector<std::string>{"menu Sub", "item TV", "menu Gone", "item Radio"}));
}

// Every definition, by what it accepts: all its arguments, all but the
// flag (which then encodes as "true"), not one more and not two fewer.
TEST(ProcedureSyntax, EveryDefinitionTakesItsArgumentsAndAnOptionalFlag) {
    const char* sample[] = {"Main", "None", "ok", "9600", "odd", "0x7F", "0x0102", "A", "record"};
    for (const auto& definition : ProcedureDefinitions()) {
        std::string all, allButFlag;
        std::size_t words = 0;
        for (std::size_t i = 0; i < definition.types.size(); ++i) {
            const char* text = sample[static_cast<int>(definition.types[i])];
            all += (i ? "," : "") + std::string(text);
            if (i + 1 < definition.types.size()) allButFlag += (i ? "," : "") + std::string(text);
            words += definition.types[i] == ArgType::Word;
        }
        const std::string& name = definition.name;
        ParsedProcedure full = ParseProcedureSyntax(name + "(" + all + ")");
        ASSERT_EQ(full.fault, ProcedureFault::None) << name;
        std::string bytes = EncodeProcedure(full.call);
        EXPECT_EQ(bytes.size(), 1 + definition.types.size() + words) << name;
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), definition.opcode) << name;
        EXPECT_EQ(bytes.back(), '\x01') << name;  // the flag comes last

        std::string shortText = definition.types.size() == 1 ? name : name + "(" + allButFlag + ")";
        ParsedProcedure noFlag = ParseProcedureSyntax(shortText);
        ASSERT_EQ(noFlag.fault, ProcedureFault::None) << shortText;
        EXPECT_EQ(EncodeProcedure(noFlag.call), bytes.substr(0, bytes.size() - 1) + '\0') << name;

        EXPECT_EQ(ParseProcedureSyntax(name + "(" + all + ",true)").fault,
                  ProcedureFault::TooManyArguments)
            << name;
        if (definition.types.size() >= 2) {
            std::string fewer = allButFlag.substr(0, allButFlag.rfind(','));
            if (definition.types.size() == 2) fewer.clear();
            std::string text = definition.types.size() == 2 ? name : name + "(" + fewer + ")";
            EXPECT_EQ(ParseProcedureSyntax(text).fault, ProcedureFault::TooFewArguments) << text;
        }
    }
}

TEST(ProcedureDefinitions, TwentyNineWithTheirParameterCounts) {
    const auto& defs = ProcedureDefinitions();
    ASSERT_EQ(defs.size(), 29u);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        EXPECT_EQ(defs[i].opcode, i + 1);
        EXPECT_EQ(defs[i].types.back(), ArgType::Flag) << defs[i].name;
        EXPECT_EQ(defs[i].texts.back(), "true");
    }
    EXPECT_EQ(defs[11].name, "WriteRadioIF");
    EXPECT_EQ(defs[11].types.size(), 41u);
    EXPECT_EQ(defs[11].types[4], ArgType::Byte);
    EXPECT_EQ(defs[11].types[5], ArgType::Word);
    EXPECT_EQ(defs[24].types.size(), 32u);
    EXPECT_EQ(defs[26].name, "FindBtTelephoneNumber");
    EXPECT_EQ(defs[26].types.size(), 47u);
    EXPECT_EQ(defs[26].types[25], ArgType::Byte);
    EXPECT_EQ(defs[27].types.size(), 32u);
}

}  // namespace
}  // namespace orbik::compiler
