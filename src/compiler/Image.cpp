#include "compiler/Image.h"

#include <array>

#include "platform/Bytes.h"

namespace orbik::compiler {

namespace {

// The display's character set differs from Windows-1252 in these places.
constexpr std::array<std::uint8_t, 256> MakeDisplayTable() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(i);
    constexpr std::uint8_t pairs[][2] = {
        {0x23, 0x00}, {0x25, 0x05}, {0x26, 0x06}, {0x2A, 0x04}, {0x3E, 0x02}, {0x5F, 0x2E},
        {0x7C, 0x03}, {0x9F, 0x8F}, {0xC0, 0x81}, {0xC1, 0x80}, {0xC2, 0x82}, {0xC3, 0x83},
        {0xC4, 0x84}, {0xC7, 0xBC}, {0xC8, 0x87}, {0xC9, 0x86}, {0xCA, 0x88}, {0xCB, 0x8A},
        {0xCC, 0x8D}, {0xCD, 0x8C}, {0xCE, 0x8E}, {0xCF, 0x90}, {0xD1, 0xBE}, {0xD2, 0x93},
        {0xD3, 0x92}, {0xD4, 0x94}, {0xD5, 0x95}, {0xD6, 0x96}, {0xD9, 0x99}, {0xDA, 0x98},
        {0xDB, 0x9A}, {0xDC, 0x9C}, {0xDF, 0xBB}, {0xE0, 0x9F}, {0xE1, 0x9E}, {0xE2, 0xA0},
        {0xE3, 0xA1}, {0xE4, 0xA2}, {0xE7, 0xBD}, {0xE8, 0xA5}, {0xE9, 0xA4}, {0xEA, 0xA6},
        {0xEB, 0xA8}, {0xEC, 0xAB}, {0xED, 0xAA}, {0xEE, 0xAC}, {0xEF, 0xAE}, {0xF1, 0xBF},
        {0xF2, 0xB1}, {0xF3, 0xB0}, {0xF4, 0xB2}, {0xF5, 0xB3}, {0xF6, 0xB4}, {0xF9, 0xB7},
        {0xFA, 0xB6}, {0xFB, 0xB8}, {0xFC, 0xBA}, {0xFF, 0xAD},
    };
    for (const auto& pair : pairs) table[pair[0]] = pair[1];
    return table;
}

constexpr std::array<std::uint8_t, 256> kDisplayTable = MakeDisplayTable();

}  // namespace

std::uint8_t DisplayChar(std::uint8_t c) {
    return kDisplayTable[c];
}

void Image::Clear() {
    bytes_.clear();
    // The largest image is allocated once, so appends never move it.
    bytes_.reserve(kMaxImageSize);
    overflowed_ = false;
}

bool Image::Fits(std::size_t count) {
    if (!overflowed_ && count <= kMaxImageSize - bytes_.size()) return true;
    overflowed_ = true;
    return false;
}

bool Image::AppendZeros(std::size_t count) {
    if (!Fits(count)) return false;
    bytes_.append(count, '\0');
    return true;
}

bool Image::AppendByte(std::uint8_t value) {
    if (!Fits(1)) return false;
    bytes_.push_back(static_cast<char>(value));
    return true;
}

bool Image::AppendWord(std::uint16_t value) {
    if (!Fits(2)) return false;
    platform::AppendBigEndian(bytes_, value, 2);
    return true;
}

bool Image::AppendBytes(std::string_view data) {
    if (!Fits(data.size())) return false;
    bytes_.append(data);
    return true;
}

bool Image::AppendText(std::string_view text, std::size_t width) {
    if (!Fits(width)) return false;
    for (std::size_t i = 0; i < width; ++i) {
        std::uint8_t c = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
        bytes_.push_back(static_cast<char>(DisplayChar(c)));
    }
    return true;
}

bool Image::AlignTo(std::size_t boundary) {
    std::size_t rest = bytes_.size() % boundary;
    return rest == 0 || AppendZeros(boundary - rest);
}

std::size_t Image::ReservePointers(std::size_t count) {
    std::size_t table = bytes_.size();
    AppendZeros(count * kPointerSize);
    return table;
}

void Image::SetPointer(std::size_t table, std::size_t index, std::size_t target) {
    std::size_t at = table + index * kPointerSize;
    // A table that did not fit was never reserved; the build stops anyway.
    if (at + kPointerSize > bytes_.size()) return;
    platform::StoreBigEndian(static_cast<std::uint32_t>(target), kPointerSize, &bytes_[at]);
}

}  // namespace orbik::compiler
