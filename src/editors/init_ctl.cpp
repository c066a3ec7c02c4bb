#include "editors/init_ctl.h"

namespace kxp40s {

Effects init_ctl(Session& s) {
    Operation op(s);
    return op.done();
}

}  // namespace kxp40s
