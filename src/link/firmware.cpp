#include "link/firmware.h"

namespace kxp40s {

std::string firmwareVersion(std::uint8_t firmwareByte) {
    const int whole = firmwareByte / 10;
    return (whole == 0 ? std::string() : std::to_string(whole)) + "." +
           std::to_string(firmwareByte % 10);
}

std::string firmwareVersionText(std::uint8_t firmwareByte) {
    return "Version = " + firmwareVersion(firmwareByte);
}

Message firmwareMessage(std::uint8_t firmwareByte) {
    return Message{kShortTitle, firmwareVersionText(firmwareByte), Icon::Information, Buttons::Ok,
                   Outcome::Success};
}

}  // namespace kxp40s
