#include "signals/SlotData.h"

#include "signals/SignalNames.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace orbik::signals {
namespace {

std::string Block(size_t count, char fill) {
    std::string block(count * 8 + 8, fill);
    block[0] = char(count >> 8);
    block[1] = char(count);
    return block;
}

unsigned Offset(const std::string& file, int slot) {
    return uint8_t(file[11 + 2 * (slot - 1)]) * 256u + uint8_t(file[12 + 2 * (slot - 1)]);
}

TEST(SlotData, EmptyFileIsItsHeader) {
    SlotData data;
    data.fileHeader = "TV";
    std::string file;
    ASSERT_TRUE(WriteUnpacked(data, &file));
    EXPECT_EQ(file.size(), 215u);
    EXPECT_EQ(BytesUsed(data), 215u);
    EXPECT_EQ(file.substr(0, 11), std::string("TV        \xFF", 11));
    for (int slot = 1; slot <= kSlotCount; ++slot) EXPECT_EQ(Offset(file, slot), 0xFFFFu);
}

TEST(SlotData, EvenSlotsShareTheirPartnerWhenEqualOrEmpty) {
    SlotData data;
    data.slots[0] = Block(2, 'a');  // signal 0: both slots equal
    data.slots[1] = Block(2, 'a');
    data.slots[2] = Block(1, 'b');  // signal 1: only the first slot
    data.slots[4] = Block(1, 'c');  // signal 2: a toggle signal
    data.slots[5] = Block(3, 'd');
    data.slots[7] = Block(1, 'e');  // signal 3: a second slot alone
    std::string file;
    ASSERT_TRUE(WriteUnpacked(data, &file));
    EXPECT_EQ(Offset(file, 1), 215u);
    EXPECT_EQ(Offset(file, 2), 215u);
    EXPECT_EQ(Offset(file, 3), 215u + 24);
    EXPECT_EQ(Offset(file, 4), 215u + 24);
    EXPECT_EQ(Offset(file, 5), 215u + 24 + 16);
    EXPECT_EQ(Offset(file, 6), 215u + 24 + 16 + 16);
    EXPECT_EQ(Offset(file, 7), 0xFFFFu);
    EXPECT_EQ(Offset(file, 8), 215u + 24 + 16 + 16 + 32);
    EXPECT_EQ(file.size(), BytesUsed(data));
    EXPECT_EQ(BytesUsed(data), 215u + 24 + 16 + 16 + 32 + 16);

    // Read back, the empty second slot of signal 1 carries its partner.
    SlotData back;
    ASSERT_TRUE(ReadSlotData(file, &back));
    SlotData expected = data;
    expected.slots[3] = data.slots[2];
    expected.fileHeader = std::string(10, ' ');
    EXPECT_EQ(back.slots, expected.slots);
    EXPECT_EQ(BytesUsed(back), BytesUsed(data));
}

TEST(SlotData, CapacityHoldsExactlyAndRefusesOneByteMore) {
    SlotData data;
    // 215 + 7 x 8184 = 57503; blocks of whole items come at most to one
    // byte short of the capacity.
    for (int k = 0; k < 7; ++k) data.slots[size_t(2 * k)] = Block(1022, char('a' + k));
    size_t rest = kSignalMemoryCapacity - BytesUsed(data);
    ASSERT_EQ(rest % 8, 1u);
    data.slots[20] = Block((rest - 1) / 8 - 1, 'z');
    EXPECT_EQ(BytesUsed(data), kSignalMemoryCapacity - 1);
    std::string file;
    EXPECT_TRUE(WriteUnpacked(data, &file));
    data.slots[21] = Block(0, 'y');
    EXPECT_GT(BytesUsed(data), kSignalMemoryCapacity);
    std::string error;
    EXPECT_FALSE(WriteUnpacked(data, &file, &error));
    EXPECT_EQ(error, kNotEnoughMemoryText);
    // Equal to its partner, the same block costs nothing.
    data.slots[21] = data.slots[20];
    EXPECT_TRUE(WriteUnpacked(data, &file));
}

TEST(SlotData, RefusesPackedFilesAndBlocksOutsideTheData) {
    SlotData data;
    data.slots[0] = Block(2, 'a');
    std::string file;
    ASSERT_TRUE(WriteUnpacked(data, &file));
    SlotData back;
    std::string error;
    EXPECT_FALSE(ReadSlotData(file.substr(0, file.size() - 1), &back, &error));
    EXPECT_NE(error.find("slot 1"), std::string::npos);
    std::string packed = file;
    packed[10] = 0;
    EXPECT_FALSE(ReadSlotData(packed, &back));
    std::string far = file;
    far[11] = char(0xFF);
    far[12] = char(0xF0);
    EXPECT_FALSE(ReadSlotData(far, &back));
    EXPECT_FALSE(ReadSlotData(file.substr(0, 100), &back));
}

TEST(SlotData, AnySlotsWrittenReadBackAndPackUnchanged) {
    std::mt19937 random(3);
    for (int round = 0; round < 50; ++round) {
        SlotData data;
        for (int i = 0; i < kSlotCount; ++i) {
            int pick = int(random() % 4);
            if (pick == 0) continue;
            if (pick == 1 && i % 2 == 1) {
                data.slots[size_t(i)] = data.slots[size_t(i) - 1];
                continue;
            }
            data.slots[size_t(i)] = Block(random() % 20, char('a' + random() % 8));
        }
        std::string file, packed, unpacked;
        ASSERT_TRUE(WriteUnpacked(data, &file));
        SlotData back;
        ASSERT_TRUE(ReadSlotData(file, &back));
        for (int i = 0; i < kSlotCount; ++i) {
            const std::string& expected = (i % 2 == 1 && data.slots[size_t(i)].empty())
                                              ? data.slots[size_t(i) - 1]
                                              : data.slots[size_t(i)];
            ASSERT_EQ(back.slots[size_t(i)], expected) << "slot " << i + 1;
        }
        // What the packer makes of it unpacks to the same file.
        ASSERT_TRUE(PackIcp(file, &packed));
        ASSERT_TRUE(UnpackIcp(packed, &unpacked));
        ASSERT_EQ(unpacked, file);
    }
}

TEST(SlotData, ButtonsAreFoundByTheirKey) {
    EXPECT_EQ(SignalIndex("vol_plus") >= 0, true);
    EXPECT_EQ(SignalKey(SignalIndex("vol_plus")), "vol_plus");
    EXPECT_EQ(SignalIndex("speak"), kSignalCount - 1);
    EXPECT_EQ(SignalIndex("Vol_Plus"), -1);
    EXPECT_EQ(SignalIndex(""), -1);
}

}  // namespace
}  // namespace orbik::signals
