#pragma once

#include <cstdint>
#include <string>

#include "image/message.h"

namespace kxp40s {

// "Version = " and the version with one decimal and no leading zero below
// one: 50 gives "Version = 5.0", 5 gives "Version = .5".
std::string firmwareVersionText(std::uint8_t firmwareByte);
// The version alone: "5.0".
std::string firmwareVersion(std::uint8_t firmwareByte);

// The information box of Check Firmware.
Message firmwareMessage(std::uint8_t firmwareByte);

}  // namespace kxp40s
