#pragma once

#include "editors/session.h"

namespace kxp40s {

// Replaces the image wholesale (a table file opened, a pager read): the band
// and channel step are detected from the new image, then every control is
// loaded from it.
Effects loadImage(Session& s, const Image& image);

}  // namespace kxp40s
