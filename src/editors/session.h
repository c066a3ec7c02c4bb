#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "image/controls.h"
#include "image/default_tables.h"
#include "image/image.h"

namespace kxp40s {

// The command the transfer window runs.
enum class TransferMode { Read, Write, Verify };

// How far the command under way has changed the pager: written part of the
// way (a write that failed or was stopped in the middle), written, written
// and verified; or a series waits for the next pager.
enum class PagerState { Unchanged, PartlyWritten, Written, Verified, BetweenPagers };

// The module state of the running program: the image being edited, its
// backup around a pager read, what every control of the main window shows,
// and the window-level flags the editors share. One object, handed to every
// operation; the window and the command-line tool each hold one.
struct Session {
    Image ConfigImage = defaultImage();
    Image BackupImage;
    Controls controls;

    bool LoadingControls =
        false;  // code is setting controls: the guarded Click handlers do nothing
    bool ImageJustLoaded = false;   // init_ctl runs right after a whole image was loaded
    int LoadErrorCode = 0;          // set by a loader of init_ctl that failed (0: none)
    bool FreqEntryError = false;    // the last frequency entry was rejected
    bool OldPagerFirmware = false;  // the old PLL rules of the 130-180 MHz bands
    int cboDftItems = 3;            // items in the band list: start-up appends the fourth (RoHS)
    bool AutoIncCap1 = false;       // count capcode 1 up after each write
    bool AutoIncCap2 = false;       // count capcode 2 up after each write
    bool ContrastChanged = false;   // the user moved the contrast slider
    int ContrastLoaded = 0;         // the contrast last put into the slider from the image
    bool FormReady = false;         // start-up has finished
    int CurPrompt = 0;              // the prompt box that last had the focus
    int CapSlot = 0;                // the capcode slot the function-bit dialog edits
    bool Form5Loading =
        false;  // the function-bit dialog is filling its lists: their Clicks store nothing
    bool TransferFailed = false;
    kxp40s::TransferMode TransferMode = kxp40s::TransferMode::Read;
    PagerState pagerState = PagerState::Unchanged;
    // What the pager held when the last verify found it different (in the
    // PC's letters), so that a face can say where; none after a good verify.
    std::optional<Image> PagerAtVerifyError;
    // What the last write found on the pager before it wrote: its identity
    // text ("." for each unprintable byte) and firmware byte, where the board
    // reads them.
    std::optional<std::string> PagerIdentity;
    std::optional<std::uint8_t> PagerFirmware;

    // What the operation under way has asked the face to do; handlers that
    // call other handlers add to it, and the outermost Operation hands it over.
    Effects pending;
    int operationDepth = 0;

    // Queue a message box; refuse the user's entry and put the focus back.
    void say(Message message) { pending.messages.push_back(std::move(message)); }
    void refuse(Message message, ControlId focus) {
        message.outcome = Outcome::Refusal;
        say(std::move(message));
        pending.refused = true;
        pending.focus = focus;
    }
    void focusOn(ControlId focus) { pending.focus = focus; }
};

// Runs a loader of init_ctl: a failure (an image access out of range) ends
// the loader where it stands and records its code in LoadErrorCode.
template <class Load>
void runLoader(Session& s, int code, Load&& load) {
    try {
        load();
    } catch (const std::exception&) {
        s.LoadErrorCode = code;
    }
}

// Opened at the start of every public operation (an event handler of the
// window); `done()` returns what the face must do. Operations may call each
// other: only the outermost one clears and hands over the pending effects.
class Operation {
  public:
    explicit Operation(Session& s) : s_(s) {
        if (s_.operationDepth++ == 0) s_.pending = Effects{};
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
    ~Operation() { --s_.operationDepth; }

    Effects done() {
        if (s_.operationDepth > 1) return s_.pending;
        Effects effects = std::exchange(s_.pending, Effects{});
        effects.changed = s_.controls.takeChanged();
        return effects;
    }

  private:
    Session& s_;
};

}  // namespace kxp40s
