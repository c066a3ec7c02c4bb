#include "image/pager_map.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace kxp40s::pager {

std::uint32_t readWord(const Image& image, Run run) {
    std::uint32_t word = 0;
    for (int a = run.address; a <= run.last(); ++a)
        word = word * 256 + image.at(a);
    return word;
}

void writeWord(Image& image, Run run, std::int64_t word) {
    for (int a = run.last(); a >= run.address; --a, word >>= 8)
        image.set(a, static_cast<std::uint8_t>(word & 0xFF));
}

std::uint16_t checksumOf(std::span<const std::uint8_t> memory, int last) {
    if (last < 1 || static_cast<std::size_t>(last) >= memory.size())
        throw std::out_of_range("checksum position outside the memory");
    std::uint16_t sum = 0;
    for (int a = 0; a <= last - 2; ++a) {
        if (a != kProgrammedMark) sum = static_cast<std::uint16_t>(sum + memory[a]);
    }
    return sum;
}

void storeChecksum(std::span<std::uint8_t> memory, int last) {
    const std::uint16_t sum = checksumOf(memory, last);
    memory[static_cast<std::size_t>(last) - 1] = static_cast<std::uint8_t>(sum >> 8);
    memory[static_cast<std::size_t>(last)] = static_cast<std::uint8_t>(sum & 0xFF);
}

std::uint16_t storedChecksum(std::span<const std::uint8_t> memory, int last) {
    if (last < 1 || static_cast<std::size_t>(last) >= memory.size())
        throw std::out_of_range("checksum position outside the memory");
    return static_cast<std::uint16_t>(memory[static_cast<std::size_t>(last) - 1] << 8 |
                                      memory[static_cast<std::size_t>(last)]);
}

Identity::Identity(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte :
         bytes.first(std::min<std::size_t>(bytes.size(), kIdentity.length))) {
        if (byte < 32 || byte > 127) break;
        text_ += static_cast<char>(byte);
    }
}

Identity Identity::of(const Image& image) {
    return Identity(image.read(kIdentity.address, kIdentity.length));
}

std::string Identity::part(std::size_t from, std::size_t count) const {
    return from < text_.size() ? text_.substr(from, count) : "";
}

std::optional<int> Identity::softwareVersion() const {
    const std::string version = part(10, 1) + part(12, 2);
    const bool numeric =
        !version.empty() && std::all_of(version.begin(), version.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    if (!numeric) return std::nullopt;
    return std::stoi(version);
}

std::string printableIdentity(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const auto byte : bytes)
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    return text;
}

std::string printableIdentity(const Image& image) {
    return printableIdentity(image.read(kIdentity.address, kIdentity.length));
}

}  // namespace kxp40s::pager
