#pragma once
// The two firmware images that orbikflash carries (data/firmware).

#include <cstddef>
#include <cstdint>

namespace orbik::upgrade {

constexpr int kFirmwareBlocks = 416;
constexpr size_t kFirmwareSize = kFirmwareBlocks * 128;

// Devices whose identify reply has bit 7 of byte 1 set (classic/entry).
extern const uint8_t kFirmwareA[kFirmwareSize];
// All others (mini II).
extern const uint8_t kFirmwareB[kFirmwareSize];

}  // namespace orbik::upgrade
