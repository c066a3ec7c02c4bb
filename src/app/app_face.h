#pragma once

#include <filesystem>
#include <optional>

#include "image/controls.h"
#include "link/link_face.h"

namespace kxp40s {

class Application;

// Everything the application shows and asks goes through its face: the
// window implements it with Qt, the command line with the terminal, tests
// with a script. Messages that come up in the middle of a transfer (and the
// Yes/No questions before a pager is overwritten) arrive through `show` as
// they happen; everything else an operation leaves behind arrives through
// `apply` at its end.
class AppFace : public LinkFace {
  public:
    // An operation's outcome: show the messages in order (each modal),
    // refresh the changed controls from the session's Controls, move the focus.
    virtual void apply(const Effects& effects) = 0;
    void refreshControls(const std::vector<ControlId>& changed) override {
        Effects effects;
        effects.changed = changed;
        apply(effects);
    }

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

    // The transfer window Form2, open for the whole of a read, write or
    // verify (`mode` 0, 1, 2); modal, and no other command may start meanwhile.
    virtual void openTransferWindow(int mode) { (void)mode; }
    virtual void closeTransferWindow() {}

    // A series of writes: the transfer window stays open with its Write and
    // Exit buttons. Each press of Write calls app.cmdWrite_Click(); the call
    // returns when the user leaves the window.
    virtual void runSeries(Application& app) { (void)app; }
};

}  // namespace kxp40s
