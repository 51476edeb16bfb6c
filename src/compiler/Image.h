#pragma once
// The configuration image as the writers lay it out: a byte buffer with a
// write position. Offsets and 16-bit numbers are big-endian; offsets are
// 3 bytes wide.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace orbik::compiler {

// The device keeps the .CIM (the image made odd-length plus a checksum
// byte) in 0x300000 bytes, so the image itself may hold one byte less.
// This also keeps every offset far inside its 3 bytes.
inline constexpr std::size_t kMaxImageSize = 0x300000 - 1;
inline constexpr std::size_t kPointerSize = 3;

// A character as the device's display shows it.
std::uint8_t DisplayChar(std::uint8_t c);

class Image {
  public:
    // Starts over: empty image, write position 0.
    void Clear();

    std::size_t Position() const { return bytes_.size(); }
    const std::string& Bytes() const { return bytes_; }
    // Hands the bytes over; the image is empty afterwards.
    std::string TakeBytes() { return std::move(bytes_); }

    // True once any write would have passed kMaxImageSize. Such a write is
    // dropped whole; the image keeps what was written before it.
    bool Overflowed() const { return overflowed_; }

    // False, and the image counts as overflowed, when `count` more bytes
    // would pass the limit.
    bool Fits(std::size_t count);

    // Each Append... returns false (and writes nothing) when the image would
    // pass its limit.
    bool AppendZeros(std::size_t count);
    bool AppendByte(std::uint8_t value);
    bool AppendWord(std::uint16_t value);
    bool AppendBytes(std::string_view data);
    // A fixed field of `width` bytes: the text's first characters through
    // DisplayChar, padded with blanks.
    bool AppendText(std::string_view text, std::size_t width);
    // Moves the write position up to the next multiple of `boundary`
    // (zero-filled); a position on a boundary stays.
    bool AlignTo(std::size_t boundary);

    // Reserves a table of `count` pointers (zero until set) and returns the
    // offset of its first entry.
    std::size_t ReservePointers(std::size_t count);
    // Entry `index` of the table at `table` := `target`.
    void SetPointer(std::size_t table, std::size_t index, std::size_t target);

  private:
    std::string bytes_;
    bool overflowed_ = false;
};

}  // namespace orbik::compiler
