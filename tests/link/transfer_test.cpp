#include "link/Transfer.h"
#include "link/TransferSession.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TransferFiles.h"

namespace orbik::link {
namespace {

using test::Frames;
using test::Pattern;
using test::TempDir;

std::string CheckError(Operation operation, const std::filesystem::path& file) {
    TransferJob job;
    job.operation = operation;
    job.fileName = file;
    std::string error;
    return CheckSendFile(job, &error) ? "" : error;
}

TEST(TransferCheck, AcceptsSoundImages) {
    TempDir dir;
    EXPECT_EQ(CheckError(Operation::TransCif, dir.Write("a.cif", Frames(Pattern(1000)))), "");
    EXPECT_EQ(CheckError(Operation::TransCim, dir.Write("a.cim", Pattern(kConfigSize))), "");
    EXPECT_EQ(CheckError(Operation::TransMem, dir.Write("a.mem", Pattern(1000))), "");
}

TEST(TransferCheck, RefusesUnusableFilesNamingThem) {
    TempDir dir;
    auto empty = dir.Write("empty.cif", "");
    EXPECT_EQ(CheckError(Operation::TransCif, empty), empty.string() + " is empty");
    EXPECT_EQ(CheckError(Operation::TransCim, dir / "gone.cim"),
              (dir / "gone.cim").string() + " not found");

    std::string frames = Frames(Pattern(400));
    auto cut = dir.Write("cut.cif", frames.substr(0, frames.size() - 1));
    EXPECT_NE(CheckError(Operation::TransCif, cut).find("multiple of 132"), std::string::npos);

    std::string bad = frames;
    bad[132 + 10] ^= 1;  // a data byte of frame 2
    auto broken = dir.Write("broken.cif", bad);
    EXPECT_EQ(CheckError(Operation::TransCif, broken),
              broken.string() + ": the checksum of frame 2 is wrong");

    std::string high = Frames(Pattern(128));
    high[0] = 0x30;  // address 0x300000: beyond the configuration memory
    auto beyond = dir.Write("beyond.cif", high);
    EXPECT_NE(CheckError(Operation::TransCif, beyond).find("does not fit"), std::string::npos);

    auto big = dir.Write("big.cim", Pattern(kConfigSize + 1));
    EXPECT_NE(CheckError(Operation::TransCim, big).find("does not fit"), std::string::npos);
    auto bigMem = dir.Write("big.mem", Pattern(kMemorySize + 1));
    EXPECT_NE(CheckError(Operation::TransMem, bigMem).find("does not fit"), std::string::npos);
}

TEST(TransferCheck, FrameAtTheLastBlockOfConfigurationMemoryFits) {
    TempDir dir;
    auto oneFrameAt = [&](uint32_t address) {
        std::string frame = Frames(Pattern(128));
        frame[0] = char(address >> 16);
        frame[1] = char(address >> 8);
        frame[2] = char(address);
        return dir.Write("one.cif", frame);
    };
    EXPECT_EQ(CheckError(Operation::TransCif, oneFrameAt(0x2FFF80)), "");
    EXPECT_NE(CheckError(Operation::TransCif, oneFrameAt(0x2FFF81)).find("does not fit"),
              std::string::npos);
    EXPECT_NE(CheckError(Operation::TransCif, oneFrameAt(0x300000)).find("does not fit"),
              std::string::npos);
}

TEST(MemSendPlan, NamesEmptyAndUnusableImagesAndNotesShortOnes) {
    TempDir dir;
    std::string error;
    auto empty = dir.Write("empty.mem", "");
    EXPECT_FALSE(PlanMemSend(empty, &error));
    EXPECT_EQ(error, empty.string() + " is empty");
    EXPECT_FALSE(PlanMemSend(dir / "none.mem", &error));
    EXPECT_EQ(error, (dir / "none.mem").string() + " not found");
    auto other = dir.Write("other.mem", std::string("\x09\x00\x00", 3) + Pattern(kMemorySize));
    EXPECT_FALSE(PlanMemSend(other, &error));
    EXPECT_EQ(error, kInvalidStartAddressMessage);
    EXPECT_FALSE(PlanMemSend(dir.Write("long.mem", Pattern(kMemorySize + 1)), &error));
    EXPECT_NE(error.find("does not fit"), std::string::npos);

    auto shortPlan = PlanMemSend(dir.Write("short.mem", Pattern(1000)), &error);
    ASSERT_TRUE(shortPlan);
    EXPECT_TRUE(shortPlan->shorterThanMemory);
    EXPECT_EQ(shortPlan->job.operation, Operation::TransMem);
    EXPECT_EQ(shortPlan->job.length, 1000u);
    EXPECT_EQ(shortPlan->job.startAddress, kMemoryStart);
    EXPECT_FALSE(shortPlan->job.hasHeader);

    auto header = std::string("\x08\x00\x00", 3) + Pattern(kMemorySize);
    auto full = PlanMemSend(dir.Write("full.mem", header), &error);
    ASSERT_TRUE(full);
    EXPECT_FALSE(full->shorterThanMemory);
    EXPECT_TRUE(full->job.hasHeader);
    EXPECT_EQ(full->job.length, kMemorySize);
}

TEST(TransferCheck, FilesThatCannotBeReadWholeAreRefusedWithTheReason) {
    TempDir dir;
    auto mem = dir / "mem.cim";
    std::filesystem::create_symlink("/proc/self/mem", mem);  // every read fails
    EXPECT_EQ(CheckError(Operation::TransCim, mem),
              "Cannot read " + mem.string() + ": Input/output error");
    auto status = dir / "status.cim";
    std::filesystem::create_symlink("/proc/self/status", status);  // size 0, yet has bytes
    EXPECT_EQ(CheckError(Operation::TransCim, status),
              "Cannot read " + status.string() + ": size changed while reading");
    // Refused by its size, unread.
    auto huge = dir.Write("huge.mem", "");
    std::filesystem::resize_file(huge, 10ull << 30);
    EXPECT_EQ(CheckError(Operation::TransMem, huge),
              huge.string() + " does not fit the memory of ORBIK");
}

TEST(TransferCheck, MemoryImageWithHeaderAtAnotherAddressIsRefused) {
    TempDir dir;
    std::string image = std::string("\x09\x00\x00", 3) + Pattern(kMemorySize);
    auto file = dir.Write("other.mem", image);
    std::string error;
    auto examined = ExamineMemImage(file, &error);
    ASSERT_TRUE(examined);
    EXPECT_TRUE(examined->hasHeader);
    EXPECT_EQ(examined->startAddress, 0x90000u);
    EXPECT_EQ(examined->length, kMemorySize);
    TransferJob job;
    job.operation = Operation::TransMem;
    job.fileName = file;
    job.hasHeader = true;
    job.startAddress = examined->startAddress;
    EXPECT_FALSE(CheckSendFile(job, &error));
    EXPECT_EQ(error, file.string() + ": invalid start address");
}

TEST(TransferCheck, ExaminesMemoryImagesBySize) {
    TempDir dir;
    auto plain = ExamineMemImage(dir.Write("p.mem", Pattern(kMemorySize)), nullptr);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->hasHeader);
    EXPECT_EQ(plain->startAddress, kMemoryStart);
    EXPECT_EQ(plain->length, kMemorySize);
    auto small = ExamineMemImage(dir.Write("s.mem", Pattern(1000)), nullptr);
    ASSERT_TRUE(small);
    EXPECT_FALSE(small->hasHeader);
    EXPECT_EQ(small->length, 1000u);
    std::string error;
    EXPECT_FALSE(ExamineMemImage(dir / "none.mem", &error));
    EXPECT_EQ(error, (dir / "none.mem").string() + " not found");
}

TEST(TransferNames, OperationFollowsTheLastLetterOfTheName) {
    EXPECT_EQ(ConfigSendOperation("image.CIF"), Operation::TransCif);
    EXPECT_EQ(ConfigSendOperation("image.cif"), Operation::TransCif);
    EXPECT_EQ(ConfigSendOperation("image.cim"), Operation::TransCim);
    EXPECT_EQ(ConfigSendOperation("image.bin"), Operation::TransCim);
    for (auto op : {Operation::TransCif, Operation::TransCim, Operation::ReadCim,
                    Operation::TransMem, Operation::ReadMem})
        EXPECT_EQ(OperationFromCode(OperationCode(op)), op);
    EXPECT_FALSE(OperationFromCode("trans_xyz"));
}

TEST(TransferProgress, RoundsAndStartsAtOne) {
    EXPECT_EQ(ProgressPercent(0, 1000), 1);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(128, 200), 64);  // 63.36 -> 63, + 1
    EXPECT_EQ(ProgressPercent(5, 1000), 1);    // 0.495 -> 0
    EXPECT_EQ(ProgressPercent(6, 1000), 2);    // 0.594 -> 1
}

}  // namespace
}  // namespace orbik::link
