#include "transfer/backups.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "image/default_tables.h"
#include "temp_folder.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class Backups : public testing::TempFolderTest {
  protected:
    // The store's clock: each backup is taken at the next of `times`, in
    // milliseconds after a fixed start.
    BackupStore storeKeeping(std::size_t keep, std::vector<int> times) {
        auto next = std::make_shared<std::size_t>(0);
        return BackupStore(folder_, keep, [times = std::move(times), next] {
            const int at = times.at(std::min(*next, times.size() - 1));
            ++*next;
            return std::chrono::system_clock::time_point(std::chrono::seconds(1700000000)) +
                   milliseconds(at);
        });
    }
    fs::path keepNumbered(BackupStore& store, int number, const std::string& kind) {
        Image image = defaultImage();
        image.set(0, static_cast<std::uint8_t>(number));
        const auto kept = store.keep(image, kind);
        EXPECT_TRUE(kept.file) << kept.failure;
        return kept.file.value_or(fs::path());
    }
};

// Backups of one millisecond, and of any kind, are told apart by their
// number and kept newest first; files of the user's are never dropped.
TEST_F(Backups, KeepTheNewestFilesByTheTimeInTheirNames) {
    std::ofstream(folder_ / "mine.tbl") << "x";
    BackupStore store = storeKeeping(3, {0, 0, 5, 5, 5, 9});
    std::vector<fs::path> files;
    for (int i = 0; i < 6; ++i)
        files.push_back(keepNumbered(store, i, i % 2 ? "read" : "verify-failed"));
    EXPECT_NE(files[0], files[1]);
    EXPECT_TRUE(files[3].filename().string().ends_with("-2.tbl"));
    EXPECT_TRUE(files[4].filename().string().ends_with("-3.tbl"));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(fs::exists(files[static_cast<std::size_t>(i)]), i >= 3) << i;
    EXPECT_TRUE(fs::exists(folder_ / "mine.tbl"));
}

TEST_F(Backups, TheFileJustKeptStaysWhenTheClockWasSetBack) {
    BackupStore store = storeKeeping(2, {50, 60, 10});
    keepNumbered(store, 0, "read");
    keepNumbered(store, 1, "read");
    EXPECT_TRUE(fs::exists(keepNumbered(store, 2, "read")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

TEST(BackupFolder, AFolderThatCannotBeMadeIsReported) {
    BackupStore nowhere("/proc/kxp40s-backups");
    const auto failed = nowhere.keep(defaultImage(), "read");
    EXPECT_FALSE(failed.file);
    EXPECT_FALSE(failed.failure.empty());
}

}  // namespace
}  // namespace kxp40s
