#include "transfer/series_log.h"

#include "files/system.h"
#include "link/firmware.h"
#include "transfer/local_time.h"

namespace kxp40s {

namespace {

constexpr const char* kHeader = "time,port,identity,firmware,capcode1,capcode2,result";

// A field in quotes when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string seriesResultText(const SeriesPager& pager) {
    if (pager.result == Result::Stopped) return "stopped";
    if (pager.result == Result::Done) return "verified";
    return pager.state == PagerState::Written ? "verify error" : "write error";
}

std::optional<std::string> SeriesLog::open(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return "[" + utf8Text(path) + "] is a folder, not a log file.";
    const bool fresh = std::filesystem::file_size(path, ec) == 0 || ec;
    path_ = path;
    file_.open(path, std::ios::app | std::ios::binary);
    if (!file_) return "Can not open [" + utf8Text(path) + "] to add to it.";
    if (fresh) file_ << kHeader << "\n" << std::flush;
    return file_ ? std::nullopt
                 : std::optional<std::string>("Can not write [" + utf8Text(path) + "].");
}

std::optional<std::string> SeriesLog::append(const SeriesPager& pager, const std::string& port,
                                             std::chrono::system_clock::time_point when) {
    file_ << localTimeText(when) << "," << csvField(port) << ","
          << csvField(pager.identity.value_or("")) << ","
          << (pager.firmware ? firmwareVersion(*pager.firmware) : "") << "," << pager.capcode1
          << "," << pager.capcode2 << "," << seriesResultText(pager) << "\n"
          << std::flush;
    if (file_) return std::nullopt;
    return "Can not write [" + utf8Text(path_) + "]: the log misses pager " +
           std::to_string(pager.number) + ".";
}

}  // namespace kxp40s
