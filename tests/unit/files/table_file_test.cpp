#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "files/table_file.h"
#include "image/default_tables.h"
#include "temp_folder.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TableFiles : public testing::TempFolderTest {
  protected:
    fs::path path(const char* name) const { return folder_ / name; }

    static void writeBytes(const fs::path& p, const Bytes& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes readBytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static Bytes imageBytes(const Image& image) {
        return Bytes(image.bytes().begin(), image.bytes().end());
    }

    // A table of `size` bytes: the default image's bytes, then a counting pattern.
    static Bytes tableOfSize(std::size_t size) {
        Bytes bytes = imageBytes(defaultImage());
        bytes.resize(size);
        for (std::size_t i = 2048; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        return bytes;
    }
};

TEST_F(TableFiles, AFullFileLoadsCompletelyAndSavesBackIdentical) {
    Bytes bytes = tableOfSize(2048);
    bytes[5] = 0x77;
    writeBytes(path("a.tbl"), bytes);
    const TableRead read = readTableFile(path("a.tbl"));
    ASSERT_TRUE(read.image) << read.message->text;
    EXPECT_EQ(imageBytes(*read.image), bytes);
    ASSERT_FALSE(writeTableFile(path("a.tbl"), *read.image));
    EXPECT_EQ(readBytes(path("a.tbl")), bytes);
}

TEST_F(TableFiles, AShortFileFillsTheRestWithZero) {
    writeBytes(path("short.tbl"), tableOfSize(1000));
    const TableRead read = readTableFile(path("short.tbl"));
    ASSERT_TRUE(read.image);
    for (int a = 0x3E8; a < 2048; ++a)
        ASSERT_EQ(read.image->at(a), 0) << a;
    EXPECT_EQ(read.image->at(0x3E5), '0');
}

TEST_F(TableFiles, AHugeFileIsReadByItsFirst2048BytesOnly) {
    writeBytes(path("huge.tbl"), tableOfSize(2048));
    ASSERT_EQ(::truncate(path("huge.tbl").c_str(), 8LL << 30), 0);  // sparse 8 GiB
    const TableRead read = readTableFile(path("huge.tbl"));
    ASSERT_TRUE(read.image);
    EXPECT_EQ(*read.image, defaultImage());
}

TEST_F(TableFiles, BadInputIsRefusedWithAClearMessage) {
    Bytes foreign = tableOfSize(2048);
    foreign[997] = '1';  // "KXP41"
    writeBytes(path("foreign.tbl"), foreign);
    writeBytes(path("empty.tbl"), {});
    fs::create_directory(path("folder.tbl"));
    ::mkfifo(path("pipe.tbl").c_str(), 0600);

    struct Case {
        const char* name;
        fs::path file;
        std::string message;
    };
    const Case cases[] = {
        {"missing", path("none.tbl"), "This file is not exit!"},
        {"other model", path("foreign.tbl"),
         "The [" + path("foreign.tbl").string() +
             "] is not correct format, the file will discard !"},
        {"empty", path("empty.tbl"),
         "The [" + path("empty.tbl").string() + "] is not correct format, the file will discard !"},
        {"directory", path("folder.tbl"),
         "Can not open [" + path("folder.tbl").string() + "]: Is a directory"},
        {"pipe", path("pipe.tbl"),
         "Can not open [" + path("pipe.tbl").string() + "]: not a regular file"},
        {"unreadable", "/proc/self/mem", "Can not open [/proc/self/mem]: Input/output error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TableRead read = readTableFile(c.file);
        EXPECT_FALSE(read.image);
        ASSERT_TRUE(read.message);
        EXPECT_EQ(read.message->text, c.message);
        EXPECT_EQ(read.message->title, "KXP40S V05.12");
        EXPECT_EQ(read.message->icon, Icon::Exclamation);
    }
}

TEST_F(TableFiles, SavingOverALongerFileKeepsItsTail) {
    const Bytes old = tableOfSize(3000);
    writeBytes(path("long.tbl"), old);
    Image image = defaultImage();
    image.set(0, 0x12);
    ASSERT_FALSE(writeTableFile(path("long.tbl"), image));
    const Bytes now = readBytes(path("long.tbl"));
    ASSERT_EQ(now.size(), 3000u);
    EXPECT_EQ(Bytes(now.begin(), now.begin() + 2048), imageBytes(image));
    EXPECT_EQ(Bytes(now.begin() + 2048, now.end()), Bytes(old.begin() + 2048, old.end()));
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

TEST_F(TableFiles, SavesThatCannotBeMadeAreReported) {
    for (const fs::path& target : {path("no/such/folder/x.tbl"), fs::path("/proc/kxp40s.tbl")}) {
        SCOPED_TRACE(target);
        const auto failure = writeTableFile(target, defaultImage());
        ASSERT_TRUE(failure);
        EXPECT_TRUE(failure->text.starts_with("Can not save [" + target.string() + "]: "));
    }
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

TEST_F(TableFiles, OpenTakesTheChosenPathOnlyWhenTheFilePassesTheModelCheck) {
    TableFileState state = initialTableFileState(folder_);
    EXPECT_EQ(state.CurrentTableFile, path("default.tbl"));

    Bytes foreign = tableOfSize(2048);
    foreign[993] = 'Z';
    writeBytes(path("foreign.tbl"), foreign);
    EXPECT_FALSE(mnuLBFF_Click(state, path("foreign.tbl")).image);
    EXPECT_EQ(state.CurrentTableFile, path("default.tbl"));

    EXPECT_EQ(mnuLBFF_Click(state, path("none.tbl")).message->text, "This file is not exit!");
    EXPECT_EQ(state.CurrentTableFile, path("default.tbl"));

    writeBytes(path("good.tbl"), tableOfSize(2048));
    EXPECT_TRUE(mnuLBFF_Click(state, path("good.tbl")).image);
    EXPECT_EQ(state.CurrentTableFile, path("good.tbl"));
    EXPECT_TRUE(mnuLBFF_Click(state, std::nullopt).image);  // the silent open of Save's file
}

TEST_F(TableFiles, SaveBeforeAnyDialogCreatesDefaultTblAndSaveAsMovesTheTarget) {
    TableFileState state = initialTableFileState(folder_);
    ASSERT_FALSE(mnuSA_Click(state, defaultImage(), std::nullopt));
    EXPECT_EQ(readBytes(path("default.tbl")), imageBytes(defaultImage()));

    ASSERT_FALSE(mnuSA_Click(state, defaultImage(), path("other.tbl")));
    EXPECT_EQ(state.CurrentTableFile, path("other.tbl"));

    EXPECT_TRUE(mnuSA_Click(state, defaultImage(), path("no/folder.tbl")));
    EXPECT_EQ(state.CurrentTableFile, path("other.tbl"));
}

TEST_F(TableFiles, SaveAsAsksBeforeOverwritingAnExistingFile) {
    EXPECT_FALSE(overwriteQuestion(path("new.tbl")));
    writeBytes(path("old.tbl"), {1, 2, 3});
    const auto question = overwriteQuestion(path("old.tbl"));
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, "This file is arealy exist ! \r\nAre you sure overwrite this file?");
    EXPECT_EQ(question->buttons, Buttons::YesNo);
    EXPECT_EQ(question->icon, Icon::None);
}

TEST(Captions, TakeThePathAfterTheFirstBracket) {
    EXPECT_EQ(captionWithPath("KXP40S V05.12 USB KAVION", "/t/a.tbl"),
              "KXP40S V05.12 USB KAVION - [/t/a.tbl]");
    EXPECT_EQ(captionWithPath("KXP40S V05.12 USB KAVION - [/t/a.tbl]", "/u/b.tbl"),
              "KXP40S V05.12 USB KAVION - [/u/b.tbl]");
    EXPECT_EQ(captionWithPath("X [a] [b]", "c"), "X [c]");
}

TEST(TableFileNames, EndInTblInAnyCase) {
    for (const auto& [name, isTable] :
         std::vector<std::pair<std::string, bool>>{{"/a/pager.tbl", true},
                                                   {"pager.TBL", true},
                                                   {"/a/pager.tbl.bak", false},
                                                   {"/a/pager", false},
                                                   {"/a/.tbl", false},
                                                   {"/a/tbl", false}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(isTableFileName(name), isTable);
    }
}

}  // namespace
}  // namespace kxp40s
