#include "image/image.h"

#include <stdexcept>
#include <string>

namespace kxp40s {

namespace {

void checkRange(int address, int length) {
    if (address < 0 || length < 0 || address + length > kImageSize) {
        throw std::out_of_range("image address " + std::to_string(address) + " (+" +
                                std::to_string(length) + ") is outside 0-2047");
    }
}

}  // namespace

Image::Image(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != bytes_.size()) throw std::out_of_range("an image is 2048 bytes long");
    write(0, bytes);
}

std::uint8_t Image::at(int address) const {
    checkRange(address, 1);
    return bytes_[static_cast<std::size_t>(address)];
}

void Image::set(int address, std::uint8_t value) {
    checkRange(address, 1);
    bytes_[static_cast<std::size_t>(address)] = value;
}

void Image::write(int address, std::span<const std::uint8_t> bytes) {
    checkRange(address, static_cast<int>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + address);
}

std::span<const std::uint8_t> Image::read(int address, int length) const {
    checkRange(address, length);
    return std::span<const std::uint8_t>(bytes_).subspan(static_cast<std::size_t>(address),
                                                         static_cast<std::size_t>(length));
}

std::uint8_t GetField(const Image& image, int address, int firstBit, int bitCount) {
    if (firstBit < 0 || firstBit > 7 || bitCount < 0) throw std::overflow_error("bad bit field");
    const int mask = bitCount >= 8 ? 0xFF : (1 << bitCount) - 1;
    return static_cast<std::uint8_t>((image.at(address) >> firstBit) & mask);
}

void SetField(Image& image, int address, int firstBit, int value, int bitCount) {
    if (firstBit < 0 || bitCount < 0 || firstBit + bitCount > 8) {
        throw std::overflow_error("bit field crosses a byte");
    }
    if (value < 0 || (value << firstBit) > 0xFF) {
        throw std::overflow_error("value does not fit the byte");
    }
    const int fieldMask = ((1 << bitCount) - 1) << firstBit;
    const int kept = image.at(address) & ~fieldMask & 0xFF;
    image.set(address, static_cast<std::uint8_t>(kept | (value << firstBit)));
}

}  // namespace kxp40s
