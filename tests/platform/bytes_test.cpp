#include "platform/Bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace orbik::platform {
namespace {

TEST(BigEndian, StoresHighByteFirstAtTheLimitsOfEachWidth) {
    struct Case {
        std::uint32_t value;
        std::size_t width;
        std::string bytes;
    } const cases[] = {
        {0, 2, std::string(2, '\0')},
        {0xFFFF, 2, "\xFF\xFF"},
        {0x0102, 2, "\x01\x02"},
        {0, 3, std::string(3, '\0')},
        {0xFFFFFF, 3, "\xFF\xFF\xFF"},
        {0x2FFF80, 3, std::string("\x2F\xFF\x80", 3)},
        {0x123456, 3, "\x12\x34\x56"},
        {0x1FFFF, 2, "\xFF\xFF"},  // only the low bytes are kept
        {0xA1B2C3D4, 4, "\xA1\xB2\xC3\xD4"},
    };
    for (const auto& c : cases) {
        std::string out;
        AppendBigEndian(out, c.value, c.width);
        EXPECT_EQ(out, c.bytes) << std::hex << c.value << " in " << c.width;
        EXPECT_EQ(GetBigEndian(out, 0, c.width),
                  c.width == 4 ? c.value : c.value & ((1u << (8 * c.width)) - 1));
    }
}

TEST(BigEndian, LoadReadsBackWhatStoreWroteForEveryWidth) {
    std::mt19937 random(7);
    for (int round = 0; round < 1000; ++round) {
        std::uint32_t value = random();
        for (std::size_t width = 1; width <= 4; ++width) {
            std::uint8_t buffer[6] = {0xEE, 0, 0, 0, 0, 0xEE};
            StoreBigEndian(value, width, buffer + 1);
            std::uint32_t mask = width == 4 ? 0xFFFFFFFF : (1u << (8 * width)) - 1;
            ASSERT_EQ(LoadBigEndian(buffer + 1, width), value & mask);
            EXPECT_EQ(buffer[0], 0xEE);  // nothing written around the field
            EXPECT_EQ(buffer[1 + width], width == 4 ? 0xEE : 0);
        }
    }
}

TEST(BigEndian, GetReadsAtAnOffset) {
    std::string bytes = "\x01\x02\x03\x04\x05";
    EXPECT_EQ(GetBigEndian(bytes, 2, 3), 0x030405u);
    EXPECT_EQ(GetBigEndian(bytes, 4, 1), 0x05u);
}

TEST(XorChecksumTest, BlockFollowedByItsChecksumSumsToZero) {
    EXPECT_EQ(XorChecksum(std::string_view()), 0);
    EXPECT_EQ(XorChecksum(std::string(kBlockSize, '\xFF')), 0);  // an even count of 0xFF
    EXPECT_EQ(XorChecksum(std::string(kBlockSize - 1, '\xFF')), 0xFF);
    EXPECT_EQ(XorChecksum("\x12\x34\x56"), 0x12 ^ 0x34 ^ 0x56);

    std::mt19937 random(11);
    std::string block(kBlockSize, '\0');
    for (auto& c : block) c = static_cast<char>(random());
    std::uint8_t sum = XorChecksum(block);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
    EXPECT_EQ(XorChecksum(bytes, block.size()), sum);
    block.push_back(static_cast<char>(sum));
    EXPECT_EQ(XorChecksum(block), 0);
    block[5] ^= 0x10;  // one flipped bit shows
    EXPECT_NE(XorChecksum(block), 0);
}

TEST(Frame, IsAddressBlockAndChecksum) {
    EXPECT_EQ(kBlockSize, 128u);
    EXPECT_EQ(kFrameAddressSize, 3u);
    EXPECT_EQ(kFrameSize, 132u);
}

}  // namespace
}  // namespace orbik::platform
