#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <stdexcept>

#include "editors/init_ctl.h"
#include "editors/load_image.h"
#include "image/default_tables.h"
#include "link/image_checksum.h"
#include "link/lpt_bus.h"
#include "transfer/backups.h"
#include "transfer/charset.h"
#include "transfer/progress.h"
#include "transfer/sequence_steps.h"
#include "transfer/transfer.h"

namespace kxp40s {

namespace {

constexpr int kErasedIdentitySum = kIdentityLength * 255;
constexpr int kPageSize = 16;

const char* const kYesNoTail = "\r\nAre you sure to overwrite it ?";

// Pagers after software 3.72 carry a checksum.
constexpr int kNewFormatAbove = 372;

using IdentityBytes = std::array<std::uint8_t, kIdentityLength>;

LptBus& busOf(Transfer& t) {
    if (t.lpt == nullptr) throw std::logic_error("a parallel-port transfer without the bus");
    return *t.lpt;
}

// One pager byte by random read. A failure fails the transfer; the bus has
// already said "Read error!".
std::optional<std::uint8_t> pagerByte(Transfer& t, LinkFace& face, int address) {
    const std::optional<std::uint8_t> byte = busOf(t).LptReadByteAt(address, face);
    if (!byte) t.s.TransferFailed = true;
    return byte;
}

std::optional<IdentityBytes> pagerIdentity(Transfer& t, LinkFace& face) {
    IdentityBytes bytes{};
    for (int i = 0; i < kIdentityLength; ++i) {
        const auto byte = pagerByte(t, face, kIdentityFirst + i);
        if (!byte) return std::nullopt;
        bytes[static_cast<std::size_t>(i)] = *byte;
    }
    return bytes;
}

LptProgress progressOn(LinkFace& face) {
    return [&face](int address) { face.setProgressValue(address); };
}

bool checkIdentityBeforeWrite(Transfer& t, LinkFace& face) {
    const auto bytes = pagerIdentity(t, face);
    if (!bytes) return false;
    int sum = 0;
    for (const std::uint8_t byte : *bytes)
        sum += byte;
    if (sum == kErasedIdentitySum)
        return confirmed(t, face, std::string("The program data is empty ! ") + kYesNoTail);
    if (identityOf(*bytes).substr(0, 5) != kModelText) {
        return confirmed(t, face,
                         std::string("This model of pager can not be sure ! ") + kYesNoTail);
    }
    return true;
}

// Unless the user moved the contrast slider, the pager keeps its own contrast.
bool takeContrast(Transfer& t, LinkFace& face, Image& data) {
    const auto contrast = pagerByte(t, face, kContrastAddress);
    if (!contrast) return false;
    if (!t.s.ContrastChanged) {
        data.set(kContrastAddress, *contrast);
        t.s.ContrastLoaded = *contrast;
    }
    return true;
}

bool checkBand(Transfer& t, LinkFace& face) {
    t.s.TransferFailed = false;
    const auto incdLow = pagerByte(t, face, kIncdLow);
    if (!incdLow) return false;
    const bool rohsBand = rohsBandChosen(t.s);
    if (!rohsBand && *incdLow == 0)
        return confirmed(t, face, std::string("The Pager is GP(RoHS) ! ") + kYesNoTail);
    if (rohsBand && *incdLow != 0)
        return confirmed(t, face, std::string("The Pager is Non GP(RoHS) ! ") + kYesNoTail);
    return true;
}

// The image goes out marked as programmed and with its checksum; the window's
// image takes both only once the pager has them.
bool writePages(Transfer& t, LinkFace& face, Image& data, int strt, int stp) {
    Image marked = data;
    marked.set(kProgrammedMarkerAddress, 1);
    storeImageChecksum(marked.bytes(), stp);
    startProgress(face, busOf(t).clock(), strt, stp, kColourHighlight, "Writing Now.......");
    if (!busOf(t).LptPageWrite(marked.bytes(), strt, stp, progressOn(face))) {
        face.show(transferWarning("Write error!"));
        return false;
    }
    data = marked;
    return true;
}

bool checksumMatches(const Image& image, int stp) {
    const std::uint16_t sum = imageChecksum(image.bytes(), stp);
    return image.at(stp - 1) == (sum >> 8) && image.at(stp) == (sum & 0xFF);
}

// Pages strt..last over the default tables (an old-format pager has no bytes
// past 2015); a failure says "Read error!" and fails the transfer.
std::optional<Image> readPages(Transfer& t, LinkFace& face, int strt, int last) {
    Image image = defaultImage();
    const bool read = busOf(t).LptPageRead(image.bytes(), strt, last, progressOn(face));
    busOf(t).LptIdle();
    if (read) return image;
    face.show(transferWarning("Read error!"));
    t.s.TransferFailed = true;
    return std::nullopt;
}

}  // namespace

std::optional<Image> lpt_pagerMemory(Transfer& t, int stp) {
    ClampedProgressFace face(t.face);
    startProgress(face, busOf(t).clock(), 0, stp, kColourPurple, "Reading Now.......");
    return readPages(t, face, 0, stp);
}

void lpt_readall(Transfer& t, int strt, int& stp) {
    Session& s = t.s;
    ClampedProgressFace face(t.face);
    s.BackupImage = s.ConfigImage;
    s.TransferFailed = false;
    const auto bytes = pagerIdentity(t, face);
    if (!bytes) return;
    const std::string identity = identityOf(*bytes);
    if (identity.substr(0, 5) != kModelText) {
        face.show(notKxp40(identity));
        s.TransferFailed = true;
        return;
    }
    const auto version = softwareVersion(identity);
    const bool newFormat = version && *version > kNewFormatAbove;
    startProgress(face, busOf(t).clock(), strt, stp, kColourPurple, "Reading Now.......");
    // An old-format pager has no bytes past 2015: the default tables fill them.
    const int last = newFormat ? stp : std::min(stp, kOldFormatLast);
    std::optional<Image> read = readPages(t, face, strt, last);
    if (!read) return;
    Image& image = *read;
    if (newFormat && !checksumMatches(image, last)) {
        face.show(
            transferWarning("The data of pager is not complete correction !\r\n\r\nPlease try to "
                            "reprogram the pager or try to read again."));
        s.TransferFailed = true;
        return;
    }
    face.show(transferWarning("Read success!"));
    adoptReadImage(t, face, image);
}

void lpt_writeall(Transfer& t, Image& data, int strt, int stp) {
    ClampedProgressFace face(t.face);
    t.s.TransferFailed = false;
    const bool written = checkIdentityBeforeWrite(t, face) && takeContrast(t, face, data) &&
                         checkBand(t, face) && writePages(t, face, data, strt, stp);
    if (!written) t.s.TransferFailed = true;
}

void lpt_verify(Transfer& t, const Image& data, int strt, int stp) {
    ClampedProgressFace face(t.face);
    t.s.TransferFailed = false;
    startProgress(face, busOf(t).clock(), strt, stp, kColourPurple, "Verifying Now.....");
    bool differs = false;
    const bool read = busOf(t).LptSequentialRead(strt, stp, [&](int a, std::uint8_t byte) {
        if (a % kPageSize == 0) face.setProgressValue(a);
        differs = byte != data.at(a);
        return !differs;
    });
    if (!read) {
        busOf(t).LptIdle();
        face.show(transferWarning("Read error!"));
    } else if (differs) {
        face.show(transferWarning("Verify Error!"));
    } else {
        face.show(transferWarning("Verify Success!"));
        return;
    }
    t.s.TransferFailed = true;
}

}  // namespace kxp40s
