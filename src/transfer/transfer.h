#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editors/session.h"
#include "image/image.h"
#include "link/link_face.h"
#include "link/pager_link.h"
#include "link/stop_flag.h"
#include "transfer/board_rules.h"
#include "transfer/capcode_list.h"

namespace kxp40s {

class BackupStore;

// One transfer window's work: the session whose image is read, written or
// verified (its flags TransferFailed, OldPagerFirmware, ContrastChanged, ...),
// the face that shows messages, asks Yes/No and draws the progress, and the
// pager on the board in use.
struct Transfer {
    Session& s;
    LinkFace& face;
    PagerLink& link;
    BackupStore* backups = nullptr;  // where successful reads are kept; none: not kept
    // Each write first reads the pager's memory into the backup store, so a
    // wrong overwrite can be undone.
    bool backupBeforeWrite = false;
    // Asked between the steps of a sequence; the links ask it between frames.
    const StopFlag* stop = nullptr;
    // A series written from a list: pager N takes the list's Nth capcodes.
    const std::vector<ListedCapcodes>* capcodeList = nullptr;

    const BoardRules& rules() const { return rulesOf(link.kind()); }
    bool stopRequested() const { return stop && stop->requested(); }
};

// Every message of the transfer sequences carries the short title.
Message transferWarning(std::string text);

// What an editor operation inside a transfer left to show.
void showEffects(LinkFace& face, const Effects& effects);

// The sequences of the transfer window, for the memory strt..stp. Each sets
// TransferFailed when it failed or was stopped, and PagerState as far as it
// changed the pager.
//
// Read: checks the identity, reads the memory, tests its checksum and hands
// the image to the window; a failure leaves the image as it was.
Result tbl_readall(Transfer& t, int strt, int stp);
// Write: asks before overwriting an empty, foreign or other-band pager,
// takes what belongs to the pager (its firmware and contrast), marks the
// image as programmed, adds the checksum and writes it. A write that does not
// go through keeps of its changes to `data` only what it took from the pager.
Result tbl_writeall(Transfer& t, Image& data, int strt, int stp);
// Verify: compares the pager with `data`; a difference is kept among the
// backups and in PagerAtVerifyError.
Result tbl_verify(Transfer& t, const Image& data, int strt, int stp);

// Verify against what a write of `data` would have put on the pager: takes
// what the write takes from the pager (its firmware and the synthesizer
// words for it, its contrast), marks `data` as programmed and adds its
// checksum, then compares. `data` keeps what it took.
Result tbl_verifyAsWritten(Transfer& t, Image& data, int strt, int stp);

// Reads the pager's memory 0..stp and keeps it as a "before-write" backup;
// false (the transfer failed or was stopped) when it could not be read.
bool tbl_keepPagerBeforeWrite(Transfer& t, int stp);

}  // namespace kxp40s
