#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>

#include "control_at.h"
#include "editors/init_ctl.h"
#include "editors/load_image.h"
#include "editors/startup.h"
#include "image/default_tables.h"
#include "temp_folder.h"

namespace kxp40s {
namespace {

namespace fs = std::filesystem;
using testing::at;

class StartUp : public testing::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        files_ = initialTableFileState(folder_);
    }

    TableFileState files_;
};

TEST_F(StartUp, WithoutDefaultTblShowsTheBand2DefaultsWithTheCentredLogo) {
    Session s;
    const Effects effects = startUp(s, files_);
    EXPECT_TRUE(effects.messages.empty());
    const auto logo = s.ConfigImage.read(0x100, 20);
    EXPECT_EQ(std::string(logo.begin(), logo.end()),
              std::string("\x05\x06KAVION") + std::string(12, ' '));
    EXPECT_EQ(GetField(s.ConfigImage, 0x3B, 0, 2), 2);
    EXPECT_EQ(at(s, "txtPrompt", 0).text, "     KAVION");
    EXPECT_EQ(at(s, "cboDft").value, 2);
    EXPECT_EQ(at(s, "cboChannel", 0).value, 0);
    EXPECT_EQ(at(s, "cboRoHS").value, 0);
    EXPECT_EQ(at(s, "txtFreq").text, "1530000");
    EXPECT_EQ(at(s, "cboCtl", 9).value, 1);
    EXPECT_TRUE(s.FormReady);
    EXPECT_FALSE(s.OldPagerFirmware);
    EXPECT_EQ(at(s, "Form1").text, "KXP40S V05.12 USB KAVION");
    // The band 2 entry "1530000" on the 5 kHz raster: base 1300000, N A9B0, R 2801.
    const auto pll = s.ConfigImage.read(0x005, 10);
    EXPECT_EQ(
        std::vector<std::uint8_t>(pll.begin(), pll.end()),
        (std::vector<std::uint8_t>{0x00, 0xA9, 0xB0, 0x00, 0x00, 0x28, 0x01, 0x00, 0x02, 0x05}));
}

TEST_F(StartUp, OpensAValidDefaultTblAndNamesItInTheCaption) {
    Image image = defaultImage();
    image.set(0x043, 0xD8);  // capcode 1 = 1234631
    ASSERT_FALSE(writeTableFile(folder_ / "default.tbl", image));
    Session s;
    EXPECT_TRUE(startUp(s, files_).messages.empty());
    EXPECT_EQ(at(s, "txtAddr", 0).text, "1234631");
    EXPECT_EQ(at(s, "Form1").text,
              "KXP40S V05.12 USB KAVION - [" + (folder_ / "default.tbl").string() + "]");
}

TEST_F(StartUp, AForeignDefaultTblIsReportedAndTheBuiltInDefaultsAreShown) {
    Image image = defaultImage();
    image.set(997, '1');
    ASSERT_FALSE(writeTableFile(folder_ / "default.tbl", image));
    Session s;
    const Effects effects = startUp(s, files_);
    ASSERT_EQ(effects.messages.size(), 1u);
    EXPECT_EQ(effects.messages[0].text, "The [" + (folder_ / "default.tbl").string() +
                                            "] is not correct format, the file will discard !");
    EXPECT_EQ(at(s, "txtFreq").text, "1530000");
    EXPECT_EQ(s.ConfigImage.at(997), '0');
}

TEST_F(StartUp, OpeningDetectsTheBandFromTheImage) {
    Image image = defaultImage();
    image.set(0x0C, 0);
    image.set(0x0D, 200);  // an Incd of 128 or more is the RoHS variant, whatever the base says
    ASSERT_FALSE(writeTableFile(folder_ / "rohs.tbl", image));
    Session s;
    startUp(s, files_);
    EXPECT_FALSE(openTableFile(s, files_, folder_ / "rohs.tbl").refused);
    EXPECT_EQ(at(s, "cboDft").value, 3);
    EXPECT_EQ(files_.CurrentTableFile, folder_ / "rohs.tbl");
}

TEST_F(StartUp, ARefusedOpenLeavesTheImageAndControls) {
    Session s;
    startUp(s, files_);
    const Image image = s.ConfigImage;
    const std::string frequency = at(s, "txtFreq").text;
    const Effects effects = openTableFile(s, files_, folder_ / "none.tbl");
    EXPECT_TRUE(effects.refused);
    EXPECT_EQ(effects.messages.at(0).text, "This file is not exit!");
    EXPECT_EQ(s.ConfigImage, image);
    EXPECT_EQ(at(s, "txtFreq").text, frequency);
}

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
