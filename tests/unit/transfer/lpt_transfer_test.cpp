#include <gtest/gtest.h>

#include <limits>

#include "app/startup.h"
#include "image/default_tables.h"
#include "image/pager_map.h"
#include "link/lpt_bus.h"
#include "sim/two_wire_memory.h"
#include "started_pager.h"
#include "transfer/charset.h"
#include "usb_rig.h"

namespace kxp40s {
namespace {

using Texts = std::vector<std::string>;

constexpr int kLast = 2047;
constexpr std::uint8_t kPagerContrast = 0x29;
const char* const kChecksumText =
    "The data of pager is not complete correction !\r\n\r\nPlease try to reprogram the pager or "
    "try to read again.";

// A new-format pager of the band the window starts in (byte 13 not 0).
Image pagerWith(std::string_view identity) {
    Image image = testing::startedPager(identity);
    image.set(13, 0x40);
    image.set(137, kPagerContrast);
    pager::storeChecksum(image.bytes(), kLast);
    return image;
}

struct LptRig {
    explicit LptRig(const Image& pager = pagerWith("KXP40V1.0V5.12")) {
        std::copy(pager.bytes().begin(), pager.bytes().end(), memory.memory.begin());
        s = startedSession();
    }
    Image pager() const { return Image(memory.memory); }
    Texts texts() const { return face.texts(); }
    bool progressWithinMaximum() const {
        return std::all_of(face.progress.begin(), face.progress.end(),
                           [&](int v) { return v <= face.progressMaximum; });
    }

