#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "app/stop_signals.h"
#include "terminal.h"

namespace kxp40s::cli {

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

// The wait watches the stop signals' wake-up pipe too: a signal that comes
// just before the read would otherwise leave the read waiting for a line.
std::optional<std::string> terminalLine() {
    pollfd watched[2] = {{0, POLLIN, 0}, {StopSignals::wakeFd(), POLLIN, 0}};
    const nfds_t count = watched[1].fd >= 0 ? 2 : 1;
    while (::poll(watched, count, -1) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (count == 2 && (watched[1].revents & POLLIN)) return std::nullopt;
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    return line;
}

}  // namespace kxp40s::cli
