#include "signals/SignalEdit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/FileSystem.h"
#include "projects/NewName.h"
#include "signals/IcpLibrary.h"
#include "support/TempDir.h"

namespace orbik::signals {
namespace {

std::string Block(size_t count, char fill) {
    std::string block(count * 8 + 8, fill);
    block[0] = char(count >> 8);
    block[1] = char(count);
    return block;
}

TEST(SignalEdit, LibrarySignalReplacesThePairAndCountsFromTheSlots) {
    SlotData data;
    SignalNameList names = UnusedSignalNames();
    data.slots[4] = Block(3, 'a');  // signal 2: a toggle pair
    data.slots[5] = Block(5, 'b');
    names[2] = "old  ";
    // Without toggle the second block goes and its bytes with it.
    TakeResult taken = TakeLibrarySignal(data, names, 2, Block(1, 'c'), "Power", false);
    ASSERT_TRUE(taken.ok);
    EXPECT_EQ(taken.bytesUsed, 215u + 16u);
    EXPECT_EQ(taken.bytesUsed, BytesUsed(data));
    EXPECT_TRUE(data.slots[5].empty());
    EXPECT_EQ(names[2], "Power");
    // As a toggle signal: the second slot, the name added after trailing blanks.
    names[2] = "Power  ";
    taken = TakeLibrarySignal(data, names, 2, Block(2, 'd'), "Off", true);
    ASSERT_TRUE(taken.ok);
    EXPECT_EQ(taken.bytesUsed, 215u + 16u + 24u);
    EXPECT_EQ(data.slots[4], Block(1, 'c'));
    EXPECT_EQ(names[2], "Power / Off");
    // A toggle onto an unlearned signal has nothing to alternate with.
    taken = TakeLibrarySignal(data, names, 7, Block(1, 'e'), "Mute", true);
    EXPECT_TRUE(taken.ok);
    EXPECT_EQ(data.slots[14], Block(1, 'e'));
    EXPECT_EQ(names[7], "Mute");
}

TEST(SignalEdit, LibrarySignalPassingTheMemoryLimitIsRefused) {
    SlotData data;
    SignalNameList names = UnusedSignalNames();
    data.slots[0] = Block(8136, 'a');  // 215 + 65096: 8 bytes left below the limit
    ASSERT_EQ(BytesUsed(data), kSignalMemoryCapacity - 9);
    TakeResult taken = TakeLibrarySignal(data, names, 1, Block(1, 'b'), "x", false);
    EXPECT_FALSE(taken.ok);
    EXPECT_EQ(taken.bytesUsed, kSignalMemoryCapacity - 9);
    EXPECT_TRUE(data.slots[2].empty());
    EXPECT_EQ(names[1], kNotUsed);
    taken = TakeLibrarySignal(data, names, 1, Block(0, 'b'), "x", false);
    EXPECT_TRUE(taken.ok);
    EXPECT_EQ(taken.bytesUsed, kSignalMemoryCapacity - 1);
    // Replacing a block frees its bytes first.
    taken = TakeLibrarySignal(data, names, 0, Block(8136, 'c'), "y", false);
    EXPECT_TRUE(taken.ok);
    EXPECT_EQ(taken.bytesUsed, kSignalMemoryCapacity - 1);
}

TEST(SignalEdit, RepetitionsChangeByteSevenOfEveryBlockOfThePair) {
    SlotData data;
    data.slots[0] = Block(1, 'a');
    SetRepetitions(data, 0, 5);
    EXPECT_EQ(Repetitions(data, 0), 5);
    std::string expected = Block(1, 'a');
    expected[7] = 5;
    EXPECT_EQ(data.slots[0], expected);  // one byte only
    EXPECT_TRUE(data.slots[1].empty());
    data.slots[1] = Block(2, 'b');
    SetRepetitions(data, 0, 150);
    EXPECT_EQ(Repetitions(data, 0), kMaxRepetitions);
    EXPECT_EQ(data.slots[1][7], char(kMaxRepetitions));
    EXPECT_EQ(Repetitions(data, 1), 0);  // an empty signal
}

TEST(SignalEdit, RowsShowInUseAndTheLengths) {
    SlotData data;
    SignalNameList names = UnusedSignalNames();
    data.slots[0] = Block(1, 'a');
    data.slots[1] = Block(1, 'a');
    data.slots[2] = Block(1, 'a');
    data.slots[3] = Block(2, 'b');
    EXPECT_EQ(ShownSignalName(IsLearned(data, 0), names[0]), kInUse);
    EXPECT_EQ(ShownSignalName(IsLearned(data, 2), names[2]), kNotUsed);
    EXPECT_EQ(ShownSignalName(true, "TV"), "TV");
    EXPECT_EQ(SignalLengthText(data, 0), "16");
    EXPECT_EQ(SignalLengthText(data, 1), "16 / 24");
    EXPECT_EQ(SignalLengthText(data, 2), "n.a.");
    DeleteSignal(data, names, 1);
    EXPECT_TRUE(data.slots[2].empty() && data.slots[3].empty());
    EXPECT_EQ(BytesUsed(data), 215u + 16u);
}

class Library : public ::testing::Test {
  protected:
    std::string CodeFile(const std::string& name) {
        std::string bytes = HeaderName(name) + std::string(205, '\xFF');
        dir.Write(name + ".icp", bytes);
        return name + ".icp";
    }
    std::string Read(const std::string& name) { return dir.Read(name); }
    test::TempDir dir;
};

TEST_F(Library, NamesAreOfferedAndCheckedByTheDialogsRules) {
    std::vector<std::string> rows{"TV.icp", "Radio.icp"};
    EXPECT_TRUE(NameOffered("tv", rows));  // exact comparison while typing
    EXPECT_FALSE(NameOffered("TV", rows));
    EXPECT_FALSE(NameOffered("", rows));
    EXPECT_FALSE(NameOffered(" a", rows));
    EXPECT_EQ(CheckLibraryName("a.icp"), kNoExtensionText);
    EXPECT_EQ(CheckLibraryName("../x"), projects::NotAllowedText());
    EXPECT_EQ(CheckLibraryName("a/b"), projects::NotAllowedText());
    EXPECT_EQ(CheckLibraryName("   "), projects::NotAllowedText());
    EXPECT_EQ(CheckLibraryName("0123456789"), "");
    EXPECT_NE(CheckLibraryName("01234567890"), "");
}

TEST_F(Library, RenameWritesTheHeaderAndMovesTheNameFileAlong) {
    CodeFile("tv");
    dir.Write("tv.txt", "[signalnames]\r\n");
    std::string error;
    ASSERT_EQ(RenameLibraryFile(dir.Path(), "tv.icp", "0123456789", &error), FileMove::Done)
        << error;
    EXPECT_EQ(Read("0123456789.icp").substr(0, 11), "0123456789\xFF");
    EXPECT_EQ(Read("0123456789.txt"), "[signalnames]\r\n");
    EXPECT_EQ(ListCodeFiles(dir.Path()), std::vector<std::string>{"0123456789.icp"});
    // Without a name file only the code file moves; a letter-case rename is allowed.
    CodeFile("radio");
    ASSERT_EQ(RenameLibraryFile(dir.Path(), "radio.icp", "Radio", &error), FileMove::Done);
    EXPECT_EQ(Read("Radio.icp").substr(0, 10), "Radio     ");
    EXPECT_FALSE(std::filesystem::exists(dir / "radio.icp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Radio.txt"));
}

TEST_F(Library, RenameAndCopyNeverReplaceAFileInAnyLetterCase) {
    CodeFile("tv");
    CodeFile("Radio");
    dir.Write("sat.txt", "names");  // a name file without its code file
    std::string error;
    EXPECT_EQ(RenameLibraryFile(dir.Path(), "tv.icp", "RADIO", &error), FileMove::Exists);
    EXPECT_EQ(CopyLibraryFile(dir.Path(), "tv.icp", "radio", &error), FileMove::Exists);
    dir.Write("tv.txt", "tv names");
    EXPECT_EQ(CopyLibraryFile(dir.Path(), "tv.icp", "SAT", &error), FileMove::Exists);
    EXPECT_EQ(Read("Radio.icp").substr(0, 10), "Radio     ");
    EXPECT_EQ(Read("sat.txt"), "names");
    ASSERT_EQ(CopyLibraryFile(dir.Path(), "tv.icp", "tv2", &error), FileMove::Done) << error;
    EXPECT_EQ(Read("tv2.icp").substr(0, 10), "tv2       ");
    EXPECT_EQ(Read("tv.icp").substr(0, 10), "tv        ");
    EXPECT_EQ(Read("tv2.txt"), "tv names");
    ASSERT_TRUE(DeleteCodeFile(dir.Path(), "TV2.icp", &error)) << error;
    EXPECT_EQ(ListCodeFiles(dir.Path()), (std::vector<std::string>{"Radio.icp", "tv.icp"}));
    EXPECT_FALSE(platform::FileExists(dir / "tv2.txt"));
}

}  // namespace
}  // namespace orbik::signals
