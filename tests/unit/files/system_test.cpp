#include "files/system.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;

using SystemFolders = testing::TempFolderTest;

TEST(Utf8Paths, RoundTripNamesOfEveryScript) {
    for (const std::string name : {"plain.tbl",
                                   "Gr\xC3\xBC\xC3\x9F"
                                   "e.tbl",
                                   "\xCE\xA9-\xE4\xB8\xAD-\xF0\x9F\x93\x9F.tbl"}) {
        SCOPED_TRACE(name);
        const fs::path path = fs::path("folder") / pathFromUtf8(name);
        EXPECT_EQ(utf8Text(path.filename()), name);
        EXPECT_EQ(pathFromUtf8(utf8Text(path)), path);
    }
}

TEST_F(SystemFolders, AFolderIsWritableOnlyWhenAFileCanBeMadeThere) {
    EXPECT_TRUE(isWritableFolder(folder_));
    EXPECT_FALSE(isWritableFolder(folder_ / "missing"));
    EXPECT_FALSE(isWritableFolder(fs::path()));
    EXPECT_TRUE(fs::is_empty(folder_)) << "the probe left a file behind";
}

TEST(ProgramFolders, TheProgramFileIsTheRunningTestAndDataGoesToAFolderOfItsOwn) {
    const fs::path program = programFile();
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(fs::is_regular_file(program));
    EXPECT_TRUE(utf8Text(program.filename()).starts_with("unit_files")) << program;
    EXPECT_EQ(userDataFolder().filename(), "kxp40s");
}

TEST(SystemClock, LocalTimeGivesACalendarDate) {
    const std::tm day = localTime(86400 * 365);  // 1971-01-01 UTC, the day before in the west
    EXPECT_TRUE(day.tm_year == 71 || (day.tm_year == 70 && day.tm_mon == 11 && day.tm_mday == 31));
}

}  // namespace
}  // namespace kxp40s
