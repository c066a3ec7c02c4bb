#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "editors/session.h"
#include "image/image.h"
#include "link/link_face.h"

namespace kxp40s {

class LptBus;
struct SerialLink;
class BackupStore;

// One transfer window's work: the session whose image is read, written or
// verified (its flags TransferFailed, OldPagerFirmware, ContrastChanged, ...),
// the face that shows messages, asks Yes/No and draws the progress, and the
// link of the board in use: the parallel-port bus when it is set, else the
// serial link.
struct Transfer {
    Session& s;
    LinkFace& face;
    SerialLink* usb = nullptr;
    LptBus* lpt = nullptr;
    BackupStore* backups = nullptr;  // where successful reads are kept; none: not kept
    // Each write first reads the pager's memory into the backup store, so a
    // wrong overwrite can be undone.
    bool backupBeforeWrite = false;
};

// Every message of the transfer sequences carries the short title.
Message transferWarning(std::string text);

// The dispatchers: the parallel-port twin when the transfer has the bus, else the serial twin.
void tbl_readall(Transfer& t, int strt, int& stp);
void tbl_writeall(Transfer& t, Image& data, int strt, int stp);
void tbl_verify(Transfer& t, const Image& data, int strt, int stp);
// Reads the pager's memory 0..stp and keeps it as a "before-write" backup;
// false (the transfer failed, the link said why) when it could not be read.
bool tbl_keepPagerBeforeWrite(Transfer& t, int stp);

void usb_readall(Transfer& t, int strt, int& stp);
void usb_writeall(Transfer& t, Image& data, int strt, int stp);
void usb_verify(Transfer& t, const Image& data, int strt, int stp);

void lpt_readall(Transfer& t, int strt, int& stp);
void lpt_writeall(Transfer& t, Image& data, int strt, int stp);
void lpt_verify(Transfer& t, const Image& data, int strt, int stp);

// The pager's memory 0..stp as it is, without the identity or checksum
// checks of a read; nothing (the transfer failed, the link said why) when it
// could not be read.
std::optional<Image> usb_pagerMemory(Transfer& t, int stp);
std::optional<Image> lpt_pagerMemory(Transfer& t, int stp);

// The identity text at 993-1006: the characters up to the first byte outside
// 32-127. Model "KXP40" in characters 1-5, PCB 6-9, software 10-14.
std::string identityOf(std::span<const std::uint8_t> bytes14);

}  // namespace kxp40s
