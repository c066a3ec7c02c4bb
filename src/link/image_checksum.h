#pragma once

#include <cstdint>
#include <span>

namespace kxp40s {

// The "programmed" marker, which the image checksum leaves out.
inline constexpr int kProgrammedMarkerAddress = 992;

// The 16-bit sum of data(0 .. stp-2) without the programmed marker; it is
// stored big-endian in data(stp-1) and data(stp).
std::uint16_t imageChecksum(std::span<const std::uint8_t> data, int stp);
void storeImageChecksum(std::span<std::uint8_t> data, int stp);

}  // namespace kxp40s
