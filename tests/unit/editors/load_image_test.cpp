#include <gtest/gtest.h>

#include <random>

#include "control_at.h"
#include "editors/load_image.h"
#include "image/default_tables.h"
#include "image/shift.h"

namespace kxp40s {
namespace {

using testing::at;

// Loading shows and does not store: over images of random bytes, the only
// bytes a load may change are the baud list's three dependents and a logo
// code of 1 (shown and stored as English(Large), code 0).
TEST(Loading, ChangesNoByteButTheBaudDependentsAndTheLogoCode) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 300; ++round) {
        Image image;
        for (auto& b : image.bytes())
            b = static_cast<std::uint8_t>(random());
        Session s;
        const Effects effects = loadImage(s, image);
        for (int address = 0; address < kImageSize; ++address) {
            int allowed = 0;
            if (address == 0x61) allowed = 0x03;
            if (address == 0x62) allowed = 0xFF;
            if (address == 0x63) allowed = 0xC0;
            if (address == 0x3F && (image.at(address) & 0x0F) == 1) allowed = 0x01;
            ASSERT_EQ((s.ConfigImage.at(address) ^ image.at(address)) & ~allowed, 0)
                << "round " << round << ", address " << address;
        }
        (void)effects;
    }
}

TEST(Loading, AListWithoutItemGivesCode1AndTheRestStillLoads) {
    Image image = defaultImage();
    SetField(image, 0x61, 3, 3, 2);
    Session s;
    loadImage(s, image);
    EXPECT_EQ(s.LoadErrorCode, 1);
    EXPECT_EQ(at(s, "txtAddr", 0).text, "1234567");
    EXPECT_EQ(at(s, "txtPrompt", 13).text, "TONE ONLY");
    EXPECT_EQ(at(s, "txtPass").text, "0000");
}

}  // namespace
}  // namespace kxp40s
