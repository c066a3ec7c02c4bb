#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/control_id.h"
#include "image/message.h"

namespace kxp40s {

// Colours of the main window's status line and progress bar, as the window
// sets them (BGR numbers, &H80000000 and up a system colour). 32 bits on
// every system: a long holds &H80000000 on Linux but not on Windows.
using Colour = std::uint32_t;
inline constexpr Colour kColourBlack = 0;
inline constexpr Colour kColourRed = 0xFF;
inline constexpr Colour kColourHighlight = 0x8000000D;
inline constexpr Colour kColourPurple = 0x800080;

inline constexpr const char* kBoardConnectText = "  The Programmed Board Connect !";
inline constexpr const char* kBoardDisconnectText = "  The Programmed Board Disconnect !";

// What the main window shows about the board: the status line `lblMsg`
// (text and colour) and whether the Pager menu `mnuPager` is enabled.
struct BoardStatus {
    std::string caption;
    Colour foreColor = kColourBlack;
    bool pagerMenuEnabled = false;
    bool operator==(const BoardStatus&) const = default;
};
BoardStatus connectedStatus();
BoardStatus disconnectedStatus();
BoardStatus boardStatus(bool connected);  // one of the two

// What the link asks of the face that runs it: the window implements it with
// message boxes, its timer, status line and the transfer window's progress
// bar; the command line with stderr; tests with a script.
class LinkFace {
  public:
    virtual ~LinkFace() = default;
    virtual Answer show(const Message& message) = 0;
    virtual void setTimer1Enabled(bool /*enabled*/) {}
    virtual void showBoardStatus(const BoardStatus& /*status*/) {}
    // Form2's progress bar PB1 and its status line Label1.
    virtual void setProgressMaximum(int /*maximum*/) {}
    virtual void setProgressValue(int /*value*/) {}
    virtual void setProgressColour(Colour /*colour*/) {}
    virtual void setStatusText(const std::string& /*text*/) {}
    // Lets the face's own events run during a wait (the window repaints).
    virtual void pumpEvents() {}
    // Controls that an editor operation inside a transfer changed (the
    // window reloaded after a read, say): the face shows them anew.
    virtual void refreshControls(const std::vector<ControlId>& /*changed*/) {}
};

}  // namespace kxp40s
