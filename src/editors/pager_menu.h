#pragma once

#include <array>
#include <string_view>

#include "editors/session.h"
#include "image/control_catalogue.h"

namespace kxp40s {

// The "Menu Of Pager" boxes `chkMenu`(0-6) (kMenuCaptions); a checked box
// switches the entry with code index + 7 off. Box 6 ("Set Alert Off") also
// shows the tone list.
inline constexpr int kMenuEntries = static_cast<int>(kMenuCaptions.size());
inline constexpr int kSetAlertOff = 6;

// Loaders called by init_ctl.
void read_SLC(Session& s);
void read_ORC(Session& s);
void read_menu(Session& s);

Effects chkMenu_Click(Session& s, int index, int value);
Effects cboSLC_Click(Session& s, int listIndex);
Effects cboORC_Click(Session& s, int listIndex);

}  // namespace kxp40s
