// The signal operations against orbiksim: what is learned comes back whole
// and cut to its length, what is written arrives whole, and each way a
// learn can fail is told apart.

#include "link/Learning.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/SimulatedDevice.h"

namespace orbik::link {
namespace {

using test::SimulatedDevice;
using test::SimulatedDeviceOptions;

// A block of `count` items with bytes that differ from erased memory and
// from each other, its last byte never 0xFF.
std::string Block(size_t count, int seed = 1) {
    std::string block(count * 8 + 8, '\0');
    block[0] = char(count >> 8);
    block[1] = char(count);
    for (size_t i = 2; i < block.size(); ++i) block[i] = char((i * 13 + size_t(seed) * 7) % 251);
    return block;
}

struct Session {
    explicit Session(const SimulatedDevice& device) : link(device.PortName(), nullptr) {
        EXPECT_TRUE(link.OpenPort());
        EXPECT_TRUE(link.Identify());
    }
    DeviceLink link;
};

TEST(Learning, LearnedSignalsOfEveryLengthComeBackCutToTheirLength) {
    // One item, a block that ends on a memory block's end, one byte past
    // it, and the longest the device learns.
    for (size_t count : {0u, 1u, 15u, 16u, 1022u}) {
        SCOPED_TRACE(count);
        SimulatedDeviceOptions options;
        options.learnedSignal = Block(count);
        SimulatedDevice device(options);
        Session s(device);
        std::vector<std::string> texts;
        LearningCallbacks waiting;
        waiting.status = [&](const std::string& text) { texts.push_back(text); };
        ASSERT_EQ(LearnSignal(s.link, waiting), LearnResult::Learned);

        std::vector<int> percents;
        LearningCallbacks reading;
        reading.progress = [&](int p) { percents.push_back(p); };
        std::string block;
        ASSERT_EQ(ReadSignal(s.link, &block, reading), SignalTransfer::Complete);
        EXPECT_EQ(block, Block(count));
        EXPECT_EQ(SignalBlockLength(block), block.size());
        ASSERT_FALSE(percents.empty());
        EXPECT_EQ(percents.back(), 100);
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
        EXPECT_TRUE(s.link.waitObserver == nullptr) << "the count-down is taken off again";
    }
}

TEST(Learning, OnlyTheFirstBlockCanMarkAnEmptySignalMemory) {
    // A later memory block that happens to look like the empty mark (00 FF,
    // summing to 0) is part of the signal.
    std::string block = Block(31);
    block[128] = 0x00;
    block[129] = char(0xFF);
    block[255] = 0;
    uint8_t sum = 0;
    for (size_t i = 128; i < 256; ++i) sum ^= uint8_t(block[i]);
    block[255] = char(sum);
    SimulatedDeviceOptions options;
    options.learnedSignal = block;
    SimulatedDevice device(options);
    Session s(device);
    ASSERT_EQ(LearnSignal(s.link, {}), LearnResult::Learned);
    std::string back;
    ASSERT_EQ(ReadSignal(s.link, &back, {}), SignalTransfer::Complete);
    EXPECT_EQ(back, block);
}

TEST(Learning, WrittenBlocksArriveWholeIncludingTheirLastByte) {
    SimulatedDevice device;
    Session s(device);
    for (size_t count : {0u, 15u, 16u, 1022u}) {
        SCOPED_TRACE(count);
        std::string block = Block(count, int(count));
        ASSERT_NE(uint8_t(block.back()), 0xFF);
        ASSERT_EQ(WriteSignal(s.link, block, {}), SignalTransfer::Complete);
        device.Save();
        std::string memory = device.SignalMemory();
        EXPECT_EQ(memory.substr(0, block.size()), block);
        // The rest of the last memory block is erased.
        size_t end = (block.size() + 127) / 128 * 128;
        EXPECT_EQ(memory.substr(block.size(), end - block.size()),
                  std::string(end - block.size(), char(0xFF)));
        // What was written is what a read gives back.
        std::string back;
        ASSERT_EQ(ReadSignal(s.link, &back, {}), SignalTransfer::Complete);
        EXPECT_EQ(back, block);
        EXPECT_TRUE(PlaySignal(s.link));
    }
    EXPECT_NE(device.Stop().find("plays=4"), std::string::npos);
}

TEST(Learning, RefusesBlocksTheSignalMemoryCannotTake) {
    SimulatedDevice device;
    Session s(device);
    EXPECT_EQ(WriteSignal(s.link, "", {}), SignalTransfer::BadBlock);
    EXPECT_EQ(WriteSignal(s.link, std::string(kMaxSignalBytes + 1, 'x'), {}),
              SignalTransfer::BadBlock);
}

// A learned signal whose count says more than the device holds is told as
// too long, not kept, whether or not the rounded-up read reached its end.
TEST(Learning, ASignalCountBeyondTheMemoryIsReadAsTooLong) {
    for (std::uint16_t count : {1023, 0xFFFF}) {  // 8192 bytes, and far past
        SCOPED_TRACE(count);
        std::string block = Block(3);
        block[0] = char(count >> 8);
        block[1] = char(count & 0xFF);
        SimulatedDeviceOptions options;
        options.learnedSignal = block;
        SimulatedDevice device(options);
        Session s(device);
        ASSERT_EQ(LearnSignal(s.link, {}), LearnResult::Learned);
        std::string read;
        EXPECT_EQ(ReadSignal(s.link, &read, {}), SignalTransfer::TooLong);
        EXPECT_EQ(read.substr(0, block.size()), block);
    }
}

TEST(Learning, EachFailureOfALearnIsToldApart) {
    struct Case {
        std::vector<std::string> args;
        LearnResult result;
        const char* message;
    };
    const Case cases[] = {
        {{"--learn-result", "too-long"}, LearnResult::TooLong, "Signal too long!"},
        {{"--learn-count", "1023"}, LearnResult::TooLong, "Signal too long!"},
        {{"--learn-status", "7"}, LearnResult::TooLong, "Signal too long!"},
        {{"--learn-result", "wrong-reply"},
         LearnResult::ConnectionError,
         "Connection error, please restart"},
        {{"--learn-result", "timeout"}, LearnResult::Timeout, "Timeout, please try again"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        SimulatedDeviceOptions options;
        options.args = c.args;
        SimulatedDevice device(options);
        Session s(device);
        std::vector<std::string> texts;
        LearningCallbacks waiting;
        waiting.status = [&](const std::string& text) { texts.push_back(text); };
        LearnResult result = LearnSignal(s.link, waiting, 1500);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(LearnMessage(result), c.message);
        if (c.result == LearnResult::Timeout) {
            // The count-down, once per whole second left.
            EXPECT_EQ(texts, (std::vector<std::string>{"Waiting... 1", "Waiting... 0"}));
        }
        // The device did not take a signal: its memory stays empty.
        std::string block;
        EXPECT_EQ(ReadSignal(s.link, &block, {}), SignalTransfer::NoSignal);
        EXPECT_TRUE(block.empty());
    }
}

TEST(Learning, AReplyThatStopsShortIsATimeout) {
    SimulatedDeviceOptions options;
    options.args = {"--short-reply", "B1"};
    SimulatedDevice device(options);
    Session s(device);
    EXPECT_EQ(LearnSignal(s.link, {}, 300), LearnResult::Timeout);
}

TEST(Learning, ALostLineEndsEveryOperationAtOnce) {
    SimulatedDevice device;
    Session s(device);
    device.Stop();
    EXPECT_EQ(LearnSignal(s.link, {}), LearnResult::ConnectionError);
    std::string block;
    EXPECT_EQ(ReadSignal(s.link, &block, {}), SignalTransfer::ConnectionLost);
    EXPECT_EQ(WriteSignal(s.link, Block(3), {}), SignalTransfer::ConnectionLost);
    EXPECT_FALSE(PlaySignal(s.link));
}

TEST(Learning, StopEndsTheBlockLoopsBetweenBlocks) {
    SimulatedDevice device;
    Session s(device);
    int blocks = 0;
    LearningCallbacks callbacks;
    callbacks.processEvents = [&] {
        if (++blocks == 3) s.link.AbortTransfer = true;
    };
    EXPECT_EQ(WriteSignal(s.link, Block(1022), callbacks), SignalTransfer::Stopped);
    EXPECT_EQ(blocks, 3);
    // The next operation starts afresh.
    ASSERT_EQ(WriteSignal(s.link, Block(100), {}), SignalTransfer::Complete);
    blocks = 0;
    std::string block;
    EXPECT_EQ(ReadSignal(s.link, &block, callbacks), SignalTransfer::Stopped);
}

TEST(Learning, BlockLengthComesFromTheCount) {
    EXPECT_EQ(SignalBlockLength(""), 0u);
    EXPECT_EQ(SignalBlockLength(std::string(1, '\0')), 0u);
    EXPECT_EQ(SignalBlockLength(std::string("\0\0", 2)), 8u);
    EXPECT_EQ(SignalBlockLength("\x03\xFE"), 0x3FEu * 8 + 8);
    EXPECT_EQ(SignalBlockLength("\xFF\xFF"), 0xFFFFu * 8 + 8);
    EXPECT_EQ(WaitingText(49999), "Waiting... 49");
    EXPECT_EQ(WaitingText(999), "Waiting... 0");
    EXPECT_EQ(WaitingText(-5), "Waiting... 0");
}

}  // namespace
}  // namespace orbik::link
