#pragma once

#include "editors/session.h"

namespace kxp40s {

// The window's handlers of the tagged check boxes and lists: the user's
// change is stored through the control's Tag at once.
Effects chkCtl_Click(Session& s, int index, int value);
Effects cboCtl_Click(Session& s, int index, int listIndex);
Effects chkSource_Click(Session& s, int index, int value);

}  // namespace kxp40s
