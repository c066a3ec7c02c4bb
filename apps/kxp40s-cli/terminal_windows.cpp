#include <io.h>

#include <iostream>

#include "app/stop_signals.h"
#include "terminal.h"

namespace kxp40s::cli {

bool isTerminal(int fd) {
    return ::_isatty(fd) != 0;
}

// Ctrl-C ends a console read at once (it fails, or gives an empty line), so
// the stop is seen right after it.
std::optional<std::string> terminalLine() {
    if (StopSignals::received() != 0) return std::nullopt;
    std::string line;
    if (!std::getline(std::cin, line) || StopSignals::received() != 0) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace kxp40s::cli
