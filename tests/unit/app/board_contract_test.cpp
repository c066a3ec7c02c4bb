#include <gtest/gtest.h>

#include <csignal>

#include "app_rig.h"
#include "control_at.h"
#include "editors/capcodes.h"
#include "image/pager_map.h"
#include "transfer/charset.h"

// One contract for both programmer boards: the same commands through the
// application give the same outcome, the same messages and the same files,
// except where the board's own rules say otherwise (then the expectation
// comes from the board's row below).

namespace kxp40s {
namespace {

using testing::at;
using Texts = std::vector<std::string>;

struct BoardWords {
    BoardKind kind;
    const char* name;
    const char* memoryReadBreaks;  // the link's message when a read stops answering
    const char* checksumError;
    const char* emptyQuestion;
    const char* checksumlessSoftware;  // a version read as the old format, without checksum
};

const BoardWords kBoards[] = {
    {BoardKind::Usb, "usb", "Read Time Out!", "CheckSum Error!",
     "The program data is empty ! \r\nAre you sure overwrite it?", "V4.99"},
    {BoardKind::Lpt, "lpt", "Read error!",
     "The data of pager is not complete correction !\r\n\r\nPlease try to reprogram the pager or "
     "try to read again.",
     "The program data is empty ! \r\nAre you sure to overwrite it ?", "V3.72"},
};

// A pager whose memory was erased: its identity is all 255.
Image erasedPager() {
    Image image = testing::startedPager();
    for (int a = pager::kIdentity.address; a <= pager::kIdentity.last(); ++a)
        image.set(a, 0xFF);
    return image;
}

void PrintTo(const BoardWords& board, std::ostream* out) {
    *out << board.name;
}

class BoardContract : public testing::App, public ::testing::WithParamInterface<BoardWords> {
  protected:
    const BoardWords& board() const { return GetParam(); }
    bool usb() const { return board().kind == BoardKind::Usb; }

