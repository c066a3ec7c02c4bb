#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/lpt_bus.h"

namespace kxp40s {

// Names the socket of a simulated parallel-port board (kxp40s-sim --lpt PATH).
inline constexpr const char* kLptSocketVariable = "KXP40S_LPT";

// The parallel port the programs use. On Linux: the simulated board on the
// socket that KXP40S_LPT names when it is set and not empty, else the
// machine's own ports. On Windows the ports need a port driver that the
// program does not bring: none is attached, and the search says why.
std::unique_ptr<PortIo> makeSystemPortIo();

// The system's name of the port at a legacy base address (0x378 and so on):
// /dev/parportN on Linux, LPTn on Windows; "" for an unknown address.
std::string lptDeviceName(std::uint16_t base);

}  // namespace kxp40s
