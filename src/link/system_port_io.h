#pragma once

#include <memory>

#include "link/lpt_bus.h"

namespace kxp40s {

// Names the socket of a simulated parallel-port board (kxp40s-sim --lpt PATH).
inline constexpr const char* kLptSocketVariable = "KXP40S_LPT";

// The parallel port the programs use: the simulated board on the socket that
// KXP40S_LPT names when it is set and not empty, else the machine's own ports.
std::unique_ptr<PortIo> makeSystemPortIo();

}  // namespace kxp40s
