#pragma once

#include "editors/session.h"

namespace kxp40s {

// Loaders called by init_ctl.
void read_contrast(Session& s);
void read_BatLev(Session& s);
void read_Alert(Session& s);
void read_SetAlarm(Session& s);

}  // namespace kxp40s
