#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/table_file.h"
#include "table_files_fixture.h"

// What only POSIX systems have: sparse files, FIFOs, devices, /proc,
// symbolic links that any user may make, and the file-size limit.
namespace kxp40s {
namespace {

using testing::Bytes;
using testing::TableFiles;
namespace fs = std::filesystem;

TEST_F(TableFiles, AHugeFileIsReadByItsFirst2048BytesOnly) {
    writeBytes(path("huge.tbl"), tableOfSize(2048));
    ASSERT_EQ(::truncate(path("huge.tbl").c_str(), 8LL << 30), 0);  // sparse 8 GiB
    const TableRead read = readTableFile(path("huge.tbl"));
    ASSERT_TRUE(read.image);
    EXPECT_EQ(*read.image, defaultImage());
}

TEST_F(TableFiles, SpecialFilesAreRefusedWithAClearMessage) {
    ::mkfifo(path("pipe.tbl").c_str(), 0600);

    const Refusal cases[] = {
        {"pipe", path("pipe.tbl"),
         "Can not open [" + path("pipe.tbl").string() + "]: not a regular file"},
        {"unreadable", "/proc/self/mem", "Can not open [/proc/self/mem]: Input/output error"},
    };
    expectRefused(cases);
}

// As in a program run under `ulimit -f 2`: the child process ignores
// SIGXFSZ as every main() does, so the save fails with its message instead
// of the process being killed with its temporary file left behind.
TEST_F(TableFiles, ASaveOverTheFileSizeLimitFailsAndLeavesTheOldFileAsItWas) {
    const Bytes old = tableOfSize(3000);
    writeBytes(path("long.tbl"), old);
    const std::string expected = "Can not save [" + path("long.tbl").string() +
                                 "]: File too large. The file was not changed.";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ignoreFileSizeSignal();
        const rlimit limited{2500, 2500};
        ::setrlimit(RLIMIT_FSIZE, &limited);
        const auto failure = writeTableFile(path("long.tbl"), Image{});
        ::_exit(failure && failure->text == expected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child did not get: " << expected;
    EXPECT_EQ(readBytes(path("long.tbl")), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(TableFiles, SavesIntoASystemFolderAreReported) {
    const fs::path target = "/proc/kxp40s.tbl";
    const auto failure = writeTableFile(target, defaultImage());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->text.starts_with("Can not save [" + target.string() + "]: "));
}

// A device node, a FIFO or a folder is never replaced by a regular file nor
// read from (a FIFO would hang the save), also when a link leads to it; a
// file longer than any table file is not copied whole.
TEST_F(TableFiles, OnlyARegularFileOfATableFilesSizeIsSavedOver) {
    fs::create_directory(path("taken.tbl"));
    ASSERT_EQ(::mkfifo(path("pipe.tbl").c_str(), 0600), 0);
    fs::create_symlink(path("pipe.tbl"), path("to-pipe.tbl"));
    writeBytes(path("huge.tbl"), tableOfSize(2048));
    ASSERT_EQ(::truncate(path("huge.tbl").c_str(), (1 << 20) + 1), 0);
    struct Case {
        fs::path target;
        std::string why;
        fs::file_type stays;
    };
    const Case cases[] = {
        {path("taken.tbl"), "not a regular file", fs::file_type::directory},
        {path("pipe.tbl"), "not a regular file", fs::file_type::fifo},
        {path("to-pipe.tbl"), "not a regular file", fs::file_type::fifo},
        {"/dev/null", "not a regular file", fs::file_type::character},
        {path("huge.tbl"), "longer than a table file can be (1048576 bytes)",
         fs::file_type::regular},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const auto failure = writeTableFile(c.target, defaultImage());
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->text, "Can not save [" + c.target.string() + "]: " + c.why +
                                     ". The file was not changed.");
        EXPECT_EQ(fs::status(c.target).type(), c.stays);
    }
    EXPECT_TRUE(fs::is_empty(path("taken.tbl")));
    EXPECT_EQ(fs::file_size(path("huge.tbl")), (1u << 20) + 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 4);
}

// Through links a save writes the file they end at, keeping its mode, or
// creates it when it is not there yet; the links stay links.
TEST_F(TableFiles, SavingThroughALinkWritesTheFileItEndsAt) {
    writeBytes(path("real.tbl"), tableOfSize(2048));
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path("real.tbl"), mode);
    fs::create_symlink(path("real.tbl"), path("link.tbl"));
    fs::create_directory(path("sub"));
    fs::create_symlink("sub/new.tbl", path("dangling.tbl"));  // relative to the link's folder
    fs::create_symlink(path("dangling.tbl"), path("chain.tbl"));
    Image image = defaultImage();
    image.set(1, 0x42);
    ASSERT_FALSE(writeTableFile(path("link.tbl"), image));
    ASSERT_FALSE(writeTableFile(path("chain.tbl"), image));
    for (const char* link : {"link.tbl", "dangling.tbl", "chain.tbl"})
        EXPECT_TRUE(fs::is_symlink(path(link))) << link;
    EXPECT_EQ(readBytes(path("real.tbl")), imageBytes(image));
    EXPECT_EQ(fs::status(path("real.tbl")).permissions(), mode);
    EXPECT_EQ(readBytes(path("sub/new.tbl")), imageBytes(image));
}

}  // namespace
}  // namespace kxp40s
