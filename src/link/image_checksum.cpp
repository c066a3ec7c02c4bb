#include "link/image_checksum.h"

#include <stdexcept>

namespace kxp40s {

std::uint16_t imageChecksum(std::span<const std::uint8_t> data, int stp) {
    if (stp < 1 || static_cast<std::size_t>(stp) >= data.size()) {
        throw std::out_of_range("checksum position outside the image");
    }
    std::uint16_t sum = 0;
    for (int a = 0; a <= stp - 2; ++a) {
        if (a != kProgrammedMarkerAddress) sum = static_cast<std::uint16_t>(sum + data[a]);
    }
    return sum;
}

void storeImageChecksum(std::span<std::uint8_t> data, int stp) {
    const std::uint16_t sum = imageChecksum(data, stp);
    data[static_cast<std::size_t>(stp) - 1] = static_cast<std::uint8_t>(sum >> 8);
    data[static_cast<std::size_t>(stp)] = static_cast<std::uint8_t>(sum & 0xFF);
}

}  // namespace kxp40s
