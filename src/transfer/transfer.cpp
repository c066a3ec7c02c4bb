#include "transfer/transfer.h"

#include <algorithm>

#include "editors/frequency.h"
#include "editors/init_ctl.h"
#include "editors/load_image.h"
#include "image/default_tables.h"
#include "image/pager_map.h"
#include "transfer/backups.h"
#include "transfer/charset.h"

namespace kxp40s {

namespace {

// A step that did not go through fails the transfer; it was stopped when a
// stop was asked for meanwhile (the link and the questions give up then).
Result failed(Transfer& t, Result result = Result::Failed) {
    t.s.TransferFailed = true;
    return t.stopRequested() ? Result::Stopped : result;
}

Result asked(Transfer& t, std::string question) {
    const Message message{kShortTitle, question + std::string(t.rules().overwriteTail),
                          Icon::Exclamation, Buttons::YesNo};
    return t.face.show(message) == Answer::Yes ? Result::Done : Result::Failed;
}

// The transfer window's progress for strt..stp and its status line.
void startProgress(Transfer& t, int strt, int stp, Colour colour, const char* status) {
    t.face.setProgressMaximum(stp - 16);
    t.face.setProgressValue(strt);
    t.face.setProgressColour(colour);
    t.face.setStatusText(status);
    t.face.pumpEvents();
}

std::optional<pager::Identity> pagerIdentity(Transfer& t) {
    const auto bytes = t.link.readBytes(pager::kIdentity.address, pager::kIdentity.last());
    if (!bytes) return std::nullopt;
    return pager::Identity(*bytes);
}

Message notKxp40(const pager::Identity& identity) {
    return transferWarning("This pager is not KXP40 !\r\n\r\nIt is " + identity.model() +
                           " ( PCB " + identity.pcb() + ", Software " + identity.software() + " )");
}

// Keeps `image` in the backup folder (when the transfer has one); a failure
// to keep it is said, and the transfer goes on.
void keepBackup(Transfer& t, const Image& image, const std::string& kind) {
    if (!t.backups) return;
    const auto kept = t.backups->keep(image, kind);
    if (!kept.file)
        t.face.show(
            transferWarning("No backup of the pager memory could be kept: " + kept.failure));
}

// The memory strt..last over the default tables (an old-format pager has no
// bytes past its last address).
std::optional<Image> readPager(Transfer& t, int strt, int last) {
    Image image = defaultImage();
    if (t.link.readMemory(strt, last, image.bytes()) != Result::Done) return std::nullopt;
    return image;
}

// The image read goes to the window in the PC's letters: band and channel
// from its words, then every control. A load that fails puts the old image
// back and fails the transfer.
void adoptReadImage(Transfer& t, Image image) {
    Session& s = t.s;
    const Controls shownBefore = s.controls;
    const int contrastBefore = s.ContrastLoaded;
    s.ContrastLoaded = image.at(pager::kContrast.address);
    s.LoadErrorCode = 0;
    TextToPc(image);
    keepBackup(t, image, "read");
    showEffects(t.face, loadImage(s, image));
    if (s.LoadErrorCode == 0) return;
    t.face.show(transferWarning(
        "The data in this pager is wrong!(Error Code = " + std::to_string(s.LoadErrorCode) + ")"));
    s.TransferFailed = true;
    // The band list and every control go back with the image: reloading the
    // old image under the pager's band would refuse the next entry and write.
    s.ConfigImage = s.BackupImage;
    s.ContrastLoaded = contrastBefore;
    s.controls.restore(shownBefore);
}

Result checkIdentityBeforeWrite(Transfer& t) {
    const auto bytes = t.link.readBytes(pager::kIdentity.address, pager::kIdentity.last());
    if (!bytes) return Result::Failed;
    t.s.PagerIdentity = pager::printableIdentity(*bytes);
    if (t.rules().identityIsEmpty(*bytes)) return asked(t, "The program data is empty ! ");
    if (!pager::Identity(*bytes).isKxp40())
        return asked(t, std::string(t.rules().otherModelQuestion));
    return Result::Done;
}

// The synthesizer words follow the rules of the pager's firmware. An entry
// the pager's rules refuse stops the write: nothing is written.
Result takeFirmware(Transfer& t, Image& data) {
    if (!t.rules().takesFirmware) return Result::Done;
    const auto byte = t.link.readBytes(pager::kFirmware, pager::kFirmware);
    if (!byte) return Result::Failed;
    const std::uint8_t firmware = byte->front();
    t.s.PagerFirmware = firmware;
    t.s.OldPagerFirmware = firmware < 50 || firmware == 255;
    if (!t.s.OldPagerFirmware) data.set(pager::kFirmware, firmware);
    const Effects effects = txtFreq_LostFocus(t.s);
    showEffects(t.face, effects);
    if (effects.refused || t.s.FreqEntryError) {
        t.s.FreqEntryError = false;
        return Result::Failed;
    }
    return Result::Done;
}

// Unless the user moved the contrast slider, the pager keeps its own contrast.
Result takeContrast(Transfer& t, Image& data) {
    const int address = pager::kContrast.address;
    const auto byte = t.link.readBytes(address, address);
    if (!byte) return Result::Failed;
    if (t.s.ContrastChanged) return Result::Done;
    const std::uint8_t mask = t.rules().contrastMask;
    data.set(address,
             static_cast<std::uint8_t>((data.at(address) & ~mask) | (byte->front() & mask)));
    t.s.ContrastLoaded = data.at(address) & mask;
    showEffects(t.face, init_ctl(t.s));
    return Result::Done;
}

Result checkBand(Transfer& t) {
    const pager::Run run = t.rules().bandBytes;
    const auto bytes = t.link.readBytes(run.address, run.last());
    if (!bytes) return Result::Failed;
    const bool rohsPager = t.rules().isRoHSPager(*bytes);
    const bool rohsBand = t.s.controls[{"cboDft"}].value == kRoHSBand;
    if (!rohsBand && rohsPager) return asked(t, "The Pager is GP(RoHS) ! ");
    if (rohsBand && !rohsPager) return asked(t, "The Pager is Non GP(RoHS) ! ");
    return Result::Done;
}

// What a write takes from the pager before it writes: its firmware (and the
// synthesizer words for it) and its contrast.
Result takeFromPager(Transfer& t, Image& data) {
    const Result firmware = takeFirmware(t, data);
    return firmware == Result::Done ? takeContrast(t, data) : firmware;
}

// The image goes out marked as programmed and with its checksum.
void markAsWritten(Image& data, int stp) {
    data.set(pager::kProgrammedMark, 1);
    pager::storeChecksum(data.bytes(), stp);
}

Result writeImage(Transfer& t, Image& data, int strt, int stp) {
    startProgress(t, strt, stp, kColourHighlight, "Writing Now.......");
    t.s.pagerState = PagerState::PartlyWritten;
    const Result result = t.link.writeMemory(data.bytes(), strt, stp);
    if (result == Result::Done) t.s.pagerState = PagerState::Written;
    return result;
}

// A write that does not go through keeps of its changes only what it took
// from the pager (the firmware byte and the contrast); the rest of the image,
// the synthesizer words included, is as before the write.
void undoWrite(Transfer& t, Image& data, const Image& before) {
    Image kept = before;
    kept.set(pager::kFirmware, data.at(pager::kFirmware));
    kept.set(pager::kContrast.address, data.at(pager::kContrast.address));
    if (kept == data) return;
    data = kept;
    showEffects(t.face, init_ctl(t.s));
}

// Runs the steps while they go through and no stop is asked for.
template <class... Steps>
Result inTurn(const Transfer& t, Steps&&... steps) {
    Result result = Result::Done;
    const auto next = [&](auto& step) {
        if (result != Result::Done) return;
        result = t.stopRequested() ? Result::Stopped : step();
    };
    (next(steps), ...);
    return result;
}

}  // namespace

Message transferWarning(std::string text) {
    return warning(std::move(text), kShortTitle);
}

void showEffects(LinkFace& face, const Effects& effects) {
    for (const Message& message : effects.messages)
        face.show(message);
    if (!effects.changed.empty()) face.refreshControls(effects.changed);
}

Result tbl_readall(Transfer& t, int strt, int stp) {
    Session& s = t.s;
    s.BackupImage = s.ConfigImage;
    s.TransferFailed = false;
    const auto identity = pagerIdentity(t);
    if (!identity) return failed(t);
    if (!identity->isKxp40()) {
        t.face.show(notKxp40(*identity));
        return failed(t);
    }
    const auto version = identity->softwareVersion();
    const bool checksummed = version && *version >= t.rules().checksumFrom;
    startProgress(t, strt, stp, kColourPurple, "Reading Now.......");
    const int last = checksummed ? stp : std::min(stp, pager::kOldFormatLast);
    const auto image = readPager(t, strt, last);
    if (!image) return failed(t);
    if (checksummed && !t.rules().checksumMatches(image->bytes(), last)) {
        t.face.show(transferWarning(std::string(t.rules().checksumError)));
        return failed(t);
    }
    t.face.show(success("Read success!", kShortTitle));
    adoptReadImage(t, *image);
    return s.TransferFailed ? Result::Failed : Result::Done;
}

Result tbl_writeall(Transfer& t, Image& data, int strt, int stp) {
    t.s.TransferFailed = false;
    const Image before = data;
    const Result result = inTurn(
        t, [&] { return checkIdentityBeforeWrite(t); }, [&] { return takeFromPager(t, data); },
        [&] { return checkBand(t); },
        [&] {
            markAsWritten(data, stp);
            return writeImage(t, data, strt, stp);
        });
    if (result == Result::Done) return result;
    undoWrite(t, data, before);
    return failed(t, result);
}

Result tbl_verify(Transfer& t, const Image& data, int strt, int stp) {
    Session& s = t.s;
    s.TransferFailed = false;
    s.PagerAtVerifyError.reset();
    startProgress(t, strt, stp, kColourPurple, "Verifying Now.....");
    const Comparison compared = t.link.compareMemory(data.bytes(), strt, stp);
    if (compared.result != Result::Done) return failed(t, compared.result);
    if (compared.differs) {
        if (compared.pager) {
            Image pager = data;
            pager.write(strt, *compared.pager);
            TextToPc(pager);  // kept like a saved table, in the PC's letters
            keepBackup(t, pager, "verify-failed");
            s.PagerAtVerifyError = pager;
        }
        t.face.show(transferWarning("Verify Error!"));
        return failed(t);
    }
    if (s.pagerState == PagerState::Written) s.pagerState = PagerState::Verified;
    t.face.show(success("Verify Success!", kShortTitle));
    return Result::Done;
}

Result tbl_verifyAsWritten(Transfer& t, Image& data, int strt, int stp) {
    t.s.TransferFailed = false;
    const Result taken = inTurn(t, [&] { return takeFromPager(t, data); });
    if (taken != Result::Done) return failed(t, taken);
    markAsWritten(data, stp);
    return tbl_verify(t, data, strt, stp);
}

bool tbl_keepPagerBeforeWrite(Transfer& t, int stp) {
    if (!t.backups) return true;
    startProgress(t, 0, stp, kColourPurple, "Reading Now.......");
    std::optional<Image> pager = readPager(t, 0, stp);
    if (!pager) {
        failed(t);
        return false;
    }
    TextToPc(*pager);
    keepBackup(t, *pager, "before-write");
    return true;
}

}  // namespace kxp40s
