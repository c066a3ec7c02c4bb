#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

#include "app/startup.h"
#include "editors/image_diff.h"
#include "editors/load_image.h"
#include "editors/settings.h"

namespace kxp40s {
namespace {

class ImageDiffTest : public testing::Test {
  protected:
    Session started = startedSession();
    Image a = started.ConfigImage;
    Image b = started.ConfigImage;

    ImageDiff diff() const { return diffImages(started, a, b); }

    // B as `set` leaves it.
    void set(std::initializer_list<std::pair<const char*, const char*>> assignments) {
        Session s = started;
        loadImage(s, b);
        for (const auto& [key, value] : assignments)
            ASSERT_FALSE(findSetting(key)->apply(s, value).refused) << key;
        b = s.ConfigImage;
    }

    static std::vector<std::string> listedKeys(const ImageDiff& d) {
        std::vector<std::string> keys;
        for (const auto& change : d.settings)
            keys.push_back(change.a.def->key);
        return keys;
    }

    static std::vector<int> listedBytes(const ImageDiff& d) {
        std::vector<int> addresses;
        for (const auto& run : d.bytes) {
            for (int address = run.from; address <= run.to; ++address)
                addresses.push_back(address);
        }
        return addresses;
    }
};

TEST_F(ImageDiffTest, SettingsAreListedByKeyWithBothValuesAsShowPrintsThem) {
    set({{"frequency", "1531250"},
         {"capcode1", "1000100"},
         {"capcode1.C.type", "Mail Drop C"},
         {"prompt3", " LOCK"}});
    b.set(0x61, static_cast<std::uint8_t>(b.at(0x61) | 0x18));  // baud field 3: no item
    const ImageDiff d = diff();
    EXPECT_EQ(listedKeys(d), (std::vector<std::string>{"frequency", "capcode1", "capcode1.C.type",
                                                       "capcode1.summary", "baud", "prompt3"}));
    EXPECT_TRUE(d.bytes.empty());
    EXPECT_EQ(formatDiff(d),
              "Settings that differ:\n"
              "  frequency: 1530000 -> 1531250\n"
              "  capcode1: 1234567 -> 1000100\n"
              "  capcode1.C.type: Personal -> Mail Drop C\n"
              "  capcode1.summary: Type PPPP Disp AAAA Pri ---- -> Type PPCP Disp AAAA Pri ----\n"
              "  baud (POCSAG Signal Baud Rate): 1200 bps -> (the stored value 3 matches no "
              "list item)\n"
              "  prompt3 (MESSAGE LOCK): \"     MESSAGE LOCK\" -> \" LOCK\"\n");
}

TEST_F(ImageDiffTest, BytesNoSettingReadsAreListedInRunsOfSixteen) {
    const int from = 0x7E8;
    for (int address = from; address < from + 18; ++address)
        b.set(address, static_cast<std::uint8_t>(~a.at(address)));
    const ImageDiff d = diff();
    EXPECT_TRUE(d.settings.empty());
    ASSERT_EQ(d.bytes.size(), 2u);
    EXPECT_EQ(d.bytes[0].to, from + 15);
    EXPECT_EQ(d.bytes[1].from, from + 16);
    EXPECT_EQ(d.bytes[1].b, (std::vector<std::uint8_t>{b.at(from + 16), b.at(from + 17)}));
}

// A prompt record: byte 0 holds the leading spaces (bits 0-3) and an
// attribute no box shows (bits 4-7), byte 1 the count.
TEST_F(ImageDiffTest, ADifferenceNoListedSettingTellsIsListedAsBytes) {
    const int record = 0x114;  // prompt1
    struct Case {
        const char* name;
        std::vector<std::uint8_t> a, b;
        std::vector<std::string> keys;
        std::vector<int> bytes;
    };
    const Case cases[] = {
        {"attribute", {0x01}, {0x41}, {}, {record}},
        {"spaces", {0x01}, {0x02}, {"prompt1"}, {}},
        {"spaces and attribute", {0x01}, {0x42}, {"prompt1"}, {record}},
        // The second character differs where only B shows it.
        {"longer text", {0x00, 1, 'X', 'Q'}, {0x00, 2, 'X', 'Y'}, {"prompt1"}, {}},
        // One space before "X", or none before " X": the box shows the same.
        {"cancelling out",
         {0x01, 1, 'X'},
         {0x00, 2, ' ', 'X'},
         {},
         {record, record + 1, record + 2, record + 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        a = b = started.ConfigImage;
        a.write(record, c.a);
        b.write(record, c.b);
        const ImageDiff d = diff();
        EXPECT_EQ(listedKeys(d), c.keys);
        EXPECT_EQ(listedBytes(d), c.bytes);
    }
}

TEST_F(ImageDiffTest, ImagesDifferInSomethingListedExactlyWhenTheyAreNotEqual) {
    std::mt19937 random(2048);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        b = a;
        for (int patch = round % 3; patch > 0; --patch)
            b.set(static_cast<int>(random() % kImageSize), static_cast<std::uint8_t>(random()));
        const ImageDiff d = diff();
        EXPECT_EQ(d.empty(), a == b) << formatDiff(d);
        EXPECT_EQ(formatDiff(d) == "The two images are identical.\n", a == b);
        for (const int address : listedBytes(d))
            EXPECT_NE(a.at(address), b.at(address)) << address;
    }
}

}  // namespace
}  // namespace kxp40s
