#include "link/search_message.h"

namespace kxp40s {

std::string permissionDeniedLine(const std::vector<std::string>& ports, std::string_view group) {
    if (ports.empty()) return {};
    std::string line;
    for (const auto& port : ports)
        line += (line.empty() ? "" : ", ") + port;
    return line + ": permission denied. Add your user to the group " + std::string(group) +
           " and log in again.";
}

Message notRespondingMessage(const std::string& why) {
    return warning(why.empty() ? kNotRespondingText : kNotRespondingText + ("\n" + why),
                   kShortTitle);
}

}  // namespace kxp40s
