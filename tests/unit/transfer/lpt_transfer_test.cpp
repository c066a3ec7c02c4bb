#include <gtest/gtest.h>

#include "editors/startup.h"
#include "image/default_tables.h"
#include "link/image_checksum.h"
#include "link/lpt_bus.h"
#include "sim/two_wire_memory.h"
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
    Image image = sim::startupImage(identity);
    image.set(13, 0x40);
    image.set(137, kPagerContrast);
    storeImageChecksum(image.bytes(), kLast);
    return image;
}

struct LptRig {
    explicit LptRig(const Image& pager = pagerWith("KXP40V1.0V5.12")) {
        std::copy(pager.bytes().begin(), pager.bytes().end(), memory.memory.begin());
        TableFileState noDefaultTable;
        startUp(s, noDefaultTable);
    }
    Image pager() const { return Image(memory.memory); }
    Texts texts() const { return face.texts(); }
    Texts questions() const {
        Texts asked;
        for (const auto& m : face.messages) {
            if (m.buttons == Buttons::YesNo) asked.push_back(m.text);
        }
        return asked;
    }
    bool progressWithinMaximum() const {
        return std::all_of(face.progress.begin(), face.progress.end(),
                           [&](int v) { return v <= face.progressMaximum; });
    }

    testing::FakeClock clock;
    TwoWireMemory memory{clock};
    LptBus bus{memory, clock, LptBus::Pacing::OnClock};
    testing::TransferFace face;
    Session s;
    Transfer t{s, face, nullptr, &bus};
};

Image converted(Image image) {
    TextToPc(image);
    return image;
}

TEST(LptRead, AdoptsThePagerImage) {
    LptRig rig;
    int stp = kLast;
    lpt_readall(rig.t, 0, stp);
    EXPECT_EQ(rig.texts(), Texts{"Read success!"});
    EXPECT_FALSE(rig.s.TransferFailed);
    EXPECT_EQ(rig.s.ConfigImage, converted(rig.pager()));
    EXPECT_EQ(rig.s.ContrastLoaded, kPagerContrast);
    EXPECT_EQ(rig.face.progressMaximum, kLast - 16);
    EXPECT_TRUE(rig.progressWithinMaximum());
}

