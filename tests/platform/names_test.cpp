// Names in Windows-1252 become paths in the file system's encoding, and
// paths become Windows-1252 for messages.

#include "platform/Text.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace orbik::platform {
namespace {

TEST(Names, NameToPathTurnsWindows1252IntoTheFileSystemsEncoding) {
    // ü, the euro sign (0x80) and a plain name.
    EXPECT_EQ(NameToPath("K\xFC"
                         "che")
                  .native(),
              "K\xC3\xBC"
              "che");
    EXPECT_EQ(NameToPath("\x80").native(), "\xE2\x82\xAC");
    EXPECT_EQ(NameToPath("Demo/Demo.cif"), std::filesystem::path("Demo") / "Demo.cif");

    // The folder made from the name is found again under the same name.
    test::TempDir dir;
    std::filesystem::create_directory(dir.Path() / NameToPath("Caf\xE9"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Caf\xC3\xA9"));
}

TEST(Names, PathToMessageGivesWindows1252AndQuestionMarks) {
    EXPECT_EQ(PathToMessage(std::filesystem::path("/p/K\xC3\xBC"
                                                  "che/x.txt")),
              "/p/K\xFC"
              "che/x.txt");
    // A character that Windows-1252 lacks (a CJK ideograph) becomes '?'.
    EXPECT_EQ(PathToMessage(std::filesystem::path("a\xE6\x97\xA5.txt")), "a?.txt");
    // Every byte 0xA0..0xFF and the letters of 0x80..0x9F survive the round trip.
    for (int b = 0xA0; b <= 0xFF; ++b) {
        std::string name(1, char(b));
        EXPECT_EQ(PathToMessage(NameToPath(name)), name) << b;
    }
    EXPECT_EQ(PathToMessage(NameToPath("\x80\x8A\x9F")), "\x80\x8A\x9F");
}

}  // namespace
}  // namespace orbik::platform
