#include "transfer/backups.h"

#include <algorithm>
#include <cstdio>
#include <regex>
#include <tuple>
#include <vector>

#include "editors/capcodes.h"
#include "files/system.h"
#include "files/table_file.h"
#include "transfer/local_time.h"

namespace kxp40s {

namespace fs = std::filesystem;

namespace {

// The local time of `when` as "YYYYMMDD-HHMMSS".
std::string timeStamp(std::chrono::system_clock::time_point when) {
    return localTimeText(when, "%Y%m%d-%H%M%S");
}

// A backup's place in time, from its name: the second (which sorts as
// text), the millisecond in names of earlier versions (0 in today's), and
// the number of the backup within them (1 when the name has none).
struct Backup {
    std::string kind;
    std::string second;
    int millis = 0;
    int number = 1;
    fs::path file;
    bool operator<(const Backup& other) const {
        return std::tie(second, millis, number) <
               std::tie(other.second, other.millis, other.number);
    }
};

// Three digits after the time are an earlier version's milliseconds; a
// capcode has seven.
std::optional<Backup> backupNamed(const fs::path& file) {
    static const std::regex kName(R"((.+)-(\d{8}-\d{6})-(?:(\d{3})|\d{7})(?:-(\d{1,6}))?\.tbl)");
    std::smatch match;
    const std::string name = utf8Text(file.filename());
    if (!std::regex_match(name, match, kName)) return std::nullopt;
    return Backup{match[1], match[2], match[3].matched ? std::stoi(match[3]) : 0,
                  match[4].matched ? std::stoi(match[4]) : 1, file};
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

int nextNumber(const std::vector<Backup>& backups, const std::string& second) {
    int last = 0;
    for (const Backup& b : backups) {
        if (b.second == second) last = std::max(last, b.number);
    }
    return last + 1;
}

std::string fileName(const std::string& kind, const std::string& second, std::int32_t capcode,
                     int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%07d", static_cast<int>(capcode));
    return kind + "-" + second + "-" + digits + (number > 1 ? "-" + std::to_string(number) : "") +
           ".tbl";
}

// "20261207-033803" as "2026-12-07 03:38:03".
std::string shownTime(const std::string& second) {
    return second.substr(0, 4) + "-" + second.substr(4, 2) + "-" + second.substr(6, 2) + " " +
           second.substr(9, 2) + ":" + second.substr(11, 2) + ":" + second.substr(13, 2);
}

std::optional<std::int32_t> capcode1Of(const fs::path& file) {
    const TableRead read = readTableFile(file);
    if (!read.image) return std::nullopt;
    return capcodeOf(*read.image, 0);
}

}  // namespace

BackupStore::BackupStore(fs::path folder, std::size_t keep, Now now)
    : folder_(std::move(folder)), keep_(keep), now_(std::move(now)) {}

fs::path BackupStore::defaultFolder() {
    return userDataFolder() / "backups";
}

std::string BackupStore::makeFolder() const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    return ec ? "Can not make the folder [" + utf8Text(folder_) + "]: " + ec.message() : "";
}

BackupStore::Kept BackupStore::keep(const Image& image, const std::string& kind) {
    if (std::string failure = makeFolder(); !failure.empty()) return {std::nullopt, failure};
    std::error_code ec;
    std::vector<Backup> backups = backupsIn(folder_);
    const std::string second = timeStamp(now_());
    const fs::path file =
        folder_ / fileName(kind, second, capcodeOf(image, 0), nextNumber(backups, second));
    if (const auto failure = writeTableFile(file, image)) return {std::nullopt, failure->text};

    // The file just written is never dropped, even when the clock was set
    // back and its name sorts before older ones.
    std::erase_if(backups, [&](const Backup& b) { return b.file == file; });
    const std::size_t total = backups.size() + 1;
    const std::size_t excess = std::min(total > keep_ ? total - keep_ : 0, backups.size());
    for (std::size_t i = 0; i < excess; ++i)
        fs::remove(backups[i].file, ec);
    kept_.push_back(file);
    return {file, ""};
}

std::vector<BackupEntry> BackupStore::list() const {
    std::vector<BackupEntry> entries;
    const std::vector<Backup> backups = backupsIn(folder_);
    for (auto b = backups.rbegin(); b != backups.rend(); ++b)
        entries.push_back({shownTime(b->second), b->kind, capcode1Of(b->file), b->file});
    return entries;
}

}  // namespace kxp40s
