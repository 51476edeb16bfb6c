#include <gtest/gtest.h>

#include "project/BuiltinTables.h"
#include "project/KeyValue.h"
#include "support/TempDir.h"

namespace orbik::project {
namespace {

TEST(KeyValueLine, KeyNeedsEqualsDirectlyAfterItAndMatchesCase) {
    EXPECT_TRUE(LineHasKey(CleanLine(" \tkeyword=tv"), "keyword"));
    EXPECT_FALSE(LineHasKey(CleanLine("keyword =tv"), "keyword"));
    EXPECT_FALSE(LineHasKey("Keyword=tv", "keyword"));
    EXPECT_FALSE(LineHasKey("keywords=tv", "keyword"));
    EXPECT_FALSE(LineHasKey("keyword", "keyword"));
    EXPECT_TRUE(LineHasKey("keyword=", "keyword"));
}

TEST(KeyValueLine, CommentIsCutBeforeTrimmingAndValueKeepsInnerBlanks) {
    EXPECT_EQ(CleanLine("  English=a;b  "), "English=a");
    EXPECT_EQ(CleanLine("English= two words \t; note"), "English= two words");
    EXPECT_EQ(CleanLine("; only a comment"), "");
    EXPECT_EQ(ValueOf("procedure=SetMenu(a=b)"), "SetMenu(a=b)");
    EXPECT_EQ(ValueOf("no equals here"), "no equals here");
}

TEST(KeyValueNumbers, DecimalWithSignWrapsToSixteenBits) {
    EXPECT_EQ(ParseNumber("42", 0), 42);
    EXPECT_EQ(ParseNumber("-1", 0), -1);
    EXPECT_EQ(ParseNumber("+7", 2), 7);
    EXPECT_EQ(ParseNumber("65535", 0), -1);
    EXPECT_EQ(ParseNumber("65536", 0), 0);
    EXPECT_EQ(ParseNumber("300", 2), 300);
}

TEST(KeyValueNumbers, TextThatIsNotANumberReadsAsZero) {
    EXPECT_EQ(ParseNumber("", 0), 0);
    EXPECT_EQ(ParseNumber("-", 0), 0);
    EXPECT_EQ(ParseNumber("12abc", 0), 0);
    EXPECT_EQ(ParseNumber(" 5", 0), 0);
    EXPECT_EQ(ParseNumber("0x10", 0), 0);  // hexadecimal only where a field allows it
    EXPECT_EQ(ParseNumber("0X10", 2), 0);
}

TEST(KeyValueNumbers, HexUsesOnlyTheDigitsTheFieldAllows) {
    EXPECT_EQ(ParseNumber("0x1FF", 2), 0x1F);
    EXPECT_EQ(ParseNumber("0xff", 2), 0xFF);
    EXPECT_EQ(ParseNumber("0x1G", 2), 0x10);  // a non-hex character counts as 0
    EXPECT_EQ(ParseNumber("0x0100", 4), 0x0100);
    EXPECT_EQ(ParseNumber("0xFFFF1", 4), -1);
    EXPECT_EQ(ParseNumber("0x", 4), 0);
    EXPECT_EQ(ParseNumber("0x7", 4), 7);
}

TEST(NameList, LookupIgnoresCaseAndFindsTheLastMatch) {
    std::vector<std::string> list = {"Main", "Sleep", "main"};
    EXPECT_EQ(FindInList("MAIN", list), 3);
    EXPECT_EQ(FindInList("sleep", list), 2);
    EXPECT_EQ(FindInList("Other", list), kNotFound);
    EXPECT_EQ(FindInList("x", std::vector<std::string>{}), kNotFound);
}

TEST(BuiltinTables, ButtonsAndFlagsAreLookedUpIgnoringCase) {
    EXPECT_EQ(FindInList("OK", kButtonNames), 49);
    EXPECT_EQ(FindInList("record", kButtonNames), 29);
    EXPECT_EQ(FindInList("record", kFlagNames), 2);
    EXPECT_EQ(FindInList("speak", kButtonNames), 51);
    EXPECT_EQ(FindInList("115200", kBaudRates), 9);
    EXPECT_EQ(FindInList("NONE", kParities), 3);
}

TEST(LineFile, SplitsOnLineEndsAndCleansUnlessRaw) {
    test::TempDir dir;
    auto path = dir.Write("F.TXT", "  a=1 ;x\r\nb=2\n\tc=3\rd\r\n");
    LineFile file;
    ASSERT_TRUE(file.Open(path));
    std::string line;
    std::vector<std::string> lines;
    while (file.ReadLine(&line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a=1", "b=2", "c=3\rd"}));

    ASSERT_TRUE(file.Open(path, true));
    ASSERT_TRUE(file.ReadLine(&line));
    EXPECT_EQ(line, "  a=1 ;x");
    EXPECT_FALSE(file.Open(dir / "missing.txt"));
    EXPECT_TRUE(file.AtEnd());
}

TEST(LineFile, OpensNamesWithoutRegardToCase) {
    test::TempDir dir;
    dir.Write("sub/keywords.txt", "keyword=x\r\n");
    LineFile file;
    EXPECT_TRUE(file.Open(dir.Path() / "SUB" / "KEYWORDS.TXT"));
}

}  // namespace
}  // namespace orbik::project
