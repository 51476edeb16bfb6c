// Line ends and code points at the edges of what the text helpers handle.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Text.h"

namespace orbik::platform {
namespace {

TEST(TextLimits, LoneCarriageReturnStaysPartOfTheLine) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines("a\r\nb\r"), (Lines{"a", "b\r"}));  // the last line too
    EXPECT_EQ(SplitLines("a\rb\r\n"), (Lines{"a\rb"}));
    EXPECT_EQ(SplitLines("\r"), (Lines{"\r"}));
    EXPECT_EQ(SplitLines("a\r\r\n"), (Lines{"a\r"}));
}

std::string Utf8Of(char32_t cp) {  // two bytes: U+0080 to U+07FF
    return {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
}

// U+0080 to U+009F are control characters, not the letters and signs that
// Windows-1252 keeps at bytes 0x80 to 0x9F: they become '?'. Only the five
// bytes Windows-1252 leaves unassigned map to their own code point, so
// that every byte survives the way to Unicode and back.
TEST(TextLimits, C1ControlsBecomeQuestionMarksExceptTheUnassignedBytes) {
    const std::string unassigned = "\x81\x8D\x8F\x90\x9D";
    for (char32_t cp = 0x80; cp <= 0x9F; ++cp) {
        char byte = static_cast<char>(cp);
        bool own = unassigned.find(byte) != std::string::npos;
        EXPECT_EQ(Utf8ToCp1252(Utf8Of(cp)), own ? std::string(1, byte) : "?")
            << std::hex << static_cast<unsigned>(cp);
    }
    // The signs at those bytes come from their own code points.
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");  // euro sign
    EXPECT_EQ(Utf8ToCp1252("\xC5\xB8"), "\x9F");      // Y diaeresis
}

}  // namespace
}  // namespace orbik::platform
