#include "transfer/pager_commands.h"

#include "editors/capcodes.h"
#include "editors/init_ctl.h"
#include "image/scoped.h"
#include "transfer/charset.h"

namespace kxp40s {

namespace {

// The transfer window's series controls: the Write and Exit buttons and the
// capcode labels show only while a series is written.
void showSeriesControls(Transfer& t, bool series) {
    Controls& c = t.s.controls;
    c.setVisible({"cmdWrite"}, series);
    c.setVisible({"cmdExit"}, series);
    c.setEnabled({"cmdWrite"}, true);
    c.setEnabled({"cmdExit"}, true);
    c.setVisible({"lblAuto1"}, series && t.s.AutoIncCap1);
    c.setVisible({"lblAuto2"}, series && t.s.AutoIncCap2);
    t.face.refreshControls(c.takeChanged());
}

void enableSeriesButtons(Transfer& t, bool enabled) {
    Controls& c = t.s.controls;
    c.setEnabled({"cmdWrite"}, enabled);
    c.setEnabled({"cmdExit"}, enabled);
    t.face.refreshControls(c.takeChanged());
}

// While one pager of a series is written its buttons are off, and the labels
// name the capcodes about to be written.
void startSeriesWrite(Transfer& t) {
    Controls& c = t.s.controls;
    c.setText({"lblAuto1"}, " 1st capcode : " + c[{"txtAddr", 0}].text);
    c.setText({"lblAuto2"}, " 2nd capcode : " + c[{"txtAddr", 1}].text);
    enableSeriesButtons(t, false);
}

// The board monitor stays off while a command runs, whichever way it ends.
class MonitorPause {
  public:
    explicit MonitorPause(LinkFace& face) : face_(face) { face_.setTimer1Enabled(false); }
    MonitorPause(const MonitorPause&) = delete;
    MonitorPause& operator=(const MonitorPause&) = delete;
    ~MonitorPause() { face_.setTimer1Enabled(true); }

  private:
    LinkFace& face_;
};

// The image's texts in the pager's letters while they go to the pager.
class PagerLetters {
  public:
    explicit PagerLetters(Image& image) : image_(image) { TextToPager(image_); }
    PagerLetters(const PagerLetters&) = delete;
    PagerLetters& operator=(const PagerLetters&) = delete;
    ~PagerLetters() { TextToPc(image_); }

  private:
    Image& image_;
};

// Runs `command` with the board monitor stopped, unless a refused frequency
// entry cancels it.
template <class Command>
Result runCommand(Transfer& t, TransferMode mode, Command command) {
    MonitorPause paused(t.face);
    t.s.TransferMode = mode;
    if (std::exchange(t.s.FreqEntryError, false)) return Result::Failed;
    showSeriesControls(t, mode == TransferMode::Write && (t.s.AutoIncCap1 || t.s.AutoIncCap2));
    return command();
}

int lastAddress(const Transfer& t) {
    return static_cast<int>(t.s.ConfigImage.bytes().size()) - 1;
}

Result writeAndVerify(Transfer& t) {
    Image& image = t.s.ConfigImage;
    t.s.pagerState = PagerState::Unchanged;
    if (t.backupBeforeWrite && !tbl_keepPagerBeforeWrite(t, lastAddress(t)))
        return t.stopRequested() ? Result::Stopped : Result::Failed;
    const Result written = tbl_writeall(t, image, 0, lastAddress(t));
    if (written != Result::Done) return written;
    return tbl_verify(t, image, 0, lastAddress(t));
}

}  // namespace

Result mnuEntire_Click(Transfer& t) {
    return runCommand(t, TransferMode::Read, [&] { return tbl_readall(t, 0, lastAddress(t)); });
}

Result mnuEB1_Click(Transfer& t) {
    return runCommand(t, TransferMode::Verify, [&] {
        PagerLetters letters(t.s.ConfigImage);
        return tbl_verify(t, t.s.ConfigImage, 0, lastAddress(t));
    });
}

Result verifyAsWritten(Transfer& t) {
    return runCommand(t, TransferMode::Verify, [&] {
        Result result = Result::Done;
        {
            PagerLetters letters(t.s.ConfigImage);
            result = tbl_verifyAsWritten(t, t.s.ConfigImage, 0, lastAddress(t));
        }
        showEffects(t.face, init_ctl(t.s));
        return result;
    });
}

Result mnuEB_Click(Transfer& t, const std::function<Result(Transfer&)>& series) {
    return runCommand(t, TransferMode::Write, [&] {
        Result result = Result::Done;
        {
            PagerLetters letters(t.s.ConfigImage);
            const bool inSeries = t.s.AutoIncCap1 || t.s.AutoIncCap2 || t.capcodeList;
            result = inSeries ? series(t) : writeAndVerify(t);
        }
        showEffects(t.face, init_ctl(t.s));
        return result;
    });
}

Result cmdWrite_Click(Transfer& t) {
    startSeriesWrite(t);
    const Result result = writeAndVerify(t);
    if (result == Result::Done && t.s.AutoIncCap1) set_capcode(t, 0);
    if (result == Result::Done && t.s.AutoIncCap2) set_capcode(t, 1);
    enableSeriesButtons(t, true);
    t.face.setProgressValue(0);
    t.face.setStatusText("");
    return result;
}

void set_capcode(Transfer& t, int index) {
    showEffects(t.face, increaseCapcode(t.s, index));
}

namespace {

std::optional<ListedCapcodes> listedCapcodes(const Transfer& t, int number) {
    if (!t.capcodeList || number > static_cast<int>(t.capcodeList->size())) return std::nullopt;
    return (*t.capcodeList)[static_cast<std::size_t>(number - 1)];
}

void useListedCapcodes(Transfer& t, const ListedCapcodes& listed) {
    showEffects(t.face, enterCapcode(t.s, 0, listed.capcode1));
    if (listed.capcode2) showEffects(t.face, enterCapcode(t.s, 1, *listed.capcode2));
}

}  // namespace

Result runSeries(Transfer& t, SeriesFace& face) {
    int written = 0;
    int failed = 0;
    for (int number = 1;; ++number) {
        t.s.pagerState = PagerState::BetweenPagers;
        if (t.stopRequested()) return Result::Stopped;
        const auto listed = listedCapcodes(t, number);
        if (t.capcodeList && !listed) break;
        const NextPager next = face.waitForPager(number);
        if (t.stopRequested()) return Result::Stopped;
        if (next == NextPager::Leave) break;
        if (listed) useListedCapcodes(t, *listed);
        const std::int32_t capcode1 = capcodeOf(t.s.ConfigImage, 0);
        const std::int32_t capcode2 = capcodeOf(t.s.ConfigImage, 1);
        t.s.PagerIdentity.reset();
        t.s.PagerFirmware.reset();
        const Result result = cmdWrite_Click(t);
        face.pagerDone({number, capcode1, capcode2, result, t.s.pagerState, t.s.PagerIdentity,
                        t.s.PagerFirmware});
        if (result == Result::Stopped) return result;
        ++(result == Result::Done ? written : failed);
    }
    return failed == 0 && written > 0 ? Result::Done : Result::Failed;
}

}  // namespace kxp40s
