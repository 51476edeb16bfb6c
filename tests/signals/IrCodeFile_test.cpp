#include "signals/IrCodeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "signals/SignalNames.h"
#include "support/TempDir.h"

namespace orbik::signals {
namespace {

// IR code files put together byte by byte, independently of the code under test.
std::string Word(unsigned value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

std::string Item(int id) {
    std::string item(8, '\0');
    item[0] = 'I';
    item[6] = static_cast<char>(id >> 8);
    item[7] = static_cast<char>(id);
    return item;
}

const std::string kSignalHeader = std::string("\x11\x22\x33\x44\x55", 5) + '\x02';

struct TestFile {
    std::string name = "Test dev  ";
    std::uint8_t form;
    std::array<unsigned, kSlotCount> slots;
    std::string body;
    std::size_t bodyStart;

    explicit TestFile(std::uint8_t f, std::string prefix = {}) : form(f), body(std::move(prefix)) {
        slots.fill(kEmptySlot);
        bodyStart = kHeaderSize;
    }
    unsigned NextOffset() const { return static_cast<unsigned>(bodyStart + body.size()); }
    // Appends a block (count, signal header, units) and points `slot` (1-based) at it.
    unsigned Add(int slot, std::size_t count, const std::string& units) {
        unsigned offset = NextOffset();
        body += Word(static_cast<unsigned>(count)) + kSignalHeader + units;
        if (slot > 0) slots[slot - 1] = offset;
        return offset;
    }
    unsigned AddItems(int slot, const std::vector<int>& ids) {
        std::string units;
        for (int id : ids) units += Item(id);
        return Add(slot, ids.size(), units);
    }
    std::string Bytes() const {
        std::string out = name;
        out += static_cast<char>(form);
        for (unsigned s : slots) out += Word(s);
        return out + body;
    }
};

TestFile Unpacked() {
    return TestFile(kUnpackedForm);
}

// A packed file whose dictionary holds `entries` items (stored as 0 for 256).
TestFile Packed(std::size_t entries) {
    std::string prefix(1, static_cast<char>(entries == 256 ? 0 : entries));
    for (std::size_t i = 0; i < entries; ++i) prefix += Item(static_cast<int>(i));
    TestFile file(kPackedForm, prefix);
    return file;
}

unsigned WordAt(const std::string& bytes, std::size_t pos) {
    return static_cast<unsigned char>(bytes.at(pos)) * 256u +
           static_cast<unsigned char>(bytes.at(pos + 1));
}

unsigned SlotOffset(const std::string& bytes, int slot) {
    return WordAt(bytes, kFileNameSize + 1 + 2 * (slot - 1));
}

std::string Pack(const std::string& unpacked) {
    std::string packed, error;
    EXPECT_TRUE(PackIcp(unpacked, &packed, &error)) << error;
    return packed;
}

std::string Unpack(const std::string& packed) {
    std::string unpacked, error;
    EXPECT_TRUE(UnpackIcp(packed, &unpacked, &error)) << error;
    return unpacked;
}

// The bit string of a packed block: count x 8 bytes after count and signal header.
std::string BitString(const std::string& packed, int slot) {
    unsigned offset = SlotOffset(packed, slot);
    return packed.substr(offset + 8, 8 * WordAt(packed, offset));
}

std::string Dictionary(const std::string& packed) {
    auto n = static_cast<unsigned char>(packed[kHeaderSize]);
    return packed.substr(kHeaderSize + 1, 8 * (n == 0 ? 256 : n));
}

TEST(IrCodeFilePack, EmptyFilePacksToZeroDictionaryAndBack) {
    TestFile file = Unpacked();
    file.name = "Empty     ";
    std::string packed = Pack(file.Bytes());
    ASSERT_EQ(packed.size(), 215u + 1 + 2048);
    EXPECT_EQ(packed.substr(0, 10), "Empty     ");
    EXPECT_EQ(packed[10], '\0');
    for (int s = 1; s <= kSlotCount; ++s) EXPECT_EQ(SlotOffset(packed, s), kEmptySlot);
    EXPECT_EQ(packed.substr(215), std::string(2049, '\0'));
    EXPECT_EQ(Unpack(packed), file.Bytes());
}

TEST(IrCodeFilePack, DictionaryListsMostFrequentFirstAndTiesInOrderOfAppearance) {
    TestFile file = Unpacked();
    file.AddItems(1, {10, 11, 12});
    file.AddItems(3, {13, 11, 13, 12, 14});
    std::string packed = Pack(file.Bytes());
    // 11, 12 and 13 occur twice (in that order of first appearance), 10 and 14 once.
    EXPECT_EQ(Dictionary(packed), Item(11) + Item(12) + Item(13) + Item(10) + Item(14));
}

TEST(IrCodeFilePack, BitStringsFillBytesFromTheTopAndCrossByteBorders) {
    TestFile file = Unpacked();
    // Items 0..8 with falling frequency get dictionary indices 0..8.
    std::vector<int> frequent;
    for (int id = 0; id <= 8; ++id) frequent.insert(frequent.end(), 30 - 3 * id, id);
    file.AddItems(1, frequent);
    file.AddItems(3, {0});
    file.AddItems(5, {7});
    file.AddItems(7, {8});
    file.AddItems(9, {0, 1, 2});
    file.AddItems(11, {1, 8});
    file.AddItems(13, {});
    std::string packed = Pack(file.Bytes());
    auto unit = [](std::string head) { return head + std::string(8 - head.size(), '\0'); };
    EXPECT_EQ(BitString(packed, 3), unit("\x80"));
    EXPECT_EQ(BitString(packed, 5), unit("\x01"));
    EXPECT_EQ(BitString(packed, 7), unit(std::string("\x00\x80", 2)));
    EXPECT_EQ(BitString(packed, 9), unit("\xA4"));       // 1 01 001
    EXPECT_EQ(BitString(packed, 11), unit("\x40\x20"));  // 01 000000 001
    EXPECT_EQ(BitString(packed, 13), "");
    EXPECT_EQ(Unpack(packed), file.Bytes());
}

TEST(IrCodeFilePack, SharedNeighbourSlotsKeepOneBlockAndCountTwice) {
    TestFile file = Unpacked();
    unsigned shared = file.AddItems(1, {1});
    file.slots[1] = shared;  // slot 2 shares slot 1's block
    file.AddItems(3, {2, 2, 2});
    file.slots[5] = shared;  // slot 6 is no neighbour of slot 1: it gets its own block
    std::string packed = Pack(file.Bytes());

    // Item 1 is counted once for each of slots 1, 2 and 6: a tie with item 2,
    // which it wins by appearing first.
    EXPECT_EQ(Dictionary(packed), Item(1) + Item(2));
    unsigned first = 216 + 16;
    EXPECT_EQ(SlotOffset(packed, 1), first);
    EXPECT_EQ(SlotOffset(packed, 2), first);
    EXPECT_EQ(SlotOffset(packed, 3), first + 16);
    EXPECT_EQ(SlotOffset(packed, 4), kEmptySlot);
    EXPECT_EQ(SlotOffset(packed, 5), kEmptySlot);
    EXPECT_EQ(SlotOffset(packed, 6), first + 32);
    EXPECT_EQ(packed.size(), first + 48);
    EXPECT_EQ(BitString(packed, 6), BitString(packed, 1));
}

TEST(IrCodeFilePack, EmptySlotBetweenLearnedOnesDoesNotMoveTheOffset) {
    TestFile file = Unpacked();
    file.AddItems(1, {1, 2, 3});
    file.AddItems(4, {3});
    std::string unpacked = file.Bytes();
    std::string packed = Pack(unpacked);
    unsigned first = 216 + 24;
    EXPECT_EQ(SlotOffset(packed, 1), first);
    EXPECT_EQ(SlotOffset(packed, 2), kEmptySlot);
    EXPECT_EQ(SlotOffset(packed, 3), kEmptySlot);
    EXPECT_EQ(SlotOffset(packed, 4), first + 16);
    // The signal header travels unchanged.
    EXPECT_EQ(packed.substr(first + 2, 6), kSignalHeader);
    EXPECT_EQ(Unpack(packed), unpacked);
}

TEST(IrCodeFilePack, UnpackThenPackGivesTheSamePackedFile) {
    TestFile file = Unpacked();
    for (int signal = 0; signal < 51; signal += 3) {
        std::vector<int> ids;
        for (int i = 0; i < 40 + signal; ++i) ids.push_back((i * 7 + signal) % (3 + signal / 4));
        unsigned offset = file.AddItems(2 * signal + 1, ids);
        if (signal % 2 == 0)
            file.slots[2 * signal + 1] = offset;
        else
            file.AddItems(2 * signal + 2, {signal, 1, 2});
    }
    std::string packed = Pack(file.Bytes());
    EXPECT_EQ(Unpack(packed), file.Bytes());
    EXPECT_EQ(Pack(Unpack(packed)), packed);
}

TEST(IrCodeFilePack, FailsOnTooManyItemsAndTooLongBitStrings) {
    std::string packed = "untouched", error;

    // 255 items, eight to a signal so that no bit string grows too long.
    TestFile distinct = Unpacked();
    for (int first = 0; first < 255; first += 8) {
        std::vector<int> ids;
        for (int id = first; id < std::min(first + 8, 255); ++id) ids.push_back(id);
        distinct.AddItems(1 + first / 4, ids);
    }
    EXPECT_TRUE(PackIcp(distinct.Bytes(), &packed, &error)) << error;
    distinct.AddItems(101, {255});
    packed = "untouched";
    EXPECT_FALSE(PackIcp(distinct.Bytes(), &packed, &error));
    EXPECT_EQ(error, "more than 255 different items");
    EXPECT_EQ(packed, "untouched");

    // Items 0..13 sixteen times each, 14 eleven times, then 15 and 16: with
    // 10 and 3 of those the indices take 2056 bits (257 bytes), with 9 and 4
    // they take 2057.
    for (int sixteens : {3, 4}) {
        std::vector<int> ids;
        for (int id = 0; id <= 13; ++id) ids.insert(ids.end(), 16, id);
        ids.insert(ids.end(), 11, 14);
        ids.insert(ids.end(), 13 - sixteens, 15);
        ids.insert(ids.end(), sixteens, 16);
        TestFile longSignal = Unpacked();
        longSignal.AddItems(3, ids);
        bool fits = sixteens == 3;
        EXPECT_EQ(PackIcp(longSignal.Bytes(), &packed, &error), fits) << error;
        if (fits)
            EXPECT_EQ(BitString(packed, 3).size(), 264u);
        else
            EXPECT_EQ(error, "slot 3: bit string longer than 257 bytes");
    }

    TestFile manyItems = Unpacked();
    manyItems.AddItems(1, std::vector<int>(1025, 1));
    EXPECT_FALSE(PackIcp(manyItems.Bytes(), &packed, &error));
    EXPECT_EQ(error, "slot 1: more than 1024 items");
}

TEST(IrCodeFilePack, LimitsHoldOnTheirLastGoodValue) {
    std::string packed, error;
    TestFile full = Unpacked();
    full.AddItems(1, std::vector<int>(1024, 1));
    EXPECT_TRUE(PackIcp(full.Bytes(), &packed, &error)) << error;
    std::string unpacked = Unpack(packed);
    EXPECT_EQ(WordAt(unpacked, SlotOffset(unpacked, 1)), 1024u);

    // Slots 1, 3, ..., 15 alternate between two signals of 1000 items, slot
    // 17 holds `last` items, slot 19 one more signal. Unpacked, slot 19
    // starts at 215 + 8 x (8 x 1001 + last + 1): 65527 for 155 items, and
    // 65535 for 156, the offset that marks an empty slot.
    for (int last : {155, 156}) {
        TestFile file = Unpacked();
        unsigned a = file.AddItems(0, std::vector<int>(1000, 1));
        unsigned b = file.AddItems(0, std::vector<int>(1000, 1));
        for (int s = 0; s < 16; s += 2) file.slots[s] = (s / 2) % 2 ? b : a;
        file.AddItems(17, std::vector<int>(last, 1));
        file.slots[18] = a;
        packed = "untouched";
        bool fits = last == 155;
        EXPECT_EQ(PackIcp(file.Bytes(), &packed, &error), fits) << last << ": " << error;
        if (fits)
            EXPECT_EQ(SlotOffset(Unpack(packed), 19), 65527u);
        else
            EXPECT_EQ(error,
                      "slot 19 would start at offset 65535, beyond what the slot table can hold");
    }
}

TEST(IrCodeFilePack, RejectsFilesThatDoNotHoldWhatTheirHeaderSays) {
    std::string packed, error;
    EXPECT_FALSE(PackIcp("", &packed, &error));
    EXPECT_EQ(error, "the file is empty");
    EXPECT_FALSE(PackIcp(Unpacked().Bytes().substr(0, 214), &packed, &error));
    EXPECT_EQ(error, "the file is shorter than its header");

    TestFile pastEnd = Unpacked();
    pastEnd.AddItems(1, {1});
    pastEnd.slots[2] = pastEnd.NextOffset() - 4;
    EXPECT_FALSE(PackIcp(pastEnd.Bytes(), &packed, &error));
    EXPECT_EQ(error, "slot 3: block at offset 227 lies past the end of the file");

    TestFile countPastEnd = Unpacked();
    countPastEnd.Add(1, 3, Item(1) + Item(2));
    EXPECT_FALSE(PackIcp(countPastEnd.Bytes(), &packed, &error));
    EXPECT_EQ(error, "slot 1: block of 3 units at offset 215 runs past the end of the file");

    // Packing packed data would turn its bit strings into items.
    EXPECT_FALSE(PackIcp(Pack(Unpacked().Bytes()), &packed, &error));
    EXPECT_EQ(error, "the file is already packed");

    // Slots 1, 3, 5, ... alternate between two long signals: packed they fit,
    // but unpacked again they would need offsets beyond 65535.
    TestFile alternating = Unpacked();
    unsigned a = alternating.AddItems(0, std::vector<int>(1000, 1));
    unsigned b = alternating.AddItems(0, std::vector<int>(1000, 2));
    for (int s = 0; s < kSlotCount; s += 2) alternating.slots[s] = (s / 2) % 2 ? b : a;
    EXPECT_FALSE(PackIcp(alternating.Bytes(), &packed, &error));
    EXPECT_EQ(error, "slot 19 would start at offset 72287, beyond what the slot table can hold");
}

TEST(IrCodeFileUnpack, DecodesSharedDictionaryAndEndsOnPadding) {
    TestFile file = Packed(3);
    // 01 001 1 00 | 1: the zero bits at the end of a byte carry over.
    unsigned offset = file.Add(1, 1, std::string("\x4C\x80\0\0\0\0\0\0", 8));
    file.slots[1] = offset;
    file.Add(4, 0, "");
    std::string unpacked = Unpack(file.Bytes());

    TestFile expected = Unpacked();
    expected.name = file.name;
    unsigned shared = expected.AddItems(1, {1, 2, 0, 2});
    expected.slots[1] = shared;
    expected.AddItems(4, {});
    EXPECT_EQ(unpacked, expected.Bytes());
}

TEST(IrCodeFileUnpack, StoredZeroMeans256Entries) {
    TestFile file = Packed(256);
    file.Add(1, 32, std::string(255 / 8, '\0') + '\x01' + std::string(256 - 32, '\0'));
    TestFile expected = Unpacked();
    expected.name = file.name;
    expected.AddItems(1, {255});
    EXPECT_EQ(Unpack(file.Bytes()), expected.Bytes());
}

TEST(IrCodeFileUnpack, RejectsMalformedBitStringsWithoutOutput) {
    struct Case {
        std::size_t entries;
        std::size_t count;
        std::string units;
        std::string message;
    } cases[] = {
        {2, 1, std::string("\x20\0\0\0\0\0\0\0", 8),
         "slot 1: index 2 lies outside the dictionary of 2 items"},
        {4, 65, std::string(520, '\0'), "slot 1: bit string longer than 512 bytes"},
        // 512 items of index 7 leave the zero run short of 256 at the buffer's end.
        {256, 64, std::string(512, '\x01'), "slot 1: bit string does not end within 512 bytes"},
        {1, 17, std::string(136, '\xFF'), "slot 1: more than 1024 items"},
    };
    for (const Case& c : cases) {
        TestFile file = Packed(c.entries);
        file.Add(1, c.count, c.units);
        std::string unpacked = "untouched", error;
        EXPECT_FALSE(UnpackIcp(file.Bytes(), &unpacked, &error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(unpacked, "untouched");
    }
}

TEST(IrCodeFileUnpack, RejectsShortDictionariesAndUnpackedInput) {
    std::string unpacked, error;
    std::string truncated = Packed(10).Bytes();
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(UnpackIcp(truncated, &unpacked, &error));
    EXPECT_EQ(error, "the file ends within its dictionary of 10 items");
    EXPECT_FALSE(UnpackIcp(Unpacked().Bytes(), &unpacked, &error));
    EXPECT_EQ(error, "the file is not packed");

    // Non-neighbouring slots that share a long block each get their own copy.
    TestFile file = Packed(1);
    unsigned block = file.Add(0, 16, std::string(128, '\xFF'));  // 1024 items
    for (int s = 0; s < kSlotCount; s += 2) file.slots[s] = block;
    EXPECT_FALSE(UnpackIcp(file.Bytes(), &unpacked, &error));
    EXPECT_EQ(error, "slot 17 would start at offset 65815, beyond what the slot table can hold");
}

TEST(IrCodeFileNames, BaseDropsOnlyTheLastExtensionOfTheFileName) {
    EXPECT_EQ(WorkingNames("dir/TV.ixp").packed, "dir/TV.ICP");
    EXPECT_EQ(WorkingNames("dir/TV.ixp").unpacked, "dir/TV.ICU");
    EXPECT_EQ(WorkingNames("dir/TV").packed, "dir/TV.ICP");
    EXPECT_EQ(WorkingNames("dir/TV").unpacked, "dir/TV.ICU");
    EXPECT_EQ(WorkingNames("my.dir/TV").packed, "my.dir/TV.ICP");
    EXPECT_EQ(WorkingNames("a.b.icp").packed, "a.b.ICP");
    EXPECT_EQ(WorkingNames("dir/TV.ixp").given, "dir/TV.ixp");
}

TEST(IrCodeFileNames, PackAndUnpackFindTheirFilesWithoutRegardToCase) {
    test::TempDir dir;
    TestFile file = Unpacked();
    file.AddItems(1, {1, 2, 1});
    dir.Write("tv.icp", file.Bytes());

    // Packing in place: base + ".ICP" is the given file itself.
    std::string error;
    ASSERT_TRUE(PackIcpFile(dir / "tv.icp", &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "tv.ICP"));
    std::string packed = dir.Read("tv.icp");
    EXPECT_EQ(packed, Pack(file.Bytes()));

    ASSERT_TRUE(UnpackIcpFile(dir / "TV.icp", &error)) << error;
    EXPECT_EQ(dir.Read("TV.ICU"), file.Bytes());
}

TEST(IrCodeFileNames, FailedPackWritesNothing) {
    test::TempDir dir;
    TestFile file = Unpacked();
    file.Add(1, 2, Item(1));
    dir.Write("TV.ixp", file.Bytes());
    std::string error;
    EXPECT_FALSE(PackIcpFile(dir / "TV.ixp", &error));
    EXPECT_EQ(error, (dir / "TV.ixp").string() +
                         ": slot 1: block of 2 units at offset 215 runs past the end of the file");
    EXPECT_FALSE(std::filesystem::exists(dir / "TV.ICP"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    EXPECT_FALSE(UnpackIcpFile(dir / "TV.ixp", &error));
    EXPECT_FALSE(std::filesystem::exists(dir / "TV.ICU"));
}

TEST(IrCodeFileHeader, ReadsNameFormAndOffsets) {
    test::TempDir dir;
    TestFile file = Unpacked();
    file.AddItems(3, {1});
    dir.Write("TV.ixp", file.Bytes());
    IcpHeader header;
    ASSERT_TRUE(ReadIcpHeader(dir / "tv.IXP", &header));
    EXPECT_EQ(std::string(header.name.data(), 10), "Test dev  ");
    EXPECT_EQ(header.form, kUnpackedForm);
    EXPECT_EQ(header.slots[0], kEmptySlot);
    EXPECT_EQ(header.slots[2], 215);

    std::string error;
    dir.Write("empty.icp", "");
    EXPECT_FALSE(ReadIcpHeader(dir / "empty.icp", &header, &error));
    EXPECT_EQ(error, (dir / "empty.icp").string() + ": the file is empty");
}

TEST(IrCodeFileDescribe, ReportsSharesDecodedItemsAndDamagedBlocks) {
    TestFile file = Packed(3);
    unsigned offset = file.Add(1, 1, std::string("\x4C\x80\0\0\0\0\0\0", 8));
    file.slots[1] = offset;
    file.slots[3] = 60000;
    IcpSummary summary;
    ASSERT_TRUE(DescribeIcp(file.Bytes(), &summary));
    EXPECT_EQ(summary.dictionarySize, 3u);
    EXPECT_EQ(summary.slots[0].count, 1);
    EXPECT_EQ(summary.slots[0].items, 4u);
    EXPECT_FALSE(summary.slots[0].sharesPrevious);
    EXPECT_TRUE(summary.slots[1].sharesPrevious);
    EXPECT_EQ(summary.slots[2].offset, kEmptySlot);
    EXPECT_EQ(summary.slots[3].problem, "block at offset 60000 lies past the end of the file");
}

TEST(IrCodeFileForm, AnUnknownFormByteCountsAsPackedForEveryReader) {
    TestFile file = Packed(3);
    file.Add(1, 1, std::string("\x4C\x80\0\0\0\0\0\0", 8));
    file.form = 7;
    std::string bytes = file.Bytes(), out, error;
    EXPECT_FALSE(PackIcp(bytes, &out, &error));
    EXPECT_EQ(error, "the file is already packed");
    EXPECT_TRUE(UnpackIcp(bytes, &out, &error)) << error;
    IcpSummary summary;
    ASSERT_TRUE(DescribeIcp(bytes, &summary));
    EXPECT_EQ(summary.dictionarySize, 3u);
}

TEST(IrCodeFileDemo, TemplateIsEmptyAndSampleUnpacksWithANameForEverySignal) {
    std::filesystem::path demo = ORBIK_DEMO_DIR;
    TestFile empty = Unpacked();
    empty.name = "Empty     ";
    std::string bytes, packed;
    ASSERT_TRUE(platform::ReadWholeFile(demo / "IR" / "Empty.ixp", &bytes, kMaxFileSize));
    EXPECT_EQ(bytes, empty.Bytes());

    std::filesystem::path sample = demo / "IR_ICP" / "TV_Demo.icp";
    ASSERT_TRUE(platform::ReadWholeFile(sample, &packed, kMaxFileSize));
    IcpHeader header;
    ASSERT_TRUE(ParseIcpHeader(packed, &header));
    EXPECT_EQ(header.form, kPackedForm);
    EXPECT_EQ(Pack(Unpack(packed)), packed);
    SignalNameList names = ReadSignalNames(SignalNameFile(sample));
    for (int k = 0; k < kSignalCount; ++k)
        EXPECT_EQ(header.slots[2 * k] != kEmptySlot, names[k] != kNotUsed) << SignalKey(k);
}

}  // namespace
}  // namespace orbik::signals
