#pragma once
// Image files for the transfer tests.

#include <cstdint>
#include <string>

namespace orbik::test {

// Bytes 0, 1, 2, ... scaled by `seed`, never all 0xFF.
inline std::string Pattern(size_t size, int seed = 7) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = char((i * seed + i / 251) & 0xFF);
    return bytes;
}

// A framed image of `config` from address 0: A24, 128 data, XOR checksum.
inline std::string Frames(const std::string& config) {
    std::string out;
    for (size_t at = 0; at < config.size(); at += 128) {
        std::string data = config.substr(at, 128);
        data.resize(128, char(0xFF));
        uint8_t sum = 0;
        for (char c : data) sum ^= uint8_t(c);
        out += {char(at >> 16), char(at >> 8), char(at)};
        out += data;
        out += char(sum);
    }
    return out;
}

}  // namespace orbik::test
