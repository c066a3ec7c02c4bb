#include "files/table_file.h"

#include <gtest/gtest.h>

#include "files/system.h"
#include "table_files_fixture.h"

namespace kxp40s {
namespace {

using testing::Bytes;
using testing::TableFiles;
namespace fs = std::filesystem;

TEST_F(TableFiles, BadInputIsRefusedWithAClearMessage) {
    Bytes foreign = tableOfSize(2048);
    foreign[997] = '1';  // "KXP41"
    writeBytes(path("foreign.tbl"), foreign);
    writeBytes(path("empty.tbl"), {});
    fs::create_directory(path("folder.tbl"));

    const Refusal cases[] = {
        {"missing", path("none.tbl"), "This file is not exit!"},
        {"other model", path("foreign.tbl"),
         "The [" + utf8Text(path("foreign.tbl")) +
             "] is not correct format, the file will discard !"},
        {"empty", path("empty.tbl"),
         "The [" + utf8Text(path("empty.tbl")) +
             "] is not correct format, the file will discard !"},
        {"directory", path("folder.tbl"),
         "Can not open [" + utf8Text(path("folder.tbl")) + "]: Is a directory"},
    };
    expectRefused(cases);
}

// A name beyond any one code page is written, read and named in messages
// as the user typed it, on every system.
TEST_F(TableFiles, NamesInAnyScriptAreWrittenReadAndShownAsTyped) {
    const std::string name =
        "Gr\xC3\xBC\xC3\x9F"
        "e-\xCE\xA9-\xE4\xB8\xAD.tbl";  // Grüße-Ω-中
    const fs::path file = folder_ / pathFromUtf8(name);
    ASSERT_FALSE(writeTableFile(file, defaultImage()));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(utf8Text(file.filename()), name);
    EXPECT_TRUE(readTableFile(file).image);

    Bytes foreign = tableOfSize(2048);
    foreign[993] = 'Z';
    writeBytes(file, foreign);
    const TableRead read = readTableFile(file);
    ASSERT_TRUE(read.message);
    EXPECT_NE(read.message->text.find(name + "] is not correct format"), std::string::npos)
        << read.message->text;
}

TEST_F(TableFiles, SavesThatCannotBeMadeAreReportedAndLeaveNothingBehind) {
    const fs::path target = path("no/such/folder/x.tbl");
    const auto failure = writeTableFile(target, defaultImage());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->text.starts_with("Can not save [" + utf8Text(target) + "]: "));
    EXPECT_TRUE(fs::is_empty(folder_));
}

// A save that cannot replace the file (another program holds it, the file
// is read-only) leaves the old file whole and no temporary file beside it.
TEST_F(TableFiles, ASaveThatCannotReplaceTheFileKeepsTheOldOne) {
    const Bytes old = tableOfSize(2048);
    writeBytes(path("kept.tbl"), old);
    fs::permissions(path("kept.tbl"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    const auto failure = writeTableFile(path("kept.tbl"), Image{});
    fs::permissions(folder_, fs::perms::owner_all);
    fs::permissions(path("kept.tbl"), fs::perms::owner_read | fs::perms::owner_write);
    if (!failure) GTEST_SKIP() << "this user may write anywhere (root)";
    EXPECT_EQ(readBytes(path("kept.tbl")), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

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
