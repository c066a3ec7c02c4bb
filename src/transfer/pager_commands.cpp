#include "transfer/pager_commands.h"

#include "editors/capcodes.h"
#include "editors/init_ctl.h"
#include "transfer/charset.h"
#include "transfer/sequence_steps.h"

namespace kxp40s {

namespace {

enum Mode { kRead = 0, kWrite = 1, kVerify = 2 };

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

// While one pager of a series is written its buttons are off, and the labels
// name the capcodes about to be written.
void startSeriesWrite(Transfer& t) {
    Controls& c = t.s.controls;
    c.setEnabled({"cmdWrite"}, false);
    c.setEnabled({"cmdExit"}, false);
    c.setText({"lblAuto1"}, " 1st capcode : " + c[{"txtAddr", 0}].text);
    c.setText({"lblAuto2"}, " 2nd capcode : " + c[{"txtAddr", 1}].text);
    t.face.refreshControls(c.takeChanged());
}

void endSeriesWrite(Transfer& t) {
    Controls& c = t.s.controls;
    c.setEnabled({"cmdWrite"}, true);
    c.setEnabled({"cmdExit"}, true);
    t.face.refreshControls(c.takeChanged());
}

// Runs `command` with the board monitor stopped, unless a refused frequency
// entry cancels it.
template <class Command>
bool runCommand(Transfer& t, Mode mode, Command command) {
    t.face.setTimer1Enabled(false);
    t.s.TransferMode = mode;
    const bool runs = !t.s.FreqEntryError;
    t.s.FreqEntryError = false;
    if (runs) {
        showSeriesControls(t, mode == kWrite && (t.s.AutoIncCap1 || t.s.AutoIncCap2));
        command();
    }
    t.face.setTimer1Enabled(true);
    return runs;
}

int lastAddress(const Transfer& t) {
    return static_cast<int>(t.s.ConfigImage.bytes().size()) - 1;
}

void writeAndVerify(Transfer& t) {
    Image& image = t.s.ConfigImage;
    if (t.backupBeforeWrite && !tbl_keepPagerBeforeWrite(t, lastAddress(t))) return;
    tbl_writeall(t, image, 0, lastAddress(t));
    if (!t.s.TransferFailed) tbl_verify(t, image, 0, lastAddress(t));
}

}  // namespace

bool mnuEntire_Click(Transfer& t) {
    return runCommand(t, kRead, [&] {
        int stp = lastAddress(t);
        tbl_readall(t, 0, stp);
    });
}

bool mnuEB1_Click(Transfer& t) {
    return runCommand(t, kVerify, [&] {
        TextToPager(t.s.ConfigImage);
        tbl_verify(t, t.s.ConfigImage, 0, lastAddress(t));
        TextToPc(t.s.ConfigImage);
    });
}

bool mnuEB_Click(Transfer& t, const std::function<void(Transfer&)>& series) {
    return runCommand(t, kWrite, [&] {
        TextToPager(t.s.ConfigImage);
        if (t.s.AutoIncCap1 || t.s.AutoIncCap2) {
            series(t);
        } else {
            writeAndVerify(t);
        }
        TextToPc(t.s.ConfigImage);
        showEffects(t.face, init_ctl(t.s));
    });
}

void cmdWrite_Click(Transfer& t) {
    startSeriesWrite(t);
    writeAndVerify(t);
    if (!t.s.TransferFailed && t.s.AutoIncCap1) set_capcode(t, 0);
    if (!t.s.TransferFailed && t.s.AutoIncCap2) set_capcode(t, 1);
    endSeriesWrite(t);
    t.face.setProgressValue(0);
    t.face.setStatusText("");
}

void set_capcode(Transfer& t, int index) {
    showEffects(t.face, increaseCapcode(t.s, index));
}

}  // namespace kxp40s
