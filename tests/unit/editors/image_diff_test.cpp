#include <gtest/gtest.h>

#include "app/startup.h"
#include "editors/image_diff.h"
#include "editors/settings.h"

namespace kxp40s {
namespace {

class ImageDiffTest : public testing::Test {
  protected:
    Session s = startedSession();
    Image a = s.ConfigImage;
    Image b = s.ConfigImage;

    ImageDiff diff() const { return diffImages(a, b); }
    void set(const char* key, const std::string& value) {
        Session changed = s;
        ASSERT_FALSE(findSetting(key)->apply(changed, value).refused) << key;
        b = changed.ConfigImage;
    }
};

TEST_F(ImageDiffTest, IdenticalImagesDifferInNothing) {
    const ImageDiff d = diff();
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(formatDiff(d), "The two images are identical.\n");
}

TEST_F(ImageDiffTest, AShownSettingIsListedByItsValuesAndNotAsBytes) {
    set("lamp-time", "30 sec");
    const ImageDiff d = diff();
    ASSERT_EQ(d.settings.size(), 1u);
    EXPECT_EQ(d.settings[0].a.key, "lamp-time");
    EXPECT_EQ(d.settings[0].a.value, "12 sec");
    EXPECT_EQ(d.settings[0].b.value, "30 sec");
    EXPECT_TRUE(d.bytes.empty());
}

TEST_F(ImageDiffTest, BytesNoSettingShowsAreListedInRunsOfSixteen) {
    for (int address = 0x7E8; address < 0x7FA; ++address)  // 18 bytes
        b.set(address, static_cast<std::uint8_t>(a.at(address) ^ 0xFF));
    const ImageDiff d = diff();
    EXPECT_TRUE(d.settings.empty());
    ASSERT_EQ(d.bytes.size(), 2u);
    EXPECT_EQ(d.bytes[0].from, 0x7E8);
    EXPECT_EQ(d.bytes[0].to, 0x7F7);
    EXPECT_EQ(d.bytes[1].from, 0x7F8);
    EXPECT_EQ(d.bytes[1].to, 0x7F9);
    EXPECT_EQ(hexBytes(d.bytes[1].b), hexBytes({static_cast<std::uint8_t>(a.at(0x7F8) ^ 0xFF),
                                                static_cast<std::uint8_t>(a.at(0x7F9) ^ 0xFF)}));
}

}  // namespace
}  // namespace kxp40s
