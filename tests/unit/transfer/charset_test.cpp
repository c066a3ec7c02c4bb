#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>

#include "image/default_tables.h"
#include "transfer/backups.h"
#include "transfer/charset.h"

namespace kxp40s {
namespace {

// The national letters of each language, PC byte -> pager byte.
const std::map<int, std::map<int, int>> kTables = {
    {5,
     {{161, 35},
      {199, 91},
      {209, 92},
      {186, 93},
      {170, 94},
      {191, 96},
      {231, 123},
      {241, 124},
      {220, 125},
      {252, 126}}},
    {6,
     {{163, 35},
      {224, 64},
      {176, 91},
      {231, 92},
      {167, 93},
      {233, 123},
      {249, 124},
      {232, 125},
      {175, 126}}},
    {8,
     {{167, 64}, {196, 91}, {214, 92}, {220, 93}, {228, 123}, {246, 124}, {252, 125}, {223, 126}}},
    {11,
     {{167, 64}, {198, 91}, {216, 92}, {197, 93}, {230, 123}, {248, 124}, {229, 125}, {175, 126}}},
    {15,
     {{163, 35},
      {200, 64},
      {196, 91},
      {214, 92},
      {197, 93},
      {220, 94},
      {233, 96},
      {228, 123},
      {246, 124},
      {229, 125},
      {252, 126}}},
};

TEST(Charset, EveryTableConvertsBothWaysAndNothingElse) {
    for (const auto& [language, table] : kTables) {
        SCOPED_TRACE(language);
        for (int c = 0; c < 256; ++c) {
            const auto byte = static_cast<std::uint8_t>(c);
            const auto pc = table.find(c);
            EXPECT_EQ(PcToPagerChar(byte, language), pc == table.end() ? c : pc->second) << c;
            int back = c;
            for (const auto& [from, to] : table) {
                if (to == c) back = from;
            }
            EXPECT_EQ(PagerToPcChar(byte, language), back) << c;
        }
    }
    for (const int other : {0, 2, 7, 12}) {
        for (int c = 0; c < 256; ++c) {
            EXPECT_EQ(PcToPagerChar(static_cast<std::uint8_t>(c), other), c);
            EXPECT_EQ(PagerToPcChar(static_cast<std::uint8_t>(c), other), c);
        }
    }
}

TEST(Charset, ConvertsTheTextsOfThePromptRecordsButNeverTheirHeaders) {
    Image image = defaultImage();
    image.set(0x3A, 8);  // German
    for (const int record : {0x100, 0x358, 0x3B8, 0x3CC, 0x540, 0x7AC}) {
        image.set(record, 0x40);  // no spaces, attribute 4: also the pager's "§"
        image.set(record + 1, 1);
        image.set(record + 2, 196);  // "Ä"
    }
    image.set(0xA2, 196);   // "FLASH ONLY" is not among the converted texts
    image.set(0x7C0, 196);  // nor is a source-prompt enable byte
    Image pager = image;
    TextToPager(pager);
    for (const int record : {0x100, 0x358, 0x3B8, 0x3CC, 0x540, 0x7AC}) {
        SCOPED_TRACE(record);
        EXPECT_EQ(pager.at(record), 0x40);
        EXPECT_EQ(pager.at(record + 1), 1);
        EXPECT_EQ(pager.at(record + 2), 91);
    }
    EXPECT_EQ(pager.at(0xA2), 196);
    EXPECT_EQ(pager.at(0x7C0), 196);
    TextToPc(pager);
    EXPECT_EQ(pager, image);
}

TEST(Charset, ATextAlreadyHoldingAPagerCodeComesBackAsTheLetter) {
    Image image = defaultImage();
    image.set(0x3A, 8);
    image.set(0x116, '[');
    TextToPager(image);
    TextToPc(image);
    EXPECT_EQ(image.at(0x116), 196);
}

TEST(Backups, KeepTheNewestFiles) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("kxp40s-backups-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    BackupStore store(folder, 3);
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 5; ++i) {
        Image image = defaultImage();
        image.set(0, static_cast<std::uint8_t>(i));
        const auto kept = store.keep(image, i % 2 ? "read" : "verify-failed");
        ASSERT_TRUE(kept.file) << kept.failure;
        files.push_back(*kept.file);
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(std::filesystem::exists(files[static_cast<std::size_t>(i)]), i >= 2) << i;
    EXPECT_TRUE(files[4].filename().string().starts_with("verify-failed-"));
    std::filesystem::remove_all(folder);

    BackupStore nowhere("/proc/kxp40s-backups");
    const auto failed = nowhere.keep(defaultImage(), "read");
    EXPECT_FALSE(failed.file);
    EXPECT_FALSE(failed.failure.empty());
}

}  // namespace
}  // namespace kxp40s
