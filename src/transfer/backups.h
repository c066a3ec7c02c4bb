#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "image/image.h"

namespace kxp40s {

// Every pager memory read is also kept as a table file, so that what was on
// a pager can be had back after it was overwritten. The newest files are kept
// (200 by default), named by the time of the read.
class BackupStore {
  public:
    using Now = std::function<std::chrono::system_clock::time_point()>;

    explicit BackupStore(std::filesystem::path folder, std::size_t keep = 200,
                         Now now = std::chrono::system_clock::now);

    // The user's data folder: $XDG_DATA_HOME/kxp40s/backups, or
    // ~/.local/share/kxp40s/backups.
    static std::filesystem::path defaultFolder();

    // Writes `image` as "<kind>-YYYYMMDD-HHMMSS-mmm.tbl" (local time), with
    // "-N" before ".tbl" when backups of that millisecond are there already,
    // and drops the oldest backups beyond the number kept: oldest by the time
    // and number in their names, whatever their kind. Other files in the
    // folder are left alone. Returns the file, or the reason it failed.
    struct Kept {
        std::optional<std::filesystem::path> file;
        std::string failure;
    };
    Kept keep(const Image& image, const std::string& kind);

    const std::filesystem::path& folder() const { return folder_; }
    // Makes the folder when it is not there yet; the reason it could not
    // be made, or empty.
    std::string makeFolder() const;

  private:
    std::filesystem::path folder_;
    std::size_t keep_;
    Now now_;
};

}  // namespace kxp40s
