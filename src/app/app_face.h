#pragma once

#include <filesystem>
#include <optional>

#include "image/controls.h"
#include "link/link_face.h"
#include "transfer/pager_commands.h"

namespace kxp40s {

class Application;

// Everything the application shows and asks goes through its face: the
// window implements it with Qt, the command line with the terminal, tests
// with a script. Messages that come up in the middle of a transfer (and the
// Yes/No questions before a pager is overwritten) arrive through `show` as
// they happen; everything else an operation leaves behind arrives through
// `apply` at its end.
class AppFace : public LinkFace, public SeriesFace {
  public:
    // An operation's outcome: show the messages in order (each modal),
    // refresh the changed controls from the session's Controls, move the focus.
    virtual void apply(const Effects& effects) = 0;
    void refreshControls(const std::vector<ControlId>& changed) override {
        Effects effects;
        effects.changed = changed;
        apply(effects);
    }

    // Once a stop was asked for, messages no longer wait for an answer: they
    // come here instead of `show` (the faces put them on stderr), and every
    // question is answered with its safe choice, No.
    virtual void note(const Message& message) { (void)message; }

    // Start-up has filled the controls and is about to search for the
    // board, which may take a while: the window shows itself.
    virtual void beforeBoardSearch() {}

    // File > Open and Save As: the file dialog, starting in `folder` with
    // the filter "Table files (*.tbl)". Nothing: the user cancelled.
    virtual std::optional<std::filesystem::path> askOpenFile(const std::filesystem::path& folder) {
        (void)folder;
        return std::nullopt;
    }
    virtual std::optional<std::filesystem::path> askSaveFile(const std::filesystem::path& folder) {
        (void)folder;
        return std::nullopt;
    }

    // Shows a folder of the user's files (the desktop's file manager); false
    // when it could not.
    virtual bool showFolder(const std::filesystem::path& folder) {
        (void)folder;
        return false;
    }

    // The transfer window Form2, open for the whole of a read, write or
    // verify; modal, and no other command may start meanwhile.
    virtual void openTransferWindow(TransferMode mode) { (void)mode; }
    virtual void closeTransferWindow() {}

    // A series of writes (the transfer window stays open with its Write and
    // Exit buttons): when the next pager may be written, and how each went.
    // Without a face of its own a series writes nothing.
    NextPager waitForPager(int number) override {
        (void)number;
        return NextPager::Leave;
    }
    void pagerDone(const SeriesPager& pager) override { (void)pager; }
};

}  // namespace kxp40s
