#include "transfer/backups.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <tuple>
#include <vector>

#include "files/table_file.h"

namespace kxp40s {

namespace fs = std::filesystem;

namespace {

std::string timeStamp(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

// A backup's place in time, from its name: the time stamp (which sorts as
// text) and the number of the backup within that millisecond (1 when the
// name has none).
struct Backup {
    std::string stamp;
    int number = 1;
    fs::path file;
    bool operator<(const Backup& other) const {
        return std::tie(stamp, number) < std::tie(other.stamp, other.number);
    }
};

std::optional<Backup> backupNamed(const fs::path& file) {
    static const std::regex kName(R"(.+-(\d{8}-\d{6}-\d{3})(?:-(\d{1,6}))?\.tbl)");
    std::smatch match;
    const std::string name = file.filename().string();
    if (!std::regex_match(name, match, kName)) return std::nullopt;
    return Backup{match[1], match[2].matched ? std::stoi(match[2]) : 1, file};
}

std::vector<Backup> backupsIn(const fs::path& folder) {
    std::vector<Backup> backups;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (auto backup = backupNamed(entry.path())) backups.push_back(std::move(*backup));
    }
    std::sort(backups.begin(), backups.end());
    return backups;
}

int nextNumber(const std::vector<Backup>& backups, const std::string& stamp) {
    int last = 0;
    for (const Backup& b : backups) {
        if (b.stamp == stamp) last = std::max(last, b.number);
    }
    return last + 1;
}

}  // namespace

BackupStore::BackupStore(fs::path folder, std::size_t keep, Now now)
    : folder_(std::move(folder)), keep_(keep), now_(std::move(now)) {}

fs::path BackupStore::defaultFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) return fs::path(dataHome) / "kxp40s" / "backups";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "kxp40s" / "backups";
}

std::string BackupStore::makeFolder() const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    return ec ? "Can not make the folder [" + folder_.string() + "]: " + ec.message() : "";
}

BackupStore::Kept BackupStore::keep(const Image& image, const std::string& kind) {
    if (std::string failure = makeFolder(); !failure.empty()) return {std::nullopt, failure};
    std::error_code ec;
    std::vector<Backup> backups = backupsIn(folder_);
    const std::string stamp = timeStamp(now_());
    const int number = nextNumber(backups, stamp);
    const fs::path file =
        folder_ / (kind + "-" + stamp + (number > 1 ? "-" + std::to_string(number) : "") + ".tbl");
    if (const auto failure = writeTableFile(file, image)) return {std::nullopt, failure->text};

    // The file just written is never dropped, even when the clock was set
    // back and its name sorts before older ones.
    std::erase_if(backups, [&](const Backup& b) { return b.file == file; });
    const std::size_t total = backups.size() + 1;
    const std::size_t excess = std::min(total > keep_ ? total - keep_ : 0, backups.size());
    for (std::size_t i = 0; i < excess; ++i)
        fs::remove(backups[i].file, ec);
    return {file, ""};
}

}  // namespace kxp40s
