#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

// What the system asks of a user before a program may open a board's port,
// for a message: "a USB board needs the group dialout" on Linux; "" on
// Windows, where every user may open the ports.
std::string portPermissionNote(std::string_view boardName, std::string_view group);

}  // namespace kxp40s
