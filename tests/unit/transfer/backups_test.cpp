#include "transfer/backups.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <vector>

#include "editors/capcodes.h"
#include "files/table_file.h"
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
    fs::path keepWithCapcode(BackupStore& store, std::int32_t capcode, const std::string& kind) {
        Image image = defaultImage();
        storeCapcode(image, 0, capcode);
        const auto kept = store.keep(image, kind);
        EXPECT_TRUE(kept.file) << kept.failure;
        return kept.file.value_or(fs::path());
    }
    void writeFile(const std::string& name, const Image& image) {
        ASSERT_FALSE(writeTableFile(folder_ / name, image));
    }
};

// Backups of one second, and of any kind, are told apart by their number and
// kept newest first; files of the user's are never dropped.
TEST_F(Backups, KeepTheNewestFilesByTheTimeInTheirNames) {
    std::ofstream(folder_ / "mine.tbl") << "x";
    BackupStore store = storeKeeping(3, {0, 0, 1000, 1005, 1500, 9000});
    std::vector<fs::path> files;
    for (int i = 0; i < 6; ++i)
        files.push_back(keepWithCapcode(store, 100 + i, i % 2 ? "read" : "verify-failed"));
    EXPECT_NE(files[0], files[1]);
    EXPECT_TRUE(files[1].filename().string().ends_with("-0000101-2.tbl")) << files[1];
    EXPECT_TRUE(files[4].filename().string().ends_with("-0000104-3.tbl")) << files[4];
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(fs::exists(files[static_cast<std::size_t>(i)]), i >= 3) << i;
    EXPECT_TRUE(fs::exists(folder_ / "mine.tbl"));
}

TEST_F(Backups, TheFileJustKeptStaysWhenTheClockWasSetBack) {
    BackupStore store = storeKeeping(2, {50000, 60000, 10000});
    keepWithCapcode(store, 1, "read");
    keepWithCapcode(store, 2, "read");
    EXPECT_TRUE(fs::exists(keepWithCapcode(store, 3, "read")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

// The name says which pager it was, and a capcode of three digits is not
// taken for the milliseconds of an earlier version's name.
TEST_F(Backups, TheNameCarriesTheKindAndCapcodeOne) {
    BackupStore store = storeKeeping(10, {0});
    const std::string name = keepWithCapcode(store, 251, "before-write").filename().string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(before-write-\d{8}-\d{6}-0000251\.tbl)")))
        << name;
    EXPECT_EQ(store.list().at(0).capcode1, 251);
    EXPECT_EQ(store.list().at(0).kind, "before-write");
}

// Names of earlier versions (milliseconds where the capcode is now) are
// listed and pruned in their place in time.
TEST_F(Backups, EarlierNamesAreListedAndDroppedInTheirOrder) {
    Image old = defaultImage();
    storeCapcode(old, 0, 1234567);
    writeFile("read-20000101-000000-250.tbl", old);
    writeFile("read-20000101-000000-250-2.tbl", old);
    writeFile("verify-failed-20991231-235959-999.tbl", old);
    std::ofstream(folder_ / "read-20000101-000001-555.tbl") << "not a table";
    BackupStore store = storeKeeping(4, {0});
    const fs::path newest = keepWithCapcode(store, 7, "read");

    const std::vector<BackupEntry> entries = store.list();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].file.filename(), "verify-failed-20991231-235959-999.tbl");
    EXPECT_EQ(entries[0].time, "2099-12-31 23:59:59");
    EXPECT_EQ(entries[0].kind, "verify-failed");
    EXPECT_EQ(entries[0].capcode1, 1234567);
    EXPECT_EQ(entries[1].file, newest);
    EXPECT_EQ(entries[2].file.filename(), "read-20000101-000001-555.tbl");
    EXPECT_FALSE(entries[2].capcode1) << "a file that is not a table has no capcode";
    EXPECT_EQ(entries[3].file.filename(), "read-20000101-000000-250-2.tbl");
    EXPECT_FALSE(fs::exists(folder_ / "read-20000101-000000-250.tbl")) << "the oldest went";
}

TEST_F(Backups, AnEmptyOrMissingFolderListsNothing) {
    EXPECT_TRUE(BackupStore(folder_).list().empty());
    EXPECT_TRUE(BackupStore(folder_ / "none").list().empty());
}

TEST(BackupFolder, AFolderThatCannotBeMadeIsReported) {
    BackupStore nowhere("/proc/kxp40s-backups");
    const auto failed = nowhere.keep(defaultImage(), "read");
    EXPECT_FALSE(failed.file);
    EXPECT_FALSE(failed.failure.empty());
}

}  // namespace
}  // namespace kxp40s
