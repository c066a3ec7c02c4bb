#include <io.h>
#include <windows.h>

#include <iostream>

#include "app/stop_signals.h"
#include "terminal.h"

namespace kxp40s::cli {

// A console, not just a character device: _isatty() says yes to NUL too,
// which would make `< NUL` a user who never presses Enter.
bool isTerminal(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
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
