#include <gtest/gtest.h>

#include "image/default_tables.h"
#include "transfer/charset.h"

namespace kxp40s {
namespace {

// Each national letter becomes a 7-bit pager code and comes back as itself;
// under a language without a table nothing changes.
TEST(Charset, NationalLettersConvertToSevenBitCodesAndBack) {
    for (const int language : {0, 2, 5, 6, 7, 8, 11, 12, 15}) {
        SCOPED_TRACE(language);
        int converted = 0;
        for (int c = 0; c < 256; ++c) {
            const auto letter = static_cast<std::uint8_t>(c);
            const std::uint8_t code = PcToPagerChar(letter, language);
            if (code == letter) continue;
            ++converted;
            EXPECT_LT(code, 128) << c;
            EXPECT_EQ(PagerToPcChar(code, language), letter) << c;
        }
        const bool hasTable =
            language == 5 || language == 6 || language == 8 || language == 11 || language == 15;
        EXPECT_EQ(converted > 0, hasTable);
    }
    EXPECT_EQ(PcToPagerChar(196, 8), 91);  // German "Ä"
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

}  // namespace
}  // namespace kxp40s
