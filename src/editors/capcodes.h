#pragma once

#include "editors/session.h"

namespace kxp40s {

// Loaders called by init_ctl.
void read_capcode(Session& s);
void read_Disp(Session& s);
void read_Type(Session& s);
void read_Pri(Session& s);
void read_pass(Session& s);

}  // namespace kxp40s
