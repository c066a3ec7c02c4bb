#include <gtest/gtest.h>

#include "control_at.h"
#include "editors/capcodes.h"
#include "editors/frequency.h"
#include "editors/settings.h"
#include "image/pager_map.h"
#include "started_pager.h"
#include "transfer/charset.h"
#include "transfer/pager_commands.h"
#include "usb_rig.h"

namespace kxp40s {
namespace {

using testing::at;
using testing::UsbRig;

using Texts = std::vector<std::string>;

Image pagerWith(std::string_view identity, std::uint8_t firmware = 50) {
    return testing::startedPager(identity, firmware);
}

void set(Session& s, const std::string& key, const std::string& value) {
    ASSERT_FALSE(findSetting(key)->apply(s, value).refused) << key;
}

Image withoutConversion(const Session& s) {
    Image image = s.ConfigImage;
    TextToPager(image);
    return image;
}

TEST(UsbWrite, WritesTheMarkedAndChecksummedImageThenVerifies) {
    UsbRig rig;
    rig.s.ConfigImage.set(992, 0);
    ASSERT_EQ(mnuEB_Click(rig.t,
                          [](Transfer&) {
                              ADD_FAILURE() << "no series without auto-increase";
                              return Result::Failed;
                          }),
              Result::Done);
    EXPECT_EQ(rig.texts(), Texts{"Verify Success!"});
    EXPECT_FALSE(rig.s.TransferFailed);
    EXPECT_FALSE(at(rig.s, "cmdWrite").visible);  // no series: no Write button
    const Image& pager = rig.board.memory();
    EXPECT_EQ(pager, withoutConversion(rig.s));
    EXPECT_EQ(pager.at(992), 1);
    Image counted = pager;
    counted.set(992, 0);
    EXPECT_EQ(pager::checksumOf(pager.bytes(), 2047), pager::checksumOf(counted.bytes(), 2047));
    EXPECT_EQ(pager.at(2046) * 256 + pager.at(2047), pager::checksumOf(pager.bytes(), 2047));
    for (const int value : rig.face.progress)
        EXPECT_LE(value, rig.face.progressMaximum);
}

TEST(UsbWrite, AsksBeforeOverwritingAnEmptyForeignOrOtherBandPager) {
    struct Case {
        const char* name;
        Image pager;
        bool rohsBand;
        std::string question;
    };
    Image rohsPager = pagerWith("KXP40V1.0V5.12");
    rohsPager.set(13, 128);
    const Case cases[] = {
        {"empty", pagerWith(std::string(14, '\xFF')), false,
         "The program data is empty ! \r\nAre you sure overwrite it?"},
        {"other model", pagerWith("KXP50V1.0V5.12"), false,
         "The program data is wrong ! \r\nAre you sure overwrite it?"},
        {"GP(RoHS) pager", rohsPager, false,
         "The Pager is GP(RoHS) ! \r\nAre you sure overwrite it?"},
        {"non GP(RoHS) pager", pagerWith("KXP40V1.0V5.12"), true,
         "The Pager is Non GP(RoHS) ! \r\nAre you sure overwrite it?"},
    };
    for (const auto& c : cases) {
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            SCOPED_TRACE(std::string(c.name) + (answer == Answer::Yes ? ", Yes" : ", No"));
            UsbRig rig(c.pager);
            if (c.rohsBand) set(rig.s, "band", "3");
            const Image before = rig.board.memory();
            rig.face.answers = {answer};
            mnuEB_Click(rig.t, nullptr);
            ASSERT_GE(rig.face.messages.size(), 1u);
            EXPECT_EQ(rig.face.messages[0].text, c.question);
            EXPECT_EQ(rig.face.messages[0].title, "KXP40");
            EXPECT_EQ(rig.face.messages[0].buttons, Buttons::YesNo);
            EXPECT_EQ(rig.s.TransferFailed, answer == Answer::No);
            if (answer == Answer::No) {
                EXPECT_EQ(rig.board.memory(), before);
                EXPECT_EQ(rig.face.messages.size(), 1u);
            } else {
                EXPECT_EQ(rig.face.messages.back().text, "Verify Success!");
            }
        }
    }
}

TEST(UsbWrite, OldFirmwareRecomputesTheSynthesizerWordsForTheOldRules) {
    for (const std::uint8_t firmware : {std::uint8_t{49}, std::uint8_t{255}}) {
        SCOPED_TRACE(static_cast<int>(firmware));
        UsbRig rig(pagerWith("KXP40V1.0V5.12", firmware));
        set(rig.s, "channel", "6.25KHz");  // band 2, entry 1530000
        EXPECT_EQ(rig.s.ConfigImage.at(0x0D), 2);
        const std::uint8_t firmwareInImage = rig.s.ConfigImage.at(0x459);
        mnuEB_Click(rig.t, nullptr);
        EXPECT_TRUE(rig.s.OldPagerFirmware);
        const Image& pager = rig.board.memory();
        EXPECT_EQ(pager.at(0x0C), 0x00);
        EXPECT_EQ(pager.at(0x0D), 0x08);
        EXPECT_EQ(pager.at(0x0E), 0x19);
        EXPECT_EQ(pager.at(0x45A), 0);
        EXPECT_EQ(pager.at(0x459), firmwareInImage);
    }
    UsbRig rig(pagerWith("KXP40V1.0V5.12", 51));
    mnuEB_Click(rig.t, nullptr);
    EXPECT_FALSE(rig.s.OldPagerFirmware);
    EXPECT_EQ(rig.s.ConfigImage.at(0x459), 51);
}

TEST(UsbWrite, AnEntryTheOldRulesRefuseStopsTheWriteBeforeAnyByteIsWritten) {
    UsbRig rig(pagerWith("KXP40V1.0V5.12", 40));
    rig.board.memory();
    set(rig.s, "band", "3");
    set(rig.s, "channel", "6.25KHz");
    set(rig.s, "frequency", "1300250");  // on the 6.25 kHz raster, not on the old 25 kHz one
    const Image pagerBefore = rig.board.memory();
    const Image imageBefore = rig.s.ConfigImage;
    rig.face.answers = {Answer::Yes};  // the pager is not GP(RoHS)
    mnuEB_Click(rig.t, nullptr);
    EXPECT_EQ(rig.texts(), Texts{"Channel Spacing Error!"});
    EXPECT_TRUE(rig.s.TransferFailed);
    EXPECT_FALSE(rig.s.FreqEntryError);
    EXPECT_EQ(rig.board.memory(), pagerBefore);
    Image expected = imageBefore;
    EXPECT_EQ(rig.s.ConfigImage, expected);
}

TEST(UsbWrite, TakesThePagersContrastUnlessTheUserChangedIt) {
    Image pager = pagerWith("KXP40V1.0V5.12");
    pager.set(137, 0x07);
    {
        UsbRig rig(pager);
        rig.s.ConfigImage.set(137, 0x33);
        mnuEB_Click(rig.t, nullptr);
        EXPECT_EQ(rig.board.memory().at(137), 0x37);
    }
    UsbRig rig(pager);
    set(rig.s, "contrast", "3");
    mnuEB_Click(rig.t, nullptr);
    EXPECT_EQ(rig.board.memory().at(137) & 0x0F, 3);
}

TEST(UsbWrite, ALinkFailureEndsTheWriteWithoutVerifyAndKeepsTheImage) {
    for (const auto kind :
         {sim::FaultKind::NoAck, sim::FaultKind::Unplug, sim::FaultKind::BadChecksum}) {
        SCOPED_TRACE(sim::faultName(kind));
        UsbRig rig(pagerWith("KXP40V1.0V5.12"), {{kind, 6}});  // a block of the write itself
        set(rig.s, "channel", "Auto");
        const Image before = rig.s.ConfigImage;
        mnuEB_Click(rig.t, nullptr);
        EXPECT_TRUE(rig.s.TransferFailed);
        EXPECT_EQ(rig.face.messages.size(), 1u);
        EXPECT_NE(rig.face.messages.at(0).text, "Verify Success!");
        Image expected = before;
        expected.set(0x459, 50);
        expected.set(137, static_cast<std::uint8_t>((before.at(137) & 0xF0) |
                                                    (rig.board.memory().at(137) & 0x0F)));
        EXPECT_EQ(rig.s.ConfigImage, expected);
    }
}

TEST(UsbRead, ReadsAndLoadsANewFormatPager) {
    Image pager = pagerWith("KXP40V1.0V5.12");
    pager.set(0x043, 0xD8);  // capcode 1 = 1234631
    pager::storeChecksum(pager.bytes(), 2047);
    UsbRig rig(pager);
    ASSERT_EQ(mnuEntire_Click(rig.t), Result::Done);
    EXPECT_EQ(rig.texts(), Texts{"Read success!"});
    EXPECT_EQ(rig.s.ConfigImage, pager);
    EXPECT_EQ(at(rig.s, "txtAddr", 0).text, "1234631");
    EXPECT_FALSE(rig.s.TransferFailed);
}

TEST(UsbRead, AcceptsEitherChecksumForTheFirmwareBytes) {
    Image pager = pagerWith("KXP40V1.0V5.12");
    pager.set(1113, 255);
    pager.set(1114, 255);
    pager::storeChecksum(pager.bytes(), 2047);
    pager.set(1113, 50);
    pager.set(1114, 0);
    UsbRig rig(pager);
    mnuEntire_Click(rig.t);
    EXPECT_EQ(rig.texts(), Texts{"Read success!"});

    pager.set(2047, static_cast<std::uint8_t>(pager.at(2047) + 1));
    UsbRig bad(pager);
    const Image before = bad.s.ConfigImage;
    mnuEntire_Click(bad.t);
    EXPECT_EQ(bad.texts(), Texts{"CheckSum Error!"});
    EXPECT_EQ(bad.s.ConfigImage, before);
}

TEST(UsbRead, AnOldFormatPagerIsReadWithoutChecksumAndKeepsTheDefaultTail) {
    for (const char* identity : {"KXP40V1.0V4.99", "KXP40V1.0     "}) {
        SCOPED_TRACE(identity);
        Image pager = pagerWith(identity);
        for (int a = 2016; a < 2048; ++a)
            pager.set(a, 0xEE);
        pager.set(0x043, 0xD8);
        UsbRig rig(pager);
        mnuEntire_Click(rig.t);
        EXPECT_EQ(rig.texts(), Texts{"Read success!"});
        EXPECT_EQ(rig.s.ConfigImage.at(0x043), 0xD8);
        for (int a = 2016; a < 2048; ++a)
            EXPECT_EQ(rig.s.ConfigImage.at(a), defaultImage().at(a)) << a;
    }
}

TEST(UsbRead, RefusesAnotherModelWithItsIdentity) {
    UsbRig rig(pagerWith("KXP50V2.0V6.01"));
    const Image before = rig.s.ConfigImage;
    mnuEntire_Click(rig.t);
    EXPECT_EQ(rig.texts(),
              Texts{"This pager is not KXP40 !\r\n\r\nIt is KXP50 ( PCB V2.0, Software V6.01 )"});
    EXPECT_TRUE(rig.s.TransferFailed);
    EXPECT_EQ(rig.s.ConfigImage, before);
}

TEST(UsbRead, ConvertsTheNationalLettersBackAndKeepsRecordHeaders) {
    UsbRig rig;
    set(rig.s, "language", "German");
    set(rig.s, "prompt3", "Ärger");
    rig.s.ConfigImage.set(0x13C, 0x40);  // an attribute that is also the pager's code of "§"
    mnuEB_Click(rig.t, nullptr);
    EXPECT_EQ(rig.board.memory().at(0x13C + 2), 91);  // "Ä" in the pager's German set
    EXPECT_EQ(rig.board.memory().at(0x13C), 0x40);
    mnuEntire_Click(rig.t);
    EXPECT_EQ(at(rig.s, "txtPrompt", 3).text, "Ärger");
    EXPECT_EQ(rig.s.ConfigImage.at(0x13C), 0x40);
}

TEST(UsbVerify, ReportsTheFirstDifference) {
    UsbRig rig;
    mnuEB_Click(rig.t, nullptr);
    rig.face.messages.clear();
    ASSERT_EQ(mnuEB1_Click(rig.t), Result::Done);
    EXPECT_EQ(rig.texts(), Texts{"Verify Success!"});
    rig.s.ConfigImage.set(0x7F0, 0x55);
    mnuEB1_Click(rig.t);
    EXPECT_EQ(rig.texts().back(), "Verify Error!");
    EXPECT_TRUE(rig.s.TransferFailed);
}

TEST(UsbCommands, ARefusedFrequencyEntryCancelsTheCommand) {
    UsbRig rig;
    rig.s.FreqEntryError = true;
    EXPECT_EQ(mnuEntire_Click(rig.t), Result::Failed);
    EXPECT_FALSE(rig.s.FreqEntryError);
    EXPECT_EQ(rig.board.framesReceived(), 0);
}

TEST(UsbSeries, CountsTheChosenCapcodesUpAfterEachVerifiedWrite) {
    UsbRig rig;
    set(rig.s, "capcode1", "2097151");
    optAuto1_Click(rig.s, 1);
    optAuto2_Click(rig.s, 1);
    int pagers = 0;
    mnuEB_Click(rig.t, [&](Transfer& t) {
        for (; pagers < 2; ++pagers)
            cmdWrite_Click(t);
        return Result::Done;
    });
    EXPECT_EQ(pagers, 2);
    EXPECT_EQ(rig.texts(),
              (Texts{"Verify Success!", "Capcode 1 > 2097151 so can not be increase!",
                     "Verify Success!", "Capcode 1 > 2097151 so can not be increase!"}));
    EXPECT_EQ(capcodeOf(rig.s.ConfigImage, 0), 2097151);
    EXPECT_EQ(capcodeOf(rig.s.ConfigImage, 1), 1234562);
    EXPECT_EQ(capcodeOf(rig.board.memory(), 1),
              1234561);  // the second pager got the count of the first
    // The transfer window names the capcodes of the pager being written and
    // offers Write and Exit again after each one.
    EXPECT_EQ(at(rig.s, "lblAuto1").text, " 1st capcode : 2097151");
    EXPECT_EQ(at(rig.s, "lblAuto2").text, " 2nd capcode : 1234561");
    for (const char* button : {"cmdWrite", "cmdExit"}) {
        SCOPED_TRACE(button);
        EXPECT_TRUE(at(rig.s, button).visible);
        EXPECT_TRUE(at(rig.s, button).enabled);
    }
}

}  // namespace
}  // namespace kxp40s
