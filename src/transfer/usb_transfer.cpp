#include <algorithm>
#include <cctype>

#include "editors/frequency.h"
#include "editors/init_ctl.h"
#include "image/default_tables.h"
#include "link/image_checksum.h"
#include "link/serial_link.h"
#include "transfer/backups.h"
#include "transfer/charset.h"
#include "transfer/sequence_steps.h"
#include "transfer/transfer.h"

namespace kxp40s {

namespace {

constexpr int kFirmwareByte = 1113;
constexpr int kSecondSpecialByte = 1114;
constexpr int kRoHSIncd = 128;
// Pagers from software 5.00 on carry a checksum.
constexpr int kNewFormatFrom = 500;

const char* const kYesNoTail = "\r\nAre you sure overwrite it?";

// Reads pager bytes strt..stp; a failure (the link has shown its message)
// fails the transfer.
bool readPager(Transfer& t, int strt, int stp) {
    if (SerialRead(*t.usb, strt, stp)) return true;
    t.s.TransferFailed = true;
    return false;
}

std::uint8_t pagerByte(const Transfer& t, int address) {
    return t.usb->state.ReadBuffer.at(static_cast<std::size_t>(address));
}

std::string pagerIdentity(const Transfer& t) {
    const auto& buffer = t.usb->state.ReadBuffer;
    return identityOf(
        std::span(buffer).subspan(kIdentityFirst, kIdentityLast - kIdentityFirst + 1));
}

// The serial read's checksum test: each stored byte may match either the sum
// over the bytes as read or the sum that counts 1113 and 1114 as 255 (how
// some pagers were checksummed before those bytes were set).
bool checksumMatches(std::span<const std::uint8_t> data, int stp) {
    std::vector<std::uint8_t> alternative(data.begin(), data.end());
    alternative[kFirmwareByte] = 255;
    alternative[kSecondSpecialByte] = 255;
    const std::uint16_t a = imageChecksum(data, stp);
    const std::uint16_t b = imageChecksum(alternative, stp);
    const auto high = data[static_cast<std::size_t>(stp - 1)];
    const auto low = data[static_cast<std::size_t>(stp)];
    return (low == (a & 0xFF) || low == (b & 0xFF)) && (high == (a >> 8) || high == (b >> 8));
}

// The image as read: the pager's bytes, and for an old-format pager, which
// has no bytes past 2015, the default tables' bytes there.
Image imageRead(const Transfer& t, int last) {
    Image image = defaultImage();
    const auto& buffer = t.usb->state.ReadBuffer;
    image.write(0, std::span(buffer).first(static_cast<std::size_t>(last) + 1));
    return image;
}

bool checkIdentityBeforeWrite(Transfer& t) {
    if (!readPager(t, kIdentityFirst, kIdentityLast)) return false;
    const auto& buffer = t.usb->state.ReadBuffer;
    const bool empty =
        std::any_of(buffer.begin() + kIdentityFirst, buffer.begin() + kIdentityLast + 1,
                    [](std::uint8_t b) { return b < 32 || b > 127; });
    if (empty)
        return confirmed(t, t.face, std::string("The program data is empty ! ") + kYesNoTail);
    if (pagerIdentity(t).substr(0, 5) != kModelText) {
        return confirmed(t, t.face, std::string("The program data is wrong ! ") + kYesNoTail);
    }
    return true;
}

// The synthesizer words follow the rules of the pager's firmware. An entry
// the pager's rules refuse stops the write: nothing is written.
bool takeFirmware(Transfer& t, Image& data) {
    if (!readPager(t, kFirmwareByte, kFirmwareByte)) return false;
    const std::uint8_t firmware = pagerByte(t, kFirmwareByte);
    t.s.OldPagerFirmware = firmware < 50 || firmware == 255;
    if (!t.s.OldPagerFirmware) data.set(kFirmwareByte, firmware);
    const Effects effects = txtFreq_LostFocus(t.s);
    showEffects(t.face, effects);
    if (effects.refused || t.s.FreqEntryError) {
        t.s.FreqEntryError = false;
        t.s.TransferFailed = true;
        return false;
    }
    return true;
}

// Unless the user moved the contrast slider, the pager keeps its own contrast.
bool takeContrast(Transfer& t, Image& data) {
    if (!readPager(t, kContrastAddress, kContrastAddress)) return false;
    if (t.s.ContrastChanged) return true;
    const int nibble = pagerByte(t, kContrastAddress) & 0x0F;
    data.set(kContrastAddress,
             static_cast<std::uint8_t>((data.at(kContrastAddress) & 0xF0) | nibble));
    t.s.ContrastLoaded = data.at(kContrastAddress) & 0x0F;
    showEffects(t.face, init_ctl(t.s));
    return true;
}

bool checkBand(Transfer& t) {
    t.s.TransferFailed = false;
    if (!readPager(t, kIncdHigh, kIncdLow)) return false;
    const int incd = pagerByte(t, kIncdHigh) * 256 + pagerByte(t, kIncdLow);
    const bool rohsBand = rohsBandChosen(t.s);
    if (!rohsBand && incd >= kRoHSIncd)
        return confirmed(t, t.face, std::string("The Pager is GP(RoHS) ! ") + kYesNoTail);
    if (rohsBand && incd < kRoHSIncd) {
        return confirmed(t, t.face, std::string("The Pager is Non GP(RoHS) ! ") + kYesNoTail);
    }
    return true;
}

// A write that fails keeps of its changes only what it took from the pager
// (the firmware byte and the contrast nibble); the rest of the image, the
// synthesizer words included, is as before the write.
void undoFailedWrite(Transfer& t, Image& data, const Image& before) {
    Image kept = before;
    kept.set(kFirmwareByte, data.at(kFirmwareByte));
    kept.set(kContrastAddress, data.at(kContrastAddress));
    if (kept == data) return;
    data = kept;
    showEffects(t.face, init_ctl(t.s));
}

}  // namespace

void usb_readall(Transfer& t, int strt, int& stp) {
    Session& s = t.s;
    s.BackupImage = s.ConfigImage;
    s.TransferFailed = false;
    if (!readPager(t, kIdentityFirst, kIdentityLast)) return;
    const std::string identity = pagerIdentity(t);
    if (identity.substr(0, 5) != kModelText) {
        t.face.show(notKxp40(identity));
        s.TransferFailed = true;
        return;
    }
    const auto version = softwareVersion(identity);
    const bool newFormat = version && *version >= kNewFormatFrom;
    startProgress(t.face, t.usb->clock, strt, stp, kColourPurple, "Reading Now.......");
    const int last = newFormat ? stp : std::min(stp, kOldFormatLast);
    if (!readPager(t, strt, last)) return;
    if (newFormat && !checksumMatches(t.usb->state.ReadBuffer, last)) {
        t.face.show(transferWarning("CheckSum Error!"));
        s.TransferFailed = true;
        return;
    }
    const Image image = imageRead(t, last);
    t.face.show(transferWarning("Read success!"));
    adoptReadImage(t, t.face, image);
}

void usb_writeall(Transfer& t, Image& data, int strt, int stp) {
    t.s.TransferFailed = false;
    const Image before = data;
    const bool written = checkIdentityBeforeWrite(t) && takeFirmware(t, data) &&
                         takeContrast(t, data) && checkBand(t) && [&] {
                             data.set(kProgrammedMarkerAddress, 1);
                             storeImageChecksum(data.bytes(), stp);
                             return SerialWrite(*t.usb, data.bytes(), strt, stp);
                         }();
    if (!written) {
        t.s.TransferFailed = true;
        undoFailedWrite(t, data, before);
    }
}

std::optional<Image> usb_pagerMemory(Transfer& t, int stp) {
    startProgress(t.face, t.usb->clock, 0, stp, kColourPurple, "Reading Now.......");
    if (!readPager(t, 0, stp)) return std::nullopt;
    return imageRead(t, stp);
}

void usb_verify(Transfer& t, const Image& data, int strt, int stp) {
    t.s.PagerAtVerifyError.reset();
    startProgress(t.face, t.usb->clock, strt, stp, kColourPurple, "Verifying Now.....");
    if (!readPager(t, strt, stp)) return;
    const auto& buffer = t.usb->state.ReadBuffer;
    for (int a = strt; a <= stp; ++a) {
        if (data.at(a) == buffer[static_cast<std::size_t>(a)]) continue;
        Image pager = data;
        pager.write(strt, std::span(buffer).subspan(static_cast<std::size_t>(strt),
                                                    static_cast<std::size_t>(stp - strt + 1)));
        TextToPc(pager);  // kept like a saved table, in the PC's letters
        keepBackup(t, t.face, pager, "verify-failed");
        t.s.PagerAtVerifyError = pager;
        t.face.show(transferWarning("Verify Error!"));
        t.s.TransferFailed = true;
        return;
    }
    t.face.show(transferWarning("Verify Success!"));
}

}  // namespace kxp40s
