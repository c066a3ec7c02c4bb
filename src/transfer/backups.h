#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/image.h"

namespace kxp40s {

// A backup as the store lists it.
struct BackupEntry {
    std::string time;  // local time of the backup, "2026-12-07 03:38:03"
    std::string kind;  // "read", "before-write", "verify-failed", ...
    // Capcode 1 of the image the file holds; none when it cannot be read.
    std::optional<std::int32_t> capcode1;
    std::filesystem::path file;
};

// Every pager memory read is also kept as a table file, so that what was on
// a pager can be had back after it was overwritten. The newest files are kept
// (200 by default), named by their kind, the time and the pager's capcode 1.
class BackupStore {
  public:
    using Now = std::function<std::chrono::system_clock::time_point()>;

    explicit BackupStore(std::filesystem::path folder, std::size_t keep = 200,
                         Now now = std::chrono::system_clock::now);

    // "backups" in the user's data folder (userDataFolder()).
    static std::filesystem::path defaultFolder();

    // Writes `image` as "<kind>-YYYYMMDD-HHMMSS-<capcode 1 in 7 digits>.tbl"
    // (local time), with "-N" before ".tbl" for the Nth backup of that
    // second, and drops the oldest backups beyond the number kept: oldest by
    // the time and number in their names, whatever their kind (names of
    // earlier versions, with milliseconds where the capcode is now, count
    // too). Other files in the folder are left alone. Returns the file, or
    // the reason it failed.
    struct Kept {
        std::optional<std::filesystem::path> file;
        std::string failure;
    };
    Kept keep(const Image& image, const std::string& kind);

    // The backups in the folder, newest first.
    std::vector<BackupEntry> list() const;
    // The files this store kept, oldest first (the older ones may have been
    // dropped since, when more than the number kept were made).
    const std::vector<std::filesystem::path>& kept() const { return kept_; }

    const std::filesystem::path& folder() const { return folder_; }
    // Makes the folder when it is not there yet; the reason it could not
    // be made, or empty.
    std::string makeFolder() const;

  private:
    std::filesystem::path folder_;
    std::size_t keep_;
    Now now_;
    std::vector<std::filesystem::path> kept_;
};

}  // namespace kxp40s
