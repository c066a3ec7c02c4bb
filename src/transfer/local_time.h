#pragma once

#include <chrono>
#include <string>

namespace kxp40s {

// `when` in local time, formatted as strftime does ("2026-12-07 03:38:03"
// by default).
std::string localTimeText(std::chrono::system_clock::time_point when,
                          const char* format = "%Y-%m-%d %H:%M:%S");

}  // namespace kxp40s
