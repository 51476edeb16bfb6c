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
