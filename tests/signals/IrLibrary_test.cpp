#include "signals/IrLibrary.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/IrLibraryFile.h"
#include "support/TempDir.h"

namespace orbik::signals {
namespace {

using test::IrLibraryBytes;

std::string Block(size_t count, char fill) {
    std::string block(count * 8 + 8, fill);
    block[0] = char(count >> 8);
    block[1] = char(count);
    return block;
}

// Sets a 32-bit little-endian field of record `index` (21: offset, 25: length).
void SetField(std::string& file, size_t index, size_t field, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        file[index * kIrRecordSize + field + size_t(i)] = char(value >> (8 * i));
}

TEST(IrLibrary, SingleRecordHasItsDataRightAfterItsRecord) {
    std::string file = IrLibraryBytes({{"Power", Block(2, 'a')}});
    IrDirectory directory = ReadIrDirectory(file);
    ASSERT_EQ(directory.records.size(), 1u);
    EXPECT_EQ(directory.skipped, 0);
    EXPECT_EQ(directory.records[0].name, "Power");
    EXPECT_EQ(directory.records[0].offset, 29u);
    EXPECT_EQ(IrRecordData(file, directory.records[0]), Block(2, 'a'));
}

TEST(IrLibrary, NamesUseTheirLengthByteAndAtMostTwentyCharacters) {
    std::string file = IrLibraryBytes(
        {{"", Block(1, 'a')}, {"Exactly twenty chars", Block(1, 'b')}, {"Vol\xE4", Block(1, 'c')}});
    file[kIrRecordSize] = char(200);  // a length byte beyond the field
    IrDirectory directory = ReadIrDirectory(file);
    ASSERT_EQ(directory.records.size(), 3u);
    EXPECT_EQ(directory.records[0].name, "");
    EXPECT_EQ(directory.records[1].name, "Exactly twenty chars");
    EXPECT_EQ(directory.records[2].name, "Vol\xE4");
}

TEST(IrLibrary, RepeatedNamesFindTheLastRecord) {
    std::string file = IrLibraryBytes(
        {{"Power", Block(1, 'a')}, {"Mute", Block(1, 'b')}, {"Power", Block(1, 'c')}});
    IrDirectory directory = ReadIrDirectory(file);
    const IrRecord* power = FindIrRecord(directory, "Power");
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(IrRecordData(file, *power), Block(1, 'c'));
    EXPECT_EQ(FindIrRecord(directory, "power"), nullptr);
}

TEST(IrLibrary, RecordsOutsideTheFileAreSkippedAndCounted) {
    const std::string sound =
        IrLibraryBytes({{"A", Block(1, 'a')}, {"B", Block(2, 'b')}, {"C", Block(1, 'c')}});
    const uint32_t size = uint32_t(sound.size());
    struct Case {
        const char* what;
        size_t field;
        uint32_t value;
    };
    const Case cases[] = {
        {"data ends one byte past the file", 25, size - (3 * 29 + 16) + 1},
        {"offset at the end of the file", 21, size},
        {"offset past the file", 21, 0xFFFFFFF0},
        {"offset plus length wraps 32 bits", 25, 0xFFFFFFF8},
        {"offset inside the directory", 21, 10},
        {"too short for a block head", 25, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = sound;
        SetField(file, 1, c.field, c.value);
        IrDirectory directory = ReadIrDirectory(file);
        EXPECT_EQ(directory.skipped, 1);
        ASSERT_EQ(directory.records.size(), 2u);
        EXPECT_EQ(directory.records[0].name, "A");
        EXPECT_EQ(directory.records[1].name, "C");
    }
    // The last byte of the file still belongs to a record.
    std::string file = sound;
    SetField(file, 2, 25, 16);
    EXPECT_EQ(ReadIrDirectory(file).skipped, 0);
    SetField(file, 2, 25, 17);
    EXPECT_EQ(ReadIrDirectory(file).skipped, 1);
}

TEST(IrLibrary, TheFirstOffsetClosesTheDirectory) {
    // Too short for one record: no directory at all.
    EXPECT_TRUE(ReadIrDirectory(std::string(28, '\0')).records.empty());
    EXPECT_EQ(ReadIrDirectory(std::string(28, '\0')).skipped, 0);

    std::string file = IrLibraryBytes({{"A", Block(1, 'a')}, {"B", Block(1, 'b')}});
    // A first offset past the file: the records that fit are read, each
    // checked on its own.
    SetField(file, 0, 21, 0x7FFFFFFF);
    IrDirectory directory = ReadIrDirectory(file);
    EXPECT_EQ(directory.records.size(), 0u);
    EXPECT_EQ(directory.skipped, int(file.size() / kIrRecordSize));
    // A first offset inside its own record still leaves that record.
    SetField(file, 0, 21, 3);
    directory = ReadIrDirectory(file);
    EXPECT_TRUE(directory.records.empty());
    EXPECT_EQ(directory.skipped, 1);
}

TEST(IrLibrary, AnyBytesGiveRecordsInsideTheFile) {
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::string file(random() % 200, '\0');
        for (char& c : file) c = char(random() % 4 == 0 ? random() % 256 : random() % 64);
        IrDirectory directory = ReadIrDirectory(file);
        for (const IrRecord& record : directory.records) {
            ASSERT_LE(uint64_t(record.offset) + record.length, file.size());
            ASSERT_LE(record.name.size(), kIrNameSize);
            ASSERT_EQ(IrRecordData(file, record).size(), record.length);
        }
        ASSERT_LE(directory.records.size() + size_t(directory.skipped),
                  std::max<size_t>(1, file.size() / kIrRecordSize));
    }
}

TEST(IrLibrary, MessageCountsTheSkippedRecords) {
    EXPECT_EQ(SkippedRecordsMessage("tv.ir", 0), "");
    EXPECT_EQ(SkippedRecordsMessage("tv.ir", 1), "1 damaged signal of tv.ir was skipped");
    EXPECT_EQ(SkippedRecordsMessage("tv.ir", 3), "3 damaged signals of tv.ir were skipped");
}

TEST(IrLibrary, LoadsFilesAndListsLibrariesInAnyCaseInByteOrder) {
    test::TempDir dir;
    dir.Write("b.ir", IrLibraryBytes({{"X", Block(1, 'x')}}));
    dir.Write("A.IR", "");
    dir.Write("c.iR", "");
    dir.Write("d.irx", "");
    dir.Write("e.ir/inner", "");
    EXPECT_EQ(ListIrLibraries(dir.Path()), (std::vector<std::string>{"A.IR", "b.ir", "c.iR"}));
    EXPECT_TRUE(ListIrLibraries(dir / "missing").empty());

    IrLibrary library;
    ASSERT_TRUE(LoadIrLibrary(dir / "b.ir", &library));
    ASSERT_EQ(library.directory.records.size(), 1u);
    EXPECT_EQ(IrRecordData(library.bytes, library.directory.records[0]), Block(1, 'x'));
    std::string error;
    EXPECT_FALSE(LoadIrLibrary(dir / "missing.ir", &library, &error));
    EXPECT_NE(error.find("missing.ir"), std::string::npos);
    EXPECT_TRUE(library.directory.records.empty());
}

}  // namespace
}  // namespace orbik::signals
