#include "transfer/transfer.h"

#include <algorithm>
#include <cctype>

#include "editors/init_ctl.h"
#include "editors/load_image.h"
#include "transfer/backups.h"
#include "transfer/charset.h"
#include "transfer/sequence_steps.h"

namespace kxp40s {

Message transferWarning(std::string text) {
    return warning(std::move(text), kShortTitle);
}

std::string identityOf(std::span<const std::uint8_t> bytes14) {
    std::string identity;
    for (const std::uint8_t byte : bytes14) {
        if (byte < 32 || byte > 127) break;
        identity += static_cast<char>(byte);
    }
    return identity;
}

std::string identityPart(const std::string& identity, std::size_t from, std::size_t count) {
    return from < identity.size() ? identity.substr(from, count) : "";
}

std::optional<int> softwareVersion(const std::string& identity) {
    const std::string version = identityPart(identity, 10, 1) + identityPart(identity, 12, 2);
    const bool numeric =
        !version.empty() && std::all_of(version.begin(), version.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    if (!numeric) return std::nullopt;
    return std::stoi(version);
}

Message notKxp40(const std::string& identity) {
    return transferWarning("This pager is not KXP40 !\r\n\r\nIt is " +
                           identityPart(identity, 0, 5) + " ( PCB " + identityPart(identity, 5, 4) +
                           ", Software " + identityPart(identity, 9, 5) + " )");
}

bool confirmed(Transfer& t, LinkFace& face, const std::string& question) {
    if (face.show(Message{kShortTitle, question, Icon::Exclamation, Buttons::YesNo}) == Answer::Yes)
        return true;
    t.s.TransferFailed = true;
    return false;
}

void showEffects(LinkFace& face, const Effects& effects) {
    for (const Message& message : effects.messages)
        face.show(message);
    if (!effects.changed.empty()) face.refreshControls(effects.changed);
}

void startProgress(LinkFace& face, Clock& clock, int strt, int stp, long colour,
                   const char* status) {
    face.setProgressMaximum(stp - 16);
    face.setProgressValue(strt);
    face.setProgressColour(colour);
    face.setStatusText(status);
    clock.pumpEvents();
}

void keepBackup(Transfer& t, LinkFace& face, const Image& image, const std::string& kind) {
    if (!t.backups) return;
    const auto kept = t.backups->keep(image, kind);
    if (!kept.file)
        face.show(transferWarning("No backup of the pager memory could be kept: " + kept.failure));
}

void adoptReadImage(Transfer& t, LinkFace& face, Image image) {
    Session& s = t.s;
    const Controls shownBefore = s.controls;
    const int contrastBefore = s.ContrastLoaded;
    s.ContrastLoaded = image.at(kContrastAddress);
    s.LoadErrorCode = 0;
    TextToPc(image);
    keepBackup(t, face, image, "read");
    showEffects(face, loadImage(s, image));
    if (s.LoadErrorCode == 0) return;
    face.show(transferWarning(
        "The data in this pager is wrong!(Error Code = " + std::to_string(s.LoadErrorCode) + ")"));
    s.TransferFailed = true;
    // The band list and every control go back with the image: reloading the
    // old image under the pager's band would refuse the next entry and write.
    s.ConfigImage = s.BackupImage;
    s.ContrastLoaded = contrastBefore;
    s.controls.restore(shownBefore);
}

bool tbl_keepPagerBeforeWrite(Transfer& t, int stp) {
    if (!t.backups) return true;
    std::optional<Image> pager = t.lpt ? lpt_pagerMemory(t, stp) : usb_pagerMemory(t, stp);
    if (!pager) return false;
    TextToPc(*pager);
    keepBackup(t, t.face, *pager, "before-write");
    return true;
}

bool rohsBandChosen(const Session& s) {
    return s.controls[{"cboDft"}].value == kRoHSBandIndex;
}

void tbl_readall(Transfer& t, int strt, int& stp) {
    if (t.lpt) {
        lpt_readall(t, strt, stp);
    } else {
        usb_readall(t, strt, stp);
    }
}

void tbl_writeall(Transfer& t, Image& data, int strt, int stp) {
    if (t.lpt) {
        lpt_writeall(t, data, strt, stp);
    } else {
        usb_writeall(t, data, strt, stp);
    }
}

void tbl_verify(Transfer& t, const Image& data, int strt, int stp) {
    if (t.lpt) {
        lpt_verify(t, data, strt, stp);
    } else {
        usb_verify(t, data, strt, stp);
    }
}

}  // namespace kxp40s
