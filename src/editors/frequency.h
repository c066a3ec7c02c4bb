#pragma once

#include "editors/session.h"

namespace kxp40s {

// Loaders called by init_ctl, and the band detection of a loaded image.
void read_BaseFreq(Session& s);
void read_freq(Session& s);
void DetectBand(Session& s);

}  // namespace kxp40s
