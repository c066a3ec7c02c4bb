#pragma once

#include <array>
#include <string_view>

#include "editors/session.h"

namespace kxp40s {

// The "Menu Of Pager" boxes `chkMenu`(0-6); a checked box switches the entry
// with code index + 7 off. Box 6 ("Set Alert Off") also shows the tone list.
inline constexpr std::array<std::string_view, 7> kMenuCaptions = {
    "Zoom In/Out Off", "Set Scroll Off",    "Set Time Off", "Set Alarm Off",
    "Auto Sleep Off",  "Pager Off Disable", "Set Alert Off"};
inline constexpr int kMenuEntries = 7;
inline constexpr int kSetAlertOff = 6;

// "Sequential Lockout" `cboSLC` and "Out-of Service" `cboORC`.
inline constexpr std::array<std::string_view, 6> kSLCItems = {
    "Disable", "30 seconds", "60 seconds", "120 seconds", "175 seconds", "240 seconds"};
inline constexpr std::array<std::string_view, 5> kORCItems = {"Disable", "1 min", "2 min", "5 min",
                                                              "10 min"};

// Loaders called by init_ctl.
void read_SLC(Session& s);
void read_ORC(Session& s);
void read_menu(Session& s);

Effects chkMenu_Click(Session& s, int index, int value);
Effects cboSLC_Click(Session& s, int listIndex);
Effects cboORC_Click(Session& s, int listIndex);

}  // namespace kxp40s
