#include "link/system_port_io.h"

#include <cstdlib>

#include "link/ppdev_port_io.h"
#include "link/socket_port_io.h"

namespace kxp40s {

std::unique_ptr<PortIo> makeSystemPortIo() {
    const char* socket = std::getenv(kLptSocketVariable);
    if (socket != nullptr && *socket != '\0') return std::make_unique<SocketPortIo>(socket);
    return std::make_unique<PpdevPortIo>();
}

std::string lptDeviceName(std::uint16_t base) {
    return PpdevPortIo::devicePath(base);
}

std::string portPermissionNote(std::string_view boardName, std::string_view group) {
    return "a " + std::string(boardName) + " board needs the group " + std::string(group);
}

}  // namespace kxp40s
