// The image buffer: big-endian fields, display texts, pointer tables,
// alignment and the size limit.

#include <gtest/gtest.h>

#include "compiler/Image.h"
#include "platform/Bytes.h"

namespace orbik::compiler {
namespace {

using platform::GetBigEndian;

TEST(ImageBufferTest, NumbersAndPointersAreBigEndian) {
    Image image;
    image.Clear();
    ASSERT_TRUE(image.AppendWord(0x0102));
    ASSERT_TRUE(image.AppendWord(static_cast<std::uint16_t>(-1)));
    std::size_t table = image.ReservePointers(2);
    EXPECT_EQ(table, 4u);
    image.SetPointer(table, 1, 0x0A0B0C);
    EXPECT_EQ(image.Bytes(), std::string("\x01\x02\xFF\xFF\0\0\0\x0A\x0B\x0C", 10));
    EXPECT_EQ(GetBigEndian(image.Bytes(), table + 3, 3), 0x0A0B0Cu);
}

TEST(ImageBufferTest, TextFieldsAreCutPaddedAndConverted) {
    Image image;
    image.Clear();
    ASSERT_TRUE(image.AppendText("Volume_up_down", 10));
    ASSERT_TRUE(image.AppendText("#a", 4));
    ASSERT_TRUE(image.AppendText("\xE4\xFC\xDF\xFF", 4));
    EXPECT_EQ(image.Bytes(), std::string("Volume.up.\0a  \xA2\xBA\xBB\xAD", 18));
    // Characters outside the table pass unchanged.
    EXPECT_EQ(DisplayChar('A'), 'A');
    EXPECT_EQ(DisplayChar(0xC5), 0xC5);
    EXPECT_EQ(DisplayChar('|'), 0x03);
}

TEST(ImageBufferTest, AlignsToBoundaryOnlyWhenOff) {
    Image image;
    image.Clear();
    ASSERT_TRUE(image.AppendZeros(131072));
    ASSERT_TRUE(image.AlignTo(65536));
    EXPECT_EQ(image.Position(), 131072u);
    ASSERT_TRUE(image.AppendByte(1));
    ASSERT_TRUE(image.AlignTo(65536));
    EXPECT_EQ(image.Position(), 196608u);
    EXPECT_EQ(image.Bytes()[131073], '\0');
}

TEST(ImageBufferTest, StopsBeforePassingTheLimit) {
    Image image;
    image.Clear();
    ASSERT_TRUE(image.AppendZeros(kMaxImageSize - 2));
    EXPECT_TRUE(image.AppendByte(7));
    EXPECT_FALSE(image.AppendWord(0x0102));  // one byte left: the word is dropped whole
    EXPECT_TRUE(image.Overflowed());
    EXPECT_EQ(image.Position(), kMaxImageSize - 1);
    // Once over, nothing more is written, even what would still fit.
    EXPECT_FALSE(image.AppendByte(1));
    EXPECT_EQ(image.Position(), kMaxImageSize - 1);
    image.Clear();
    EXPECT_FALSE(image.Overflowed());

    ASSERT_TRUE(image.AppendZeros(kMaxImageSize));
    EXPECT_EQ(image.Position(), 3145727u);
    EXPECT_FALSE(image.AppendText("", 1));
    EXPECT_FALSE(image.AppendBytes("x"));

    // An alignment past the end and a table too large both stop it.
    image.Clear();
    ASSERT_TRUE(image.AppendZeros(3 * 65536 + 1));
    EXPECT_FALSE(image.AlignTo(65536 * 64));
    image.Clear();
    std::size_t table = image.ReservePointers(kMaxImageSize);
    EXPECT_TRUE(image.Overflowed());
    image.SetPointer(table, 5, 1);  // must not write into unreserved space
    EXPECT_EQ(image.Position(), 0u);
}

}  // namespace
}  // namespace orbik::compiler
