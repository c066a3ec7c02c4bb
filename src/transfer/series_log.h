#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "transfer/pager_commands.h"

namespace kxp40s {

// A series' log: one CSV row a pager (time, port, pager identity, firmware,
// capcode 1, capcode 2, result), appended to a file that may hold the rows
// of earlier series. Each row is flushed as soon as it is written, so that a
// crash or a pulled plug loses at most the pager under way.
class SeriesLog {
  public:
    // Opens `path` for appending, with the header row when it is new or
    // empty; the reason it could not be opened otherwise.
    std::optional<std::string> open(const std::filesystem::path& path);

    // One pager's row; the reason it could not be written, or nothing.
    std::optional<std::string> append(
        const SeriesPager& pager, const std::string& port,
        std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

  private:
    std::filesystem::path path_;
    std::ofstream file_;
};

// "verified", "verify error", "write error" or "stopped".
std::string seriesResultText(const SeriesPager& pager);

}  // namespace kxp40s
