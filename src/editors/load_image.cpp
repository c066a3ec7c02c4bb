#include "editors/load_image.h"

#include "editors/frequency.h"
#include "editors/init_ctl.h"

namespace kxp40s {

Effects loadImage(Session& s, const Image& image) {
    Operation op(s);
    s.ConfigImage = image;
    s.LoadingControls = true;
    DetectBand(s);
    s.LoadingControls = false;
    s.ImageJustLoaded = true;
    init_ctl(s);
    s.ImageJustLoaded = false;
    return op.done();
}

}  // namespace kxp40s
