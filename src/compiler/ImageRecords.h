#pragma once
// Where the image keeps what readers other than the device look for: the
// descriptor and the counts after the section pointers, and the fixed part
// of an item record. The image writer lays them out so; backups read them.

#include <cstddef>
#include <cstdint>

#include "compiler/BuildState.h"
#include "compiler/Image.h"

namespace orbik::compiler {

inline constexpr std::size_t kSectionPointers = 9;
inline constexpr std::size_t kHeaderSize = kSectionPointers * kPointerSize;
inline constexpr std::size_t kDescriptorAt = kHeaderSize;
inline constexpr std::size_t kDescriptorWidth = 64;
// Languages, keywords, items, menus, device types: one byte each.
inline constexpr std::size_t kCountsAt = kDescriptorAt + kDescriptorWidth;

// Names in the image are padded to this width.
inline constexpr std::size_t kNameWidth = 10;
inline constexpr std::size_t kOptionTextField = 81;

// An item record: type, a name per language, keyword, option kind, device
// type, four 16-bit option values, the option texts; then one byte per
// keyword. Type and option kind are stored one higher than in the build.
inline constexpr std::size_t kItemTypeAt = 0;
inline constexpr std::size_t kItemNamesAt = 1;
inline constexpr std::size_t kItemKeywordAt = kItemNamesAt + kMaxLanguages * kNameWidth;
inline constexpr std::size_t kItemOptionKindAt = kItemKeywordAt + 1;
inline constexpr std::size_t kItemDeviceTypeAt = kItemOptionKindAt + 1;
inline constexpr std::size_t kItemOptionsAt = kItemDeviceTypeAt + 1;
inline constexpr std::size_t kItemOptionTextsAt = kItemOptionsAt + 4 * 2;
inline constexpr std::size_t kItemFixedSize = kItemOptionTextsAt + kOptionTextField;
static_assert(kItemFixedSize == 133);

inline constexpr std::uint8_t StoredItemType(std::uint8_t type) {
    return static_cast<std::uint8_t>(type + 1);
}
inline constexpr std::uint8_t StoredOptionKind(OptionKind kind) {
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(kind) + 1);
}

}  // namespace orbik::compiler