    void startOnBoard() {
        start({.searchBoard = true, .openDefaultTable = false}, board().kind);
        ASSERT_TRUE(app->board().known());
    }
    Image pagerMemory() const { return usb() ? pager.memory() : Image(lptMemory.memory); }
    void putOnBoard(const Image& image) {
        pager = sim::PagerBoard(image);
        std::copy(image.bytes().begin(), image.bytes().end(), lptMemory.memory.begin());
    }
    // The board stops answering `later` exchanges from now: frames on the
    // USB board, control bytes on the parallel-port board.
    void stopAnsweringAfter(int usbFrames, int lptControlBytes) {
        if (usb()) {
            for (int frame = usbFrames; frame < usbFrames + 40; ++frame)
                pager.faultIn(frame, sim::FaultKind::NoAck);
        } else {
            lptMemory.acknowledgeUpToAttempt = lptMemory.controlBytes + lptControlBytes;
        }
    }
    // A stop asked for (as Ctrl-C does) once the transfer has reached `address`.
    void stopAt(int address) {
        face.onProgress = [this, address](int value) {
            if (value >= address) app->requestStop(SIGINT);
        };
    }
    // The image as the window keeps it, in the PC's letters.
    static Image inPcLetters(Image image) {
        TextToPc(image);
        return image;
    }
};

TEST_P(BoardContract, ReadWriteVerifyAndASeriesGoThrough) {
    startOnBoard();
    set("capcode1", "1111111");
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    EXPECT_EQ(s().pagerState, PagerState::Verified);
    Image written = pagerMemory();
    EXPECT_EQ(written.at(pager::kProgrammedMark), 1);
    EXPECT_EQ(pager::storedChecksum(written.bytes(), pager::kLastAddress),
              pager::checksumOf(written.bytes(), pager::kLastAddress));
    EXPECT_EQ(capcodeOf(written, 0), 1111111);
    EXPECT_EQ(app->mnuEB1_Click(), Result::Done);

    set("capcode1", "1222222");
    EXPECT_EQ(app->mnuEntire_Click(), Result::Done);
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1111111");
    EXPECT_EQ(s().ConfigImage, inPcLetters(pagerMemory()));
    ASSERT_EQ(backups("read").size(), 1u);
    EXPECT_EQ(file(backups("read")[0]), s().ConfigImage);

    app->handle([](Session& s) { return optAuto1_Click(s, 1); });
    face.seriesPresses = 2;
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    ASSERT_EQ(face.pagers.size(), 2u);
    EXPECT_EQ(face.pagers[1].capcode1, 1111112);
    EXPECT_EQ(capcodeOf(pagerMemory(), 0), 1111112);
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1111113");
    EXPECT_EQ(face.texts(), (Texts{"Verify Success!", "Verify Success!", "Read success!",
                                   "Verify Success!", "Verify Success!"}));
}

// What differs is explained (the pager's image is at hand) and kept.
TEST_P(BoardContract, AVerifyFailureKeepsWhatThePagerHolds) {
    startOnBoard();
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    set("capcode2", "1000001");
    EXPECT_EQ(app->mnuEB1_Click(), Result::Failed);
    EXPECT_EQ(face.texts().back(), "Verify Error!");
    EXPECT_TRUE(s().TransferFailed);
    ASSERT_TRUE(s().PagerAtVerifyError.has_value());
    EXPECT_EQ(*s().PagerAtVerifyError, inPcLetters(pagerMemory()));
    ASSERT_EQ(backups("verify-failed").size(), 1u);
    EXPECT_EQ(file(backups("verify-failed")[0]), *s().PagerAtVerifyError);
}

// A table file verifies after it was written, though the pager took its
// own contrast and firmware and the write added its mark and checksum.
TEST_P(BoardContract, AFileVerifiesAsWrittenAfterItWasWritten) {
    Image onPager = testing::startedPager();
    onPager.set(pager::kContrast.address, 0x05);
    putOnBoard(onPager);
    startOnBoard();
    set("capcode1", "1111111");
    ASSERT_TRUE(app->saveTableFileAs(folder_ / "x.tbl", false));
    EXPECT_EQ(app->mnuEB_Click(), Result::Done);
    ASSERT_TRUE(app->openTableFile(folder_ / "x.tbl"));
    EXPECT_NE(s().ConfigImage, inPcLetters(pagerMemory()));
    EXPECT_EQ(app->mnuEB1_Click(), Result::Failed) << "the window's image as it is";
    ASSERT_TRUE(app->openTableFile(folder_ / "x.tbl"));
    EXPECT_EQ(app->verifyAsWritten(), Result::Done);
    EXPECT_EQ(face.texts().back(), "Verify Success!");

    set("capcode2", "1000001");
    EXPECT_EQ(app->verifyAsWritten(), Result::Failed);
    EXPECT_EQ(face.texts().back(), "Verify Error!");
}

TEST_P(BoardContract, AWriteThatBreaksOffLeavesTheImageAsItWasButWhatItTookFromThePager) {
    startOnBoard();
    set("capcode1", "1111111");
    const Image before = s().ConfigImage;
    if (usb()) {
        stopAnsweringAfter(7, 0);  // identity, firmware, contrast, band, then two blocks
    } else {
        lptMemory.writeProtected = true;
    }
    EXPECT_EQ(app->mnuEB_Click(), Result::Failed);
    EXPECT_EQ(face.texts(), Texts{"Write error!"});
    EXPECT_EQ(s().pagerState, PagerState::PartlyWritten);
    for (int a = 0; a < kImageSize; ++a) {
        if (a == pager::kFirmware || a == pager::kContrast.address) continue;
        ASSERT_EQ(s().ConfigImage.at(a), before.at(a)) << a;
    }
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1111111");
}

TEST_P(BoardContract, ReadFailuresLeaveTheImageAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string message;
    };
    Image foreign = testing::startedPager("ABCDE1234V5.12");
    Image badSum = testing::startedPager();
    badSum.set(500, static_cast<std::uint8_t>(badSum.at(500) + 1));
    const Case cases[] = {
        {"another model", [&] { putOnBoard(foreign); },
         "This pager is not KXP40 !\r\n\r\nIt is ABCDE ( PCB 1234, Software V5.12 )"},
        {"a wrong checksum", [&] { putOnBoard(badSum); }, board().checksumError},
        // the identity (one frame; 14 random reads of two control bytes), then a page
        {"silent in the middle", [&] { stopAnsweringAfter(3, 14 * 2 + 2); },
         board().memoryReadBreaks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startOnBoard();
        c.arrange();
        face.script.messages.clear();
        const Image before = s().ConfigImage;
        EXPECT_EQ(app->mnuEntire_Click(), Result::Failed);
        EXPECT_EQ(face.texts(), Texts{c.message});
        EXPECT_EQ(s().ConfigImage, before);
        EXPECT_TRUE(backups("read").empty());
    }
}

TEST_P(BoardContract, AnOldFormatPagerIsReadWithoutItsChecksum) {
    Image old = testing::startedPager(std::string("KXP40V1.0") + board().checksumlessSoftware);
    old.set(2047, static_cast<std::uint8_t>(old.at(2047) + 1));  // no checksum kept there
    putOnBoard(old);
    startOnBoard();
    EXPECT_EQ(app->mnuEntire_Click(), Result::Done);
    EXPECT_EQ(face.texts(), Texts{"Read success!"});
}

TEST_P(BoardContract, NoToTheQuestionBeforeAnEmptyPagerWritesNothing) {
    const Image empty = erasedPager();
    putOnBoard(empty);
    startOnBoard();
    face.script.answers = {Answer::No};
    EXPECT_EQ(app->mnuEB_Click(), Result::Failed);
    EXPECT_EQ(face.texts(), Texts{board().emptyQuestion});
    EXPECT_EQ(s().pagerState, PagerState::Unchanged);
    EXPECT_EQ(pagerMemory(), empty);
}

TEST_P(BoardContract, AStopDuringAReadChangesNothingAndTheBoardIsReleasedAfter) {
    startOnBoard();
    const Image before = s().ConfigImage;
    stopAt(512);
    EXPECT_EQ(app->mnuEntire_Click(), Result::Stopped);
    EXPECT_TRUE(face.texts().empty());
    EXPECT_EQ(s().ConfigImage, before);
    EXPECT_EQ(app->stopReport().text, "Stopped: the pager was not changed.");
    EXPECT_LT(face.script.progress.back(), 1024) << "stopped where it was asked";
    app->mnuExit_Click();
    if (usb()) {
        EXPECT_EQ(pager.controlState(), 'r');
    }
    EXPECT_TRUE(face.notes.empty()) << "the release was acknowledged";
}

TEST_P(BoardContract, AStopDuringAWriteSaysThePagerMayBeHalfWritten) {
    startOnBoard();
    const Image pagerBefore = pagerMemory();
    set("capcode2", "1000001");
    const Image before = s().ConfigImage;
    stopAt(512);
    EXPECT_EQ(app->mnuEB_Click(), Result::Stopped);
    EXPECT_TRUE(face.texts().empty()) << "no verify after a stopped write";
    EXPECT_EQ(s().pagerState, PagerState::PartlyWritten);
    EXPECT_EQ(app->stopReport().text, "Stopped: the pager may be half-written: write it again.");
    EXPECT_EQ(capcodeOf(pagerMemory(), 1), 1000001) << "the first part was written";
    EXPECT_EQ(pager::storedChecksum(pagerMemory().bytes(), pager::kLastAddress),
              pager::storedChecksum(pagerBefore.bytes(), pager::kLastAddress))
        << "the last part was not";
    EXPECT_EQ(s().ConfigImage.at(pager::kProgrammedMark), before.at(pager::kProgrammedMark));
}

TEST_P(BoardContract, AStopBetweenTwoPagersOfASeriesEndsItThere) {
    startOnBoard();
    set("capcode1", "1000000");
    app->handle([](Session& s) { return optAuto1_Click(s, 1); });
    face.seriesPresses = 5;
    face.onPager = [this](int number) {
        if (number == 2) app->requestStop(SIGINT);
    };
    EXPECT_EQ(app->mnuEB_Click(), Result::Stopped);
    ASSERT_EQ(face.pagers.size(), 1u);
    EXPECT_EQ(face.pagers[0].result, Result::Done);
    EXPECT_EQ(capcodeOf(pagerMemory(), 0), 1000000);
    EXPECT_EQ(at(s(), "txtAddr", 0).text, "1000001");
    EXPECT_EQ(app->stopReport().text, "Stopped between two pagers: no pager was being written.");
    EXPECT_EQ(app->stopSignal(), SIGINT);
}

// Once a stop was asked for, a question gets No without waiting, and a
// message is noted instead of waiting for OK.
TEST_P(BoardContract, AfterAStopNothingWaitsForTheUser) {
    const Image empty = erasedPager();
    putOnBoard(empty);
    startOnBoard();
    app->requestStop(SIGTERM);
    EXPECT_EQ(app->mnuEB_Click(), Result::Stopped);
    EXPECT_TRUE(face.script.messages.empty());
    EXPECT_EQ(pagerMemory(), empty);
    EXPECT_EQ(app->stopReport().text, "Stopped: the pager was not changed.");
}

// The faults only a board on a serial line makes, each in the middle of a
// read and of a write.
using UsbBoardFaults = testing::App;

TEST_F(UsbBoardFaults, EachEndsTheTransferWithTheLinksMessageAndTheImageAsItWas) {
    struct Case {
        sim::FaultKind fault;
        const char* read;
        const char* write;
    };
    const Case cases[] = {
        {sim::FaultKind::BadChecksum, "Read error!", "Write error!"},
        {sim::FaultKind::WrongAck, "Read Time Out!", "Write error!"},
        {sim::FaultKind::Late, "Read Time Out!", "Write error!"},
        {sim::FaultKind::Unplug, "Read error!", "Write error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(sim::faultName(c.fault));
        replugUsbBoard(testing::startedPager());
        start({.searchBoard = true, .openDefaultTable = false});
        const Image before = s().ConfigImage;
        pager.faultIn(3, c.fault);  // the identity, then the second block
        EXPECT_EQ(app->mnuEntire_Click(), Result::Failed);
        EXPECT_EQ(face.texts(), Texts{c.read});
        EXPECT_EQ(s().ConfigImage, before);
        face.script.messages.clear();

        replugUsbBoard(testing::startedPager());
        start({.searchBoard = true, .openDefaultTable = false});
        pager.faultIn(6, c.fault);  // identity, firmware, contrast, band, then two blocks
        EXPECT_EQ(app->mnuEB_Click(), Result::Failed);
        EXPECT_EQ(face.texts(), Texts{c.write});
        EXPECT_EQ(s().pagerState, PagerState::PartlyWritten);
        face.script.messages.clear();
    }
}

// After a stop nothing waits for the user: a release the board does not
// acknowledge is noted (the faces put it on stderr), not shown in a box.
TEST_F(UsbBoardFaults, AReleaseNotAcknowledgedAfterAStopIsNotedNotShown) {
    start({.searchBoard = true, .openDefaultTable = false});
    app->requestStop(SIGTERM);
    pager.faultIn(1, sim::FaultKind::NoAck);
    app->mnuExit_Click();
    EXPECT_TRUE(face.script.messages.empty());
    EXPECT_EQ(face.notes, Texts{"Programmer Initial Error !"});
}

INSTANTIATE_TEST_SUITE_P(Boards, BoardContract, ::testing::ValuesIn(kBoards),
                         [](const auto& board) { return std::string(board.param.name); });

}  // namespace
}  // namespace kxp40s
