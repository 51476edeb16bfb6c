#pragma once
// The four signal operations of the learning dialog and the console: learn
// a signal into the device's signal memory, play it, and move a signal
// block between the signal memory and the PC. Like the transfers they run
// on an open, identified link and report through callbacks; the block
// loops let the caller process its events once per block, which is when
// a Stop (DeviceLink::AbortTransfer) is noticed.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "link/Protocol.h"

namespace orbik::link {

// A signal block as the device stores it: a big-endian count L, then
// L x 8 + 6 bytes. The device never learns a longer one than this.
constexpr size_t kMaxSignalBytes = 8190;
constexpr size_t kSignalHeadBytes = 8;  // the count and the 6-byte signal header

// L x 8 + 8 from the block's first two bytes; 0 when it has fewer.
size_t SignalBlockLength(std::string_view block);

// The device's answer to a learn request, in the numbering the dialog uses.
enum class LearnResult { Learned = 0, TooLong = 1, Timeout = 2, ConnectionError = 3 };

inline const std::string kSignalTooLongMessage = "Signal too long!";
inline const std::string kLearnTimeoutMessage = "Timeout, please try again";
inline const std::string kConnectionErrorMessage = "Connection error, please restart";
// The message of a failed learn; empty for Learned.
const std::string& LearnMessage(LearnResult result);

// "Waiting... 49": the status while the device waits, whole seconds left.
std::string WaitingText(int msLeft);

struct LearningCallbacks {
    std::function<void(const std::string& text)> status;  // the count-down
    std::function<void(int percent)> progress;            // 1..100
    std::function<void()> processEvents;                  // once per block
};

// Asks the device to learn a signal and waits up to timeoutMs for the
// user to press a key of the other remote; status counts down meanwhile.
// A reply that does not come whole is a time-out; a lost line or a reply
// of another request is a connection error.
LearnResult LearnSignal(DeviceLink& link, const LearningCallbacks& callbacks,
                        int timeoutMs = kLearnTimeout);

// Sends the signal in signal memory; true when the device confirmed it.
bool PlaySignal(DeviceLink& link);

enum class SignalTransfer {
    Complete,
    Stopped,         // AbortTransfer
    ConnectionLost,  // the line hung up
    NoSignal,        // ReadSignal: the signal memory holds none
    TooLong,         // ReadSignal: its count says more than the device can hold
    BadBlock,        // WriteSignal: not a whole block of at most kMaxSignalBytes
};

// Reads the signal at signal-memory address 0 into *block, cut to its
// length. A block whose count says more than the device can hold is
// TooLong and comes back as read (kMaxSignalBytes rounded up to whole
// blocks): no signal to keep.
SignalTransfer ReadSignal(DeviceLink& link, std::string* block, const LearningCallbacks& callbacks);

// Writes a whole block to signal-memory address 0, so that PlaySignal
// sends it. The last memory block is filled up with 0xFF.
SignalTransfer WriteSignal(DeviceLink& link, std::string_view block,
                           const LearningCallbacks& callbacks);

}  // namespace orbik::link
