#pragma once

#include "editors/session.h"

namespace kxp40s {

// Fills every control of the window from the image, in the window's fixed
// order: the capcodes, the tagged controls, the lists with their own codes,
// the prompt styling, the contrast, the pager menu, then the remaining
// readers. A loader that fails sets LoadErrorCode and the load goes on with
// the next one (the generic loop stops at its failing list).
Effects init_ctl(Session& s);

}  // namespace kxp40s
