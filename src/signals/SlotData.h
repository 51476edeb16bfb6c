#pragma once
// The signal blocks of one IR code file, slot by slot, as the device page
// edits them, and the unpacked file written back from them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "signals/IrCodeFile.h"

namespace orbik::signals {

// The device's signal memory for one code file.
inline constexpr std::uint64_t kSignalMemoryCapacity = 65320;
inline const std::string kNotEnoughMemoryText = "Not enough Memory !";

struct SlotData {
    std::string fileHeader = std::string(kFileNameSize, ' ');  // the file's name, 10 bytes
    std::array<std::string, kSlotCount> slots;                 // slot 1 first; empty: no block
};

// The slots of an unpacked file, each block cut to its count (count x 8 +
// 8 bytes). Fails on a packed file and on a block outside the data.
bool ReadSlotData(std::string_view unpacked, SlotData* data, std::string* error = nullptr);

// Header plus every block, where an even slot whose block equals the block
// of the slot before it shares that block and is not counted again.
std::uint64_t BytesUsed(const SlotData& data);

// The unpacked file: blocks in slot order from offset 215, an even slot
// that equals its odd partner (or is empty while the partner is not)
// sharing the partner's offset. Its size is BytesUsed; fails when that
// passes kSignalMemoryCapacity, as the offsets would not fit.
bool WriteUnpacked(const SlotData& data, std::string* unpacked, std::string* error = nullptr);

// The index of the signal with key `key` ("vol_plus"), -1 when none.
int SignalIndex(std::string_view key);

}  // namespace orbik::signals
