#include "link/Learning.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "link/Transfer.h"

namespace orbik::link {

namespace {

// Once per block: let the caller run its events, then see whether Stop
// came or the line is gone.
std::optional<SignalTransfer> Interrupted(DeviceLink& link, const LearningCallbacks& callbacks) {
    if (callbacks.processEvents) callbacks.processEvents();
    if (link.ConnectionLost) return SignalTransfer::ConnectionLost;
    if (link.AbortTransfer) return SignalTransfer::Stopped;
    return std::nullopt;
}

void Progress(const LearningCallbacks& callbacks, int percent) {
    if (callbacks.progress) callbacks.progress(percent);
}

// Puts the count-down observer on the link for one wait and takes it off
// again, whichever way the wait ends.
class CountDown {
  public:
    CountDown(DeviceLink& link, const LearningCallbacks& callbacks)
        : link_(link), previous_(std::move(link.waitObserver)) {
        if (!callbacks.status) return;
        link_.waitObserver = [this, status = callbacks.status](int msLeft) {
            if (msLeft < 0 || msLeft / 1000 == shown_) return;
            shown_ = msLeft / 1000;
            status(WaitingText(msLeft));
        };
    }
    ~CountDown() { link_.waitObserver = std::move(previous_); }
    CountDown(const CountDown&) = delete;
    CountDown& operator=(const CountDown&) = delete;

  private:
    DeviceLink& link_;
    WaitObserver previous_;
    int shown_ = -1;
};

}  // namespace

size_t SignalBlockLength(std::string_view block) {
    if (block.size() < 2) return 0;
    return size_t(platform::GetBigEndian(block, 0, 2)) * 8 + kSignalHeadBytes;
}

const std::string& LearnMessage(LearnResult result) {
    static const std::string kNone;
    switch (result) {
        case LearnResult::Learned:
            return kNone;
        case LearnResult::TooLong:
            return kSignalTooLongMessage;
        case LearnResult::Timeout:
            return kLearnTimeoutMessage;
        case LearnResult::ConnectionError:
            break;
    }
    return kConnectionErrorMessage;
}

std::string WaitingText(int msLeft) {
    return "Waiting... " + std::to_string(std::max(msLeft, 0) / 1000);
}

LearnResult LearnSignal(DeviceLink& link, const LearningCallbacks& callbacks, int timeoutMs) {
    ReplySlot& reply = link.ReplyOf(kLearnSignal);
    reply.buffer[0] = 0x00;
    reply.buffer[1] = 0xFF;
    bool whole;
    {
        CountDown countDown(link, callbacks);
        whole = link.Exchange(kLearnSignal, timeoutMs);
    }
    // A line that is gone will not answer a second try either.
    if (link.ConnectionLost) return LearnResult::ConnectionError;
    if (link.LastReplyLength < reply.length) return LearnResult::Timeout;
    // A whole reply that Exchange refused carries another request's code.
    if (!whole) return LearnResult::ConnectionError;
    return reply.buffer[1] == 0 ? LearnResult::Learned : LearnResult::TooLong;
}

bool PlaySignal(DeviceLink& link) {
    return link.Exchange(kPlaySignal, kPlayTimeout) && link.ReplyOf(kPlaySignal).buffer[1] == 0;
}

SignalTransfer ReadSignal(DeviceLink& link, std::string* block,
                          const LearningCallbacks& callbacks) {
    block->clear();
    link.AbortTransfer = false;
    Request& request = link.Requests[kReadSignalBlock];
    size_t total = kMaxSignalBytes;
    for (uint32_t address = 0; address < kMaxSignalBytes && address < total;) {
        if (auto end = Interrupted(link, callbacks)) return *end;
        SetAddress16(request, uint16_t(address));
        // A reply that timed out or fails its checksum is asked again.
        if (!link.Exchange(kReadSignalBlock, kSignalBlockTimeout)) continue;
        const uint8_t* reply = link.ReplyOf(kReadSignalBlock).buffer.data();
        if (XorChecksum(reply + 1, kBlockSize + 1) != 0) continue;
        std::string_view data(reinterpret_cast<const char*>(reply + 1), kBlockSize);
        if (address == 0) {
            // The device marks an empty signal memory with a record of
            // count 0x00FF whose block sums to 0.
            if (reply[1 + kBlockSize] == 0 && reply[1] == 0x00 && reply[2] == 0xFF) {
                Progress(callbacks, 100);
                return SignalTransfer::NoSignal;
            }
            total = SignalBlockLength(data);
        }
        block->append(data);
        address += kBlockSize;
        Progress(callbacks, ProgressPercent(address, kMaxSignalBytes));
    }
    if (block->size() > total) block->resize(total);
    Progress(callbacks, 100);
    return total > kMaxSignalBytes ? SignalTransfer::TooLong : SignalTransfer::Complete;
}

SignalTransfer WriteSignal(DeviceLink& link, std::string_view block,
                           const LearningCallbacks& callbacks) {
    if (block.empty() || block.size() > kMaxSignalBytes) return SignalTransfer::BadBlock;
    link.AbortTransfer = false;
    Request& request = link.Requests[kWriteSignalBlock];
    const size_t size = block.size();
    for (size_t address = 0; address < size;) {
        if (auto end = Interrupted(link, callbacks)) return *end;
        Progress(callbacks, ProgressPercent(address, size));
        // Every byte of the block goes out, the last one included; the rest
        // of the last memory block is erased.
        size_t count = std::min(kBlockSize, size - address);
        uint8_t* data = &request.payload[4];
        std::memset(data, 0xFF, kBlockSize);
        std::memcpy(data, block.data() + address, count);
        SetAddress16(request, uint16_t(address));
        request.payload[3] = uint8_t(kBlockSize);
        request.payload[4 + kBlockSize] = XorChecksum(data, kBlockSize);
        // The same frame again until the device takes it.
        if (link.Exchange(kWriteSignalBlock, kSignalBlockTimeout) &&
            link.ReplyOf(kWriteSignalBlock).buffer[1] == 0)
            address += kBlockSize;
    }
    Progress(callbacks, 100);
    return SignalTransfer::Complete;
}

}  // namespace orbik::link