TEST(LptRead, FailuresLeaveTheImageAsItWas) {
    struct Case {
        const char* name;
        Image pager;
        std::function<void(TwoWireMemory&)> fault;
        std::string message;
    };
    Image badSum = pagerWith("KXP40V1.0V3.73");
    badSum.set(500, static_cast<std::uint8_t>(badSum.at(500) + 1));
    const auto none = [](TwoWireMemory&) {};
    const Case cases[] = {
        {"wrong model", pagerWith("ABCDE1234V5.12"), none,
         "This pager is not KXP40 !\r\n\r\nIt is ABCDE ( PCB 1234, Software V5.12 )"},
        {"checksum above 3.72", badSum, none, kChecksumText},
        {"no answer", pagerWith("KXP40V1.0V5.12"),
         [](TwoWireMemory& m) { m.neverAcknowledge = true; }, "Read error!"},
        {"silent from the second page", pagerWith("KXP40V1.0V5.12"),
         [](TwoWireMemory& m) { m.acknowledgeUpToAttempt = 14 * 2 + 2; }, "Read error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LptRig rig(c.pager);
        c.fault(rig.memory);
        const Image before = rig.s.ConfigImage;
        int stp = kLast;
        lpt_readall(rig.t, 0, stp);
        EXPECT_EQ(rig.texts(), Texts{c.message});
        EXPECT_TRUE(rig.s.TransferFailed);
        EXPECT_EQ(rig.s.ConfigImage, before);
        EXPECT_EQ(stp, kLast);
    }
}

TEST(LptRead, OldFormatPagerTakesTheDefaultsPast2015WithoutChecksum) {
    Image pager = pagerWith("KXP40V1.0V3.72");
    for (int a = 2016; a <= kLast; ++a)
        pager.set(a, 0xAA);
    pager.set(2000, 0x5A);
    LptRig rig(pager);
    int stp = kLast;
    lpt_readall(rig.t, 0, stp);
    EXPECT_EQ(rig.texts(), Texts{"Read success!"});
    EXPECT_EQ(rig.s.ConfigImage.at(2000), 0x5A);
    const auto tail = [](const Image& i) {
        return std::vector<std::uint8_t>(i.bytes().begin() + 2016, i.bytes().end());
    };
    EXPECT_EQ(tail(rig.s.ConfigImage), tail(defaultImage()));
    EXPECT_EQ(stp, kLast);
}

TEST(LptWrite, AsksBeforeOverwritingAndWritesOnlyOnYes) {
    const std::string tail = "\r\nAre you sure to overwrite it ?";
    struct Case {
        const char* name;
        std::function<void(Image&)> pager;
        int band;
        Answer answer;
        std::string question;
    };
    const auto erased = [](Image& p) {
        for (int a = 993; a <= 1006; ++a)
            p.set(a, 0xFF);
    };
    const auto foreign = [](Image& p) { p.write(993, std::vector<std::uint8_t>(14, 'A')); };
    const auto incdLowZero = [](Image& p) { p.set(13, 0); };
    const auto same = [](Image&) {};
    const Case cases[] = {
        {"erased, yes", erased, 2, Answer::Yes, "The program data is empty ! " + tail},
        {"erased, no", erased, 2, Answer::No, "The program data is empty ! " + tail},
        {"foreign, yes", foreign, 2, Answer::Yes, "This model of pager can not be sure ! " + tail},
        {"foreign, no", foreign, 2, Answer::No, "This model of pager can not be sure ! " + tail},
        {"GP pager, no", incdLowZero, 2, Answer::No, "The Pager is GP(RoHS) ! " + tail},
        {"non-GP pager, yes", same, 3, Answer::Yes, "The Pager is Non GP(RoHS) ! " + tail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image pager = pagerWith("KXP40V1.0V5.12");
        c.pager(pager);
        LptRig rig(pager);
        rig.s.controls.setValue({"cboDft"}, c.band);
        rig.face.answers = {c.answer};
        lpt_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
        EXPECT_EQ(rig.questions(), Texts{c.question});
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
        lpt_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
        EXPECT_FALSE(rig.s.TransferFailed);
        EXPECT_EQ(rig.pager(), rig.s.ConfigImage);
        EXPECT_EQ(rig.pager().at(992), 1);
        EXPECT_EQ(rig.pager().at(137), changed ? 0x03 : kPagerContrast);
        EXPECT_EQ(imageChecksum(rig.pager().bytes(), kLast),
                  rig.pager().at(2046) * 256 + rig.pager().at(2047));
        EXPECT_TRUE(rig.progressWithinMaximum());
        lpt_verify(rig.t, rig.s.ConfigImage, 0, kLast);
        EXPECT_EQ(rig.texts(), Texts{"Verify Success!"});
    }
}

TEST(LptWrite, WriteErrorKeepsTheImageButThePagersContrast) {
    LptRig rig;
    rig.memory.writeProtected = true;
    Image expected = rig.s.ConfigImage;
    expected.set(137, kPagerContrast);
    lpt_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
    EXPECT_EQ(rig.texts(), Texts{"Write error!"});
    EXPECT_TRUE(rig.s.TransferFailed);
    EXPECT_EQ(rig.s.ConfigImage, expected);
}

TEST(LptVerify, StopsAtTheFirstDifference) {
    struct Case {
        const char* name;
        std::function<void(TwoWireMemory&)> fault;
        std::string message;
    };
    const Case cases[] = {
        {"difference", [](TwoWireMemory& m) { m.corruptAddress = 100; }, "Verify Error!"},
        {"no answer", [](TwoWireMemory& m) { m.neverAcknowledge = true; }, "Read error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LptRig rig;
        c.fault(rig.memory);
        lpt_verify(rig.t, rig.pager(), 0, kLast);
        EXPECT_EQ(rig.texts(), Texts{c.message});
        EXPECT_TRUE(rig.s.TransferFailed);
        EXPECT_LE(rig.face.progress.back(), 96) << "no page after the difference is read";
    }
}

TEST(LptDispatch, ParallelPortBuildRunsItsSequences) {
    if (kSerialBuild) GTEST_SKIP() << "serial build";
    LptRig rig;
    tbl_writeall(rig.t, rig.s.ConfigImage, 0, kLast);
    tbl_verify(rig.t, rig.s.ConfigImage, 0, kLast);
    int stp = kLast;
    tbl_readall(rig.t, 0, stp);
    EXPECT_EQ(rig.texts(), (Texts{"Verify Success!", "Read success!"}));
    EXPECT_EQ(rig.pager().at(992), 1);
}

}  // namespace
}  // namespace kxp40s
