#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kxp40s {

// The pager's configuration memory is 2048 bytes, addresses &H000-&H7FF.
inline constexpr int kImageSize = 2048;

// A byte-for-byte copy of the pager's configuration memory. Every access is
// checked: an address outside the image throws std::out_of_range before any
// byte is read or written.
class Image {
  public:
    Image() = default;
    explicit Image(std::span<const std::uint8_t> bytes);  // must be kImageSize long

    std::uint8_t at(int address) const;
    void set(int address, std::uint8_t value);

    // Copies `bytes` to `address` onwards; the whole range is checked first.
    void write(int address, std::span<const std::uint8_t> bytes);
    std::span<const std::uint8_t> read(int address, int length) const;

    std::span<const std::uint8_t, kImageSize> bytes() const { return bytes_; }
    std::span<std::uint8_t, kImageSize> bytes() { return bytes_; }

    bool operator==(const Image&) const = default;

  private:
    std::array<std::uint8_t, kImageSize> bytes_{};
};

// Bit fields: (address, first bit, bit count), bit 0 least significant,
// never crossing a byte.
//
// GetField returns the field right-aligned; a bit count of 0 gives 0 and a
// count of 8 or more reads the whole remaining byte.
std::uint8_t GetField(const Image& image, int address, int firstBit, int bitCount);

// SetField replaces the field's bits by `value`, keeping the other bits. Note
// the argument order: value before bit count. A field that crosses the byte
// (firstBit + bitCount > 8) or a value that does not fit the byte once shifted
// throws std::overflow_error before the byte is touched. The value is not
// masked to the field: callers pass values that fit.
void SetField(Image& image, int address, int firstBit, int value, int bitCount);

}  // namespace kxp40s
