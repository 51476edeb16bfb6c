#pragma once
// Image files for the transfer tests.

#include <cstdint>
#include <string>

#include "platform/Bytes.h"

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
    for (size_t at = 0; at < config.size(); at += platform::kBlockSize) {
        std::string data = config.substr(at, platform::kBlockSize);
        data.resize(platform::kBlockSize, char(0xFF));
        platform::AppendBigEndian(out, uint32_t(at), platform::kFrameAddressSize);
        out += data;
        out += char(platform::XorChecksum(data));
    }
    return out;
}

}  // namespace orbik::test