    testing::FakeClock clock;
    TwoWireMemory memory{clock};
    LptBus bus{memory, clock, LptBus::Pacing::OnClock};
    testing::ScriptedFace face;
    ClampedProgressFace clamped{face};
    LptPagerLink link{bus, clamped};
    Session s;
    Transfer t{s, clamped, link};
};

TEST(LptRead, AdoptsThePagerImage) {
    LptRig rig;
    tbl_readall(rig.t, 0, kLast);
    EXPECT_EQ(rig.texts(), Texts{"Read success!"});
    EXPECT_FALSE(rig.s.TransferFailed);
    Image expected = rig.pager();
    TextToPc(expected);
    EXPECT_EQ(rig.s.ConfigImage, expected);
    EXPECT_EQ(rig.s.ContrastLoaded, kPagerContrast);
    EXPECT_EQ(rig.face.progressMaximum, kLast - 16);
    EXPECT_TRUE(rig.progressWithinMaximum());
}

TEST(LptRead, FailuresLeaveTheImageAsItWas) {
    struct Case {
        const char* name;
        Image pager;
        int acknowledgedUpTo;
        std::string message;
    };
    Image badSum = pagerWith("KXP40V1.0V3.73");
    badSum.set(500, static_cast<std::uint8_t>(badSum.at(500) + 1));
    const int all = std::numeric_limits<int>::max();
    const Case cases[] = {
        {"wrong model", pagerWith("ABCDE1234V5.12"), all,
         "This pager is not KXP40 !\r\n\r\nIt is ABCDE ( PCB 1234, Software V5.12 )"},
        {"checksum above 3.72", badSum, all, kChecksumText},
        // 14 identity bytes of two control bytes each, then the first page
        {"silent from the second page", pagerWith("KXP40V1.0V5.12"), 14 * 2 + 2, "Read error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LptRig rig(c.pager);
        rig.memory.acknowledgeUpToAttempt = c.acknowledgedUpTo;
        const Image before = rig.s.ConfigImage;
        tbl_readall(rig.t, 0, kLast);
        EXPECT_EQ(rig.texts(), Texts{c.message});
        EXPECT_TRUE(rig.s.TransferFailed);
        EXPECT_EQ(rig.s.ConfigImage, before);
    }
}

TEST(LptRead, OldFormatPagerTakesTheDefaultsPast2015WithoutChecksum) {
    Image pager = pagerWith("KXP40V1.0V3.72");
    for (int a = 2016; a <= kLast; ++a)
        pager.set(a, 0xAA);
    pager.set(2000, 0x5A);
    LptRig rig(pager);
    tbl_readall(rig.t, 0, kLast);
    EXPECT_EQ(rig.texts(), Texts{"Read success!"});
    EXPECT_EQ(rig.s.ConfigImage.at(2000), 0x5A);
    const auto tail = [](const Image& i) {
        return std::vector<std::uint8_t>(i.bytes().begin() + 2016, i.bytes().end());
    };
    EXPECT_EQ(tail(rig.s.ConfigImage), tail(defaultImage()));
}

TEST(LptWrite, AsksBeforeOverwritingAndWritesOnlyOnYes) {
    const std::string tail = "\r\nAre you sure to overwrite it ?";
    struct Case {
        const char* name;
        std::uint8_t identity;  // every identity byte (0: the pager's own)
        std::uint8_t incdLow;
        int band;
        Answer answer;
        std::string question;
    };
    const Case cases[] = {
        {"erased, yes", 0xFF, 0x40, 2, Answer::Yes, "The program data is empty ! " + tail},
        {"erased, no", 0xFF, 0x40, 2, Answer::No, "The program data is empty ! " + tail},
        {"foreign, yes", 'A', 0x40, 2, Answer::Yes,
         "This model of pager can not be sure ! " + tail},
        {"foreign, no", 'A', 0x40, 2, Answer::No, "This model of pager can not be sure ! " + tail},
        {"GP pager, no", 0, 0, 2, Answer::No, "The Pager is GP(RoHS) ! " + tail},
        {"non-GP pager, yes", 0, 0x40, 3, Answer::Yes, "The Pager is Non GP(RoHS) ! " + tail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image pager = pagerWith("KXP40V1.0V5.12");
        for (int a = 993; a <= 1006 && c.identity != 0; ++a)
            pager.set(a, c.identity);
        pager.set(13, c.incdLow);
        LptRig rig(pager);
        rig.s.controls.setValue({"cboDft"}, c.band);
        rig.face.answers = {c.answer};
        tbl_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
        EXPECT_EQ(rig.texts(), Texts{c.question});
        EXPECT_EQ(rig.face.messages[0].buttons, Buttons::YesNo);
        EXPECT_EQ(rig.s.TransferFailed, c.answer == Answer::No);
        EXPECT_EQ(rig.memory.commits.size(), c.answer == Answer::Yes ? 128u : 0u);
    }
}

TEST(LptWrite, WritesTheMarkedImageWithTheContrastOfThePagerUnlessChanged) {
    for (const bool changed : {false, true}) {
        SCOPED_TRACE(changed);
        LptRig rig;
        rig.s.ContrastChanged = changed;
        rig.s.ConfigImage.set(992, 0);
        rig.s.ConfigImage.set(137, 0x03);
        tbl_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
        EXPECT_FALSE(rig.s.TransferFailed);
        EXPECT_EQ(rig.pager(), rig.s.ConfigImage);
        EXPECT_EQ(rig.pager().at(992), 1);
        EXPECT_EQ(rig.pager().at(137), changed ? 0x03 : kPagerContrast);
        EXPECT_EQ(pager::checksumOf(rig.pager().bytes(), kLast),
                  rig.pager().at(2046) * 256 + rig.pager().at(2047));
        EXPECT_TRUE(rig.progressWithinMaximum());
        tbl_verify(rig.t, rig.s.ConfigImage, 0, kLast);
        EXPECT_EQ(rig.texts(), Texts{"Verify Success!"});
    }
}

TEST(LptWrite, WriteErrorKeepsTheImageButThePagersContrast) {
    LptRig rig;
    rig.memory.writeProtected = true;
    Image expected = rig.s.ConfigImage;
    expected.set(137, kPagerContrast);
    tbl_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
    EXPECT_EQ(rig.texts(), Texts{"Write error!"});
    EXPECT_TRUE(rig.s.TransferFailed);
    EXPECT_EQ(rig.s.ConfigImage, expected);
}

// The verify's read ends at the first byte that differs (the memory is sent
// its NACK there); the pager is then read whole for what differs.
TEST(LptVerify, StopsReadingAtTheFirstDifferenceThenReadsThePagerForTheExplanation) {
    LptRig rig;
    rig.memory.corruptAddress = 100;
    std::vector<std::string> sent;
    rig.memory.trace = [&](const std::string& line) {
        if (line.starts_with("TX ")) sent.push_back(line);
    };
    EXPECT_EQ(tbl_verify(rig.t, rig.pager(), 0, kLast), Result::Failed);
    EXPECT_EQ(rig.texts(), Texts{"Verify Error!"});
    ASSERT_GE(sent.size(), 102u);
    for (std::size_t a = 0; a < 100; ++a)
        ASSERT_TRUE(sent[a].ends_with(" ACK")) << a;
    EXPECT_TRUE(sent[101].ends_with(" NACK")) << "the byte after the difference ends the read";
    ASSERT_TRUE(rig.s.PagerAtVerifyError.has_value());
    EXPECT_EQ(rig.s.PagerAtVerifyError->at(100), static_cast<std::uint8_t>(~rig.pager().at(100)));
}

TEST(LptVerify, AMemoryThatNeverAnswersIsAReadError) {
    LptRig rig;
    rig.memory.neverAcknowledge = true;
    EXPECT_EQ(tbl_verify(rig.t, rig.pager(), 0, kLast), Result::Failed);
    EXPECT_EQ(rig.texts(), Texts{"Read error!"});
    EXPECT_FALSE(rig.s.PagerAtVerifyError.has_value());
}

}  // namespace
}  // namespace kxp40s
