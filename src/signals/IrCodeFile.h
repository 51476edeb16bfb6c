#pragma once
// IR code files: the learned signals of one IR device in 102 slots (signal k
// owns slots 2k+1 and 2k+2). The unpacked form stores each signal as a list
// of 8-byte items; the packed form adds a dictionary of the distinct items,
// most frequent first, and stores each signal as a bit string of indices.
//
// Every operation checks the input against its own sizes: a malformed file
// gives an error, never a read or write outside a buffer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::signals {

namespace fs = std::filesystem;

inline constexpr int kSlotCount = 102;
inline constexpr std::size_t kFileNameSize = 10;
// File name, form byte and the slot table of 16-bit offsets.
inline constexpr std::size_t kHeaderSize = kFileNameSize + 1 + 2 * kSlotCount;
inline constexpr std::uint16_t kEmptySlot = 0xFFFF;
inline constexpr std::uint8_t kPackedForm = 0;
inline constexpr std::uint8_t kUnpackedForm = 0xFF;
// The editor unpacks a file unless its form byte says unpacked: any other
// value counts as packed, for every reader.
inline bool IsPackedForm(std::uint8_t form) {
    return form != kUnpackedForm;
}

inline constexpr std::size_t kItemSize = 8;
// A block is a 2-byte count, the 6-byte signal header, then count units of 8 bytes.
inline constexpr std::size_t kBlockHeaderSize = 8;
inline constexpr std::size_t kMaxDictionary = 255;
// A stored dictionary size of 0 stands for 256 entries.
inline constexpr std::size_t kFullDictionary = 256;
inline constexpr std::size_t kMaxItemsPerSignal = 1024;
inline constexpr std::size_t kMaxBitStringBytes = 257;
inline constexpr std::size_t kBitBufferSize = 512;
// Slot offsets are 16-bit: no block can start beyond 64 KiB, so a larger
// file is damaged, and is refused before it is read.
inline constexpr std::size_t kMaxFileSize = 1u << 20;

// The header as the editor keeps it per device: offsets in native order.
struct IcpHeader {
    std::array<char, kFileNameSize> name{};  // blank-padded, copied unchanged
    std::uint8_t form = 0;
    std::uint8_t filler = 0;
    std::array<std::uint16_t, kSlotCount> slots{};
};
static_assert(sizeof(IcpHeader) == 216);

// False (with a reason) for data shorter than the header.
bool ParseIcpHeader(std::string_view bytes, IcpHeader* header, std::string* error = nullptr);
// An empty file fails too: there is no header to read.
bool ReadIcpHeader(const fs::path& file, IcpHeader* header, std::string* error = nullptr);

// Unpacked bytes -> packed bytes. Fails (leaving `packed` alone) on more than
// 255 distinct items, a signal of more than 1024 items or more than 257 bytes
// of bit string, a block outside the data, or data already in packed form.
bool PackIcp(std::string_view unpacked, std::string* packed, std::string* error = nullptr);
// Packed bytes -> unpacked bytes. Fails on a block outside the data, a bit
// string that does not end within 512 bytes, an index outside the
// dictionary, more than 1024 items in a signal, a result too large for
// 16-bit offsets, or data in unpacked form.
bool UnpackIcp(std::string_view packed, std::string* unpacked, std::string* error = nullptr);

// The name without the extension of its last component (the whole name
// when that has none): "dir/TV.ixp" -> "dir/TV".
std::string FileBase(const fs::path& file);

// The names an operation on `file` works with: base + ".ICP" and base +
// ".ICU", base being the name without the extension of its last component.
struct IcpWorkingNames {
    fs::path given;
    fs::path packed;
    fs::path unpacked;
};
IcpWorkingNames WorkingNames(const fs::path& file);

// Reads `file` (unpacked) and writes base + ".ICP", replacing a file of that
// name in any letter case. On failure nothing is written.
bool PackIcpFile(const fs::path& file, std::string* error = nullptr);
// Reads base + ".ICP" (packed) and writes base + ".ICU". On failure nothing
// is written.
bool UnpackIcpFile(const fs::path& file, std::string* error = nullptr);

// What one slot holds, for people who want to look into a file.
struct IcpSlotInfo {
    std::uint16_t offset = kEmptySlot;
    bool sharesPrevious = false;  // same block as the slot before
    std::uint16_t count = 0;      // 8-byte units after the signal header
    std::size_t items = 0;        // signal items (decoded in the packed form)
    std::string problem;          // why the block cannot be used; empty when fine
};
struct IcpSummary {
    IcpHeader header;
    std::size_t dictionarySize = 0;  // packed form only
    std::array<IcpSlotInfo, kSlotCount> slots;
};
// Fails only when there is no header (or, packed, no dictionary); problems
// of single blocks are noted in their slot.
bool DescribeIcp(std::string_view bytes, IcpSummary* summary, std::string* error = nullptr);

}  // namespace orbik::signals
