// The .CIM (padding, checksum) and the .CIF frames made from it, and how
// both files reach the disk.

#include <gtest/gtest.h>

#include "compiler/Image.h"
#include "compiler/ImageFiles.h"
#include "platform/Bytes.h"
#include "support/TempDir.h"

namespace orbik::compiler {
namespace {

using platform::GetBigEndian;
using platform::kFrameSize;
using platform::XorChecksum;

std::size_t Dots(const StatusLines& log, const std::string& label) {
    EXPECT_EQ(log.Status().substr(0, label.size()), label);
    return log.Status().size() - label.size();
}

// Bytes 1, 2, 3, ... wrapping past 0xFE, so that no block is all 0xFF.
std::string Counting(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(1 + i % 0xFE);
    return bytes;
}

TEST(CimTest, EvenImageGetsPadByteThenChecksum) {
    StatusLines log;
    std::string image = Counting(1000);
    std::string cim = ComposeCim(image, log);
    ASSERT_EQ(cim.size(), 1002u);
    EXPECT_EQ(cim.substr(0, 1000), image);
    EXPECT_EQ(cim[1000], '\0');
    EXPECT_EQ(static_cast<std::uint8_t>(cim[1001]), XorChecksum(image));
    EXPECT_EQ(XorChecksum(cim), 0);
}

TEST(CimTest, OddImageGetsOnlyChecksum) {
    StatusLines log;
    std::string image = Counting(1001);
    std::string cim = ComposeCim(image, log);
    ASSERT_EQ(cim.size(), 1002u);
    EXPECT_EQ(cim.substr(0, 1001), image);
    EXPECT_EQ(static_cast<std::uint8_t>(cim[1001]), XorChecksum(image));
}

TEST(CimTest, TicksBeforeEveryHundredThousandthByte) {
    for (auto [size, dots] : {std::pair<std::size_t, std::size_t>{1, 1},
                              {99999, 1},
                              {100000, 2},
                              {100001, 2},
                              {200001, 3}}) {
        StatusLines log;
        log.BeginStep("writing configuration .... ");
        ComposeCim(std::string(size, 'x'), log);
        // The padded length counts: 100,000 becomes 100,001 bytes.
        EXPECT_EQ(Dots(log, "writing configuration .... "), dots) << size;
    }
}

TEST(FramingTest, FramesWholeFileAndFillsLastFrameWithFF) {
    StatusLines log;
    std::string cim = Counting(1002);
    std::string cif = FrameCim(cim, log);
    ASSERT_EQ(cif.size(), 8 * kFrameSize);
    for (std::size_t f = 0; f < 8; ++f) {
        std::string_view frame = std::string_view(cif).substr(f * kFrameSize, kFrameSize);
        EXPECT_EQ(GetBigEndian(frame, 0, 3), f * 128);
        std::string_view data = frame.substr(3, 128);
        std::size_t inFile = f < 7 ? 128 : 106;
        EXPECT_EQ(data.substr(0, inFile), std::string_view(cim).substr(f * 128, inFile));
        EXPECT_EQ(data.substr(inFile), std::string(128 - inFile, '\xFF'));
        EXPECT_EQ(static_cast<std::uint8_t>(frame[131]), XorChecksum(data));
    }
    // The checksum covers the 22 filler bytes too (22 x 0xFF xor to 0).
    std::string_view last = std::string_view(cif).substr(7 * kFrameSize + 3, 106);
    EXPECT_EQ(static_cast<std::uint8_t>(cif.back()), XorChecksum(last));
}

TEST(FramingTest, LeavesOutBlocksOfOnlyFF) {
    StatusLines log;
    std::string cim = Counting(1002);
    cim.replace(128, 128, std::string(128, '\xFF'));
    cim.replace(1000, 2, "\xFF\xFF");  // a partial block is not all of a frame
    std::string cif = FrameCim(cim, log);
    ASSERT_EQ(cif.size(), 7 * kFrameSize);
    EXPECT_EQ(GetBigEndian(cif, 0, 3), 0u);
    EXPECT_EQ(GetBigEndian(cif, kFrameSize, 3), 256u);
    EXPECT_EQ(GetBigEndian(cif, 6 * kFrameSize, 3), 896u);

    // A trailing block of only 0xFF is not framed either.
    std::string tail = Counting(128) + std::string(100, '\xFF');
    EXPECT_EQ(FrameCim(tail, log).size(), kFrameSize);
}

TEST(FramingTest, OffsetsUseThreeBytesAndTicksCountWrittenFrames) {
    StatusLines log;
    log.BeginStep("framing configuration .... ");
    // 250 written frames spread over a large file: dots before frames 1, 101, 201.
    std::string cim(0x2F0000, '\xFF');
    for (std::size_t f = 0; f < 250; ++f) cim[f * 0x3000 + 5] = 'x';
    std::string cif = FrameCim(cim, log);
    ASSERT_EQ(cif.size(), 250 * kFrameSize);
    EXPECT_EQ(Dots(log, "framing configuration .... "), 3u);
    EXPECT_EQ(GetBigEndian(cif, 249 * kFrameSize, 3), 249u * 0x3000);
    EXPECT_EQ(cif.substr(249 * kFrameSize, 3), std::string("\x2E\xB0\x00", 3));
}

TEST(ImageFilesTest, WritesBothFilesAsSteps) {
    test::TempDir dir;
    StatusLines log;
    std::string image = Counting(300);
    platform::FileReplacement outputs;
    ASSERT_TRUE(WriteCimAndCif(image, dir.Path(), "Demo", outputs, log) && outputs.Commit());
    std::string cim = dir.Read("Demo.CIM");
    EXPECT_EQ(cim.size(), 302u);
    EXPECT_EQ(dir.Read("Demo.CIF"), FrameCim(cim, log));
    EXPECT_EQ(log.Finished(), "framing configuration .... .ok");
    EXPECT_FALSE(log.Failed());
}

TEST(ImageFilesTest, ReplacesExistingFileOfOtherCase) {
    test::TempDir dir;
    dir.Write("demo.cim", "old");
    StatusLines log;
    platform::FileReplacement outputs;
    ASSERT_TRUE(WriteCimAndCif(Counting(3), dir.Path(), "Demo", outputs, log) && outputs.Commit());
    EXPECT_EQ(dir.Read("demo.cim").size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(dir / "Demo.CIM"));
}

TEST(ImageFilesTest, ReportsWriteFailureAndKeepsOldFiles) {
    test::TempDir dir;
    // A directory in the way fails the rename, whoever runs the test.
    dir.Write("Demo.CIM/keep", "");
    dir.Write("Demo.CIF", "old frames");
    StatusLines log;
    log.BeginStep("checking playbacks ....... ");
    log.FinishStep();
    {
        platform::FileReplacement outputs;
        EXPECT_FALSE(WriteCimAndCif(Counting(300), dir.Path(), "Demo", outputs, log));
    }
    EXPECT_TRUE(log.Failed());
    std::string expected = "cannot write " + (dir / "Demo.CIM").string() + ": ";
    EXPECT_EQ(log.Status().substr(0, expected.size()), expected);
    EXPECT_EQ(log.Finished(), "checking playbacks ....... ok");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Demo.CIM"));
    EXPECT_EQ(dir.Read("Demo.CIF"), "old frames");
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_TRUE(entry.path().filename() == "Demo.CIM" || entry.path().filename() == "Demo.CIF")
            << "left behind: " << entry.path();
}

TEST(ImageFilesTest, ReportsFramingWriteFailure) {
    test::TempDir dir;
    dir.Write("Demo.CIF/keep", "");
    StatusLines log;
    platform::FileReplacement outputs;
    EXPECT_FALSE(WriteCimAndCif(Counting(300), dir.Path(), "Demo", outputs, log));
    EXPECT_EQ(log.Finished(), "writing configuration .... .ok");
    std::string expected = "cannot write " + (dir / "Demo.CIF").string() + ": ";
    EXPECT_EQ(log.Status().substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace orbik::compiler
