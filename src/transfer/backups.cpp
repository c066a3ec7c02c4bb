#include "transfer/backups.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "files/table_file.h"

namespace kxp40s {

namespace fs = std::filesystem;

namespace {

std::string timeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d-%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

}  // namespace

BackupStore::BackupStore(fs::path folder, std::size_t keep)
    : folder_(std::move(folder)), keep_(keep) {}

fs::path BackupStore::defaultFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) return fs::path(dataHome) / "kxp40s" / "backups";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "kxp40s" / "backups";
}

BackupStore::Kept BackupStore::keep(const Image& image, const std::string& kind) {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec)
        return {std::nullopt,
                "Can not make the folder [" + folder_.string() + "]: " + ec.message()};
    fs::path file = folder_ / (kind + "-" + timeStamp() + ".tbl");
    for (int n = 2; fs::exists(file, ec); ++n)
        file = folder_ / (kind + "-" + timeStamp() + "-" + std::to_string(n) + ".tbl");
    if (const auto failure = writeTableFile(file, image)) return {std::nullopt, failure->text};
    dropOldest();
    return {file, ""};
}

void BackupStore::dropOldest() {
    // Oldest first, whatever kind they are; files of one millisecond by name.
    std::vector<std::pair<fs::file_time_type, fs::path>> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        if (entry.path().extension() == ".tbl")
            files.emplace_back(entry.last_write_time(ec), entry.path());
    }
    if (files.size() <= keep_) return;
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i + keep_ < files.size(); ++i)
        fs::remove(files[i].second, ec);
}

}  // namespace kxp40s
