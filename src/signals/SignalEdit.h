#pragma once
// Changes to the signals of one code file being edited: the slot pair of
// a signal, its name and its repetition count. The signal memory in use is
// always recomputed from the slots (BytesUsed), never kept as a running
// count, so equal and dropped blocks are counted as the file stores them.

#include <cstdint>
#include <string>
#include <string_view>

#include "signals/SignalNames.h"
#include "signals/SlotData.h"

namespace orbik::signals {

inline constexpr std::string_view kInUse = "<in use>";
// Byte 7 of a block: the last byte of the signal header.
inline constexpr std::size_t kRepetitionByte = 7;
inline constexpr int kMaxRepetitions = 99;

// Slot indices (from 0) of signal k's pair.
inline std::size_t FirstSlot(int k) {
    return std::size_t(2 * k);
}
inline std::size_t SecondSlot(int k) {
    return std::size_t(2 * k + 1);
}

// A signal is learned when its first slot holds a block.
bool IsLearned(const SlotData& data, int k);

// The name a row shows: "<not used>" of a learned signal reads "<in use>".
std::string ShownSignalName(bool learned, std::string_view name);

// The length column: "n.a." for an empty pair, else the first block's
// bytes, and " / " + the second's when it holds a block of its own.
std::string SignalLengthText(const SlotData& data, int k);

// The memory the file would use with signal k's pair replaced; an absent
// second block shares the first, as it is stored.
std::uint64_t BytesUsedWith(const SlotData& data, int k, const std::string& first,
                            const std::string& second);

// Both slots empty, the name "<not used>".
void DeleteSignal(SlotData& data, SignalNameList& names, int k);

// A signal from a library file: without toggle it becomes the first block
// (the second is dropped) and the signal takes the record's name; as a
// toggle signal it becomes the second block and the record's name is added
// after " / ". Refused, changing nothing, when the memory would reach
// kSignalMemoryCapacity.
struct TakeResult {
    bool ok = false;
    std::uint64_t bytesUsed = 0;  // after the change, or as it stays
};
TakeResult TakeLibrarySignal(SlotData& data, SignalNameList& names, int k, std::string_view block,
                             std::string_view recordName, bool toggle);

// Byte 7 of the first block, 0 when there is none.
int Repetitions(const SlotData& data, int k);
// Sets byte 7 of the first block and of the second when it holds one;
// `count` is kept within 0..99.
void SetRepetitions(SlotData& data, int k, int count);

}  // namespace orbik::signals
