#pragma once
// Bytes as the device keeps them: numbers high byte first (addresses and
// offsets in 3 bytes), data in blocks of 128 bytes guarded by an XOR
// checksum, and the .cif frame that carries one block to an address.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbik::platform {

inline constexpr std::size_t kBlockSize = 128;
// A .cif frame: the block's 3-byte address, the block, its checksum.
inline constexpr std::size_t kFrameAddressSize = 3;
inline constexpr std::size_t kFrameSize = kFrameAddressSize + kBlockSize + 1;

// XOR of the bytes; 0 for none. A block followed by its checksum sums to 0.
template <typename Byte>
std::uint8_t XorChecksum(const Byte* data, std::size_t count) {
    static_assert(sizeof(Byte) == 1);
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum ^= static_cast<std::uint8_t>(data[i]);
    return sum;
}

inline std::uint8_t XorChecksum(std::string_view bytes) {
    return XorChecksum(bytes.data(), bytes.size());
}

// Stores the low `width` bytes (1 to 4) of `value` at `out`, high byte first.
template <typename Byte>
void StoreBigEndian(std::uint32_t value, std::size_t width, Byte* out) {
    static_assert(sizeof(Byte) == 1);
    for (std::size_t i = width; i-- > 0;) {
        out[i] = static_cast<Byte>(value & 0xFF);
        value >>= 8;
    }
}

// The number in the `width` bytes (1 to 4) at `in`, high byte first.
template <typename Byte>
std::uint32_t LoadBigEndian(const Byte* in, std::size_t width) {
    static_assert(sizeof(Byte) == 1);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = (value << 8) | static_cast<std::uint8_t>(in[i]);
    return value;
}

// The same on byte strings; the caller makes sure the bytes are there.
inline std::uint32_t GetBigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    return LoadBigEndian(bytes.data() + at, width);
}

inline void AppendBigEndian(std::string& out, std::uint32_t value, std::size_t width) {
    char bytes[4];
    StoreBigEndian(value, width, bytes);
    out.append(bytes, width);
}

}  // namespace orbik::platform
