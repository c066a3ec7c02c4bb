#pragma once

#include <optional>
#include <string>

// The terminal the command line talks to; one source file per system.
namespace kxp40s::cli {

// Whether the file descriptor (0 stdin, 1 stdout, 2 stderr) is a terminal.
bool isTerminal(int fd);

// A line typed on stdin; nothing when stdin ended or a stop signal came.
std::optional<std::string> terminalLine();

}  // namespace kxp40s::cli
