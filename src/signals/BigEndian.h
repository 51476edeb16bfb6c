#pragma once
// Numbers in IR code files are stored high byte first.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbik::signals {

inline std::uint16_t MakeWord(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint16_t>(high * 256 + low);
}

// Stores the low `count` bytes of `value` at `out`, most significant first.
inline void StoreBigEndian(std::uint32_t value, int count, char* out) {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
}

// The caller makes sure two bytes are there.
inline std::uint16_t ReadWord(std::string_view data, std::size_t pos) {
    return MakeWord(static_cast<std::uint8_t>(data[pos]), static_cast<std::uint8_t>(data[pos + 1]));
}

inline void AppendWord(std::string& out, std::uint16_t value) {
    char bytes[2];
    StoreBigEndian(value, 2, bytes);
    out.append(bytes, 2);
}

}  // namespace orbik::signals
