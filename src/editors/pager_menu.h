#pragma once

#include "editors/session.h"

namespace kxp40s {

// Loaders called by init_ctl.
void read_SLC(Session& s);
void read_ORC(Session& s);
void read_menu(Session& s);

}  // namespace kxp40s
