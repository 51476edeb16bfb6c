#include "platform/Text.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

using namespace orbik::platform;

TEST(TextBeforeAfter, SplitKeyValueLines) {
    EXPECT_EQ(TextBefore("abc", '='), "");
    EXPECT_EQ(TextAfter("abc", '=', 1), "abc");
    EXPECT_EQ(TextBefore("a=b=c", '='), "a");
    EXPECT_EQ(TextAfter("a=b=c", '=', 1), "b=c");
    EXPECT_EQ(TextAfter("a=b=c", '=', 2), "c");
    EXPECT_EQ(TextAfter("a=", '=', 1), "");
}

TEST(SplitLines, CrLfAndLoneLfEndLinesButLoneCrDoesNot) {
    EXPECT_EQ(SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\rb\r\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(JoinLines({"a", ""}), "a\r\n\r\n");
}

TEST(TextFiles, MissingFileIsReportedWithItsPath) {
    orbik::test::TempDir dir;
    std::vector<std::string> messages;
    std::vector<std::string> lines;
    auto report = [&](const std::string& m) { messages.push_back(m); };
    EXPECT_FALSE(ReadTextFile(dir / "none.txt", &lines, report));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (dir / "none.txt").string() + " not found");

    ASSERT_TRUE(WriteTextFile(dir / "Sub.txt", {"x=1", "y=2"}, report));
    ASSERT_TRUE(ReadTextFile(dir / "SUB.TXT", &lines, report));
    EXPECT_EQ(lines, (std::vector<std::string>{"x=1", "y=2"}));
    EXPECT_FALSE(WriteTextFile(dir / "no/such/dir.txt", {"x"}, report));
    EXPECT_EQ(messages.size(), 2u);
}

TEST(TextFiles, FailuresKeepTheSystemsReasonBesideTheMessage) {
    orbik::test::TempDir dir;
    std::filesystem::create_directory(dir / "folder.txt");
    std::vector<std::string> messages, lines;
    auto report = [&](const std::string& m) { messages.push_back(m); };
    std::string reason;
    EXPECT_FALSE(ReadTextFile(dir / "folder.txt", &lines, report, &reason));
    EXPECT_EQ(reason, "Is a directory");
    EXPECT_FALSE(WriteTextFile(dir / "no/such/dir.txt", {"x"}, report, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    // The messages stay as the user knows them.
    EXPECT_EQ(messages,
              (std::vector<std::string>{(dir / "folder.txt").string() + " not found",
                                        (dir / "no/such/dir.txt").string() + " not found"}));
}

TEST(Codepage, Cp1252RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80\xE4"), "\xE2\x82\xAC\xC3\xA4");  // euro sign, a umlaut
}

TEST(Codepage, UnmappableAndBrokenUtf8BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("\xE2\x9C\x93 ok"), "? ok");  // check mark
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");              // cut sequence
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");    // outside the BMP
    EXPECT_EQ(Utf8ToCp1252("\xC3\x28"), "?(");           // bad continuation
}
