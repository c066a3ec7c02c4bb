#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "image/message.h"

namespace kxp40s {

inline constexpr const char* kNotRespondingText = "The Programmed Board is not responding!";

// The groups whose members may open the boards' ports on Debian: serial
// devices (USB-serial, ACM, UART) belong to dialout, parallel ports to lp.
inline constexpr std::string_view kSerialPortGroup = "dialout";
inline constexpr std::string_view kParallelPortGroup = "lp";

// "/dev/ttyUSB0, /dev/ttyS0: permission denied. Add your user to the group
// dialout and log in again." Empty when there are no ports.
std::string permissionDeniedLine(const std::vector<std::string>& ports, std::string_view group);

// What a board search that found no board says: "The Programmed Board is not
// responding!", then `why` (a port it could not open, say) on a line of its
// own when there is something to say.
Message notRespondingMessage(const std::string& why = {});

}  // namespace kxp40s
